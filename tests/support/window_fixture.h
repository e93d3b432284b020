// A main window on a temporary program folder that holds the shipped language
// file; every box is answered Yes or OK and recorded, the file dialog returns
// `savePath`.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/todo_model.h"

namespace dd::test {

struct WindowFixture : ::testing::Test {
  TempDir dir;
  std::string home = dir / "home";
  std::unique_ptr<ui::MainWindow> window;
  std::vector<std::string> boxes;  // the keys of the boxes shown, in order
  std::string savePath;

  void Start(const std::string& commandLine = {}) {
    MakeDirs(home);
    CopyLanguageFile(home);
    window = std::make_unique<ui::MainWindow>();
    window->messageHook = [this](const Message& m) {
      boxes.push_back(m.key.empty() ? m.prompt : m.key);
      return m.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    };
    window->fileDialogHook = [this](FileDialogMode) { return savePath; };
    window->StartUp(home, commandLine, StartUpOptions{false});
  }
  App& app() { return window->app(); }
  int Rows() { return window->toDoModel()->rowCount(); }
};

}  // namespace dd::test
