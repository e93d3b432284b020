// The progress bar of runs: a box filled from the left in the colour of the last operation.
#pragma once

#include <QWidget>

namespace dd::ui {

class ProgressPicture : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressPicture(QWidget* parent = nullptr);
  // PaintProgress: `percent` is clamped to 0..100 and written back.
  void PaintProgress(int& percent, const QColor& colour);
  int percent() const { return percent_; }
  QColor colour() const { return colour_; }
  QSize sizeHint() const override { return QSize(200, 14); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int percent_ = 0;
  QColor colour_ = Qt::black;
};

}  // namespace dd::ui
