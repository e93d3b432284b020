// A main window on a temporary program folder that holds the shipped language
// file; every box is answered Yes or OK and recorded, the file dialog returns
// `savePath`.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/todo_model.h"

namespace dd::test {

struct WindowFixture : ::testing::Test {
  TempDir dir;
  std::string home = dir / "home";
  std::unique_ptr<ui::MainWindow> window;
  std::vector<std::string> boxes;  // the keys of the boxes shown, in order
  std::string savePath;
  Trash* trash = nullptr;  // handed to the window when it is made

  // `beforeStartUp` sees the window before it reads its program folder.
  void Start(const std::string& commandLine = {}, bool withLanguageFile = true,
             const std::function<void()>& beforeStartUp = {}) {
    MakeDirs(home);
    if (withLanguageFile) CopyLanguageFile(home);
    window = std::make_unique<ui::MainWindow>(trash);
    window->messageHook = [this](const Message& m) {
      boxes.push_back(m.key.empty() ? m.prompt : m.key);
      return m.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    };
    window->fileDialogHook = [this](FileDialogMode) { return savePath; };
    if (beforeStartUp) beforeStartUp();
    window->StartUp(home, commandLine, StartUpOptions{false});
  }
  // The window goes first: a run it still waits for answers into `boxes`.
  void TearDown() override { window.reset(); }
  App& app() { return window->app(); }
  int Rows() { return window->toDoModel()->rowCount(); }
  // Files dragged from a file manager and dropped at `pos`.
  static void DropFiles(QWidget* viewport, QPoint pos, const std::vector<std::string>& paths) {
    QByteArray uris;
    for (const std::string& p : paths) uris += ui::FileUrl(p).toEncoded() + "\r\n";
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), uris);
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
  }
};

}  // namespace dd::test
