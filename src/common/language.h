// Language texts from "Sprachen.txt": one line per key, one column per language.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace dd {

// Tab runs merged, empty lines removed.
std::string NormaliseLanguageText(std::string text);
// The value after the first occurrence of `key` in an already normalised text.
std::string FindLanguageValue(const std::string& key, const std::string& text, int column);
// Reads the language file and looks the key up in the language's column.
std::string LoadLanguageText(const std::string& languageFilePath, const std::string& key, int language);
// The value after a bracketed key in a text, column 0; "0" for an empty text.
std::string GetInfoFromString(const std::string& key, const std::string& text);

// The language file, read and normalised once and read again only when its path,
// modification time or size changes. Lookups are remembered per language. A run
// on a thread of its own looks texts up while the window does too: one lookup at a time.
class LanguageTexts {
 public:
  std::string Lookup(const std::string& path, const std::string& key, int language);
  // True when the file is missing or holds nothing but empty lines and tabs.
  bool Empty(const std::string& path);

 private:
  void Refresh(const std::string& path);

  std::mutex mutex_;
  std::string path_;
  bool present_ = false;
  int64_t mtimeNs_ = 0, size_ = 0;
  std::string text_;
  int language_ = 0;
  std::unordered_map<std::string, std::string> values_;
};

}  // namespace dd
