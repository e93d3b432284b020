#include "ui/list_views.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>

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
  // Paths keep their beginning and their name; the tooltip has all of it.
  view->setTextElideMode(Qt::ElideMiddle);
  // The last column reaches the right edge: no empty band beside the headers.
  view->horizontalHeader()->setStretchLastSection(true);
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

}  // namespace

FolderTable::FolderTable(QWidget* parent) : HookedList(parent) {
  ConfigureList(this);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setSortingEnabled(false);
}

int FolderTable::Boundary() const {
  return horizontalHeader()->sectionPosition(1) + horizontalHeader()->sectionSize(1);
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
  if (drop && !paths.empty()) drop(paths, ContentX(e->position().toPoint().x()));
}

ToDoTable::ToDoTable(QWidget* parent) : HookedList(parent) {
  ConfigureList(this);
  setSortingEnabled(false);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSortIndicatorShown(true);
}

int ToDoTable::FirstVisibleRow() const {
  const int row = rowAt(0);
  return row < 0 ? 0 : row;
}

}  // namespace dd::ui
