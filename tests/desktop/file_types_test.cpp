#include "desktop/file_types.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/app.h"
#include "common/clock.h"
#include "common/files.h"
#include "desktop/desktop_exec.h"
#include "support/flow_fixture.h"
#include "support/scoped_env.h"

namespace dd {
namespace {

constexpr int64_t kOldTime = 1000000000;

struct FileTypesTest : ::testing::Test, test::ProgramFixture<> {
  FileTypesTest() {
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (dir / "system/share").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (dir / "system/xdg").c_str(), 1);
    ::unsetenv("XDG_CURRENT_DESKTOP");
    env.Dirs = XdgDirs::FromEnvironment();
    env.RefreshDatabases = false;
  }
  std::string Program(const std::string& folder) {
    test::WriteFile(dir / (folder + "/dualdock"), "");
    return dir / (folder + "/dualdock");
  }
  std::string Entry() const { return dir / "data/applications/dualdock.desktop"; }
  // A written entry's record starts with a line of hyphens; a failed write's names that entry and has none.
  std::string Record(const std::string& expected, const std::string& read, const std::string& failedEntry = "") const {
    return "\r\n\r\n" +
           (failedEntry.empty() ? std::string(23, '-') + CurrentDateText() + "\r\nRegistry path:\t" + Entry()
                                : CurrentDateText() + "\r\nRegistry path:\t" + failedEntry) +
           "\r\nValue expected:\t" + expected + "\r\nValue read:\t" + read + "\r\n";
  }
  std::string ErrLog() const { return ReadTextFile(app.Files.ErrLogFilePath); }
  // The data folder's path runs through a regular file.
  std::string ProgramWithUnwritableDataFolder() {
    test::WriteFile(dir / "plain", "a file where a folder should be");
    env.Dirs.DataHome = dir / "plain/data";
    return Program("bin");
  }
  FileTypeEnvironment env;
};

TEST(DesktopExec, ReservedCharactersReadBack) {
  for (std::string path : {"/my apps/dual$dock", "/a\\b \"x\" 100%", "/tab\there/`q`"})
    EXPECT_EQ(SplitExec(ExecForExecutable(path)), (std::vector<std::string>{path, "%f"})) << path;
}

TEST(DesktopExec, ABareNameIsFoundInPath) {
  test::TempDir dir;
  test::WriteFile(dir / "bin/dualdock", "");
  const test::ScopedEnv path("PATH", ("/nonexistent:" + dir / "bin").c_str());
  struct Row {
    const char* exec;
    std::string executable;
    bool runs;
  };
  const Row rows[] = {
      {"dualdock %f", dir / "bin/dualdock", true},
      {"dualdock %U", dir / "bin//dualdock", true},
      {"dualdock", dir / "bin/dualdock", false},  // would not get the file
      {"other %f", dir / "bin/dualdock", false},
  };
  for (const Row& row : rows) EXPECT_EQ(ExecRunsExecutable(row.exec, row.executable), row.runs) << row.exec;
}

TEST(MimeAppsList, TheDefaultIsSetWhileOtherLinesStay) {
  const std::pair<std::string, std::string> cases[] = {
      {"[Added Associations]\nt/x=a.desktop;\n\n[Default "
       "Applications]\nimage/png=b.desktop;\nt/x=old.desktop;\n\n[O]\n",
       "[Added Associations]\nt/x=a.desktop;\n\n[Default Applications]\nimage/png=b.desktop;\nt/x=d.desktop;\n\n[O]\n"},
      {"[Default Applications]\nimage/png=b.desktop;\n\n[Other]\nx=y",
       "[Default Applications]\nimage/png=b.desktop;\nt/x=d.desktop;\n\n[Other]\nx=y\n"},
      {"[Other]\nx=y\n", "[Other]\nx=y\n\n[Default Applications]\nt/x=d.desktop;\n"},
      {"", "[Default Applications]\nt/x=d.desktop;\n"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(WithDefaultApplication(text, "t/x", "d.desktop"), expected);
}

TEST_F(FileTypesTest, FirstStartCreatesTheEntries) {
  test::WriteFile(dir / "config/mimeapps.list", "[Default Applications]\nimage/png=viewer.desktop;\n");
  const std::string exe = Program("my programs");
  AssociateFileTypes(app, exe, env);
  const std::string expected = "\"" + exe + "\" %f";
  EXPECT_NE(ReadTextFile(dir / "data/mime/packages/dualdock.xml").find("<glob pattern=\"*.ddk\"/>"), std::string::npos);
  const std::string entry = ReadTextFile(Entry());
  EXPECT_NE(entry.find("\nExec=" + expected + "\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-dualdock-job;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=" + dir.path() + "/Icons/DDKIcon.ico\n"), std::string::npos);
  EXPECT_EQ(ReadTextFile(dir / "config/mimeapps.list"),
            "[Default Applications]\nimage/png=viewer.desktop;\napplication/x-dualdock-job=dualdock.desktop;\n");
  EXPECT_EQ(ReadJobFileCommand(env.Dirs), expected);
  EXPECT_EQ(std::system(("desktop-file-validate '" + Entry() + "' >&2").c_str()), 0);
}

TEST_F(FileTypesTest, FirstStartWritesOneRecordQuietly) {
  const std::string exe = Program("my programs");
  AssociateFileTypes(app, exe, env);
  EXPECT_EQ(ErrLog(), Record("\"" + exe + "\" %f", ""));
  EXPECT_TRUE(screen.messages.empty());
}

TEST_F(FileTypesTest, ARightAssociationIsLeftUntouched) {
  const std::string exe = Program("my programs");
  AssociateFileTypes(app, exe, env);
  const std::string written[] = {Entry(), dir / "config/mimeapps.list", dir / "data/mime/packages/dualdock.xml"};
  for (const std::string& f : written) test::SetMTime(f, kOldTime);
  const std::string log = ErrLog();
  AssociateFileTypes(app, exe, env);
  EXPECT_EQ(ErrLog(), log);
  for (const std::string& f : written) EXPECT_EQ(test::GetMTime(f), kOldTime) << f;
}

TEST_F(FileTypesTest, AMovedProgramRewritesTheEntryRecordingTheOldCommand) {
  const std::string exe = Program("my programs");
  AssociateFileTypes(app, exe, env);
  const std::string log = ErrLog();
  const std::string moved = Program("new");
  AssociateFileTypes(app, moved, env);
  EXPECT_EQ(ErrLog(), log + Record(moved + " %f", "\"" + exe + "\" %f"));
  EXPECT_EQ(ReadJobFileCommand(env.Dirs), moved + " %f");
  EXPECT_TRUE(screen.messages.empty());
}

TEST_F(FileTypesTest, SystemEntryThatRunsThisProgramCountsAsRight) {
  const std::string exe = Program("usr/bin");
  test::WriteFile(
      dir / "system/share/applications/dualdock.desktop",
      "[Desktop Entry]\nType=Application\nName=Dualdock\nExec=" + exe + " %F\nMimeType=application/x-dualdock-job;\n");
  AssociateFileTypes(app, exe, env);
  EXPECT_FALSE(PathExists(app.Files.ErrLogFilePath));
  EXPECT_FALSE(PathExists(dir / "data"));
  EXPECT_FALSE(PathExists(dir / "config"));
}

TEST_F(FileTypesTest, AUserDefaultForAnotherProgramIsRepaired) {
  const std::string exe = Program("usr/bin");
  test::WriteFile(
      dir / "system/share/applications/dualdock.desktop",
      "[Desktop Entry]\nType=Application\nName=Dualdock\nExec=" + exe + " %F\nMimeType=application/x-dualdock-job;\n");
  test::WriteFile(dir / "system/share/applications/other.desktop", "[Desktop Entry]\nExec=other %f\n");
  test::WriteFile(dir / "config/mimeapps.list", "[Default Applications]\napplication/x-dualdock-job=other.desktop\n");
  AssociateFileTypes(app, exe, env);
  EXPECT_EQ(ErrLog(), Record(exe + " %f", "other %f"));
  EXPECT_EQ(ReadJobFileCommand(env.Dirs), exe + " %f");
}

TEST_F(FileTypesTest, UnwritableDataFolderGivesTheFailureRecord) {
  const std::string exe = ProgramWithUnwritableDataFolder();
  app.settings.FileTypeMessage = 0;
  AssociateFileTypes(app, exe, env);
  EXPECT_EQ(ErrLog(), Record(exe + " %f", "", dir / "plain/data/applications/dualdock.desktop"));
  // The default never names an entry that could not be written.
  EXPECT_FALSE(PathExists(dir / "config/mimeapps.list"));
}

TEST_F(FileTypesTest, TheFailureMessageShowsOnlyWhenSwitchedOn) {
  const std::string exe = ProgramWithUnwritableDataFolder();
  app.settings.FileTypeMessage = 0;
  AssociateFileTypes(app, exe, env);
  EXPECT_TRUE(screen.messages.empty());
  app.settings.FileTypeMessage = 1;
  AssociateFileTypes(app, exe, env);
  // The record is written either way.
  const std::string failure = Record(exe + " %f", "", dir / "plain/data/applications/dualdock.desktop");
  EXPECT_EQ(ErrLog(), failure + failure);
  ASSERT_EQ(screen.keys(), std::vector<std::string>{"[File types not be associated]"});
  EXPECT_EQ(screen.messages[0].prompt, app.Text("[File types not be associated]"));
  EXPECT_EQ(screen.messages[0].title, app.Text("[Installation]"));
  EXPECT_EQ(screen.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(screen.messages[0].icon, Icon::None);
}

}  // namespace
}  // namespace dd
