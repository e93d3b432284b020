#include "window_rules/message_columns.h"

namespace dd {

bool HasColumns(const std::string& text) {
  return text.find('\t') != std::string::npos;
}

std::vector<std::vector<std::string>> ColumnRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row(1);
  bool open = false;  // a line has begun that no break has ended yet
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      rows.push_back(std::move(row));
      row.assign(1, std::string());
      open = false;
      continue;
    }
    open = true;
    if (c == '\t')
      row.emplace_back();
    else
      row.back() += c;
  }
  if (open) rows.push_back(std::move(row));
  return rows;
}

}  // namespace dd
