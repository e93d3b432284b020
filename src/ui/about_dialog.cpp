#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/version.h"

namespace dd::ui {

AboutDialog::AboutDialog(const QIcon& background, const QString& title, const QString& description, QWidget* parent)
    : QDialog(parent), background_(background) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("frmAbout"));
  auto* layout = new QVBoxLayout(this);
  // The background's program mark stands on the left; the text keeps right of it.
  layout->setContentsMargins(176, 24, 20, 16);
  auto* name = new QLabel(QStringLiteral("<b style='font-size:18pt'>Dualdock</b>"), this);
  auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(DUALDOCK_VERSION)), this);
  description_ = new QLabel(description, this);
  description_->setObjectName(QStringLiteral("lblDescription"));
  description_->setWordWrap(true);
  for (QLabel* l : {name, version, description_}) {
    l->setAutoFillBackground(false);
    layout->addWidget(l);
  }
  layout->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setFixedSize(480, 320);
}

QString AboutDialog::description() const {
  return description_->text();
}

void AboutDialog::paintEvent(QPaintEvent* e) {
  if (background_.isNull()) return QDialog::paintEvent(e);
  QPainter p(this);
  const QSize size = background_.availableSizes().value(0, this->size());
  p.drawPixmap(rect(), background_.pixmap(size));
}

}  // namespace dd::ui
