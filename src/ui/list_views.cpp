#include "ui/list_views.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/qt_text.h"

namespace dd::ui {

namespace {

constexpr char kUriList[] = "text/uri-list";

template <class View>
void ConfigureList(View* view) {
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setWordWrap(false);
  view->setShowGrid(false);
  view->setAlternatingRowColors(true);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setMinimumSectionSize(0);
  view->setIconSize(QSize(16, 16));
  view->setContextMenuPolicy(Qt::NoContextMenu);  // the release of the right button opens the menu
  // Positions in the content are the viewport's plus the scroll bar's value: both in pixels.
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

int ContentX(const QAbstractItemView* view, const QMouseEvent* e) {
  return e->position().toPoint().x() + view->horizontalScrollBar()->value();
}

}  // namespace

FolderTable::FolderTable(QWidget* parent) : QTableWidget(parent) {
  ConfigureList(this);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setSortingEnabled(false);
}

int FolderTable::Boundary() const {
  return horizontalHeader()->sectionPosition(1) + horizontalHeader()->sectionSize(1);
}

void FolderTable::keyPressEvent(QKeyEvent* e) {
  if (hooks.keyPress && hooks.keyPress(e)) return;
  QTableWidget::keyPressEvent(e);
}

void FolderTable::keyReleaseEvent(QKeyEvent* e) {
  QTableWidget::keyReleaseEvent(e);
  if (hooks.keyRelease && !e->isAutoRepeat()) hooks.keyRelease(e);
}

void FolderTable::mouseReleaseEvent(QMouseEvent* e) {
  QTableWidget::mouseReleaseEvent(e);
  if (hooks.mouseRelease) hooks.mouseRelease(ContentX(this, e), e->button(), e->globalPosition().toPoint());
}

void FolderTable::mouseDoubleClickEvent(QMouseEvent* e) {
  QTableWidget::mouseDoubleClickEvent(e);
  if (hooks.doubleClick) hooks.doubleClick();
}

QStringList FolderTable::mimeTypes() const {
  return {QString::fromLatin1(kUriList)};
}

void FolderTable::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasFormat(kUriList)) e->acceptProposedAction();
}

void FolderTable::dragMoveEvent(QDragMoveEvent* e) {
  if (e->mimeData()->hasFormat(kUriList)) e->acceptProposedAction();
}

void FolderTable::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasFormat(kUriList)) return;
  e->acceptProposedAction();
  const std::vector<std::string> paths = LocalPathsOfUriList(e->mimeData()->data(kUriList));
  const int x = e->position().toPoint().x() + horizontalScrollBar()->value();
  if (drop && !paths.empty()) drop(paths, x);
}

ToDoTable::ToDoTable(QWidget* parent) : QTableView(parent) {
  ConfigureList(this);
  setSortingEnabled(false);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSortIndicatorShown(true);
}

int ToDoTable::FirstVisibleRow() const {
  const int row = rowAt(0);
  return row < 0 ? 0 : row;
}

void ToDoTable::keyPressEvent(QKeyEvent* e) {
  if (hooks.keyPress && hooks.keyPress(e)) return;
  QTableView::keyPressEvent(e);
}

void ToDoTable::keyReleaseEvent(QKeyEvent* e) {
  QTableView::keyReleaseEvent(e);
  if (hooks.keyRelease && !e->isAutoRepeat()) hooks.keyRelease(e);
}

void ToDoTable::mouseReleaseEvent(QMouseEvent* e) {
  QTableView::mouseReleaseEvent(e);
  if (hooks.mouseRelease) hooks.mouseRelease(ContentX(this, e), e->button(), e->globalPosition().toPoint());
}

void ToDoTable::mouseDoubleClickEvent(QMouseEvent* e) {
  QTableView::mouseDoubleClickEvent(e);
  if (hooks.doubleClick) hooks.doubleClick();
}

}  // namespace dd::ui
