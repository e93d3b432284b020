// Folders made by a run take the mode of the folder they copy.
#pragma once

#include <sys/stat.h>

namespace dd {

// Makes the folder `name` in the open folder `parent` with the mode bits and
// (where allowed, as for root) the owner and group of `model`. It is made no
// more open than the model's owner bits and opened up to the model's mode
// after, so that nobody else can look into it in between. A caller that is not
// root keeps full rights to it for itself, as the run still has to fill it.
// Without a model it gets the usual mode. False when it could not be made.
bool MakeFolderLike(int parent, const char* name, const struct stat* model);

}  // namespace dd
