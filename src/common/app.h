// The application object: owns all state of the program and the screen it talks to.
#pragma once

#include <string>

#include "common/language.h"
#include "common/messages.h"
#include "common/run_statistics.h"
#include "common/screen.h"
#include "common/state.h"
#include "common/trash.h"

namespace dd {

class App {
 public:
  // The front end hands in its screen and the desktop's trash (none: the trash option fails those operations).
  explicit App(Screen& screen, Trash* trash = nullptr)
      : screen(screen), trash(trash), messages(screen, texts_, Files, settings) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Screen& screen;
  ProgramFiles Files;
  Settings settings;
  RunStatistics Run;
  BackupModeState Modes;
  JobOptions Options;
  JobState Job;
  ToDoState ToDo;
  RateState Rates;
  // Where deleted and replaced files go when the job asks for it; none: the option fails those operations.
  Trash* trash;

  // The text of a message key in the current language ("" when unknown).
  std::string Text(const std::string& key) const { return messages.Text(key); }
  // The language file is missing or empty: every text would be "".
  bool LanguageFileEmpty() const { return texts_.Empty(Files.LanguageFilePath); }

  // A message box whose prompt and title are the texts of two keys.
  Answer Show(const std::string& promptKey, const std::string& titleKey, Buttons buttons = Buttons::Ok,
              Icon icon = Icon::None, MessageKind kind = MessageKind::Plain) {
    return messages.Show(promptKey, titleKey, buttons, icon, kind);
  }
  // A message box with a prompt built by the caller.
  Answer Show(const std::string& key, std::string prompt, std::string title, Buttons buttons = Buttons::Ok,
              Icon icon = Icon::None, MessageKind kind = MessageKind::Plain) {
    return messages.Show(key, std::move(prompt), std::move(title), buttons, icon, kind);
  }

  void Yield() { screen.Yield(); }

 private:
  mutable LanguageTexts texts_;

 public:
  // The screen and the texts, for functions that take no more of the application than that.
  Messages messages;
};

}  // namespace dd
