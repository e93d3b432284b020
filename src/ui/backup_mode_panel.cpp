#include "ui/backup_mode_panel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/app.h"
#include "todo/backup_mode.h"
#include "ui/picture_button.h"
#include "ui/qt_text.h"
#include "ui/skin.h"
#include "window_rules/buttons.h"

namespace dd::ui {

namespace {

const QSize kStatusSize(48, 24), kOperationSize(64, 32);

// The pictures of a drop-down row, by item number: the Extra rows hold three of the five.
std::vector<int> DropDownPictures(int row, int side) {
  if (row != 1) return {1, 2, 3, 4, 5};
  return side == 0 ? std::vector<int>{1, 2, 5} : std::vector<int>{1, 3, 4};
}

const char* const kRowKeys[] = {"optIdentical", "OptExtraInF1", "OptExtraInF2", "OptNewerInF1", "OptNewerInF2"};

}  // namespace

BackupModePanel::BackupModePanel(App& app, const SkinPictures& pictures, const ButtonFactory& makeButton,
                                 QWidget* parent)
    : SkinPanel(pictures.backgrounds[4], parent), app_(app), pictures_(pictures) {
  setObjectName(QStringLiteral("frameBackupModes"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(12, 8, 8, 8);

  auto* top = new QHBoxLayout;
  comboCaption_ = new QLabel(this);
  cmbBackupModes_ = new QComboBox(this);
  cmbBackupModes_->setObjectName(QStringLiteral("cmbBackupModes"));
  cmbBackupModes_->setMinimumWidth(240);
  comboCaption_->setBuddy(cmbBackupModes_);
  top->addWidget(comboCaption_);
  top->addWidget(cmbBackupModes_);
  top->addStretch(1);
  top->addWidget(makeButton(kBtnHideModesPanel, this), 0, Qt::AlignTop);
  outer->addLayout(top);

  auto* body = new QHBoxLayout;
  body->setSpacing(28);
  body->addLayout(BuildOptionGrid());
  body->addLayout(BuildDropDowns());
  body->addStretch(1);
  outer->addLayout(body);
  outer->addStretch(1);

  connect(cmbBackupModes_, &QComboBox::activated, this,
          [this](int index) { ComboSelected(app_.Modes, app_.Run.Lifecycle, app_.messages, index); });
  FillDropDowns();
}

// A row per file status, a column per operation.
QGridLayout* BackupModePanel::BuildOptionGrid() {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(4);
  for (int c = 0; c < 5; ++c) {
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgOperation(%1)").arg(c));
    picture->setFixedSize(kOperationSize);
    picture->setScaledContents(true);
    operationPictures_[c] = picture;
    grid->addWidget(picture, 0, 2 + c, Qt::AlignCenter);
  }
  for (int r = 0; r < 5; ++r) {
    auto* status = new QLabel(this);
    status->setObjectName(QStringLiteral("imgStatus(%1)").arg(r));
    status->setFixedSize(kStatusSize);
    status->setScaledContents(true);
    statusPictures_[r] = status;
    grid->addWidget(status, r + 1, 0);
    rowCaptions_[r] = new QLabel(this);
    grid->addWidget(rowCaptions_[r], r + 1, 1);
    auto* group = new QButtonGroup(this);
    for (int c = 0; c < 5; ++c) {
      auto* option = new QRadioButton(this);
      option->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(kRowKeys[r])).arg(c));
      option->setEnabled(IsOptionEnabled(r, c));
      group->addButton(option, c);
      options_[r][c] = option;
      grid->addWidget(option, r + 1, 2 + c, Qt::AlignCenter);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this, r](int c) { OptionClicked(app_.Modes, app_.Run.Lifecycle, app_.messages, r, c); });
  }
  return grid;
}

// The picture drop-downs: a row per status group, a column per side.
QGridLayout* BackupModePanel::BuildDropDowns() {
  auto* drops = new QGridLayout;
  drops->setHorizontalSpacing(10);
  for (int side = 0; side < 2; ++side) {
    sideCaptions_[side] = new QLabel(this);
    drops->addWidget(sideCaptions_[side], 0, 1 + side, Qt::AlignCenter);
  }
  for (int row = 0; row < 3; ++row) {
    dropDownCaptions_[row] = new QLabel(this);
    drops->addWidget(dropDownCaptions_[row], row + 1, 0);
    for (int side = 0; side < 2; ++side) {
      auto* box = new QComboBox(this);
      box->setObjectName(QStringLiteral("%1(%2)")
                             .arg(side == 0 ? QStringLiteral("icOperationSource") : QStringLiteral("icOperationTarget"))
                             .arg(row));
      box->setIconSize(kOperationSize);
      (side == 0 ? icSource_ : icTarget_)[row] = box;
      drops->addWidget(box, row + 1, 1 + side);
      // activated comes from the user only; the program's own selections stay silent.
      connect(box, &QComboBox::activated, this, [this, row, side](int index) {
        DropDownClicked(app_.Modes, app_.Run.Lifecycle, app_.messages, row, side, index + 1);
      });
    }
  }
  drops->setRowStretch(4, 1);
  return drops;
}

