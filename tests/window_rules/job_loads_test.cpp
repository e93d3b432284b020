#include "window_rules/job_loads.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/files.h"
#include "job/folder_pairs.h"
#include "job/job_file.h"
#include "support/builders.h"
#include "support/flow_fixture.h"

using namespace dd;
using Paths = std::vector<std::string>;

namespace {

constexpr const char* kRecord = "Delete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3";

// A program folder with two saved jobs; the current job is a new one.
struct Scene : test::ProgramFixture<> {
  std::string saved = dir / "saved.ddk";  // holds /s -> /t
  std::string other = dir / "other.ddk";  // holds /x -> /y
  Scene() {
    test::WriteJob(saved, {{"/s", "/t"}});
    test::WriteJob(other, {{"/x", "/y"}});
    FileNew(app);
    app.Job.CurrentJobFile = dir / "Temp.ddk";  // a new job, never saved
  }
  void LoadSaved() {
    ASSERT_EQ(LoadJobFile(app, saved), JobLoadStatus::Loaded);
    ASSERT_EQ(app.Job.SourceFolders, Paths{"/s"});
  }
  void Pending() { app.ToDo.ToDoList = {kRecord, ""}; }
  void PlannedBy(const std::string& job) {
    app.ToDo.Plan.Known = true;
    app.ToDo.Plan.JobFile = ResolvedPath(job);
    app.ToDo.Plan.Pairs = {{"/p", "/q", "/p", "/q"}};
  }
};

struct JobLoadsTest : ::testing::Test, Scene {};

TEST_F(JobLoadsTest, TheQuestionNamesWhatTheLoadWouldDiscard) {
  const struct {
    const char* name;
    std::function<void(Scene&)> setUp;
    const char* asked;  // "" when nothing is asked
  } rows[] = {
      {"a new job without pairs and an empty list", [](Scene&) {}, ""},
      {"a pair in a job never saved", [](Scene& t) { t.app.Job.SourceFolders = {"/s"}; }, "[Discard unsaved pairs?]"},
      {"the saved job as it was loaded", [](Scene& t) { t.LoadSaved(); }, ""},
      {"a pair added to the loaded job",
       [](Scene& t) {
         t.LoadSaved();
         t.app.Job.SourceFolders.push_back("/s2");
         t.app.Job.TargetFolders.push_back("/t2");
       },
       "[Discard unsaved pairs?]"},
      {"an option changed in the loaded job",
       [](Scene& t) {
         t.LoadSaved();
         t.app.Options.DeletedToTrash = !t.app.Options.DeletedToTrash;
       },
       "[Discard unsaved pairs?]"},
      {"the loaded job's file removed meanwhile: nothing the title shows",
       [](Scene& t) {
         t.LoadSaved();
         std::remove(t.saved.c_str());
       },
       ""},
      {"a pending list no record ties to a job", [](Scene& t) { t.Pending(); }, "[Discard pending list?]"},
      {"a pending list planned by another job",
       [](Scene& t) {
         t.Pending();
         t.PlannedBy(t.saved);
       },
       "[Discard pending list?]"},
      {"a pending list planned by the job loaded",
       [](Scene& t) {
         t.Pending();
         t.PlannedBy(t.other);
       },
       ""},
      {"unsaved pairs and a pending list",
       [](Scene& t) {
         t.Pending();
         t.app.Job.TargetFolders = {"/t"};
       },
       "[Discard unsaved pairs and pending list?]"},
  };
  for (const auto& row : rows) {
    Scene t;
    row.setUp(t);
    t.screen.answers = {Answer::No};
    const bool go = MayLoadJob(t.app, t.other);
    if (std::string(row.asked).empty()) {
      EXPECT_TRUE(go) << row.name;
      EXPECT_TRUE(t.screen.messages.empty()) << row.name;
      continue;
    }
    EXPECT_FALSE(go) << row.name;  // No was answered
    ASSERT_EQ(t.screen.keys(), Paths{row.asked}) << row.name;
    const Message& m = t.screen.messages[0];
    EXPECT_EQ(m.kind, MessageKind::DiscardForLoad) << row.name;
    EXPECT_EQ(m.buttons, Buttons::YesNo) << row.name;
    EXPECT_TRUE(m.defaultIsNo) << row.name;
    EXPECT_FALSE(m.prompt.empty()) << row.name;
  }
}

struct NewJobRow {
  const char* name;
  std::function<void(Scene&)> setUp;
  const char* asked;  // "" when nothing is asked
};
const NewJobRow kNewJobRows[] = {
    {"a new job without pairs and an empty list", [](Scene&) {}, ""},
    {"the saved job as it was loaded", [](Scene& t) { t.LoadSaved(); }, ""},
    {"a pair in a job never saved", [](Scene& t) { t.app.Job.SourceFolders = {"/s"}; },
     "[Discard unsaved pairs for a new job?]"},
    {"a pending list, even one the job planned",
     [](Scene& t) {
       t.LoadSaved();
       t.Pending();
       t.PlannedBy(t.saved);
     },
     "[Discard pending list for a new job?]"},
    {"unsaved pairs and a pending list",
     [](Scene& t) {
       t.Pending();
       t.app.Job.TargetFolders = {"/t"};
     },
     "[Discard unsaved pairs and pending list for a new job?]"},
};

TEST_F(JobLoadsTest, NewAsksAsALoadDoes) {
  for (const auto& row : kNewJobRows) {
    SCOPED_TRACE(row.name);
    Scene t;
    row.setUp(t);
    t.screen.answers = {Answer::No};
    const bool made = NewJobAsked(t.app);
    if (std::string(row.asked).empty()) {
      EXPECT_TRUE(made);
      EXPECT_TRUE(t.screen.messages.empty());
      EXPECT_TRUE(t.app.Job.SourceFolders.empty());
      continue;
    }
    EXPECT_FALSE(made);
    ASSERT_EQ(t.screen.keys(), Paths{row.asked});
    const Message& m = t.screen.messages[0];
    EXPECT_EQ(m.buttons, Buttons::YesNo);
    EXPECT_TRUE(m.defaultIsNo);
    EXPECT_NE(m.prompt, row.asked);  // the language has a text for it
  }
}

TEST_F(JobLoadsTest, NewAnsweredNoKeepsEverything) {
  for (const auto& row : kNewJobRows) {
    if (std::string(row.asked).empty()) continue;
    SCOPED_TRACE(row.name);
    Scene t;
    row.setUp(t);
    const std::vector<std::string> sources = t.app.Job.SourceFolders;
    t.screen.answers = {Answer::No};
    NewJobAsked(t.app);
    EXPECT_EQ(t.app.Job.SourceFolders, sources);
    EXPECT_EQ(HasPendingList(t.app), std::string(row.asked).find("list") != std::string::npos);
  }
}

TEST_F(JobLoadsTest, NewAnsweredYesStartsAnEmptyJob) {
  for (const auto& row : kNewJobRows) {
    if (std::string(row.asked).empty()) continue;
    SCOPED_TRACE(row.name);
    Scene t;
    row.setUp(t);
    t.screen.answers = {Answer::Yes};
    EXPECT_TRUE(NewJobAsked(t.app));
    EXPECT_TRUE(t.app.Job.SourceFolders.empty());
    EXPECT_TRUE(t.app.Job.TargetFolders.empty());
    EXPECT_FALSE(HasPendingList(t.app));
  }
}

TEST_F(JobLoadsTest, ALoadAnsweredNoChangesNothing) {
  Pending();
  app.Job.SourceFolders = {"/mine"};
  screen.answers = {Answer::No};
  EXPECT_FALSE(LoadJobAsked(app, other));
  EXPECT_EQ(app.Job.SourceFolders, Paths{"/mine"});
  EXPECT_TRUE(HasPendingList(app));
}

TEST_F(JobLoadsTest, ALoadAnsweredYesDiscardsWhatItAskedAbout) {
  Pending();
  app.Job.SourceFolders = {"/mine"};
  screen.answers = {Answer::Yes};
  EXPECT_TRUE(LoadJobAsked(app, other));
  EXPECT_EQ(app.Job.SourceFolders, Paths{"/x"});
  EXPECT_FALSE(HasPendingList(app));
}

TEST_F(JobLoadsTest, LoadingTheJobThatPlannedTheListKeepsTheList) {
  Pending();
  PlannedBy(other);
  EXPECT_TRUE(LoadJobAsked(app, "\"" + other + "\""));  // as a desktop hands it over, quoted
  EXPECT_TRUE(screen.messages.empty());
  EXPECT_EQ(app.Job.SourceFolders, Paths{"/x"});
  EXPECT_TRUE(HasPendingList(app));
}

// Files dropped on the window that are no job, over unsaved pairs and a pending list.
struct NoJobTest : JobLoadsTest {
  struct Row {
    const char* name;
    std::string path;
    const char* message;
  };
  std::vector<Row> rows{
      {"a picture", dir / "photo.jpg", "[Not a job file]"},
      {"an empty file", dir / "empty.ddk", "[Not a job file]"},
      {"a text named like a job", dir / "notes.ddk", "[Not a job file]"},
      {"a missing file", dir / "missing.ddk", "[File does not exist.]"},
  };
  void SetUp() override {
    test::WriteFile(dir / "photo.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    test::WriteFile(dir / "empty.ddk", "");
    test::WriteFile(dir / "notes.ddk", "milk\r\nbread\r\n");
  }
  static void Drop(Scene& t, const Row& row) {
    t.Pending();
    t.app.Job.SourceFolders = {"/mine"};
    EXPECT_FALSE(DropOnWindowAsked(t.app, {row.path}));
  }
};

TEST_F(NoJobTest, AFileThatIsNoJobIsRefusedWithoutADiscardQuestion) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene t;
    Drop(t, row);
    EXPECT_EQ(t.screen.keys(), Paths{row.message});
  }
}

