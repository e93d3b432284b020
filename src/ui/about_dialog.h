// The About window: the program's description and version on the skin's background.
#pragma once

#include <QDialog>

class QLabel;

namespace dd::ui {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(const QIcon& background, const QString& title, const QString& description, QWidget* parent = nullptr);
  QString description() const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QIcon background_;
  QLabel* description_;
};

}  // namespace dd::ui
