#include "ui/skin_panel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>

namespace dd::ui {

SkinPanel::SkinPanel(const QIcon& background, QWidget* parent) : QWidget(parent), background_(background) {
  setAutoFillBackground(false);
}

void SkinPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (background_.isNull()) {
    p.fillRect(rect(), palette().window());
    return;
  }
  const QSize size = background_.availableSizes().value(0, this->size());
  p.drawPixmap(rect(), background_.pixmap(size));
}

void SetCaption(QWidget* control, const QString& text) {
  if (text.isEmpty()) return;
  if (auto* b = qobject_cast<QAbstractButton*>(control)) {
    b->setText(text);
  } else if (auto* l = qobject_cast<QLabel*>(control)) {
    l->setText(text);
  } else {
    control->setToolTip(text);
  }
  control->setAccessibleName(QString(text).remove(QLatin1Char('&')));
}

}  // namespace dd::ui
