#include "flows/todo_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/app.h"
#include "common/files.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

const std::string kA = "Replace/ Copy -> F2\t=->\tExtra in F1\t/s/a\t/d/a\t5\t0";
const std::string kB = "Delete in F2       \t= x\tExtra in F2\t/s/b\t/d/b\t0\t7";
using Keys = std::vector<std::string>;

struct ToDoFilesTest : ::testing::Test, test::ProgramFixture<> {
  ToDoFilesTest() { app.ToDo.ToDoList = {""}; }
  std::string ListFile() const { return ReadTextFile(app.Files.ToDoFilePath); }
  void SetListFile(const std::string& text) { test::WriteFile(app.Files.ToDoFilePath, text); }
};

struct LoadTest : ToDoFilesTest {
  void SetUp() override {
    SetListFile("\r\n" + kA + "\r\n\r\n\r\n" + kB + "\r\n");
    app.Run.CurrentFile = "old";
    LoadToDoListFile(app);
  }
};

TEST_F(LoadTest, TheRecordsComeInWithoutEmptyLines) {
  EXPECT_TRUE(screen.messages.empty());
  EXPECT_EQ(app.ToDo.ToDoList, (Keys{kA, kB}));
  EXPECT_EQ(app.ToDo.Rows.size(), 2u);
}

TEST_F(LoadTest, TheFileIsRewrittenWithoutEmptyLines) {
  EXPECT_EQ(ListFile(), kA + "\r\n" + kB);
}

TEST_F(LoadTest, TheRecordsAreCounted) {
  EXPECT_EQ(app.Run.PendingOps(), 2);
  EXPECT_EQ(app.Run.Pending(OpKind::Delete, Side::F2).Bytes, 7);
}

TEST_F(LoadTest, TheLabelsSayReady) {
  EXPECT_EQ(app.Run.CurrentFile, "");
  EXPECT_EQ(app.Run.ActionText, "Ready");
}