TEST_F(NoJobTest, AFileThatIsNoJobChangesNothing) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene t;
    Drop(t, row);
    EXPECT_EQ(t.app.Job.SourceFolders, Paths{"/mine"});
    EXPECT_TRUE(HasPendingList(t.app));
  }
}

TEST_F(JobLoadsTest, AJobSavedWithoutPairsLoadsWithItsOptions) {
  const std::string options = dir / "options.ddk";
  test::WriteFile(options,
                  "Dualdock V2.1\r\n\r\nDirectories:\r\n\r\n\r\n\r\n\r\n\r\nDaylight Savings:\r\n0\r\n\r\n\r\n");
  app.Options.DaylightSaving = true;
  EXPECT_TRUE(LoadJobAsked(app, options));
  EXPECT_TRUE(screen.messages.empty());
  EXPECT_FALSE(app.Options.DaylightSaving);
  EXPECT_EQ(app.Job.CurrentJobFile, options);
}

TEST_F(JobLoadsTest, AJobDroppedOnTheFolderListAsksBeforeItLoads) {
  Pending();
  screen.answers = {Answer::No};
  EXPECT_FALSE(DropOnFolderListAsked(app, {other}, 0, 300));
  EXPECT_EQ(screen.keys(), Paths{"[Discard pending list?]"});
}