void BackupModePanel::FillDropDowns() {
  for (int row = 0; row < 3; ++row)
    for (int side = 0; side < 2; ++side) {
      QComboBox* box = dropDown(row, side);
      const int selected = box->currentIndex();
      box->clear();
      for (int k : DropDownPictures(row, side)) {
        box->addItem(pictures_.operations[k], QString());
        const int item = box->count() - 1;
        box->setItemData(item, operationNames_[k], Qt::ToolTipRole);
        box->setItemData(item, operationNames_[k], Qt::AccessibleTextRole);
      }
      box->setCurrentIndex(selected < 0 ? 0 : selected);
    }
}

void BackupModePanel::ShowMode() {
  const BackupModeState& m = app_.Modes;
  if (cmbBackupModes_->count() != static_cast<int>(m.ComboItems.size())) {
    cmbBackupModes_->clear();
    for (const std::string& item : m.ComboItems) cmbBackupModes_->addItem(Display(item));
  } else {
    for (std::size_t i = 0; i < m.ComboItems.size(); ++i)
      cmbBackupModes_->setItemText(static_cast<int>(i), Display(m.ComboItems[i]));
  }
  cmbBackupModes_->setCurrentIndex(m.SelectedMode);
  for (int r = 0; r < 5; ++r) options_[r][SelectedOption(m.CurrentBackupMode, r)]->setChecked(true);
  for (int row = 0; row < 3; ++row)
    for (int side = 0; side < 2; ++side)
      dropDown(row, side)->setCurrentIndex(SelectedDropDownItem(m.CurrentBackupMode, row, side) - 1);
}

void BackupModePanel::LanguageChanged(const TextOf& text) {
  SetCaption(comboCaption_, text(QStringLiteral("cmbBackupModes")));
  cmbBackupModes_->setAccessibleName(comboCaption_->text());
  const QString operationKeys[] = {QString(),
                                   QStringLiteral("lblOperation(0)"),
                                   QStringLiteral("lblOperation(1)"),
                                   QStringLiteral("lblOperation(2)"),
                                   QStringLiteral("lblOperation(4)"),
                                   QStringLiteral("lblOperation(3)")};
  for (int k = 1; k <= 5; ++k) operationNames_[k] = text(operationKeys[k]);
  for (int c = 0; c < 5; ++c) {
    const QString name = text(QStringLiteral("lblOperation(%1)").arg(c));
    operationPictures_[c]->setToolTip(name);
    operationPictures_[c]->setAccessibleName(name);
  }
  for (int r = 0; r < 5; ++r) {
    const QString row = text(QLatin1String(kRowKeys[r]));
    SetCaption(rowCaptions_[r], row);
    statusPictures_[r]->setToolTip(row);
    statusPictures_[r]->setAccessibleName(row);
    for (int c = 0; c < 5; ++c) {
      const QString cell =
          row + QStringLiteral(": ") + operationNames_[PictureOfOperationName(OperationCodeOfNumber(c))];
      options_[r][c]->setToolTip(cell);
      options_[r][c]->setAccessibleName(cell);
    }
  }
  for (int side = 0; side < 2; ++side) SetCaption(sideCaptions_[side], text(QStringLiteral("label(%1)").arg(side)));
  for (int row = 0; row < 3; ++row) {
    const QString caption = text(QStringLiteral("lblDropDown(%1)").arg(row));
    SetCaption(dropDownCaptions_[row], caption);
    for (int side = 0; side < 2; ++side) {
      const QString name = caption + QStringLiteral(", ") + sideCaptions_[side]->text();
      dropDown(row, side)->setToolTip(name);
      dropDown(row, side)->setAccessibleName(name);
    }
  }
  FillDropDowns();
  ShowMode();
}

void BackupModePanel::SkinChanged() {
  for (int r = 0; r < 5; ++r)
    if (!pictures_.status[r].isNull()) statusPictures_[r]->setPixmap(pictures_.status[r].pixmap(kStatusSize));
  for (int c = 0; c < 5; ++c) {
    const QIcon& picture = pictures_.operations[PictureOfOperationName(OperationCodeOfNumber(c))];
    if (!picture.isNull()) operationPictures_[c]->setPixmap(picture.pixmap(kOperationSize));
  }
  FillDropDowns();
  update();
}

}  // namespace dd::ui
