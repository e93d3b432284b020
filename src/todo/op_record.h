// One operation record of the list: seven fields separated by TAB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dd {

// The size in a size field: a plain decimal number up to kMaxRecordSize, or 0
// for a field without a number (letters). Anything else (a sign, a fraction, an
// exponent, a larger number) is damage: nullopt.
std::optional<int64_t> SizeOfField(std::string_view field);

// The fields of a record as views into its line, for readers that only look.
struct OpRecordView {
  std::string_view OpText, Code, Status, PathF1, PathF2;
  int64_t SizeF1 = 0, SizeF2 = 0;

  // Same acceptance as OpRecord::Parse; the views live as long as the line.
  static std::optional<OpRecordView> Parse(std::string_view line);
};

struct OpRecord {
  std::string OpText;  // one of the 19-character operation texts
  std::string Code;    // the operation code of the backup mode, e.g. "=->"
  std::string Status;  // the file status that planned it
  std::string PathF1, PathF2;
  int64_t SizeF1 = 0, SizeF2 = 0;

  // The record of a line with exactly seven fields and sizes SizeOfField accepts; nullopt otherwise.
  static std::optional<OpRecord> Parse(std::string_view line);
  std::string Format() const;
  // A path given as a pair's root and the part below it, joined as they stand.
  struct PathParts {
    std::string_view root, below;
  };
  // The line of a record from its fields, without building one, in one allocation:
  // a simulation makes one line per planned item.
  static std::string Format(std::string_view opText, std::string_view code, std::string_view status, PathParts pathF1,
                            PathParts pathF2, int64_t sizeF1, int64_t sizeF2);
};

}  // namespace dd
