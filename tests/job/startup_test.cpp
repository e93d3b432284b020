#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "common/app.h"
#include "common/files.h"
#include "job/program_folder.h"
#include "job/startup.h"
#include "support/scenario.h"
#include "support/scoped_env.h"
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

TEST_F(StartUpTest, ADamagedListFileIsReported) {
  ASSERT_EQ(::mkfifo((dir / "To Do.txt").c_str(), 0600), 0);
  Start();
  EXPECT_EQ(screen.keys(), std::vector<std::string>{"[Not a valid ToDo list]"});
}

TEST_F(StartUpTest, ADamagedListFileIsReplacedByAnEmptyList) {
  ASSERT_EQ(::mkfifo((dir / "To Do.txt").c_str(), 0600), 0);
  Start();
  EXPECT_EQ(ReadWholeFile(dir / "To Do.txt", 9, false).status, FileReadStatus::Read);
  EXPECT_EQ(app.Run.PendingOps(), 0);
}

TEST_F(StartUpTest, ThePreviousRunsListSurvives) {
  const std::string list = test::Rec("=->", "Extra in F1", "/s/a", "/t/a", "3") + "\r\n" +
                           test::Rec("= x", "Extra in F2", "/s/b", "/t/b", "0", "4");
  WriteFile(dir / "To Do.txt", list);
  Start();
  EXPECT_EQ(ReadTextFile(dir / "To Do.txt"), list);
  EXPECT_EQ(app.Run.PendingOps(), 2);
  EXPECT_TRUE(screen.keys().empty());
}

TEST_F(StartUpTest, AnEmptyLanguageFileIsReported) {
  Start();
  WriteFile(dir / "Sprachen.txt", "");
  ApplyLanguage(app);
  ASSERT_EQ(screen.messages.size(), 1u);
  EXPECT_EQ(screen.messages[0].prompt, "Language File empty");
}

TEST_F(StartUpTest, TheChosenLanguageIsLoaded) {
  WriteFile(dir / "Settings.txt", "[Language]\t1\r\n");
  Start();
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
}

TEST_F(StartUpTest, TheJobOnTheCommandLineIsLoadedLastKeepingThePlaceholders) {
  WriteFile(dir / "old.ddk", "/src\t/dst\r\n");
  Start("\"" + dir / "old.ddk" + "\"");
  // The new job showed the placeholder; the job loaded after it kept it.
  EXPECT_FALSE(app.Options.ExclPlaceholder.empty());
  EXPECT_EQ(app.Options.ExcludeText, app.Options.ExclPlaceholder);
  EXPECT_EQ(app.Job.SourceFolders, std::vector<std::string>{"/src"});
  EXPECT_EQ(app.Job.TargetFolders, std::vector<std::string>{"/dst"});
}

TEST(ProgramFolder, AGivenHomeIsCreatedWithTheShippedFiles) {
  TempDir dir;
  const std::string exe = dir / "bin";
  test::MakeDirs(exe);
  test::CopyLanguageFile(exe);
  std::string error;
  EXPECT_EQ(ResolveProgramFolder(dir / "home/deeper", exe, error), dir / "home/deeper");
  EXPECT_TRUE(PathExists(dir / "home/deeper/Sprachen.txt"));
}

TEST(ProgramFolder, ASeededFileIsNeverReplaced) {
  TempDir dir;
  const std::string exe = dir / "bin";
  test::MakeDirs(exe);
  test::CopyLanguageFile(exe);
  WriteFile(dir / "home/deeper/Sprachen.txt", "mine");
  std::string error;
  EXPECT_EQ(ResolveProgramFolder(dir / "home/deeper/", exe, error), dir / "home/deeper");
  EXPECT_EQ(ReadTextFile(dir / "home/deeper/Sprachen.txt"), "mine");
}

TEST(ProgramFolder, TheExecutableFolderServesWhenItHoldsTheFiles) {
  TempDir dir;
  const std::string exe = dir / "bin";
  test::MakeDirs(exe);
  test::CopyLanguageFile(exe);
  const test::ScopedEnv unset("DUALDOCK_HOME", nullptr);
  std::string error;
  EXPECT_EQ(ResolveProgramFolder("", exe, error), exe);
}

TEST(ProgramFolder, TheEnvironmentNamesTheHome) {
  TempDir dir;
  const std::string exe = dir / "bin";
  test::MakeDirs(exe);
  test::CopyLanguageFile(exe);
  const test::ScopedEnv home("DUALDOCK_HOME", (dir / "env").c_str());
  std::string error;
  EXPECT_EQ(ResolveProgramFolder("", exe, error), dir / "env");
}

TEST(ProgramFolder, AHomeBelowAFileIsRefused) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  std::string error;
  EXPECT_EQ(ResolveProgramFolder(dir / "file/home", dir / "bin", error), "");
  EXPECT_FALSE(error.empty());
}

TEST(ProgramFolder, ARelativeDataHomeIsPassedOverForTheHomesShareFolder) {
  TempDir dir;
  const test::ScopedEnv unset("DUALDOCK_HOME", nullptr), data("XDG_DATA_HOME", "relative-data"),
      home("HOME", (dir / "home").c_str());
  std::string error;
  EXPECT_EQ(ResolveProgramFolder("", dir / "bin", error), dir / "home/.local/share/dualdock");
}
