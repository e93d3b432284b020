// The backup-mode panel: the mode combo, the option grid and the picture
// drop-downs, all three showing the current mode; the rules are the core's.
#pragma once

#include <QWidget>
#include <array>

#include "ui/skin_panel.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;

namespace dd {
class App;
}

class QGridLayout;

namespace dd::ui {

struct SkinPictures;

class BackupModePanel : public SkinPanel {
 public:
  BackupModePanel(App& app, const SkinPictures& pictures, const ButtonFactory& makeButton, QWidget* parent);

  // ShowCurrentBackupMode: every editor shows CurrentBackupMode.
  void ShowMode();
  void LanguageChanged(const TextOf& text);
  void SkinChanged();

  QComboBox* combo() const { return cmbBackupModes_; }
  QRadioButton* option(int row, int column) const { return options_[row][column]; }
  QComboBox* dropDown(int row, int side) const { return side == 0 ? icSource_[row] : icTarget_[row]; }

 private:
  QGridLayout* BuildOptionGrid();
  QGridLayout* BuildDropDowns();
  void FillDropDowns();

  App& app_;
  const SkinPictures& pictures_;
  QComboBox* cmbBackupModes_ = nullptr;
  QLabel* comboCaption_ = nullptr;
  std::array<std::array<QRadioButton*, 5>, 5> options_{};
  std::array<QLabel*, 5> statusPictures_{}, rowCaptions_{};
  std::array<QLabel*, 5> operationPictures_{};
  std::array<QComboBox*, 3> icSource_{}, icTarget_{};
  std::array<QLabel*, 3> dropDownCaptions_{};
  std::array<QLabel*, 2> sideCaptions_{};
  std::array<QString, 6> operationNames_;  // by picture number 1..5
};

}  // namespace dd::ui