TEST_F(JobLoadsTest, OfSeveralItemsDroppedOnTheFolderListOnlyFoldersCount) {
  Pending();
  screen.answers = {Answer::No};
  test::MakeDirs(dir / "f");
  EXPECT_FALSE(DropOnFolderListAsked(app, {dir / "f", other}, 0, 300));
  EXPECT_EQ(app.Job.SourceFolders, Paths{dir / "f"});
  EXPECT_EQ(screen.keys(), Paths{});
}

TEST_F(JobLoadsTest, AfterARestartTheListShowsWithThePairsOfTheJobThatPlannedIt) {
  const struct {
    const char* name;
    std::function<void(Scene&)> setUp;
    bool loaded;
    const char* told;  // the message key, "" for none
  } rows[] = {
      {"the planning job loads",
       [](Scene& t) {
         t.Pending();
         t.PlannedBy(t.other);
       },
       true, ""},
      {"the planning job is gone",
       [](Scene& t) {
         t.Pending();
         t.PlannedBy(t.dir / "gone.ddk");
       },
       false, "[Pending list planned by job]"},
      {"pairs not saved stay",
       [](Scene& t) {
         t.Pending();
         t.PlannedBy(t.other);
         t.app.Job.SourceFolders = {"/mine"};
       },
       false, "[Pending list planned by job]"},
      {"an empty list", [](Scene& t) { t.PlannedBy(t.other); }, false, ""},
      {"a list without a record", [](Scene& t) { t.Pending(); }, false, ""},
  };
  for (const auto& row : rows) {
    Scene t;
    row.setUp(t);
    EXPECT_EQ(ShowPlanningJob(t.app), row.loaded) << row.name;
    EXPECT_EQ(t.app.Job.SourceFolders == Paths{"/x"}, row.loaded) << row.name;
    if (row.loaded) {
      EXPECT_TRUE(HasPendingList(t.app)) << row.name;
    }
    if (std::string(row.told).empty()) {
      EXPECT_TRUE(t.screen.messages.empty()) << row.name;
      continue;
    }
    ASSERT_EQ(t.screen.keys(), Paths{row.told}) << row.name;
    const std::string& prompt = t.screen.messages[0].prompt;
    EXPECT_NE(prompt.find(t.app.ToDo.Plan.JobFile), std::string::npos) << row.name;
    EXPECT_NE(prompt.find("/p  ->  /q"), std::string::npos) << row.name;
  }
}

