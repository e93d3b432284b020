#include "common/language.h"

#include <sys/stat.h>

#include "common/files.h"
#include "common/text.h"

namespace dd {

std::string NormaliseLanguageText(std::string text) {
  text = ReplaceAllRepeated(std::move(text), "\t\t", "\t");
  return ReplaceAllRepeated(std::move(text), "\r\n\r\n", kCrLf);
}

std::string FindLanguageValue(const std::string& key, const std::string& text, int column) {
  if (key.empty() || text.empty() || column < 0) return {};
  std::size_t hit = text.find(key);
  if (hit == std::string::npos) return {};
  std::size_t start = hit + key.size();
  std::size_t end = text.find(kCrLf, start);
  std::string_view rest =
      std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
  // Field 0 is whatever stands between the key and the first tab.
  std::size_t pos = 0;
  for (int field = 0; field <= column; ++field) {
    pos = rest.find('\t', pos);
    if (pos == std::string_view::npos) return {};
    ++pos;
  }
  std::size_t stop = rest.find('\t', pos);
  std::string value(rest.substr(pos, stop == std::string_view::npos ? std::string_view::npos : stop - pos));
  return ReplaceAll(value, "[ENTER]", kCrLf);
}

std::string LoadLanguageText(const std::string& languageFilePath, const std::string& key, int language) {
  std::string text = NormaliseLanguageText(ReadTextFile(languageFilePath));
  if (text.empty()) return {};
  return FindLanguageValue(key, text, language);
}

std::string GetInfoFromString(const std::string& key, const std::string& text) {
  if (text.empty()) return "0";
  return FindLanguageValue(key, NormaliseLanguageText(text), 0);
}

void LanguageTexts::Refresh(const std::string& path) {
  struct stat st {};
  const bool present = ::stat(path.c_str(), &st) == 0;
  const int64_t mtimeNs = present ? int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec : 0;
  const int64_t size = present ? int64_t{st.st_size} : 0;
  if (path == path_ && present == present_ && mtimeNs == mtimeNs_ && size == size_) return;
  path_ = path;
  present_ = present;
  mtimeNs_ = mtimeNs;
  size_ = size;
  text_ = present ? NormaliseLanguageText(ReadTextFile(path)) : std::string();
  values_.clear();
}

bool LanguageTexts::Empty(const std::string& path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  Refresh(path);
  return text_.empty();
}

std::string LanguageTexts::Lookup(const std::string& path, const std::string& key, int language) {
  const std::lock_guard<std::mutex> lock(mutex_);
  Refresh(path);
  if (language != language_) {
    language_ = language;
    values_.clear();
  }
  if (text_.empty()) return {};
  auto hit = values_.find(key);
  if (hit == values_.end()) hit = values_.emplace(key, FindLanguageValue(key, text_, language)).first;
  return hit->second;
}

}  // namespace dd
