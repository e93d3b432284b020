// The desktop's stand-ins for the shell: show an item in the file manager, open it.
#pragma once

#include <string>

namespace dd::ui {

// Asks the desktop's file manager to show the item selected (D-Bus
// org.freedesktop.FileManager1.ShowItems); opens the parent folder when no file
// manager answers. Never blocks and never goes through a shell.
void ShowInFileManager(const std::string& path);
// Opens the item with the program the desktop associates with it.
void OpenWithShell(const std::string& path);

}  // namespace dd::ui
