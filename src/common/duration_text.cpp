#include "common/duration_text.h"

#include "common/format.h"
#include "common/messages.h"

namespace dd {

std::string ShortDurationText(const Messages& messages, double seconds) {
  std::string text = FormatDurationShort(seconds);
  const std::size_t space = text.rfind(' ');
  if (space == std::string::npos) return text;
  // Built in place: GCC 12 at -O3 warns (wrongly) about a chain of string additions here.
  std::string key = "[";
  key.append(text, space + 1).push_back(']');
  const std::string unit = messages.Text(key);
  if (!unit.empty()) text.replace(space + 1, std::string::npos, unit);
  return text;
}

}  // namespace dd
