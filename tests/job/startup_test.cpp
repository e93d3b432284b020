#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "common/app.h"
#include "common/files.h"
#include "job/program_folder.h"
#include "job/startup.h"
#include "support/scenario.h"
#include "support/test_support.h"

using namespace dd;
using dd::test::TempDir;
using dd::test::WriteFile;

namespace {

struct StartUpTest : ::testing::Test {
  TempDir dir;
  test::ScriptedScreen screen;
  App app{screen};
  // Starts without the disk test, with the shipped language file.
  void Start(const std::string& commandLine = "") {
    test::CopyLanguageFile(dir.path());
    StartUp(app, dir.path(), commandLine, StartUpOptions{false});
  }
};

}  // namespace

TEST_F(StartUpTest, DamagedListFileIsReportedAndReplacedByAnEmptyList) {
  ASSERT_EQ(::mkfifo((dir / "To Do.txt").c_str(), 0600), 0);
  Start();
  EXPECT_EQ(screen.keys(), std::vector<std::string>{"[Not a valid ToDo list]"});
  EXPECT_EQ(ReadWholeFile(dir / "To Do.txt", 9, false).status, FileReadStatus::Read);
  EXPECT_EQ(app.Run.PendingOps(), 0);
}

TEST_F(StartUpTest, ThePreviousRunsListSurvivesAndAnEmptyLanguageFileIsReported) {
  const std::string list = test::Rec("=->", "Extra in F1", "/s/a", "/t/a", "3") + "\r\n" +
                           test::Rec("= x", "Extra in F2", "/s/b", "/t/b", "0", "4");
  WriteFile(dir / "To Do.txt", list);
  Start();
  EXPECT_EQ(ReadTextFile(dir / "To Do.txt"), list);
  EXPECT_EQ(app.Run.PendingOps(), 2);
  EXPECT_TRUE(screen.keys().empty());

  WriteFile(dir / "Sprachen.txt", "");
  ApplyLanguage(app);
  ASSERT_EQ(screen.messages.size(), 1u);
  EXPECT_EQ(screen.messages[0].prompt, "Language File empty");
}

TEST_F(StartUpTest, LanguageChoicePlaceholdersAndTheJobOnTheCommandLineLoadedLast) {
  WriteFile(dir / "Settings.txt", "[Language]\t1\r\n");
  WriteFile(dir / "old.ddk", "/src\t/dst\r\n");
  Start("\"" + dir / "old.ddk" + "\"");
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
  // The new job showed the placeholder; the job loaded after it kept it.
  EXPECT_FALSE(app.Options.ExclPlaceholder.empty());
  EXPECT_EQ(app.Options.ExcludeText, app.Options.ExclPlaceholder);
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
