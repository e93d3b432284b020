#include "ui/qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace dd::ui {

QtLanguage::~QtLanguage() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void QtLanguage::Follow(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  if (translator_) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
  }
  if (name.empty()) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromStdString(name), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
}

}  // namespace dd::ui
