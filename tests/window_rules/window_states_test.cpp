// What the window shows of a run, a job and a message: the button states, the
// title, the columns of a message and the widths of the list's columns.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "job/job_file.h"
#include "job/startup.h"
#include "support/flow_fixture.h"
#include "todo/filters.h"
#include "window_rules/buttons.h"
#include "window_rules/message_columns.h"
#include "window_rules/todo_view.h"
#include "window_rules/window_title.h"

namespace dd {
namespace {

TEST(RunButtonsTest, ButtonsThatStartARunAreOutOfUseWhileOneIsOn) {
  const struct {
    int button;
    RunState state;
    bool enabled;
  } rows[] = {
      {kBtnSimulate, RunState::Idle, true},
      {kBtnSimulate, RunState::Simulating, false},
      {kBtnExecute, RunState::Executing, false},
      {kBtnOneStep, RunState::Stopping, false},
      {kBtnExecute, RunState::Idle, true},
      {kBtnStopExecution, RunState::Executing, true},
      {kBtnStopSimulation, RunState::Stopping, true},
      {kBtnBackup, RunState::Simulating, true},
      {kBtnHideToDoList, RunState::Executing, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ButtonEnabled(row.button, row.state), row.enabled)
        << row.button << " in state " << static_cast<int>(row.state);
}

TEST(RunButtonsTest, AButtonOutOfUseShowsLookFiveWhateverTheMouseOrTheActivePanel) {
  EXPECT_EQ(ButtonLook(kBtnSimulate, 0, true, false), kDisabledLook);
  EXPECT_EQ(ButtonLook(kBtnBackup, kBtnBackup, true, false), kDisabledLook);
  EXPECT_EQ(ButtonLook(kBtnBackup, kBtnBackup, true, true), 4);
  EXPECT_EQ(ButtonPictureFile(kBtnExecute, kDisabledLook), "B3_5.gif");
}

TEST(WindowTitleTest, TheJobsFileNameMarkedWhileItHasUnsavedChanges) {
  const struct {
    const char* file;
    bool changed;
    const char* title;
  } rows[] = {
      {"/home/me/jobs/job.ddk", false, "job.ddk - Dualdock"},
      {"/home/me/jobs/job.ddk", true, "*job.ddk - Dualdock"},
      {"", false, "Dualdock"},  // a load that ended early leaves no file
      {"", true, "*Dualdock"},
  };
  for (const auto& row : rows) EXPECT_EQ(WindowTitle(row.file, row.changed), row.title) << row.file;
}

struct UnsavedChangesTest : ::testing::Test, test::ProgramFixture<> {
  UnsavedChangesTest() {
    SelectLanguage(app, 0);
    FileNew(app);
  }
};

struct JobPart {
  const char* name;
  std::function<void(App&)> edit;
};
const JobPart kJobParts[] = {
    {"a pair", [](App& a) { a.Job.SourceFolders = {"/s"}, a.Job.TargetFolders = {"/t"}; }},
    {"the mode", [](App& a) { a.Modes.CurrentBackupMode.ExtraInF2 = "<-="; }},
    {"an exclude name", [](App& a) { a.Options.ExcludeText = "*.tmp"; }},
    {"an include switch", [](App& a) { a.Options.InclEnabled = true; }},
    {"daylight saving", [](App& a) { a.Options.DaylightSaving = false; }},
    {"the trash option", [](App& a) { a.Options.DeletedToTrash = true; }},
};

TEST_F(UnsavedChangesTest, EveryPartOfTheJobCounts) {
  for (const auto& row : kJobParts) {
    SCOPED_TRACE(row.name);
    FileNew(app);
    EXPECT_FALSE(JobHasUnsavedChanges(app));
    row.edit(app);
    EXPECT_TRUE(JobHasUnsavedChanges(app));
  }
}

TEST_F(UnsavedChangesTest, SavingClearsThem) {
  for (const auto& row : kJobParts) {
    SCOPED_TRACE(row.name);
    FileNew(app);
    row.edit(app);
    app.Job.CurrentJobFile = dir / "job.ddk";
    ASSERT_TRUE(SaveJob(app, SaveMode::Save));
    EXPECT_FALSE(JobHasUnsavedChanges(app));
    row.edit(app);  // the same value again
    EXPECT_FALSE(JobHasUnsavedChanges(app));
  }
}

TEST_F(UnsavedChangesTest, LoadingClearsThem) {
  for (const auto& row : kJobParts) {
    SCOPED_TRACE(row.name);
    FileNew(app);
    row.edit(app);
    app.Job.CurrentJobFile = dir / "job.ddk";
    ASSERT_TRUE(SaveJob(app, SaveMode::Save));
    FileNew(app);
    ReadJobFile(app, dir / "job.ddk");
    EXPECT_FALSE(JobHasUnsavedChanges(app));
  }
}

TEST_F(UnsavedChangesTest, AFocusedPlaceholderBoxOrALanguageSwitchChangesNothing) {
  FilterBoxFocusGained(app.Options, FilterBox::Exclude);
  ASSERT_TRUE(app.Options.ExcludeText.empty());
  EXPECT_FALSE(JobHasUnsavedChanges(app));
  FilterBoxFocusLost(app.Options, FilterBox::Exclude);
  SelectLanguage(app, 1);
  ASSERT_EQ(app.Options.ExcludeText, app.Options.ExclPlaceholder);
  EXPECT_FALSE(JobHasUnsavedChanges(app));
}

TEST_F(UnsavedChangesTest, AFailedSaveLeavesTheChangesUnsaved) {
  app.Options.ExclEnabled = true;
  test::WriteFile(dir / "file", "");
  app.Job.CurrentJobFile = dir / "file/job.ddk";
  EXPECT_FALSE(SaveJob(app, SaveMode::Save));
  EXPECT_TRUE(JobHasUnsavedChanges(app));
}

TEST(MessageColumnsTest, LinesSplitAtTabsIntoCells) {
  using Rows = std::vector<std::vector<std::string>>;
  const struct {
    const char* text;
    Rows rows;
  } rows[] = {
      {"Done.\r\n\r\nDeleted files:\t2\r\nCopied files:\t10\r\n",
       Rows{{"Done."}, {""}, {"Deleted files:", "2"}, {"Copied files:", "10"}}},
      {"a\tb\tc\nd", Rows{{"a", "b", "c"}, {"d"}}},
      {"a\t\tc\r", Rows{{"a", "", "c"}}},  // an empty cell keeps the columns in place
      {"\tx", Rows{{"", "x"}}},
      {"", Rows{}},
  };
  for (const auto& row : rows) EXPECT_EQ(ColumnRows(row.text), row.rows) << row.text;
  EXPECT_TRUE(HasColumns("Deleted files:\t2"));
  EXPECT_FALSE(HasColumns("Deleted files: 2\r\n"));
}

struct ColumnsRow {
  int width;
  bool size, fullPath;
  int pathWidth, expectedPath;
};
const ColumnsRow kColumnsRows[] = {
    {20001, false, false, 5000, 0},                                     // an odd width: no unit left over
    {20000, true, false, 0, 0},       {20000, true, true, 3000, 3000},  // the paths' own width
    {20000, false, true, 100, 1000},                                    // at least a twentieth
    {20000, false, true, 9000, 5000},                                   // at most a quarter
};

TEST(ListColumnsTest, TheColumnsFillTheList) {
  for (const auto& row : kColumnsRows) {
    const auto w = ToDoColumnWidths(row.width, row.size, row.fullPath, row.pathWidth);
    EXPECT_EQ(std::accumulate(w.begin(), w.end(), 0), row.width) << row.width << " " << row.pathWidth;
  }
}

TEST(ListColumnsTest, TheFullPathTakesWhatItsPathsNeed) {
  for (const auto& row : kColumnsRows) {
    const auto w = ToDoColumnWidths(row.width, row.size, row.fullPath, row.pathWidth);
    EXPECT_EQ(w[kColPath1], row.expectedPath) << row.pathWidth;
    EXPECT_EQ(w[kColPath2], row.expectedPath) << row.pathWidth;
  }
}

TEST(ListColumnsTest, TheNameColumnsShareTheRestEqually) {
  for (const auto& row : kColumnsRows) {
    const auto w = ToDoColumnWidths(row.width, row.size, row.fullPath, row.pathWidth);
    EXPECT_LE(std::abs(w[kColF1] - w[kColF2]), 1) << row.width << " " << row.pathWidth;
  }
}

TEST(ListColumnsTest, NarrowerThanTheFixedColumnsNoWidthIsNegative) {
  const auto narrow = ToDoColumnWidths(500, true, true, 100);
  EXPECT_GE(*std::min_element(narrow.begin(), narrow.end()), 0);
}

}  // namespace
}  // namespace dd
