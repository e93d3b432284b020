// Finding the freedesktop.org trash of an entry's file system, from handles:
// no link is followed below the trash's top, so the trash cannot be redirected.
#pragma once

#include <string>

namespace dd {

// The open files/ and info/ folders of one trash.
struct TrashFolders {
  int files = -1;
  int info = -1;
  TrashFolders() = default;
  TrashFolders(const TrashFolders&) = delete;
  TrashFolders& operator=(const TrashFolders&) = delete;
  ~TrashFolders();
};

// Opens the trash that can take an entry of the open folder `folder` by a
// rename: the home trash when it is on the same mount, else the trash at the
// top of the folder's mount ("$top/.Trash/$uid" or "$top/.Trash-$uid"), made
// when missing. False when there is none.
bool OpenTrashFor(int folder, TrashFolders& trash);

}  // namespace dd
