// Byte-oriented text helpers. Texts are never re-encoded: a name that is not
// valid UTF-8 passes through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dd {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr char kTab = '\t';

// While `search` occurs, replace all of its occurrences by `replacement`.
std::string ReplaceAllRepeated(std::string text, std::string_view search, std::string_view replacement);

// One pass, left to right, non-overlapping.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement);

// Drops one trailing, then one leading occurrence of `affix`.
std::string StripAffixOnce(std::string text, std::string_view affix);

// Lists kept as text: CR LF CR LF collapsed to CR LF, then one trailing and one leading CR LF dropped.
std::string NormaliseList(std::string text);

// Splits at every occurrence of `separator`. An empty text gives an empty list,
// like the list files expect ("an empty file is an empty list").
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Like Split, but an empty text gives one empty element.
std::vector<std::string> SplitKeepEmpty(std::string_view text, std::string_view separator);

std::string Join(const std::vector<std::string>& parts, std::string_view separator);

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// ASCII upper/lower case; other bytes stay as they are.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// The leading decimal number of a text after optional blanks, tabs and line
// breaks; reading stops at the first character that cannot continue the number.
// A text without a number reads as 0.
double LeadingNumber(std::string_view text);

// LeadingNumber after every "," was replaced by ".".
double ParseNumber(std::string_view text);

// True when the text can stand as one field of the TAB- and line-separated
// formats and reach a system call whole: no TAB, CR, LF or NUL byte.
bool IsRecordableText(std::string_view text);

// The text with its control bytes and backslashes written as escapes (\n, \t, \r, \0, \x1b, \\),
// so that a name holding them fits on one line and reads unambiguously.
std::string EscapedText(std::string_view text);

// Counts the fields a split at TAB would give (an empty text gives 1).
std::size_t CountTabFields(std::string_view record);

}  // namespace dd
