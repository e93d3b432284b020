#include "todo/op_record.h"

#include <charconv>
#include <cstring>
#include <iterator>

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
  return Format(OpText, Code, Status, {PathF1, {}}, {PathF2, {}}, SizeF1, SizeF2);
}

std::string OpRecord::Format(std::string_view opText, std::string_view code, std::string_view status, PathParts pathF1,
                             PathParts pathF2, int64_t sizeF1, int64_t sizeF2) {
  char sizes[2][24];
  const auto end1 = std::to_chars(sizes[0], sizes[0] + sizeof sizes[0], sizeF1).ptr;
  const auto end2 = std::to_chars(sizes[1], sizes[1] + sizeof sizes[1], sizeF2).ptr;
  const std::string_view size1(sizes[0], static_cast<std::size_t>(end1 - sizes[0]));
  const std::string_view size2(sizes[1], static_cast<std::size_t>(end2 - sizes[1]));
  const std::string_view parts[] = {opText,      code,         status, pathF1.root, pathF1.below,
                                    pathF2.root, pathF2.below, size1,  size2};
  // A TAB after each field; a path's root runs on into the part below it.
  constexpr bool kTabAfter[] = {true, true, true, false, true, false, true, true, false};
  std::size_t length = 0;
  for (std::size_t i = 0; i < std::size(parts); ++i) length += parts[i].size() + kTabAfter[i];
  std::string line(length, kTab);
  char* out = line.data();
  for (std::size_t i = 0; i < std::size(parts); ++i) {
    if (!parts[i].empty()) std::memcpy(out, parts[i].data(), parts[i].size());
    out += parts[i].size() + kTabAfter[i];
  }
  return line;
}

}  // namespace dd
