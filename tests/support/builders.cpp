#include "support/builders.h"

#include <algorithm>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "job/job_file.h"
#include "support/test_support.h"

namespace dd::test {

void Numbered(const std::string& stem, int count, const std::string& suffix, const std::string& content) {
  for (int i = 0; i < count; ++i) WriteFile(stem + std::to_string(i) + suffix, content);
}

std::vector<std::string> ListRecords(const std::string& listFile) {
  std::vector<std::string> records = Split(ReadTextFile(listFile), "\r\n");
  std::erase(records, std::string());
  std::sort(records.begin(), records.end());
  return records;
}

void WriteJob(const std::string& path, const Entries& pairs, const std::vector<std::string>& mode) {
  ScriptedScreen screen;
  App app(screen);
  for (const auto& [source, target] : pairs) {
    app.Job.SourceFolders.push_back(source);
    app.Job.TargetFolders.push_back(target);
  }
  app.Modes.CurrentBackupMode = {"", mode.at(0), mode.at(1), mode.at(2), mode.at(3), mode.at(4)};
  WriteFile(path, BuildJobText(app));
}

}  // namespace dd::test
