#include "window_rules/language_switch.h"

#include <gtest/gtest.h>

#include "common/duration_text.h"
#include "support/flow_fixture.h"
#include "todo/backup_mode.h"
#include "window_rules/todo_view.h"

namespace dd {
namespace {

constexpr int kEnglish = 0, kGerman = 1;

struct LanguageScreen : test::ScriptedScreen {
  std::vector<std::string> progress;  // the action line of every run-label refresh
  int modesShown = 0;
  void ShowRunLabels(const RunStatistics& run) override { progress.push_back(run.ActionText); }
  void BackupModeChanged() override { ++modesShown; }
};

struct Scene : test::ProgramFixture<LanguageScreen> {
  Scene() { DefineStandardBackupModes(app.Modes, app.Run.Lifecycle, app.messages); }
};

struct LanguageSwitchTest : ::testing::Test, Scene {};

TEST_F(LanguageSwitchTest, TheLastRunsActionLineFollowsTheLanguageAtOnce) {
  const struct {
    const char* english;
    const char* german;
  } rows[] = {{"Finished", "Beendet"},
              {"Aborted", "Abgebrochen"},
              {"Execution aborted", "Ausführung abgebrochen"},
              {"Ready", "Bereit"},
              {"3 files of mine", "3 files of mine"}};  // a text of no key stays
  for (const auto& row : rows) {
    SCOPED_TRACE(row.english);
    Scene t;
    t.app.Run.ActionText = row.english;
    SwitchLanguage(t.app, kGerman);
    EXPECT_EQ(t.app.Run.ActionText, row.german);
    ASSERT_FALSE(t.screen.progress.empty());
    EXPECT_EQ(t.screen.progress.back(), row.german);
  }
}

struct ModesSwitchTest : LanguageSwitchTest {
  void SetUp() override {
    app.Modes.SelectedMode = 1;
    app.Modes.CurrentBackupMode = app.Modes.StandardBackupModes[1];
    SwitchLanguage(app, kGerman);
  }
};

TEST_F(ModesSwitchTest, TheStandardModesAreRenamed) {
  EXPECT_EQ(app.Modes.ComboItems,
            (std::vector<std::string>{"A->B inkrementell", "A<->B Synchronisation", "Benutzerdefiniert"}));
  EXPECT_EQ(app.Modes.CurrentBackupMode.Name, "A<->B Synchronisation");
  EXPECT_GT(screen.modesShown, 0);
}

TEST_F(ModesSwitchTest, TheUsersSelectionStays) {
  EXPECT_EQ(app.Modes.SelectedMode, 1);
  EXPECT_EQ(app.Modes.CurrentBackupMode.NewerInF2, "<-=");  // the codes are untouched
}

TEST_F(LanguageSwitchTest, DuringARunItsTextsStayWithTheRun) {
  const RunTicket run = app.Run.Lifecycle.TryBegin(RunKind::Simulation);
  ASSERT_TRUE(static_cast<bool>(run));
  app.Run.ActionText = app.Text("[Finished]");
  SwitchLanguage(app, kGerman);
  EXPECT_EQ(app.settings.LanguageIndex, kGerman);
  EXPECT_EQ(app.Run.ActionText, "Finished");
  EXPECT_TRUE(screen.progress.empty());
}

TEST_F(LanguageSwitchTest, QtsTranslationIsNamedByTheLanguageFile) {
  app.settings.LanguageIndex = kGerman;
  EXPECT_EQ(QtTranslationName(app), "qtbase_de");
  app.settings.LanguageIndex = kEnglish;
  EXPECT_EQ(QtTranslationName(app), "qtbase_en");
  test::WriteFile(app.Files.LanguageFilePath, "[Qt translations]\tqtbase_pt_BR\tqtbase_pt_BR");
  EXPECT_EQ(QtTranslationName(app), "qtbase_pt_BR");
}

TEST_F(LanguageSwitchTest, QtsTranslationIsTakenOnlyAsAPlainName) {
  for (const char* value : {"qtbase_", "qtbase_../../x", "/tmp/qtbase_de", "qtbase_de "}) {
    test::WriteFile(app.Files.LanguageFilePath, std::string("[Qt translations]\t") + value + "\t" + value);
    EXPECT_EQ(QtTranslationName(app), "") << value;
  }
}

TEST(ToDoCellTextKeyTest, OnlyTheStatusOrOperationOfACellIsLookedUpWithoutItsIndent) {
  const struct {
    int column;
    const char* text;
    const char* key;
  } rows[] = {
      {kColStatus1, "Newer", "[Newer]"},
      {kColStatus2, "Extra", "[Extra]"},
      {kColOperation, " Delete in Target", "[Delete in Target]"},
      {kColOperation, "Copy To Source", "[Copy To Source]"},
      {kColOperation, "", ""},
      {kColF1, "Equal", ""},  // a file may be called like a status
      {kColPath2, "Extra", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(ToDoCellTextKey(row.column, row.text), row.key) << row.text;
}

TEST_F(LanguageSwitchTest, EveryLookedUpCellOfARecordHasATextInBothLanguages) {
  const char* statuses[] = {"Identical", "Newer in F1", "Newer in F2", "Extra in F1", "Extra in F2"};
  const char* codes[] = {"x =", "= x", "=->", "<-=", "= ="};
  for (const char* status : statuses)
    for (const char* code : codes) {
      const std::string record = std::string("Delete in F2       \t") + code + "\t" + status + "\t/a/x\t/b/x\t1\t2";
      ToDoCells cells;
      ASSERT_TRUE(ToDoRowCells(record, cells)) << record;
      for (int column : {kColStatus1, kColOperation, kColStatus2}) {
        const std::string key = ToDoCellTextKey(column, ToDoCellText(cells, column, 0, 0));
        if (key.empty()) continue;
        for (int language : {kEnglish, kGerman}) {
          app.settings.LanguageIndex = language;
          EXPECT_FALSE(app.Text(key).empty()) << key << " " << language;
        }
      }
    }
}

TEST_F(LanguageSwitchTest, DurationsTakeTheUnitsOfTheLanguage) {
  const struct {
    int language;
    double seconds;
    const char* shown;
  } rows[] = {{kEnglish, 0, "0 sec"}, {kGerman, 0, "0 Sek."}, {kGerman, 90, "1.5 Min."}, {kGerman, 7200, "2.0 Std."}};
  for (const auto& row : rows) {
    app.settings.LanguageIndex = row.language;
    EXPECT_EQ(ShortDurationText(app.messages, row.seconds), row.shown) << row.seconds;
  }
  test::WriteFile(app.Files.LanguageFilePath, "[sec]\t\t\r\n");  // a language without units keeps the built-in ones
  EXPECT_EQ(ShortDurationText(app.messages, 5), "5 sec");
}

}  // namespace
}  // namespace dd
