#include "window_rules/dialog_filter.h"

#include "common/text.h"

namespace dd {

std::vector<std::pair<std::string, std::string>> ParseDialogFilter(const std::string& filter) {
  std::string text = ReplaceAllRepeated(filter, " |", "|");
  text = ReplaceAllRepeated(text, "| ", "|");
  std::vector<std::pair<std::string, std::string>> result;
  for (const std::string& entry : Split(text, "|")) {
    std::string e = ReplaceAll(ReplaceAll(entry, " (", "("), ")", "");
    std::vector<std::string> parts = SplitKeepEmpty(e, "(");
    if (parts.size() == 2) result.emplace_back(parts[0], parts[1]);
  }
  return result;
}

}  // namespace dd
