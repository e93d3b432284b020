// What the window lets a user see: the title, the fixed grid cells, switched-off
// filter boxes, the current-item line and the list's columns.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <set>
#include <string>

#include "common/files.h"
#include "job/startup.h"
#include "support/builders.h"
#include "support/window_fixture.h"
#include "todo/backup_mode.h"
#include "ui/backup_mode_panel.h"
#include "ui/filter_panel.h"
#include "ui/list_views.h"
#include "ui/picture_button.h"
#include "window_rules/skins.h"
#include "window_rules/todo_view.h"

namespace dd {
namespace {

struct WindowStatesTest : test::WindowFixture {
  std::string job = dir / "job.ddk";
  void StartWithJob() {
    test::MakeDirs(dir / "s");
    test::MakeDirs(dir / "t");
    test::WriteJob(job, {{dir / "s", dir / "t"}});
    Start(job);
  }
  QString Title() { return window->windowTitle(); }
  ui::FilterPanel& filters() { return *window->filterPanel(); }
};

TEST_F(WindowStatesTest, TheTitleNamesTheJob) {
  StartWithJob();
  EXPECT_EQ(Title(), QStringLiteral("job.ddk - Dualdock"));
  window->action(QStringLiteral("mnuNew"))->trigger();
  EXPECT_EQ(Title(), QStringLiteral("Temp.ddk - Dualdock"));
}

TEST_F(WindowStatesTest, TheTitleMarksUnsavedPairsUntilTheySave) {
  StartWithJob();
  window->action(QStringLiteral("mnuSwapFolders"))->trigger();
  EXPECT_EQ(Title(), QStringLiteral("*job.ddk - Dualdock"));
  window->action(QStringLiteral("mnuSave"))->trigger();
  EXPECT_EQ(Title(), QStringLiteral("job.ddk - Dualdock"));
}

TEST_F(WindowStatesTest, TheTitleMarksAnOptionTickedUntilItIsTickedBack) {
  StartWithJob();
  QCheckBox* daylight = filters().check(QStringLiteral("chkDaylightSaving"));
  daylight->click();
  EXPECT_EQ(Title(), QStringLiteral("*job.ddk - Dualdock"));
  daylight->click();
  EXPECT_EQ(Title(), QStringLiteral("job.ddk - Dualdock"));
}

TEST_F(WindowStatesTest, ALanguageSwitchChangesNoJob) {
  StartWithJob();
  window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  EXPECT_EQ(Title(), QStringLiteral("job.ddk - Dualdock"));
}

TEST_F(WindowStatesTest, APressedPictureButtonKeepsTheSkinsRoundedCornersInEverySkin) {
  Start();
  ui::PictureButton* save = window->button(kBtnSave);
  for (int skin = 0; skin < kSkinCount; ++skin) {
    ChangeSkin(app(), skin);
    const QImage up = save->grab().toImage();
    save->setDown(true);
    const QImage down = save->grab().toImage();
    save->setDown(false);
    EXPECT_NE(up, down) << skin;  // it shows that it is held
    // The corner outside the rounded tile is the window's background, not a grey square.
    EXPECT_EQ(up.pixel(1, 1), down.pixel(1, 1)) << skin;
  }
}

TEST_F(WindowStatesTest, TheFixedCellsOfTheModeGridFadeInEverySkin) {
  Start();
  ui::BackupModePanel& modes = *window->backupModePanel();
  // Extra in F1 has no F2 file to copy back or delete, Extra in F2 no F1 file.
  const std::set<std::pair<int, int>> fixed = {{1, 2}, {1, 4}, {2, 1}, {2, 3}};
  for (int skin = 0; skin < kSkinCount; ++skin) {
    ChangeSkin(app(), skin);
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 5; ++c) {
        const QRadioButton* cell = modes.option(r, c);
        ASSERT_EQ(cell->isEnabled(), !fixed.contains({r, c})) << r << c;
        const QPalette& p = cell->palette();
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Base})
          EXPECT_NE(p.color(QPalette::Disabled, role), p.color(QPalette::Active, role))
              << "skin " << skin << " role " << role;
      }
  }
}

