#include "common/duration_text.h"

#include "common/app.h"
#include "common/format.h"

namespace dd {

std::string ShortDurationText(const App& app, double seconds) {
  std::string text = FormatDurationShort(seconds);
  const std::size_t space = text.rfind(' ');
  if (space == std::string::npos) return text;
  const std::string unit = app.Text("[" + text.substr(space + 1) + "]");
  if (!unit.empty()) text.replace(space + 1, std::string::npos, unit);
  return text;
}

}  // namespace dd
