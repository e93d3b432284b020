// Language texts from "Sprachen.txt": one line per key, one column per language.
#pragma once

#include <string>

namespace dd {

// Tab runs merged, empty lines removed.
std::string NormaliseLanguageText(std::string text);
// The value after the first occurrence of `key` in an already normalised text.
std::string SprachenDatenHolen(const std::string& key, const std::string& text, int column);
// Reads the language file and looks the key up in the language's column.
std::string MeldungLaden(const std::string& languageFilePath, const std::string& key, int language);
// The value after a bracketed key in a text, column 0; "0" for an empty text.
std::string GetInfoFromString(const std::string& key, const std::string& text);

}  // namespace dd
