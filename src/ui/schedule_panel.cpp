#include "ui/schedule_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "flows/scheduler.h"
#include "ui/picture_button.h"
#include "ui/progress_picture.h"
#include "ui/qt_text.h"
#include "ui/skin.h"
#include "window_rules/buttons.h"

namespace dd::ui {

SchedulePanel::SchedulePanel(Scheduler& scheduler, const SkinPictures& pictures, const ButtonFactory& makeButton,
                             QWidget* parent)
    : SkinPanel(pictures.backgrounds[4], parent), scheduler_(scheduler) {
  setObjectName(QStringLiteral("frameSchedule"));
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(12, 8, 8, 8);
  outer->setSpacing(16);

  off_ = makeButton(kBtnScheduleOffInPanel, this);
  on_ = makeButton(kBtnScheduleOnInPanel, this);
  auto* switches = new QVBoxLayout;
  switches->addWidget(off_);
  switches->addWidget(on_);
  switches->addStretch(1);
  outer->addLayout(switches);

  auto* body = new QVBoxLayout;
  auto* period = new QHBoxLayout;
  txtScheduleTime_ = new QLineEdit(this);
  txtScheduleTime_->setObjectName(QStringLiteral("txtScheduleTime"));
  txtScheduleTime_->setMaximumWidth(80);
  periodCaption_ = new QLabel(this);
  periodCaption_->setBuddy(txtScheduleTime_);
  period->addWidget(txtScheduleTime_);
  period->addWidget(periodCaption_, 1);
  body->addLayout(period);
  // Every change counts, typed or set from outside (assistive and test tools set the text directly).
  connect(txtScheduleTime_, &QLineEdit::textChanged, this,
          [this](const QString& text) { scheduler_.SetPeriodText(PathBytes(text)); });
  chkScheduleOnChange_ = new QCheckBox(this);
  chkScheduleOnChange_->setObjectName(QStringLiteral("chkScheduleOnChange"));
  chkScheduleOnChange_->setChecked(scheduler_.OnChange());
  body->addWidget(chkScheduleOnChange_);
  connect(chkScheduleOnChange_, &QCheckBox::toggled, this, [this](bool on) {
    scheduler_.SetOnChange(on);
    txtScheduleTime_->setEnabled(!on);
  });

  auto makeLabel = [this, body](int index) {
    auto* l = new QLabel(this);
    l->setObjectName(QStringLiteral("label(%1)").arg(index));
    l->setWordWrap(true);
    body->addWidget(l);
    return l;
  };
  offNote_ = makeLabel(41);
  onNote_ = makeLabel(42);
  countdown_ = makeLabel(44);
  picProgressSchedule_ = new ProgressPicture(this);
  picProgressSchedule_->setObjectName(QStringLiteral("picProgressSchedule"));
  picProgressSchedule_->setMinimumHeight(16);
  body->addWidget(picProgressSchedule_);
  body->addStretch(1);
  outer->addLayout(body, 1);
  outer->addWidget(makeButton(kBtnHideSchedule, this), 0, Qt::AlignTop);
  Show(scheduler_.Labels());
}

QLabel* SchedulePanel::label(int index) const {
  return index == 41 ? offNote_ : index == 42 ? onNote_ : index == 44 ? countdown_ : nullptr;
}

void SchedulePanel::Show(const ScheduleLabels& labels) {
  on_->setVisible(labels.On);
  off_->setVisible(!labels.On);
  offNote_->setVisible(!labels.On);
  onNote_->setVisible(labels.On);
  countdown_->setVisible(labels.On);
  countdown_->setText(Display(labels.Countdown));
  picProgressSchedule_->setVisible(labels.On);
  int percent = labels.ProgressPercent;
  picProgressSchedule_->PaintProgress(percent, QColor(kScheduleBarRed, kScheduleBarGreen, kScheduleBarBlue));
}

void SchedulePanel::LanguageChanged(const TextOf& text) {
  for (int index : {41, 42}) SetCaption(label(index), text(QStringLiteral("label(%1)").arg(index)));
  const QString period = text(QStringLiteral("txtScheduleTime"));
  SetCaption(periodCaption_, period);
  SetCaption(txtScheduleTime_, period);
  SetCaption(chkScheduleOnChange_, text(QStringLiteral("chkScheduleOnChange")));
  const QString bar = text(QStringLiteral("picProgressSchedule"));
  SetCaption(picProgressSchedule_, bar);
}

void SchedulePanel::ShowPeriodText(const std::string& text) {
  const QString shown = DisplayPath(text);
  if (txtScheduleTime_->text() != shown) txtScheduleTime_->setText(shown);
}

}  // namespace dd::ui
