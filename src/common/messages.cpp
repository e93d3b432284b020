#include "common/messages.h"

namespace dd {

std::string Messages::Text(const std::string& key) const {
  return texts_.Lookup(files_.LanguageFilePath, key, settings_.LanguageIndex);
}

Answer Messages::Show(const std::string& promptKey, const std::string& titleKey, Buttons buttons, Icon icon,
                      MessageKind kind) {
  return Show(promptKey, Text(promptKey), titleKey.empty() ? std::string() : Text(titleKey), buttons, icon, kind);
}

Answer Messages::Show(const std::string& key, std::string prompt, std::string title, Buttons buttons, Icon icon,
                      MessageKind kind) {
  Message m;
  m.kind = kind;
  m.key = key;
  m.prompt = std::move(prompt);
  m.title = std::move(title);
  m.buttons = buttons;
  m.icon = icon;
  return screen_.ShowMessage(m);
}

}  // namespace dd
