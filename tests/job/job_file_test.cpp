#include "job/job_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"
#include "todo/backup_mode.h"

namespace dd {
namespace {

using Pairs = std::vector<std::string>;

struct JobFileFixture : ::testing::Test, test::ProgramFixture<> {
  JobFileFixture() { FileNew(app); }

  std::string FormatError(const std::string& reasonKey) const {
    return app.Text("[Wrong file format.]") + "\r\n" + app.Text(reasonKey);
  }

  // Two pairs, a user-defined mode, exclude names on, include off, daylight off.
  void MakeSampleJob() {
    app.Job.SourceFolders = {"/data/a", "/data/b"};
    app.Job.TargetFolders = {"/backup/a", "/backup/b"};
    app.Modes.CurrentBackupMode = {"", "= =", "=->", "<-=", "=->", "<-="};
    JobOptions& o = app.Options;
    o.ExcludeText = "*.tmp\r\n~*";
    o.IncludeText = "";
    o.ExclEnabled = o.InclCaseSensitive = true;
    o.ExclCaseSensitive = o.InclEnabled = o.DaylightSaving = false;
  }
};

const char* const kSampleJobText =
    "Dualdock V2.1\r\n\r\n"
    "Directories:\r\n/data/a\r\n/data/b\r\n\r\n/backup/a\r\n/backup/b\r\n\r\n\r\n"
    "Operation Mode:\r\nIdentical:\t= =\r\nExtraInF1:\t=->\r\nExtraInF2:\t<-=\r\nNewerInF1:\t=->\r\n"
    "NewerInF2:\t<-=\r\n\r\n\r\n"
    "Exclude Files/Folders Name:\r\n1\r\n\r\n\r\n0\r\n\r\n\r\n*.tmp\r\n~*\r\n\r\n\r\n"
    "Include Files/Folders Name:\r\n0\r\n\r\n\r\n1\r\n\r\n\r\n\r\n\r\n\r\n"
    "Daylight Savings:\r\n0\r\n\r\n\r\n";

TEST_F(JobFileFixture, NewResetsTheJob) {
  EXPECT_EQ(app.Job.CurrentJobFile, dir.path() + "/Temp.ddk");
  EXPECT_EQ(app.Options.ExcludeText, BuiltInExcludePlaceholder());
  EXPECT_EQ(app.Options.ExclPlaceholder, BuiltInExcludePlaceholder());

  // A later New puts the language's placeholder back over the user's names and options.
  MakeSampleJob();
  app.Options.ExclPlaceholder = "drop[x]\r\nhere\r\n";
  app.Options.InclPlaceholder = "\r\ninclude\r\n\r\nhere";
  app.Options.TimeTolerance = 9;
  app.Options.SaveTextFiles = app.Options.DeleteSuccessful = true;
  app.Options.ScheduleTimeText = "2,5";
  FileNew(app);
  EXPECT_EQ(app.Options.ExcludeText, "drop[x]\r\nhere");
  EXPECT_EQ(app.Options.ExclPlaceholder, "drop[x]\r\nhere");
  EXPECT_EQ(app.Options.IncludeText, "include\r\nhere");
  EXPECT_FALSE(app.Options.ExclEnabled || app.Options.InclCaseSensitive || app.Options.SaveTextFiles ||
               app.Options.DeleteSuccessful);
  EXPECT_EQ(app.Options.TimeTolerance, 5);
  EXPECT_TRUE(app.Options.DaylightSaving);
  EXPECT_EQ(app.Options.SchedulePeriodHours, 2.5);
  EXPECT_TRUE(app.Job.SourceFolders.empty());
  EXPECT_EQ(KnownModeOfCurrent(app.Modes), 0);
}

TEST_F(JobFileFixture, TheJobTextHasTheLayoutByteForByte) {
  MakeSampleJob();
  app.Options.ExcludeText = "\r\n*.tmp\r\n\r\n\r\n~*\r\n";  // empty lines are dropped before writing
  EXPECT_EQ(BuildJobText(app), kSampleJobText);
}

TEST_F(JobFileFixture, SaveWritesTheJobTextUnderTheJobsNameWithItsEnding) {
  MakeSampleJob();
  app.Options.ExcludeText = "\r\n*.tmp\r\n\r\n\r\n~*\r\n";
  app.Job.CurrentJobFile = dir / "Nightly";
  ASSERT_TRUE(SaveJob(app, SaveMode::Save));
  EXPECT_EQ(ReadTextFile(dir / "Nightly.ddk"), kSampleJobText);
  EXPECT_EQ(app.Options.ExcludeText, "*.tmp\r\n~*");
  EXPECT_EQ(app.Job.CurrentJobFile, dir / "Nightly");
}

TEST_F(JobFileFixture, OpenRestoresEveryField) {
  const std::string path = dir / "Nightly.ddk";
  test::WriteFile(path, kSampleJobText);
  // A quoted path, as the shell hands it over, loads the file.
  EXPECT_EQ(ReadJobFile(app, "\"" + path + "\""), app.Text("[File loaded: ]"));
  EXPECT_EQ(app.Job.CurrentJobFile, path);
  EXPECT_EQ(BuildJobText(app), kSampleJobText);
  EXPECT_EQ(app.Modes.SelectedMode, 2);
  EXPECT_EQ(LoadJobFile(app, path), JobLoadStatus::Loaded);
  EXPECT_FALSE(app.Options.DeletedToTrash);
}

TEST_F(JobFileFixture, TheTrashOptionIsABlockAtTheEndOnlyWhenOn) {
  MakeSampleJob();
  const std::string path = dir / "Nightly.ddk";
  app.Job.CurrentJobFile = path;
  app.Options.DeletedToTrash = true;
  ASSERT_TRUE(SaveJob(app, SaveMode::Save));
  EXPECT_EQ(ReadTextFile(path), std::string(kSampleJobText) + "Deleted Files To Trash:\r\n1\r\n\r\n\r\n");
  FileNew(app);
  EXPECT_FALSE(app.Options.DeletedToTrash);
  ASSERT_EQ(LoadJobFile(app, path), JobLoadStatus::Loaded);
  EXPECT_TRUE(app.Options.DeletedToTrash);
  EXPECT_EQ(BuildJobText(app), ReadTextFile(path));
}

TEST_F(JobFileFixture, AJobWithoutPairsHasAnEmptyLineForEachList) {
  EXPECT_NE(BuildJobText(app).find("Directories:\r\n\r\n\r\n\r\n\r\n\r\nOperation Mode:"), std::string::npos);
}

TEST_F(JobFileFixture, RightAfterNewSaveWritesTempWithoutAQuestion) {
  ASSERT_TRUE(SaveJob(app, SaveMode::Save));
  EXPECT_EQ(ReadTextFile(dir / "Temp.ddk"), BuildJobText(app));
  EXPECT_TRUE(screen.messages.empty());
}

// The log file is one more block after the last, only when the job names one: other jobs stay byte for byte
// what they were, and a reader that knows no such block reads the rest as before.
TEST_F(JobFileFixture, TheLogFileIsABlockAtTheEndOnlyWhenNamed) {
  MakeSampleJob();
  const std::string path = dir / "job.ddk";
  app.Job.CurrentJobFile = path;
  const struct {
    bool trash;
    std::string logFile;
    std::string end;  // after the sample's blocks
  } cases[] = {{false, "", ""},
               {false, "/var/log/dd run.log", "Log File:\r\n/var/log/dd run.log\r\n\r\n\r\n"},
               {true, "/l", "Deleted Files To Trash:\r\n1\r\n\r\n\r\nLog File:\r\n/l\r\n\r\n\r\n"}};
  for (const auto& c : cases) {
    app.Options.DeletedToTrash = c.trash;
    app.Options.LogFile = c.logFile;
    ASSERT_TRUE(SaveJob(app, SaveMode::Save)) << c.logFile;
    EXPECT_EQ(ReadTextFile(path), kSampleJobText + c.end) << c.logFile;
    FileNew(app);
    EXPECT_EQ(app.Options.LogFile, "");
    ASSERT_EQ(LoadJobFile(app, path), JobLoadStatus::Loaded);
    EXPECT_EQ(app.Options.LogFile, c.logFile);
    EXPECT_EQ(app.Options.DeletedToTrash, c.trash);
  }
}

TEST_F(JobFileFixture, ValuesThatWouldReadBackAsAnotherJobAreNotSaved) {
  // Each value breaks the layout: a second section key drops the mode (a job that
  // copies target-only files back would reload as one that deletes them), a line
  // break or NUL would name another folder.
  const std::pair<std::string, std::string> cases[] = {{"exclude", "*.tmp\r\nOperation Mode:"},
                                                       {"exclude", "x Directories:"},
                                                       {"include", "Daylight Savings:"},
                                                       {"source", "/data/a\r\n/data/c"},
                                                       {"target", std::string("/backup/a\0x", 11)},
                                                       {"source", ""},
                                                       {"log file", "/logs/a\r\n/logs/b"},
                                                       {"log file", "/logs/Daylight Savings:"},
                                                       {"target", "/backup/a\n"}};
  const std::string path = dir / "job.ddk";
  for (const auto& [field, value] : cases) {
    MakeSampleJob();
    app.Modes.CurrentBackupMode.ExtraInF2 = "<-=";
    if (field == "exclude") app.Options.ExcludeText = value;
    if (field == "include") app.Options.IncludeText = value;
    if (field == "source") app.Job.SourceFolders[1] = value;
    if (field == "target") app.Job.TargetFolders[0] = value;
    app.Options.LogFile = field == "log file" ? value : "";
    app.Job.CurrentJobFile = path;
    screen.messages.clear();
    EXPECT_FALSE(SaveJob(app, SaveMode::Save)) << field << ": " << value;
    EXPECT_FALSE(PathExists(path));
    ASSERT_EQ(screen.keys(), std::vector<std::string>{"[Job value cannot be saved]"});
    EXPECT_EQ(screen.messages[0].icon, Icon::Critical);
  }
  // The value is named, its line break made visible.
  EXPECT_NE(screen.messages[0].prompt.find("/backup/a\\n"), std::string::npos) << screen.messages[0].prompt;
}

TEST_F(JobFileFixture, ADamagedFileLoadsNoPair) {
  const std::string path = dir / "bad.ddk", dirError = FormatError("[Directories do not exist.]");
  std::string nul = kSampleJobText;  // a NUL after the target path would reach the system calls as "/backup/b"
  nul.insert(nul.find("/backup/b") + 9, std::string(1, '\0'));
  const std::string pairs = "Dualdock V2.1\r\n\r\nDirectories:\r\n/s\r\n\r\n/t\r\n\r\n\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {nul, dirError},
      {"/data/a\r\t/backup/a\r\n", dirError},  // the old layout cannot carry a TAB, nor a CR, in a path
      {"", dirError},
      {"Dualdock V2.1\r\n\r\nDirectories:\r\n", dirError},  // broken or repeated sections index nothing past the end
      {"Dualdock V2.1\r\n\r\nDirectories:", dirError},
      {"Dualdock V2.1", dirError},
      {pairs + "Directories:\r\n/x\r\n\r\n/y\r\n", dirError},
      {"Dualdock V2.1\r\nDirectories:\r\n/only/sources\r\n\r\n\r\n\r\n\r\n", dirError},
      {"/a\t/b\tIdentical=->\r\n", dirError},  // a code field without its double quote
      {"just some text\r\n", "-1"}};
  for (const auto& [text, error] : cases) {
    test::WriteFile(path, text);
    std::string result;
    EXPECT_EQ(LoadJobFile(app, path, &result), JobLoadStatus::WrongFormat) << text;
    EXPECT_EQ(result, error) << text;
    EXPECT_TRUE(app.Job.SourceFolders.empty() && app.Job.TargetFolders.empty()) << text;
  }
}

// Four operation lines: filters and daylight are read, the pairs stay empty.
TEST_F(JobFileFixture, AMissingOperationLineLoadsTheFiltersButNoPair) {
  const std::string path = dir / "bad.ddk";
  test::WriteFile(path, ReplaceAll(kSampleJobText, "NewerInF2:\t<-=\r\n", ""));
  std::string result;
  EXPECT_EQ(LoadJobFile(app, path, &result), JobLoadStatus::WrongFormat);
  EXPECT_EQ(result, FormatError("[Wrong number of operation]"));
  EXPECT_EQ(app.Options.ExcludeText, "*.tmp\r\n~*");
  EXPECT_FALSE(app.Options.DaylightSaving);
  EXPECT_TRUE(app.Job.SourceFolders.empty());
  EXPECT_EQ(app.Job.CurrentJobFile, path);
}

TEST_F(JobFileFixture, AMissingOrUnreadableFileLeavesTheJobAsItWas) {
  app.Job.SourceFolders = {"/keep"};
  EXPECT_EQ(LoadJobFile(app, dir / "none.ddk"), JobLoadStatus::Missing);
  test::MakeDirs(dir / "folder.ddk");
  EXPECT_EQ(LoadJobFile(app, dir / "folder.ddk"), JobLoadStatus::Unreadable);
  EXPECT_EQ(app.Job.SourceFolders, Pairs{"/keep"});
}

TEST_F(JobFileFixture, WithoutAnOperationSectionTheStandardModeStays) {
  EXPECT_EQ(OpenV2_1(app, "Dualdock V2.1\r\n\r\nDirectories:\r\n/s\r\n\r\n/t\r\n\r\n\r\n"),
            app.Text("[File loaded: ]"));
  EXPECT_EQ(app.Job.SourceFolders, Pairs{"/s"});
  EXPECT_EQ(KnownModeOfCurrent(app.Modes), 0);
}

TEST_F(JobFileFixture, LineFeedLineEndsReadAsCarriageReturnLineFeed) {
  const std::string path = dir / "job.ddk";
  // No folder name ends in a line feed.
  test::WriteFile(path, ReplaceAll(kSampleJobText, "\r\n", "\n"));
  EXPECT_EQ(LoadJobFile(app, path), JobLoadStatus::Loaded);
  EXPECT_EQ(BuildJobText(app), kSampleJobText);
}

TEST_F(JobFileFixture, TheOldLayoutIsRead) {
  const std::string path = dir / "job.ddk";
  test::WriteFile(path, "/a\t\t/b\tIdentical\"=->\r\n/c\t/d\r\n");
  std::string result;
  EXPECT_EQ(LoadJobFile(app, path, &result), JobLoadStatus::Loaded);
  // The empty last line ends the reading with "-1", which clears the job path.
  EXPECT_EQ(result, "-1");
  EXPECT_EQ(app.Job.CurrentJobFile, "");
  EXPECT_EQ(app.Job.SourceFolders, (Pairs{"/a", "/c"}));
  EXPECT_EQ(app.Job.TargetFolders, (Pairs{"/b", "/d"}));
  EXPECT_EQ(app.Modes.CurrentBackupMode.Identical, "=->");
}

TEST_F(JobFileFixture, TheOldLayoutWithoutALastLineEndKeepsTheJobPath) {
  const std::string path = dir / "job.ddk";
  test::WriteFile(path, "/a\t/b\tNewerInF2\"x =");
  EXPECT_EQ(ReadJobFile(app, path), app.Text("[File loaded: ]"));
  EXPECT_EQ(app.Job.CurrentJobFile, path);
  EXPECT_EQ(app.Modes.CurrentBackupMode.NewerInF2, "x =");
  EXPECT_EQ(app.Modes.SelectedMode, 2);
}

TEST_F(JobFileFixture, SaveAsWritesThePathTheDialogGives) {
  MakeSampleJob();
  screen.dialogPaths = {dir / "x.DDK"};
  ASSERT_TRUE(SaveJob(app, SaveMode::SaveAs));
  EXPECT_EQ(ReadTextFile(dir / "x.DDK"), kSampleJobText);
  EXPECT_FALSE(PathExists(dir / "x.DDK.ddk"));
}

TEST_F(JobFileFixture, SaveAsAsksBeforeReplacing) {
  MakeSampleJob();
  const std::string before = app.Job.CurrentJobFile;
  test::WriteFile(dir / "old.ddk", "old");
  screen.dialogPaths = {dir / "old.ddk", dir / "old.ddk"};
  screen.answers = {Answer::Cancel, Answer::Ok};
  EXPECT_TRUE(SaveJob(app, SaveMode::SaveAs));
  EXPECT_EQ(ReadTextFile(dir / "old.ddk"), "old");
  EXPECT_TRUE(SaveJob(app, SaveMode::SaveAs));
  EXPECT_EQ(ReadTextFile(dir / "old.ddk"), kSampleJobText);
  EXPECT_EQ(screen.keys(), (std::vector<std::string>{"[File exists, replace?]", "[File exists, replace?]"}));
  EXPECT_EQ(screen.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(app.Job.CurrentJobFile, before);
}

TEST_F(JobFileFixture, ACancelledDialogOrNoJobPathWritesNothing) {
  MakeSampleJob();
  const std::vector<std::string> before = test::Listing(dir.path());
  EXPECT_TRUE(SaveJob(app, SaveMode::SaveAs));
  app.Job.CurrentJobFile = "";
  EXPECT_TRUE(SaveJob(app, SaveMode::Save));
  EXPECT_FALSE(PathExists(".ddk"));
  EXPECT_EQ(test::Listing(dir.path()), before);
  EXPECT_TRUE(screen.messages.empty());
}

TEST_F(JobFileFixture, ASaveBelowARegularFileIsReported) {
  MakeSampleJob();
  test::WriteFile(dir / "old.ddk", "old");
  app.Job.CurrentJobFile = dir / "old.ddk/job.ddk";
  EXPECT_FALSE(SaveJob(app, SaveMode::Save));
  EXPECT_EQ(screen.keys(), std::vector<std::string>{"[Could not write the job file]"});
}

TEST_F(JobFileFixture, TheDialogFilterNamesTheJobEnding) {
  EXPECT_EQ(JobFileFilter(app), "Dualdock files (*.ddk) | Text files (*.txt) | All files (*.*)");
}

}  // namespace
}  // namespace dd
