#include "common/text.h"

#include <charconv>
#include <cstdlib>

namespace dd {

std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement) {
  if (search.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(search, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + search.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string ReplaceAllRepeated(std::string text, std::string_view search, std::string_view replacement) {
  // A replacement that contains the search text would never end.
  if (search.empty() || replacement.find(search) != std::string_view::npos) return text;
  while (text.find(search) != std::string::npos) text = ReplaceAll(text, search, replacement);
  return text;
}

std::string StripAffixOnce(std::string text, std::string_view affix) {
  if (affix.empty() || text.empty() || affix.size() > text.size()) return text;
  if (EndsWith(text, affix)) text.erase(text.size() - affix.size());
  if (StartsWith(text, affix)) text.erase(0, affix.size());
  return text;
}

std::string NormaliseList(std::string text) {
  return StripAffixOnce(ReplaceAllRepeated(std::move(text), "\r\n\r\n", kCrLf), kCrLf);
}

std::vector<std::string> SplitKeepEmpty(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  if (separator.empty()) {
    parts.emplace_back(text);
    return parts;
  }
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(separator, pos);
    if (hit == std::string_view::npos) break;
    parts.emplace_back(text.substr(pos, hit - pos));
    pos = hit + separator.size();
  }
  parts.emplace_back(text.substr(pos));
  return parts;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  if (text.empty()) return {};
  return SplitKeepEmpty(text, separator);
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::size_t total = 0;
  for (const auto& p : parts) total += p.size() + separator.size();
  std::string out;
  out.reserve(total);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out.append(separator);
    out.append(parts[i]);
  }
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
  bool digits = false, dot = false, exponent = false;
  while (i < text.size()) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      number += c;
    } else if (c == '.' && !dot && !exponent) {
      dot = true;
      number += c;
    } else if ((c == 'e' || c == 'E') && digits && !exponent && i + 1 < text.size() &&
               ((text[i + 1] >= '0' && text[i + 1] <= '9') ||
                ((text[i + 1] == '+' || text[i + 1] == '-') && i + 2 < text.size() && text[i + 2] >= '0' &&
                 text[i + 2] <= '9'))) {
      exponent = true;
      number += c;
      number += text[++i];
    } else {
      break;
    }
    ++i;
  }
  if (!digits) return 0.0;
  return std::strtod(number.c_str(), nullptr);
}

double ParseNumber(std::string_view text) {
  return LeadingNumber(ReplaceAll(text, ",", "."));
}

bool IsRecordableText(std::string_view text) {
  // A plain loop: find_first_of searches the set once per character, and this runs for every name scanned.
  for (const char c : text)
    if (c == '\t' || c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

std::string EscapedText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\0':
        out += "\\0";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::size_t CountTabFields(std::string_view record) {
  std::size_t n = 1;
  for (std::size_t at = record.find('\t'); at != std::string_view::npos; at = record.find('\t', at + 1)) ++n;
  return n;
}

}  // namespace dd
