// Durations as the window shows them, with the units of the current language.
#pragma once

#include <string>

namespace dd {

class Messages;

// FormatDurationShort with its unit ("sec", "min", "h") looked up as "[sec]",
// "[min]" or "[h]"; the unit stays as it is when the language has no text for it.
std::string ShortDurationText(const Messages& messages, double seconds);

}  // namespace dd
