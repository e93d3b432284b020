// The option panels of the main window, the schedule buttons and the skin menu.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <optional>

#include "common/clock.h"
#include "flows/execute_flow.h"
#include "job/settings.h"
#include "ui/backup_mode_panel.h"
#include "ui/filter_panel.h"
#include "ui/list_views.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/qt_text.h"
#include "ui/schedule_panel.h"
#include "window_rules/buttons.h"
#include "window_rules/skins.h"

namespace dd::ui {

namespace {

// Colours that keep text legible on each skin's pictures: text on the
// backgrounds, the list base and the text on it, the accent, and the mean colour of
// the option panels' background (what a control out of use fades into).
struct SkinColours {
  QColor text, base, baseText, accent, panel;
};

SkinColours ColoursOf(int skin) {
  switch (skin) {
    case 1:
      return {QColor(QRgb(0xE3E8EE)), QColor(QRgb(0x1E2227)), QColor(QRgb(0xE3E8EE)), QColor(QRgb(0x35C2B0)),
              QColor(QRgb(0x22272D))};
    case 2:
      return {QColor(QRgb(0xFFFFFF)), QColor(QRgb(0x000000)), QColor(QRgb(0xFFFFFF)), QColor(QRgb(0xFFD800)),
              QColor(QRgb(0x000000))};
    case 3:
      return {QColor(QRgb(0xFFFFFF)), QColor(QRgb(0xFFFFFF)), QColor(QRgb(0x1F2A36)), QColor(QRgb(0xFFD54F)),
              QColor(QRgb(0x361F81))};
    default:
      return {QColor(QRgb(0x1F2A36)), QColor(QRgb(0xFFFFFF)), QColor(QRgb(0x1F2A36)), QColor(QRgb(0x2F7FD8)),
              QColor(QRgb(0xF7F8FA))};
  }
}

QColor Blend(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + t * (b.redF() - a.redF()), a.greenF() + t * (b.greenF() - a.greenF()),
                          a.blueF() + t * (b.blueF() - a.blueF()));
}

// Controls out of use (the fixed cells of the backup-mode grid) fade into the
// panel in every skin, so that they no longer look like the ones that can be chosen.
void SetDisabledColours(QPalette& p, const SkinColours& c) {
  const QColor faded = Blend(c.text, c.panel, 0.6);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, faded);
  // A field out of use is a faint tone of the text on the panel: a grey dot in every skin,
  // where an empty field would vanish into a panel of its own colour.
  const QColor field = Blend(c.panel, c.text, 0.25);
  p.setColor(QPalette::Disabled, QPalette::Base, field);
  p.setColor(QPalette::Disabled, QPalette::Button, field);
  p.setColor(QPalette::Disabled, QPalette::Window, c.panel);
}

}  // namespace

PictureButton* MainWindow::MakeButton(int number, QWidget* parent) {
  auto* b = new PictureButton(
      number, pictures_, [this] { return panels_.activeButton; }, parent);
  b->setObjectName(QStringLiteral("imgButton(%1)").arg(number));
  buttons_[static_cast<std::size_t>(number)] = b;
  connect(b, &QAbstractButton::clicked, [this, number] { ClickButton(number); });
  return b;
}

