// What a function needs to talk to the user: the screen and the texts of the
// current language. Lower layers take this instead of the whole application.
#pragma once

#include <string>

#include "common/language.h"
#include "common/screen.h"
#include "common/state.h"

namespace dd {

class Messages {
 public:
  // The paths and the language index are read at each lookup, so a language switch shows at once.
  Messages(Screen& screen, LanguageTexts& texts, const ProgramFiles& files, const Settings& settings)
      : screen_(screen), texts_(texts), files_(files), settings_(settings) {}
  Messages(const Messages&) = delete;
  Messages& operator=(const Messages&) = delete;

  // The text of a message key in the current language ("" when unknown).
  std::string Text(const std::string& key) const;
  // A message box whose prompt and title are the texts of two keys.
  Answer Show(const std::string& promptKey, const std::string& titleKey, Buttons buttons = Buttons::Ok,
              Icon icon = Icon::None, MessageKind kind = MessageKind::Plain);
  // A message box with a prompt built by the caller.
  Answer Show(const std::string& key, std::string prompt, std::string title, Buttons buttons = Buttons::Ok,
              Icon icon = Icon::None, MessageKind kind = MessageKind::Plain);
  void Yield() { screen_.Yield(); }
  Screen& screen() { return screen_; }

 private:
  Screen& screen_;
  LanguageTexts& texts_;
  const ProgramFiles& files_;
  const Settings& settings_;
};

}  // namespace dd
