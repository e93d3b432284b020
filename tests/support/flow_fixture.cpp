#include "support/flow_fixture.h"

#include "common/files.h"
#include "job/startup.h"
#include "support/builders.h"
#include "todo/backup_mode.h"

namespace dd::test {

FlowFixture::FlowFixture() {
  home = dir / "home";
  MakeDirs(home);
  CopyLanguageFile(home);
  // Stored rates keep the disk test out of every test.
  WriteFile(home + "/Rates.txt", "1000000\r\n1000000\r\n1");
  StartUp(app, home, std::string());
  screen.messages.clear();
}

int FlowFixture::AddPair(const std::string& source, const std::string& target) {
  app.Job.SourceFolders.push_back(source);
  app.Job.TargetFolders.push_back(target);
  return static_cast<int>(app.Job.SourceFolders.size()) - 1;
}

int FlowFixture::AddSourceTargetPair() {
  MakeDirs(dir / "s");
  MakeDirs(dir / "t");
  return AddPair(dir / "s", dir / "t");
}

std::vector<std::string> FlowFixture::ListFileRecords() const {
  return ListRecords(app.Files.ToDoFilePath);
}

void FlowFixture::SetMode(const char* identical, const char* extraF1, const char* extraF2, const char* newerF1,
                          const char* newerF2) {
  BackupModeDef& m = app.Modes.CurrentBackupMode;
  m.Identical = identical;
  m.ExtraInF1 = extraF1;
  m.ExtraInF2 = extraF2;
  m.NewerInF1 = newerF1;
  m.NewerInF2 = newerF2;
}

void FlowFixture::SetMirrorMode() {
  SetMode(kDoNothing, kCopyToTarget, kDeleteInTarget, kCopyToTarget, kDoNothing);
}

}  // namespace dd::test