void MainWindow::BuildOptionPanels(QBoxLayout* layout) {
  QWidget* parent = frameMain_->parentWidget();
  ButtonFactory make = [this](int number, QWidget* p) { return MakeButton(number, p); };
  frameBackupModes_ = new BackupModePanel(app_, pictures_, make, parent);
  frameExclude_ = new FilterPanel(app_, pictures_, make, parent);
  frameSchedule_ = new SchedulePanel(scheduler_, pictures_, make, parent);
  for (QWidget* panel : std::initializer_list<QWidget*>{frameBackupModes_, frameExclude_, frameSchedule_}) {
    panel->hide();
    layout->addWidget(panel);
  }
  // The options reach the job at once, without a call of the core: the title follows them here.
  for (QCheckBox* option : frameExclude_->findChildren<QCheckBox*>())
    connect(option, &QCheckBox::toggled, this, [this] { ShowTitle(); });
  for (FilterTextBox* box : {frameExclude_->txtExclude(), frameExclude_->txtInclude()})
    connect(box, &QPlainTextEdit::textChanged, this, [this] { ShowTitle(); });
  timerSchedule_.setInterval(100);
  connect(&timerSchedule_, &QTimer::timeout, [this] { scheduler_.Tick(); });
  // The "on change" runs go to the run thread as the period's do, with their own copy of what changed.
  scheduler_.SetChangeRun([this](const ChangedPairs* changed) {
    if (RunOnWorker()) return false;
    std::optional<ChangedPairs> copy;
    if (changed) copy = *changed;
    Command([this, copy] {
      ShowListForRun(panels_);
      ApplyPanels();
      StartRun([this, copy] { ExecuteOneStep(app_, copy ? &*copy : nullptr); });
    });
    return true;
  });
}

void MainWindow::BuildSkinMenu() {
  auto* skins = menuBar()->addMenu(QStringLiteral("Skins"));
  skins->setObjectName(QStringLiteral("mnuSkins"));
  menus_.insert(skins->objectName(), skins);
  skins_ = new QActionGroup(this);
  for (int i = 0; i < kSkinCount; ++i) {
    auto* a = new QAction(QStringLiteral("Skin %1").arg(i + 1), this);
    a->setObjectName(QStringLiteral("mnuSkin(%1)").arg(i));
    a->setCheckable(true);
    skins_->addAction(a);
    skins->addAction(a);
    connect(a, &QAction::triggered, [this, i] {
      ChangeSkin(app_, i);
      SaveSettings(app_);
    });
  }
}

void MainWindow::ApplyOptionPanels() {
  const bool maximized = panels_.toDoListMaximized;
  frameBackupModes_->setVisible(panels_.frameBackupModes && !maximized);
  frameExclude_->setVisible(panels_.frameExclude && !maximized);
  frameSchedule_->setVisible(panels_.frameSchedule && !maximized);
  if (auto* layout = qobject_cast<QBoxLayout*>(centralWidget()->layout()))
    for (QWidget* panel : std::initializer_list<QWidget*>{frameBackupModes_, frameExclude_, frameSchedule_})
      layout->setStretchFactor(panel, panels_.toDoListVisible ? 0 : 1);
  for (int b : {kBtnScheduleOff, kBtnScheduleOn}) button(b)->setVisible(ScheduleButtonShown(b, scheduler_.IsOn()));
  // The main panel and the option panels share one place of one height, so the
  // list below keeps its place whichever panel is open.
  const std::initializer_list<QWidget*> place{frameMain_, frameBackupModes_, frameExclude_, frameSchedule_};
  // Wrapped captions make a panel taller in a narrow window: heights are taken at the current width.
  const int width = centralWidget()->layout()->contentsRect().width();
  int height = 0;
  for (QWidget* w : place) {
    w->setMinimumHeight(0);
    w->setMaximumHeight(QWIDGETSIZE_MAX);
    w->ensurePolished();  // a panel never shown yet must measure like a shown one
    w->layout()->activate();
    int h = std::max(w->sizeHint().height(), w->minimumSizeHint().height());
    // Asked of the layout: a hidden panel's widget answers without its wrapped captions.
    if (width > 0 && w->layout()->hasHeightForWidth()) h = std::max(h, w->layout()->totalHeightForWidth(width));
    height = std::max(height, h);
  }
  for (QWidget* w : place) {
    w->setMinimumHeight(height);
    // Without the list below, the panel takes the whole height.
    w->setMaximumHeight(panels_.toDoListVisible ? height : QWIDGETSIZE_MAX);
  }
}

