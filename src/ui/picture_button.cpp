#include "ui/picture_button.h"

#include <QPainter>
#include <QPainterPath>

namespace dd::ui {

namespace {

// The corner radius of the skin's button tiles: 10 units of 48 (5 of 24 for the small ones).
qreal TileRadius(const QRect& r) {
  return std::min(r.width(), r.height()) * 10.0 / 48.0;
}

}  // namespace

PictureButton::PictureButton(int number, const SkinPictures& pictures, std::function<int()> activeButton,
                             QWidget* parent)
    : QAbstractButton(parent), number_(number), pictures_(pictures), activeButton_(std::move(activeButton)) {
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
}

int PictureButton::look() const {
  return ButtonLook(number_, activeButton_(), underMouse(), isEnabled());
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

void PictureButton::PaintWithoutPicture(QPainter& p, int l) {
  // Without the skin's picture the button still shows what it does and its look.
  QColor fill = l == 1 ? QColor(78, 144, 222) : l == 2 ? QColor(158, 200, 254) : QColor(67, 142, 142);
  if (l == 4) fill = fill.lighter(130);
  if (l == kDisabledLook) fill = QColor(170, 176, 184);
  p.setBrush(fill);
  p.setPen(QColor(40, 70, 120));
  p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), TileRadius(rect()), TileRadius(rect()));
  p.setPen(l == 2 ? Qt::black : l == kDisabledLook ? QColor(232, 234, 238) : Qt::white);
  p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  int l = look();
  // Held down, the button shows the skin's pressed look: the active picture, sunk by a pixel.
  const bool down = isDown() && l != kDisabledLook;
  if (down) l = 4;
  const QRect area = down ? rect().translated(0, 1) : rect();
  const QIcon& icon = pictures_.buttons[number_][l];
  if (!icon.isNull()) {
    icon.paint(&p, area);
  } else if (l == kDisabledLook && !pictures_.buttons[number_][1].isNull()) {
    // A skin without the disabled look: its normal picture, faded.
    p.setOpacity(0.35);
    pictures_.buttons[number_][1].paint(&p, area);
    p.setOpacity(1);
  } else {
    PaintWithoutPicture(p, l);
  }
  if (hasFocus()) {
    // The focus ring follows the tile's rounded edge in the skin's accent colour.
    QPen ring(palette().color(QPalette::Highlight), 2);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), TileRadius(rect()), TileRadius(rect()));
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
