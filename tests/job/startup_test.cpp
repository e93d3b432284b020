#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app.h"
#include "common/files.h"
#include "job/program_folder.h"
#include "job/startup.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

constexpr StartUpOptions kNoDiskTest{false};

}  // namespace

TEST(StartUp, PendingListOfThePreviousRunSurvivesTheNewJob) {
  TempDir dir;
  test::CopyLanguageFile(dir.path());
  const std::string list = "\r\nDelete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3\r\n\r\n";
  WriteFile(dir / "To Do.txt", list);
  test::ScriptedScreen screen;
  App app(screen);
  StartUp(app, dir.path(), std::string(), kNoDiskTest);
  EXPECT_TRUE(screen.messages.empty());
  EXPECT_EQ(app.Run.PendingDeleteF2, 1);
  EXPECT_EQ(app.ToDo.Rows.size(), 1u);
  // The check normalises the file; the records themselves are kept.
  EXPECT_EQ(ReadTextFile(dir / "To Do.txt"), "Delete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3");
  EXPECT_EQ(app.Job.CurrentJobFile, dir / "Temp.ddk");
  EXPECT_EQ(ReadTextFile(dir / "Settings.txt"), "[Skin]\t\t0\r\n[Language]\t0\r\n[FileTypes]\t1\r\n");
}

TEST(StartUp, MissingLanguageFileIsReportedOnceAndTextsAreEmpty) {
  TempDir dir;
  test::ScriptedScreen screen;
  App app(screen);
  StartUp(app, dir.path(), std::string(), kNoDiskTest);
  ASSERT_EQ(screen.messages.size(), 1u);
  EXPECT_EQ(screen.messages[0].prompt, "Language file not found");
  EXPECT_EQ(screen.messages[0].title, "Error");
  EXPECT_EQ(app.Text("[Ready]"), "");
}

TEST(StartUp, LanguageChoiceAndPlaceholders) {
  TempDir dir;
  test::CopyLanguageFile(dir.path());
  WriteFile(dir / "Settings.txt", "[Language]\t1\r\n");
  test::ScriptedScreen screen;
  App app(screen);
  StartUp(app, dir.path(), std::string(), kNoDiskTest);
  EXPECT_EQ(app.settings.LanguageIndex, 1);
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
  const std::string german = app.Options.ExclPlaceholder;
  EXPECT_FALSE(german.empty());
  EXPECT_EQ(app.Options.ExcludeText, german);  // the new job shows the placeholder
  SpracheAusgewaehlt(app, 0);
  EXPECT_NE(app.Options.ExclPlaceholder, german);
  EXPECT_EQ(app.Options.ExcludeText, app.Options.ExclPlaceholder);  // a box showing the placeholder follows
  app.Options.ExcludeText = ".tmp";
  SpracheAusgewaehlt(app, 1);
  EXPECT_EQ(app.Options.ExcludeText, ".tmp");  // the user's own names stay
  // The settings file was completed with the defaults.
  EXPECT_EQ(ReadTextFile(dir / "Settings.txt"), "[Skin]\t\t0\r\n[Language]\t1\r\n[FileTypes]\t1\r\n");
}

TEST(StartUp, JobOnTheCommandLineIsLoadedLast) {
  TempDir dir;
  test::CopyLanguageFile(dir.path());
  WriteFile(dir / "old.ddk", "/src\t/dst\r\n");
  test::ScriptedScreen screen;
  App app(screen);
  StartUp(app, dir.path(), "\"" + dir / "old.ddk" + "\"", kNoDiskTest);
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/src"});
  EXPECT_EQ(app.Job.TargetFolders, std::vector<std::string>{"/dst"});
}

TEST(ProgramFolder, HomeIsCreatedAndSeededExecutableFolderUsedWhenItHoldsTheFiles) {
  TempDir dir;
  const std::string exe = dir / "bin";
  test::MakeDirs(exe);
  test::CopyLanguageFile(exe);
  std::string error;
  EXPECT_EQ(ResolveProgramFolder(dir / "home/deeper", exe, error), dir / "home/deeper");
  EXPECT_TRUE(PathExists(dir / "home/deeper/Sprachen.txt"));
  WriteFile(dir / "home/deeper/Sprachen.txt", "mine");
  EXPECT_EQ(ResolveProgramFolder(dir / "home/deeper/", exe, error), dir / "home/deeper");
  EXPECT_EQ(ReadTextFile(dir / "home/deeper/Sprachen.txt"), "mine");  // never replaced

  ::unsetenv("DUALDOCK_HOME");
  EXPECT_EQ(ResolveProgramFolder("", exe, error), exe);
  ::setenv("DUALDOCK_HOME", (dir / "env").c_str(), 1);
  EXPECT_EQ(ResolveProgramFolder("", exe, error), dir / "env");
  ::unsetenv("DUALDOCK_HOME");

  WriteFile(dir / "file", "x");
  EXPECT_EQ(ResolveProgramFolder(dir / "file/home", exe, error), "");
  EXPECT_FALSE(error.empty());
}
