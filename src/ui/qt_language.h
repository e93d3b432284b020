// Qt's own texts (standard buttons, file dialogs) in the language the language menu chose.
#pragma once

#include <QTranslator>
#include <memory>
#include <string>

namespace dd::ui {

class QtLanguage {
 public:
  QtLanguage() = default;
  QtLanguage(const QtLanguage&) = delete;
  QtLanguage& operator=(const QtLanguage&) = delete;
  ~QtLanguage();

  // Installs Qt's translation `name` ("qtbase_de") from Qt's translation folder in
  // place of the one before; "" or a file that does not load leaves Qt's English.
  void Follow(const std::string& name);

 private:
  std::unique_ptr<QTranslator> translator_;
  std::string name_;
};

}  // namespace dd::ui
