#include "job/settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/app.h"
#include "common/files.h"
#include "common/language.h"
#include "common/text.h"
#include "common/write_report.h"

namespace dd {

namespace {

// A setting number kept within the range of its 32-bit field.
int ClampToInt(double value) {
  if (!(value >= INT_MIN)) return value > 0 ? INT_MAX : INT_MIN;  // NaN too
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// "[Skin]" and "[Language]": the leading number, rounded half to even.
bool ReadLeadingNumber(const std::string& text, const char* key, int& value) {
  std::string raw = FindLanguageValue(key, text, 0);
  if (raw.empty()) return false;
  value = ClampToInt(std::nearbyint(LeadingNumber(raw)));
  return true;
}

// "[FileTypes]": the whole value as a number; anything else counts as missing.
bool ReadWholeNumber(const std::string& text, const char* key, int& value) {
  std::string raw = FindLanguageValue(key, text, 0);
  std::size_t first = raw.find_first_not_of(" \r\n");
  if (first == std::string::npos) return false;
  std::size_t last = raw.find_last_not_of(" \r\n");
  std::string number = raw.substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  double parsed = std::strtod(number.c_str(), &end);
  if (end != number.c_str() + number.size() || errno == ERANGE || !std::isfinite(parsed)) return false;
  value = ClampToInt(std::nearbyint(parsed));
  return true;
}

}  // namespace

void LoadSettings(App& app) {
  Settings& s = app.settings;
  s = Settings{};
  app.Options.DaylightSaving = true;
  FileRead read = ReadWholeFile(app.Files.SettingsFilePath, kProgramFileLimit, false);
  // A damaged file (a pipe, a device, an oversized file) is replaced like a missing one.
  if (!PathExists(app.Files.SettingsFilePath) || read.status == FileReadStatus::Damaged) {
    SaveSettings(app);
    return;
  }
  const std::string text = NormaliseLanguageText(std::move(read.text));
  if (text.empty()) return;
  bool complete = ReadLeadingNumber(text, "[Skin]", s.SkinNumber);
  complete = ReadLeadingNumber(text, "[Language]", s.LanguageIndex) && complete;
  complete = ReadWholeNumber(text, "[FileTypes]", s.FileTypeMessage) && complete;
  // Optional: only a file that switches the guard off holds the key.
  int guard = 1;
  if (ReadWholeNumber(text, "[MassDeleteGuard]", guard)) s.MassDeleteGuard = guard != 0;
  if (!complete) SaveSettings(app);
}

bool SaveSettings(App& app) {
  const Settings& s = app.settings;
  const std::string text = "[Skin]\t\t" + std::to_string(s.SkinNumber) + "\r\n[Language]\t" +
                           std::to_string(s.LanguageIndex) + "\r\n[FileTypes]\t" + std::to_string(s.FileTypeMessage) +
                           "\r\n" + (s.MassDeleteGuard ? "" : "[MassDeleteGuard]\t0\r\n");
  if (WriteTextFile(text, app.Files.SettingsFilePath)) return true;
  ReportFileNotWritten(app.messages, app.Files.SettingsFilePath, false);
  return false;
}

}  // namespace dd