TEST_F(JobLoadsTest, OpenDuringARunOnlyOffersToStopIt) {
  for (RunKind kind : {RunKind::Simulation, RunKind::Execution}) {
    for (Answer answer : {Answer::No, Answer::Yes}) {
      SCOPED_TRACE(testing::Message() << (kind == RunKind::Execution ? "execution" : "simulation") << ", "
                                      << (answer == Answer::Yes ? "yes" : "no"));
      Scene t;
      t.app.Job.SourceFolders = {"/mine"};
      const RunTicket run = t.app.Run.Lifecycle.TryBegin(kind);
      t.screen.dialogPaths = {t.saved};
      t.screen.answers = {answer};
      OpenJobAsked(t.app);
      ASSERT_EQ(t.screen.keys(), Paths{"[Abort?]"});
      EXPECT_EQ(t.screen.messages[0].title, t.app.Text(kind == RunKind::Execution ? "[Execution]" : "[Simulation]"));
      EXPECT_TRUE(t.screen.dialogInitialPaths.empty());  // no dialog was opened
      EXPECT_EQ(t.app.Job.SourceFolders, Paths{"/mine"});
      EXPECT_EQ(t.app.Run.Lifecycle.State() == RunState::Stopping, answer == Answer::Yes);
    }
  }
}

TEST_F(JobLoadsTest, OpenLoadsTheFileTheDialogChose) {
  const struct {
    const char* name;
    std::string chosen;
    Paths told;
    Paths sources;  // the pairs afterwards
  } rows[] = {
      {"a saved job", saved, {}, {"/s"}},
      {"a missing file", dir / "missing.ddk", {"[File does not exist.]"}, {"/mine"}},
      {"the dialog cancelled", "", {}, {"/mine"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene t;
    t.app.Job.SourceFolders = {"/mine"};
    t.app.Job.TargetFolders = {"/yours"};
    t.app.Job.SavedJobText = JobTextWithoutPlaceholders(t.app);  // nothing unsaved to ask about
    t.screen.dialogPaths = {row.chosen};
    OpenJobAsked(t.app);
    EXPECT_EQ(t.screen.keys(), row.told);
    if (!row.told.empty()) {
      EXPECT_EQ(t.screen.messages[0].title, "Can't load file");
    }
    EXPECT_EQ(t.app.Job.SourceFolders, row.sources);
  }
}

}  // namespace
