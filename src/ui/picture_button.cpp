#include "ui/picture_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace dd::ui {

PictureButton::PictureButton(int number, const SkinPictures& pictures, std::function<std::string()> activeButton,
                             QWidget* parent)
    : QAbstractButton(parent), number_(number), pictures_(pictures), activeButton_(std::move(activeButton)) {
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
}

int PictureButton::look() const {
  return ButtonLook(number_, activeButton_(), underMouse());
}

QSize PictureButton::sizeHint() const {
  const QIcon& icon = pictures_.buttons[number_][1];
  const QList<QSize> sizes = icon.availableSizes();
  if (!sizes.isEmpty()) return sizes.first();
  // No picture yet: room for the caption.
  return QSize(std::max(56, fontMetrics().horizontalAdvance(text()) + 16), 48);
}

void PictureButton::setCaption(const QString& text) {
  setText(text);
  setToolTip(text);
  setAccessibleName(text);
  updateGeometry();
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QIcon& icon = pictures_.buttons[number_][look()];
  if (!icon.isNull()) {
    icon.paint(&p, rect());
  } else {
    // Without the skin's picture the button still shows what it does and its look.
    const int l = look();
    QColor fill = l == 1 ? QColor(78, 144, 222) : l == 2 ? QColor(158, 200, 254) : QColor(67, 142, 142);
    if (l == 4) fill = fill.lighter(130);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(fill);
    p.setPen(QColor(40, 70, 120));
    p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 6, 6);
    p.setPen(l == 2 ? Qt::black : Qt::white);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
  }
  if (isDown()) p.fillRect(rect(), QColor(0, 0, 0, 40));
  if (hasFocus()) {
    QStyleOptionFocusRect o;
    o.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
  }
}

void PictureButton::enterEvent(QEnterEvent* e) {
  QAbstractButton::enterEvent(e);
  update();
}

void PictureButton::leaveEvent(QEvent* e) {
  QAbstractButton::leaveEvent(e);
  update();  // leaving ends the mouse-over look
}

}  // namespace dd::ui
