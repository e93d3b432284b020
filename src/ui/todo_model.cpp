#include "ui/todo_model.h"

#include <QFileInfo>

#include "common/app.h"
#include "common/files.h"
#include "ui/qt_text.h"
#include "ui/skin.h"
#include "window_rules/language_switch.h"

namespace dd::ui {

ToDoModel::ToDoModel(App& app, const SkinPictures& pictures, QObject* parent)
    : QAbstractTableModel(parent), app_(app), rows_(&app.ToDo.Rows), list_(&app.ToDo.ToDoList), pictures_(pictures) {
  provider_.setOptions(QFileIconProvider::DontUseCustomDirectoryIcons);
}

const std::deque<int64_t>& ToDoModel::LiveRows() const {
  return app_.ToDo.Rows;
}

void ToDoModel::Freeze() {
  beginResetModel();
  frozenRows_ = app_.ToDo.Rows;
  frozenList_ = app_.ToDo.ToDoList;
  rows_ = &frozenRows_;
  list_ = &frozenList_;
  ResetIconWindow();
  endResetModel();
}

void ToDoModel::Thaw() {
  beginResetModel();
  rows_ = &app_.ToDo.Rows;
  list_ = &app_.ToDo.ToDoList;
  frozenRows_ = {};
  frozenList_ = {};
  ResetIconWindow();
  endResetModel();
}

void ToDoModel::RemoveFrozenRows(int first, int last) {
  if (!Frozen() || first < 0 || last < first || static_cast<std::size_t>(last) >= frozenRows_.size()) return;
  beginRemoveRows({}, first, last);
  frozenRows_.erase(frozenRows_.begin() + first, frozenRows_.begin() + last + 1);
  longestPath_.reset();
  endRemoveRows();
}

int ToDoModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_->size());
}

int ToDoModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kToDoColumnCount;
}

int64_t ToDoModel::RecordOfRow(int row) const {
  const auto& rows = *rows_;
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return -1;
  const int64_t index = rows[static_cast<std::size_t>(row)];
  return index >= 0 && static_cast<std::size_t>(index) < (*list_).size() ? index : -1;
}

QVariant ToDoModel::data(const QModelIndex& index, int role) const {
  const int64_t record = RecordOfRow(index.row());
  if (record < 0) return {};
  const int column = index.column();
  if (role == Qt::TextAlignmentRole)
    return column == kColSize1 || column == kColSize2 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole) return {};
  ToDoCells cells;
  if (!ToDoRowCells((*list_)[static_cast<std::size_t>(record)], cells)) return {};
  if (role == Qt::DisplayRole) {
    const int64_t upper = static_cast<int64_t>((*list_).size()) - 1;
    const std::string text = ToDoCellText(cells, column, record, upper);
    const std::string key = ToDoCellTextKey(column, text);
    if (!key.empty()) {
      const QString shown = CellText(key);
      if (!shown.isEmpty()) return shown;
    }
    return column == kColPath1 || column == kColPath2 || column == kColF1 || column == kColF2 ? DisplayPath(text)
                                                                                              : Display(text);
  }
  if (role == Qt::ToolTipRole) {
    if (column == kColF1 || column == kColPath1) return DisplayPath(std::string(cells.path1));
    if (column == kColF2 || column == kColPath2) return DisplayPath(std::string(cells.path2));
    return {};
  }
  const std::string_view key = ToDoCellImageKey(cells, column);
  if (!key.empty()) return pictures_.toDo[static_cast<std::size_t>(PictureNumberOfKey(key))];
  if (column == kColF1 || column == kColF2) {
    auto it = icons_.constFind(record);
    if (it == icons_.constEnd()) return {};
    const QIcon& icon = column == kColF1 ? it->first : it->second;
    return icon.isNull() ? QVariant() : QVariant(icon);
  }
  return {};
}

QString ToDoModel::CellText(const std::string& key) const {
  const QString k = QString::fromStdString(key);
  auto hit = cellTexts_.constFind(k);
  if (hit == cellTexts_.constEnd()) hit = cellTexts_.insert(k, Display(app_.Text(key)));
  return *hit;
}

void ToDoModel::HeadersChanged() {
  cellTexts_.clear();
  emit headerDataChanged(Qt::Horizontal, 0, kToDoColumnCount - 1);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kToDoColumnCount - 1), {Qt::DisplayRole});
}

QVariant ToDoModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kToDoColumnCount) return {};
  if (role == Qt::DisplayRole) return Display(app_.Text(ToDoColumnTitleKeys()[static_cast<std::size_t>(section)]));
  if (role == Qt::TextAlignmentRole && (section == kColSize1 || section == kColSize2))
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

void ToDoModel::Rebuilt() {
  beginResetModel();
  ResetIconWindow();
  endResetModel();
}

void ToDoModel::RowAboutToBeRemoved(int position) {
  beginRemoveRows({}, position, position);
}

void ToDoModel::RowRemoved() {
  longestPath_.reset();
  endRemoveRows();
}

QString ToDoModel::LongestPath() const {
  if (longestPath_) return *longestPath_;
  std::string_view longest;
  for (int64_t record : *rows_) {
    if (record < 0 || static_cast<std::size_t>(record) >= list_->size()) continue;
    ToDoCells c;
    if (!ToDoRowCells((*list_)[static_cast<std::size_t>(record)], c)) continue;
    for (std::string_view path : {c.path1, c.path2})
      if (path.size() > longest.size()) longest = path;
  }
  longestPath_ = DisplayPath(std::string(longest));
  return *longestPath_;
}

void ToDoModel::ResetIconWindow() {
  longestPath_.reset();  // every change of the rows comes through here or a removal
  window_.Reset();
  icons_.clear();
}

int ToDoModel::LoadVisibleIcons(int firstVisibleRow) {
  const int64_t rows = rowCount();
  if (!window_.Update(firstVisibleRow + 1, rows)) return 0;
  icons_.clear();
  int requested = 0;
  const QIcon& question = pictures_.toDo[static_cast<std::size_t>(PictureNumberOfKey("Question"))];
  auto iconOf = [&](std::string_view path) {
    const std::string p(path);
    if (!PathExists(p)) return question;
    ++requested;
    return provider_.icon(QFileInfo(DisplayPath(p)));
  };
  for (int64_t r = window_.first; r <= window_.last && r >= 1; ++r) {
    const int64_t record = RecordOfRow(static_cast<int>(r - 1));
    if (record < 0) continue;
    ToDoCells c;
    if (!ToDoRowCells((*list_)[static_cast<std::size_t>(record)], c)) continue;
    std::pair<QIcon, QIcon> icons;
    if (c.filledF1 && !c.path1.empty()) icons.first = iconOf(c.path1);
    if (c.filledF2 && !c.path2.empty()) icons.second = iconOf(c.path2);
    icons_.insert(record, icons);
  }
  if (window_.first >= 1 && window_.last >= window_.first)
    emit dataChanged(index(static_cast<int>(window_.first - 1), kColF1),
                     index(static_cast<int>(window_.last - 1), kColF2), {Qt::DecorationRole});
  return requested;
}

}  // namespace dd::ui