void MainWindow::ScheduleButton(int number) {
  if (number == kBtnScheduleOffInPanel || number == kBtnScheduleOnInPanel) {
    scheduler_.Toggle();
    return;
  }
  ToggleSchedulePanel(panels_, scheduler_.IsOn());
  ApplyPanels();
}

double MainWindow::ScheduleNow() const {
  return scheduleClockHook ? scheduleClockHook() : MonotonicSeconds();
}

void MainWindow::ScheduleFire() {
  // A run handed to the worker that has not begun yet is still a run: the period is skipped.
  if (RunOnWorker()) return;
  scheduledRun_ = true;
  ClickButton(kBtnOneStep);
}

void MainWindow::ShowJobOptions() {
  frameExclude_->ShowOptions();
  frameSchedule_->ShowPeriodText(app_.Options.ScheduleTimeText);
  // The list's view options belong to the job too.
  action(QStringLiteral("mnuShowSize"))->setChecked(app_.ToDo.ShowSize);
  action(QStringLiteral("mnuShowFullPath"))->setChecked(app_.ToDo.ShowFullPath);
  ApplyToDoColumnWidths();
  ShowTitle();
}

void MainWindow::SwitchScheduleTimer(bool on) {
  if (on)
    timerSchedule_.start();
  else
    timerSchedule_.stop();
  ScheduleSwitched(panels_, on);
  ApplyOptionPanels();
}

void MainWindow::FlashBackground() {
  // The current pictures are put back as they were, not loaded again: a file the
  // current skin lacks must not keep the flashed skin's picture.
  const auto current = pictures_.backgrounds;
  pictures_.LoadBackgrounds(app_.Files.Folder, FlashSkin(app_.settings.SkinNumber));
  repaint();
  pictures_.backgrounds = current;
  update();
}

void MainWindow::PanelsLanguageChanged() {
  auto text = [this](const QString& key) { return Display(app_.Text(key.toStdString())); };
  const QString title = text(QStringLiteral("mnuSkins"));
  if (!title.isEmpty()) menus_.value(QStringLiteral("mnuSkins"))->setTitle(title);
  for (QAction* a : skins_->actions()) {
    const QString caption = text(a->objectName());
    if (!caption.isEmpty()) a->setText(caption);
  }
  frameBackupModes_->LanguageChanged(text);
  frameExclude_->LanguageChanged(text);
  frameSchedule_->LanguageChanged(text);
  ApplyOptionPanels();  // longer or shorter captions change the panels' height
}

void MainWindow::PanelsSkinChanged(int skin) {
  for (QAction* a : skins_->actions()) a->setChecked(a->objectName() == QStringLiteral("mnuSkin(%1)").arg(skin));
  const SkinColours c = ColoursOf(skin);
  QPalette p = QApplication::palette();
  p.setColor(QPalette::WindowText, c.text);
  p.setColor(QPalette::Button, c.base);
  p.setColor(QPalette::ButtonText, c.baseText);
  p.setColor(QPalette::Base, c.base);
  p.setColor(QPalette::AlternateBase, c.base.lighter(c.base.lightness() < 128 ? 130 : 97));
  p.setColor(QPalette::Text, c.baseText);
  p.setColor(QPalette::Highlight, c.accent);
  p.setColor(QPalette::HighlightedText, c.base.lightness() < 128 && skin != 3 ? QColor(Qt::black) : QColor(Qt::white));
  SetDisabledColours(p, c);
  centralWidget()->setPalette(p);
  // The part of a list's header right of its last column is painted in the window colour: the skin's, there.
  QPalette header = p;
  header.setColor(QPalette::Window, c.base);
  for (QTableView* list : {static_cast<QTableView*>(folderList_), static_cast<QTableView*>(toDoView_)})
    list->horizontalHeader()->setPalette(header);
  frameBackupModes_->SkinChanged();
  frameExclude_->ShowOptions();  // the filter boxes take their colours from the new palette
  ApplyOptionPanels();
}

}  // namespace dd::ui
