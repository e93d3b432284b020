// The two lists of the window. They only report keys, mouse releases and drops;
// the window decides what they do.
#pragma once

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace dd::ui {

// Hooks shared by both lists. A key hook returns true when it handled the key.
struct ListHooks {
  std::function<bool(QKeyEvent*)> keyPress;
  std::function<void(QKeyEvent*)> keyRelease;
  // Horizontal position in the list's content (scrolling included) and the button.
  std::function<void(int x, Qt::MouseButton button, QPoint globalPos)> mouseRelease;
  std::function<void()> doubleClick;
};

// A list view that hands keys, mouse releases and double clicks to its hooks.
template <class View>
class HookedList : public View {
 public:
  using View::View;
  ListHooks hooks;
  // A horizontal viewport position as a position in the content (scrolling included).
  int ContentX(int viewportX) const { return viewportX + this->horizontalScrollBar()->value(); }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (hooks.keyPress && hooks.keyPress(e)) return;
    View::keyPressEvent(e);
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    View::keyReleaseEvent(e);
    if (hooks.keyRelease && !e->isAutoRepeat()) hooks.keyRelease(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    View::mouseReleaseEvent(e);
    if (hooks.mouseRelease)
      hooks.mouseRelease(ContentX(e->position().toPoint().x()), e->button(), e->globalPosition().toPoint());
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    View::mouseDoubleClickEvent(e);
    if (hooks.doubleClick) hooks.doubleClick();
  }
};

class FolderTable : public HookedList<QTableWidget> {
  Q_OBJECT
 public:
  explicit FolderTable(QWidget* parent = nullptr);
  // Dropped local paths at a horizontal content position.
  std::function<void(const std::vector<std::string>& paths, int x)> drop;
  // The right edge of the source column in content coordinates.
  int Boundary() const;

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  QStringList mimeTypes() const override;
};

class ToDoTable : public HookedList<QTableView> {
  Q_OBJECT
 public:
  explicit ToDoTable(QWidget* parent = nullptr);
  // The first row that shows, 0-based.
  int FirstVisibleRow() const;
};

}  // namespace dd::ui