TEST_F(WindowStatesTest, ASwitchedOffFilterBoxLooksInactive) {
  Start();
  ui::FilterTextBox* box = filters().txtExclude();
  EXPECT_TRUE(box->isReadOnly());
  const QColor off = box->palette().color(QPalette::Base);
  filters().check(QStringLiteral("chkEnableExcl"))->click();
  EXPECT_FALSE(box->isReadOnly());
  EXPECT_NE(box->palette().color(QPalette::Base), off);
}

TEST_F(WindowStatesTest, ASwitchedOffFilterBoxInTheDarkSkinIsShadedDark) {
  Start();
  ui::FilterTextBox* box = filters().txtExclude();
  // The shade comes from the dark skin's own fields, not from the skin before.
  ChangeSkin(app(), 1);
  EXPECT_LT(box->palette().color(QPalette::Base).lightness(), 100);
}

TEST_F(WindowStatesTest, ASwitchedOffFilterBoxSaysHowToSwitchItOn) {
  Start();
  ui::FilterTextBox* box = filters().txtExclude();
  EXPECT_EQ(box->toolTip(), QStringLiteral("Switched off: tick \"Exclude these files\" to type names here, or drop "
                                           "files on the box."));
  filters().check(QStringLiteral("chkEnableExcl"))->click();
  EXPECT_TRUE(box->toolTip().isEmpty());
}

TEST_F(WindowStatesTest, TheSwitchedOffHintFollowsTheLanguage) {
  Start();
  window->action(QStringLiteral("mnuLanguage(1)"))->trigger();
  EXPECT_EQ(filters().txtExclude()->toolTip(),
            QString::fromUtf8("Ausgeschaltet: „Diese Dateien ausschließen“ ankreuzen, um hier Namen einzugeben, "
                              "oder Dateien auf das Feld ziehen."));
}

TEST_F(WindowStatesTest, TheCurrentItemLosesItsIconWithItsText) {
  Start();
  test::WriteFile(dir / "a.txt", "a");
  auto* icon = window->findChild<QLabel*>(QStringLiteral("imgCurrentIcon"));
  ASSERT_NE(icon, nullptr);
  window->screen().ShowCurrentItem(dir / "a.txt", "1");
  EXPECT_TRUE(icon->isVisibleTo(window.get()));
  window->screen().ShowCurrentItem("", "");
  EXPECT_TRUE(window->label(QStringLiteral("lblCurrentFile"))->text().isEmpty());
  EXPECT_FALSE(icon->isVisibleTo(window.get()));
}

// A simulated list with a deep path, shown with its full paths.
struct ListViewColumnsTest : WindowStatesTest {
  const std::string deep = dir / "s/a folder with a long name/and another one below it";
  ui::ToDoTable* list = nullptr;
  void SetUp() override {
    test::WriteFile(deep + "/file.txt", "x");
    test::MakeDirs(dir / "t");
    test::WriteJob(job, {{dir / "s", dir / "t"}});
    Start(job);
    window->ClickButton(kBtnSimulate);
    window->WaitForRun();
    ASSERT_GT(Rows(), 0);
    list = window->toDoView();
    window->action(QStringLiteral("mnuShowFullPath"))->trigger();
    ASSERT_TRUE(app().ToDo.ShowFullPath);
  }
};

TEST_F(ListViewColumnsTest, TheColumnsReachTheRightEdge) {
  QHeaderView* header = list->horizontalHeader();
  int last = -1;
  for (int c = 0; c < kToDoColumnCount; ++c)
    if (!list->isColumnHidden(c)) last = c;
  EXPECT_EQ(header->sectionPosition(last) + header->sectionSize(last), list->viewport()->width());
}

TEST_F(ListViewColumnsTest, TheFullPathIsAsWideAsTheLongestPathUpToAQuarter) {
  const int needed = list->fontMetrics().horizontalAdvance(QString::fromStdString(deep));
  EXPECT_GE(list->columnWidth(kColPath1), std::min(needed, list->viewport()->width() / 4 - 1));
}

TEST_F(ListViewColumnsTest, LongerPathsLoseTheirMiddle) {
  EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
}

}  // namespace
}  // namespace dd