TEST_F(ToDoFilesTest, AnEmptyOrMissingListFileKeepsTheList) {
  const struct {
    const char* name;
    bool missing;
  } rows[] = {{"empty", false}, {"missing", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    app.ToDo.ToDoList = {"", kA, kB};
    SetListFile("\r\n\r\n");
    if (row.missing) ::unlink(app.Files.ToDoFilePath.c_str());
    EXPECT_TRUE(CheckIfValidToDoList(app));
    EXPECT_EQ(app.ToDo.ToDoList.size(), 3u);
  }
}

TEST_F(ToDoFilesTest, AnEmptyListFileIsRewrittenEmpty) {
  SetListFile("\r\n\r\n");
  EXPECT_TRUE(CheckIfValidToDoList(app));
  EXPECT_EQ(ListFile(), "");
}

TEST_F(ToDoFilesTest, DamagedRecordsAreRejected) {
  const std::string prefix = "Delete in F2       \t= x\tExtra in F2\t/s/b\t/d/b\t0\t";
  const struct {
    const char* name;
    std::string record;
  } rows[] = {
      // A NUL cuts the path at the system call: "/d/b<NUL>x" would delete "/d/b".
      {"a NUL in a path", "Delete in F2       \t= x\tExtra in F2\t/s/b\t/d/b" + std::string(1, '\0') + "x\t0\t7"},
      {"the largest 64-bit size", prefix + "9223372036854775807"},
      {"a size with an exponent", prefix + "1e300"},
      {"a negative size", prefix + "-5"},
      {"a size beyond 2^62", prefix + "4611686018427387905"},
      {"a line break in a size", prefix + "7\nx"},
      {"six fields", "a\tb\tc\td\te\tf"},
  };
  for (const auto& row : rows) {
    SetListFile(kA + "\r\n" + row.record);
    EXPECT_FALSE(CheckIfValidToDoList(app)) << row.name;
  }
}

// 2^62 is the largest size; letters are no number and count 0.
TEST_F(ToDoFilesTest, SizesUpTo2To62OrLettersAreValid) {
  const std::string prefix = "Delete in F2       \t= x\tExtra in F2\t/s/b\t/d/b\t0\t";
  SetListFile(prefix + "4611686018427387904\r\n" + prefix + "abc");
  EXPECT_TRUE(CheckIfValidToDoList(app));
}

// A pipe in place of the list neither blocks nor is rewritten as an empty list.
TEST_F(ToDoFilesTest, APipeInPlaceOfTheListIsRejected) {
  ASSERT_EQ(::mkfifo(app.Files.ToDoFilePath.c_str(), 0600), 0);
  LoadToDoListFile(app);
  EXPECT_EQ(screen.keys(), Keys{"[Not a valid ToDo list]"});
  EXPECT_FALSE(PathExists(app.Files.ToDoFilePath));
}

// A sparse file costs no space.
TEST_F(ToDoFilesTest, AListFileBeyond512MiBIsDamaged) {
  SetListFile(kA);
  ASSERT_EQ(::truncate(app.Files.ToDoFilePath.c_str(), static_cast<off_t>(kListFileLimit) + 1), 0);
  EXPECT_FALSE(CheckIfValidToDoList(app));
}

TEST_F(ToDoFilesTest, SaveAppendsTxt) {
  app.ToDo.ToDoList = {"", kA, "", kB};
  EXPECT_TRUE(SaveListCommand(app, dir / "plan"));
  EXPECT_EQ(ReadTextFile(dir / "plan.txt"), kA + "\r\n" + kB);
  EXPECT_FALSE(PathExists(app.Files.ToDoFilePath));
}

TEST_F(ToDoFilesTest, SaveKeepsATxtInAnyCase) {
  app.ToDo.ToDoList = {"", kA, "", kB};
  EXPECT_TRUE(SaveListCommand(app, dir / "PLAN.TXT"));
  EXPECT_TRUE(PathExists(dir / "PLAN.TXT"));
  EXPECT_FALSE(PathExists(dir / "PLAN.TXT.txt"));
}

struct SaveOverTest : ToDoFilesTest {
  void SetUp() override {
    app.ToDo.ToDoList = {"", kA, "", kB};
    ASSERT_TRUE(SaveListCommand(app, dir / "plan.txt"));
    app.ToDo.ToDoList = {kB};
  }
};

TEST_F(SaveOverTest, SaveAsksBeforeReplacing) {
  screen.answers = {Answer::Cancel};
  EXPECT_TRUE(SaveListCommand(app, dir / "plan.txt"));
  EXPECT_EQ(screen.keys(), Keys{"[File exists, replace?]"});
  EXPECT_EQ(screen.messages[0].buttons, Buttons::OkCancel);
}

TEST_F(SaveOverTest, CancelKeepsTheFile) {
  screen.answers = {Answer::Cancel};
  SaveListCommand(app, dir / "plan.txt");
  EXPECT_EQ(ReadTextFile(dir / "plan.txt"), kA + "\r\n" + kB);
}

TEST_F(SaveOverTest, OkReplacesTheFile) {
  screen.answers = {Answer::Ok};
  EXPECT_TRUE(SaveListCommand(app, dir / "plan.txt"));
  EXPECT_EQ(ReadTextFile(dir / "plan.txt"), kB);
}

TEST_F(ToDoFilesTest, ACancelledDialogIsNoFailure) {
  app.ToDo.ToDoList = {kB};
  EXPECT_TRUE(SaveListCommand(app, ""));
}

// A parent that is a regular file refuses the write, for root too.
TEST_F(ToDoFilesTest, ASaveThatCannotBeWrittenFails) {
  app.ToDo.ToDoList = {kB};
  test::WriteFile(dir / "plan.txt", "a file");
  EXPECT_FALSE(SaveListCommand(app, dir / "plan.txt/inner"));
}

TEST_F(ToDoFilesTest, ASaveThatCannotBeWrittenNamesTheFile) {
  app.ToDo.ToDoList = {kB};
  test::WriteFile(dir / "plan.txt", "a file");
  ASSERT_FALSE(SaveListCommand(app, dir / "plan.txt/inner"));
  ASSERT_EQ(screen.keys(), Keys{"[Could not write the file]"});
  EXPECT_NE(screen.messages[0].prompt.find(dir / "plan.txt/inner.txt"), std::string::npos);
}

// kept.txt holds kA, saved through the dialog; the list file holds kB.
struct OpenTest : ToDoFilesTest {
  void SetUp() override {
    app.ToDo.ToDoList = {kA};
    screen.dialogPaths = {dir / "kept"};
    ASSERT_TRUE(SaveListWithDialog(app));
    SetListFile(kB);
    screen.messages.clear();
  }
};

TEST_F(OpenTest, AnsweredNoKeepsTheList) {
  screen.dialogPaths = {dir / "kept.txt"};
  screen.answers = {Answer::No};
  OpenListWithDialog(app);
  EXPECT_EQ(ListFile(), kB);
  EXPECT_EQ(screen.keys(), (Keys{"[overwrite current ToDo list?]"}));
}

TEST_F(OpenTest, AnsweredYesReplacesTheList) {
  screen.dialogPaths = {dir / "kept.txt"};
  OpenListWithDialog(app);
  EXPECT_EQ(app.ToDo.ToDoList, Keys{kA});
  EXPECT_EQ(ListFile(), kA);
  EXPECT_EQ(screen.keys(), (Keys{"[overwrite current ToDo list?]"}));
}

TEST_F(OpenTest, AMissingFileIsACriticalError) {
  OpenListCommand(app, dir / "missing.txt");
  EXPECT_EQ(screen.keys(), Keys{"[File does not exist.]"});
  EXPECT_EQ(screen.messages[0].icon, Icon::Critical);
}

// The list file itself, under any spelling, is left whole.
TEST_F(OpenTest, TheListFileItselfIsAlreadyOpen) {
  OpenListCommand(app, app.Files.ToDoFilePath);
  EXPECT_EQ(screen.keys(), (Keys{"[overwrite current ToDo list?]", "[ToDo List already open!]"}));
  EXPECT_EQ(screen.messages[1].icon, Icon::None);
}

TEST_F(OpenTest, TheListFileUnderAnotherSpellingIsLeftWhole) {
  app.ToDo.ToDoList = {""};
  OpenListCommand(app, dir.path() + "/./To Do.txt");
  EXPECT_EQ(ListFile(), kB);
  EXPECT_EQ(app.ToDo.ToDoList, Keys{kB});
}

// A list file that cannot be replaced: its folder is a regular file.
TEST_F(OpenTest, AListFileThatCannotBeReplacedIsACriticalError) {
  app.Files.ToDoFilePath = dir / "kept.txt/To Do.txt";
  OpenListCommand(app, dir / "kept.txt");
  EXPECT_EQ(screen.keys(), (Keys{"[overwrite current ToDo list?]", "[Could not open the file!]"}));
  EXPECT_EQ(screen.messages[1].icon, Icon::Critical);
}

TEST(SuggestedListPathTest, TheSaveListDialogOffersTheJobsNameAsAList) {
  const struct {
    const char* job;
    const char* offered;
  } rows[] = {
      {"/jobs/job1.ddk", "/jobs/job1 list.txt"},
      {"/jobs/Night Run.DDK", "/jobs/Night Run list.txt"},  // any case of the extension
      {"/jobs/v1.2.ddk", "/jobs/v1.2 list.txt"},            // only the last extension goes
      {"/jobs/plain", "/jobs/plain list.txt"},
      {"/jobs.ddk/.ddk", "/jobs.ddk/.ddk list.txt"},  // a name that is only the extension stays
      {"", " list.txt"},
  };
  for (const auto& row : rows) EXPECT_EQ(SuggestedListPath(row.job), row.offered) << row.job;
}

TEST_F(ToDoFilesTest, TheSaveListDialogOpensWithTheListNameOfTheJob) {
  app.Job.CurrentJobFile = dir / "job1.ddk";
  SaveListWithDialog(app);
  EXPECT_EQ(screen.dialogInitialPaths, Keys{dir / "job1 list.txt"});
}

}  // namespace
}  // namespace dd
