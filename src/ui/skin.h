// The pictures of the window: the current skin's files and the folder-list images.
#pragma once

#include <QIcon>
#include <array>
#include <string>

#include "window_rules/buttons.h"
#include "window_rules/todo_view.h"

namespace dd::ui {

// Loads a picture file into `into` when it exists, with its "@2x" variant when
// there is one; a missing file keeps the old picture. Returns whether it loaded.
bool LoadPicture(QIcon& into, const std::string& path);

struct SkinPictures {
  std::array<QIcon, kToDoImageCount> toDo;  // the to-do list images, by PictureNumberOfKey
  std::array<QIcon, 5> folders;             // the folder-list status images, by PairIcon
  std::array<std::array<QIcon, kDisabledLook + 1>, kHighestButton + 1> buttons;  // [button][look 1..5]
  std::array<QIcon, 6> backgrounds;                                              // BG1..BG5 at 1..5
  QIcon lineH, lineV;
  QIcon picFiles, picFolders, picDelete, picNew, picReplace, picMove;
  QIcon appIcon;
  // The backup-mode panel: the five status pictures beside the grid rows (Identical,
  // Extra in F1, Extra in F2, Newer in F1, Newer in F2) and the operation pictures by PictureNumberOfKey 1..5.
  std::array<QIcon, 5> status;
  std::array<QIcon, 6> operations;

  // The pictures of skin `skin` below the program folder.
  void LoadSkin(const std::string& programFolder, int skin);
  // HintergrundEinstellen: only the backgrounds BG1..BG5 of skin `skin`.
  void LoadBackgrounds(const std::string& programFolder, int skin);
  // The images of the folder list and the program icon.
  void LoadFolderImages(const std::string& programFolder, int skin);
};

}  // namespace dd::ui
