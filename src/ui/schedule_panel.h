// The schedule panel: the period in hours, the on/off switch, the countdown
// and the bar. The core's Scheduler keeps the rules; a 100 ms timer ticks it.
#pragma once

#include <QTimer>
#include <array>

#include "common/screen.h"
#include "ui/skin_panel.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace dd {
class Scheduler;
}

namespace dd::ui {

class PictureButton;
class ProgressPicture;
struct SkinPictures;

class SchedulePanel : public SkinPanel {
 public:
  SchedulePanel(Scheduler& scheduler, const SkinPictures& pictures, const ButtonFactory& makeButton, QWidget* parent);

  // The panel's labels, buttons and bar as the scheduler reports them.
  void Show(const ScheduleLabels& labels);
  void LanguageChanged(const TextOf& text);
  // The period text of a new job.
  void ShowPeriodText(const std::string& text);

  QLineEdit* txtScheduleTime() const { return txtScheduleTime_; }
  // The "on change" choice: runs when the folders have changed, instead of at the end of the period.
  QCheckBox* chkScheduleOnChange() const { return chkScheduleOnChange_; }
  ProgressPicture* bar() const { return picProgressSchedule_; }
  QLabel* label(int index) const;

 private:
  Scheduler& scheduler_;
  QLineEdit* txtScheduleTime_ = nullptr;
  QCheckBox* chkScheduleOnChange_ = nullptr;
  QLabel* periodCaption_ = nullptr;
  // What the scheduler does when off and when on (label(41), label(42)), and the time to its next run (label(44)).
  QLabel *offNote_ = nullptr, *onNote_ = nullptr, *countdown_ = nullptr;
  PictureButton *on_ = nullptr, *off_ = nullptr;
  ProgressPicture* picProgressSchedule_ = nullptr;
};

}  // namespace dd::ui
