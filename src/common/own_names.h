// Names of the entries this program makes in the user's trees, and of the
// desktop trash folders a drive holds at its top: none of them is user data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dd {

// The name of temporary copy number `n` of process `pid`: ".dualdock-copy-<pid>-<n>".
std::string TemporaryCopyName(int64_t pid, uint64_t n);

// True for a name TemporaryCopyName gives, exactly: both numbers in plain
// decimal, the process id above 0 and within the range of one; `pid` receives it.
bool IsTemporaryCopyName(std::string_view name, int64_t* pid = nullptr);

// ".Trash" or ".Trash-<uid>": the trash folders the freedesktop.org rules put at the top of a drive.
bool IsTrashFolderName(std::string_view name);

}  // namespace dd
