#include "common/own_names.h"

#include <cstdint>

namespace dd {

namespace {

constexpr std::string_view kCopyPrefix = ".dualdock-copy-";

// Reads a plain decimal number without sign or leading zero (the number 0 alone excepted) up to
// `max`; false otherwise.
bool ReadNumber(std::string_view text, uint64_t max, uint64_t& value) {
  if (text.empty() || text.size() > 20 || (text[0] == '0' && text.size() > 1)) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

}  // namespace

std::string TemporaryCopyName(int64_t pid, uint64_t n) {
  return std::string(kCopyPrefix) + std::to_string(pid) + "-" + std::to_string(n);
}

bool IsTemporaryCopyName(std::string_view name, int64_t* pid) {
  if (!name.starts_with(kCopyPrefix)) return false;
  name.remove_prefix(kCopyPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) return false;
  uint64_t process = 0, number = 0;
  // pid_t is a signed 32-bit number on Linux.
  if (!ReadNumber(name.substr(0, dash), INT32_MAX, process) || process == 0) return false;
  if (!ReadNumber(name.substr(dash + 1), UINT64_MAX, number)) return false;
  if (pid) *pid = static_cast<int64_t>(process);
  return true;
}

bool IsTrashFolderName(std::string_view name) {
  if (name == ".Trash") return true;
  constexpr std::string_view kPrefix = ".Trash-";
  uint64_t uid = 0;
  return name.starts_with(kPrefix) && ReadNumber(name.substr(kPrefix.size()), UINT32_MAX, uid);
}

}  // namespace dd
