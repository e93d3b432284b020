#include "ui/skin.h"

#include "common/files.h"
#include "ui/qt_text.h"
#include "window_rules/todo_view.h"

namespace dd::ui {

namespace {

bool IsRegularFile(const std::string& path) {
  return PathExists(path) && !IsDirectory(path);
}

}  // namespace

bool LoadPicture(QIcon& into, const std::string& path) {
  if (!IsRegularFile(path)) return false;
  QIcon icon;
  icon.addFile(DisplayPath(path));
  const std::size_t dot = path.rfind('.');
  if (dot != std::string::npos) {
    const std::string doubled = path.substr(0, dot) + "@2x" + path.substr(dot);
    if (IsRegularFile(doubled)) icon.addFile(DisplayPath(doubled));
  }
  if (icon.availableSizes().isEmpty()) return false;  // not a picture Qt can read
  into = icon;
  return true;
}

void SkinPictures::LoadSkin(const std::string& programFolder, int skin) {
  const std::string folder = SkinFolder(programFolder, skin) + "/";
  for (std::size_t i = 0; i < toDo.size(); ++i) LoadPicture(toDo[i], folder + ToDoImageFiles()[i]);
  for (int b = 1; b <= kHighestButton; ++b)
    for (int look = 1; look <= kDisabledLook; ++look) {
      // Only some buttons have a disabled look; no other skin's picture stands in for it.
      const bool loaded = LoadPicture(buttons[b][look], folder + ButtonPictureFile(b, look));
      if (!loaded && look == kDisabledLook) buttons[b][look] = QIcon();
    }
  LoadBackgrounds(programFolder, skin);
  LoadPicture(lineH, folder + "LH.gif");
  LoadPicture(lineV, folder + "LV.gif");
  LoadPicture(picFiles, folder + "PicFiles.gif");
  LoadPicture(picFolders, folder + "PicFolders.gif");
  LoadPicture(picDelete, folder + "PicDelete.gif");
  LoadPicture(picNew, folder + "PicNew.gif");
  LoadPicture(picReplace, folder + "PicReplace.gif");
  LoadPicture(picMove, folder + "PicMove.gif");
  const char* statusFiles[] = {"StatEqualGIF.gif", "StatExtraGIF.gif", "StatOlderGIF.gif", "StatNewerOlderGIF.gif",
                               "StatOlderNewerGIF.gif"};
  for (std::size_t i = 0; i < status.size(); ++i) LoadPicture(status[i], folder + statusFiles[i]);
  const char* operationFiles[] = {"OpDoNothing.jpg", "OpCopyToTarget.jpg", "OpCopyToSource.jpg", "OpDeleteInTarget.jpg",
                                  "OpDeleteInSource.jpg"};
  for (std::size_t i = 0; i < 5; ++i) LoadPicture(operations[i + 1], folder + operationFiles[i]);
}

void SkinPictures::LoadBackgrounds(const std::string& programFolder, int skin) {
  const std::string folder = SkinFolder(programFolder, skin) + "/";
  for (int i = 1; i <= 5; ++i) LoadPicture(backgrounds[i], folder + "BG" + std::to_string(i) + ".jpg");
}

void SkinPictures::LoadFolderImages(const std::string& programFolder, int skin) {
  // The skin's own copies match its list colour; the ones in "Icons" serve every skin.
  const char* files[] = {"Dualdock.bmp", "Done.bmp", "StatQuestion.bmp", "Search.bmp", "Operation.bmp"};
  for (const std::string& folder : {programFolder + "/Icons/", SkinFolder(programFolder, skin) + "/"})
    for (std::size_t i = 0; i < folders.size(); ++i) LoadPicture(folders[i], folder + files[i]);
  LoadPicture(appIcon, programFolder + "/Icons/dualdock.png");
}

}  // namespace dd::ui
