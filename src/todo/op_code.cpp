#include "todo/op_code.h"

#include <utility>

#include "todo/backup_mode.h"
#include "todo/record_texts.h"

namespace dd {

namespace {

template <class Value, std::size_t N>
bool Lookup(const std::pair<std::string_view, Value> (&table)[N], std::string_view text, Value& value) {
  for (const auto& [name, v] : table) {
    if (text != name) continue;
    value = v;
    return true;
  }
  return false;
}

}  // namespace

bool ParseOpCode(std::string_view text, OpCode& code) {
  static const std::pair<std::string_view, OpCode> kCodes[] = {
      {kDoNothing, OpCode::DoNothing},           {kCopyToTarget, OpCode::CopyToTarget},
      {kCopyToSource, OpCode::CopyToSource},     {kDeleteInSource, OpCode::DeleteInSource},
      {kDeleteInTarget, OpCode::DeleteInTarget}, {kMoveInSource, OpCode::MoveInSource},
      {kMoveInTarget, OpCode::MoveInTarget}};
  return Lookup(kCodes, text, code);
}

bool ParseFileStatus(std::string_view text, FileStatus& status) {
  static const std::pair<std::string_view, FileStatus> kStatuses[] = {{kStatusIdentical, FileStatus::Identical},
                                                                      {kStatusExtraInF1, FileStatus::ExtraInF1},
                                                                      {kStatusExtraInF2, FileStatus::ExtraInF2},
                                                                      {kStatusNewerInF1, FileStatus::NewerInF1},
                                                                      {kStatusNewerInF2, FileStatus::NewerInF2}};
  return Lookup(kStatuses, text, status);
}

}  // namespace dd
