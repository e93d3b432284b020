// The two lists of the window. They only report keys, mouse releases and drops;
// the window decides what they do.
#pragma once

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

class FolderTable : public QTableWidget {
  Q_OBJECT
 public:
  explicit FolderTable(QWidget* parent = nullptr);
  ListHooks hooks;
  // Dropped local paths at a horizontal content position.
  std::function<void(const std::vector<std::string>& paths, int x)> drop;
  // The right edge of the source column in content coordinates.
  int Boundary() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  QStringList mimeTypes() const override;
};

class ToDoTable : public QTableView {
  Q_OBJECT
 public:
  explicit ToDoTable(QWidget* parent = nullptr);
  ListHooks hooks;
  // The first row that shows, 0-based.
  int FirstVisibleRow() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

}  // namespace dd::ui
