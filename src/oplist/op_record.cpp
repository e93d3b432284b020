#include "oplist/op_record.h"

#include <charconv>
#include <cstring>

#include "common/run_statistics.h"
#include "common/text.h"

namespace dd {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<int64_t> SizeOfField(std::string_view field) {
  if (field.empty()) return 0;
  const char first = field.front();
  // No number at all counts 0; something that starts like a number must be a plain one.
  if (!IsDigit(first) && first != '+' && first != '-' && first != '.' && first != ' ') return 0;
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (!IsDigit(first) || ec != std::errc() || ptr != field.data() + field.size() || value > kMaxRecordSize)
    return std::nullopt;
  return value;
}

std::optional<OpRecordView> OpRecordView::Parse(std::string_view line) {
  if (line.empty()) return std::nullopt;
  // Every list is read this way, often several times per run: plain pointers, one search per TAB.
  std::string_view f[7];
  const char* p = line.data();
  const char* const end = p + line.size();
  for (std::size_t n = 0; n < 6; ++n) {
    const char* tab = static_cast<const char*>(std::memchr(p, kTab, static_cast<std::size_t>(end - p)));
    if (!tab) return std::nullopt;
    f[n] = std::string_view(p, static_cast<std::size_t>(tab - p));
    p = tab + 1;
  }
  if (std::memchr(p, kTab, static_cast<std::size_t>(end - p))) return std::nullopt;
  f[6] = std::string_view(p, static_cast<std::size_t>(end - p));
  const std::optional<int64_t> size1 = SizeOfField(f[5]), size2 = SizeOfField(f[6]);
  if (!size1 || !size2) return std::nullopt;
  return OpRecordView{f[0], f[1], f[2], f[3], f[4], *size1, *size2};
}

std::optional<OpRecord> OpRecord::Parse(std::string_view line) {
  const std::optional<OpRecordView> v = OpRecordView::Parse(line);
  if (!v) return std::nullopt;
  return OpRecord{std::string(v->OpText),
                  std::string(v->Code),
                  std::string(v->Status),
                  std::string(v->PathF1),
                  std::string(v->PathF2),
                  v->SizeF1,
                  v->SizeF2};
}

std::string OpRecord::Format() const {
  return Format(OpText, Code, Status, PathF1, PathF2, SizeF1, SizeF2);
}

std::string OpRecord::Format(std::string_view opText, std::string_view code, std::string_view status,
                             std::string_view pathF1, std::string_view pathF2, int64_t sizeF1, int64_t sizeF2) {
  std::string line;
  line.reserve(opText.size() + code.size() + status.size() + pathF1.size() + pathF2.size() + 48);
  for (std::string_view field : {opText, code, status, pathF1, pathF2}) {
    line += field;
    line += kTab;
  }
  line += std::to_string(sizeF1);
  line += kTab;
  line += std::to_string(sizeF2);
  return line;
}

}  // namespace dd
