#include "ui/progress_picture.h"

#include <QPainter>

#include "window_rules/panels.h"

namespace dd::ui {

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(10);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressPicture::PaintProgress(int& percent, const QColor& colour) {
  ProgressFillWidth(percent, width());
  if (percent == percent_ && colour == colour_) return;
  percent_ = percent;
  colour_ = colour;
  update();
}

void ProgressPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The empty part and the edge follow the skin's colours.
  p.fillRect(rect(), palette().color(QPalette::Base));
  int percent = percent_;
  p.fillRect(QRect(0, 0, ProgressFillWidth(percent, width()), height()), colour_);
  p.setPen(palette().color(QPalette::Highlight));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace dd::ui
