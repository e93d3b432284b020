// The to-do list as a table model: it reads the core's rows and records on
// demand and keeps file icons only for the rows of the loaded-icon window.
#pragma once

#include <QAbstractTableModel>
#include <QFileIconProvider>
#include <QHash>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "window_rules/todo_view.h"

namespace dd {
class App;
}

namespace dd::ui {

struct SkinPictures;

class ToDoModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  ToDoModel(App& app, const SkinPictures& pictures, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows were rebuilt or reordered.
  void Rebuilt();
  void RowAboutToBeRemoved(int position);
  void RowRemoved();
  void RowsAboutToBeRemoved(int first, int last) { beginRemoveRows({}, first, last); }
  // While a run is on the worker the model shows a copy of the rows and records
  // taken when the run began or rebuilt them, and applies the run's removals to it.
  void Freeze();
  void Thaw();
  bool Frozen() const { return rows_ != &LiveRows(); }
  void RemoveFrozenRows(int first, int last);
  // The headers and the cells that show record texts follow the language.
  void HeadersChanged();

  // LoadIconsOfVisibleRows: loads the file icons around the first visible row
  // (0-based); returns the number of icons requested.
  int LoadVisibleIcons(int firstVisibleRow);
  void ResetIconWindow();
  const IconWindow& iconWindow() const { return window_; }

  // The record index of a row, -1 when there is none.
  int64_t RecordOfRow(int row) const;

  // The longest text of the two "Full path" columns (by bytes), for their width;
  // read again only after the rows changed.
  QString LongestPath() const;

 private:
  const std::deque<int64_t>& LiveRows() const;
  App& app_;
  const std::deque<int64_t>* rows_;
  const std::vector<std::string>* list_;
  std::deque<int64_t> frozenRows_;
  std::vector<std::string> frozenList_;
  const SkinPictures& pictures_;
  QFileIconProvider provider_;
  IconWindow window_;
  mutable std::optional<QString> longestPath_;
  // File icons of the window's rows by record index: F1 side, F2 side.
  QHash<int64_t, std::pair<QIcon, QIcon>> icons_;
  // Record texts in the current language, by their key: the view asks for every cell it paints.
  QString CellText(const std::string& key) const;
  mutable QHash<QString, QString> cellTexts_;
};

}  // namespace dd::ui
