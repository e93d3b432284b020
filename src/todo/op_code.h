// A record's operation code and file status as values, for readers that branch on them.
#pragma once

#include <string_view>

namespace dd {

enum class OpCode { DoNothing, CopyToTarget, CopyToSource, DeleteInSource, DeleteInTarget, MoveInSource, MoveInTarget };
enum class FileStatus { Identical, ExtraInF1, ExtraInF2, NewerInF1, NewerInF2 };

// The code of a code field ("=->" and the others, byte for byte); false for any other text.
bool ParseOpCode(std::string_view text, OpCode& code);
// The status of a status field ("Extra in F1" and the others, byte for byte); false for any other text.
bool ParseFileStatus(std::string_view text, FileStatus& status);

}  // namespace dd
