// A picture button of the skin: a real button (it can be pressed by keyboard
// and assistive tools) that paints the picture of its look.
#pragma once

#include <QAbstractButton>
#include <QPainter>
#include <functional>

#include "ui/skin.h"

namespace dd::ui {

class PictureButton : public QAbstractButton {
  Q_OBJECT
 public:
  // `activeButton` tells which button is the active one (its number; 0 for none).
  PictureButton(int number, const SkinPictures& pictures, std::function<int()> activeButton, QWidget* parent = nullptr);
  int number() const { return number_; }
  // The look the button shows now (1..4, 5 while it cannot be pressed).
  int look() const;
  QSize sizeHint() const override;
  // The caption and tooltip in the current language; also the accessible name.
  void setCaption(const QString& text);

 protected:
  void paintEvent(QPaintEvent*) override;
  void enterEvent(QEnterEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  void PaintWithoutPicture(QPainter& p, int look);
  int number_;
  const SkinPictures& pictures_;
  std::function<int()> activeButton_;
};

}  // namespace dd::ui
