#include "oplist/filters.h"

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "common/write_report.h"
#include "oplist/op_record.h"
#include "oplist/todo_list.h"

namespace dd {

namespace {

// PathF1 TAB PathF2 of a record, or false when it is not a seven-field record.
bool RecordSubject(const std::string& line, bool caseSensitive, std::string& subject) {
  const std::optional<OpRecord> record = OpRecord::Parse(line);
  if (!record) return false;
  subject = record->PathF1 + kTab + record->PathF2;
  if (!caseSensitive) subject = ToUpperAscii(subject);
  return true;
}

std::vector<std::string> FilterTexts(const std::string& text, bool caseSensitive) {
  std::vector<std::string> filters;
  for (std::string& f : Split(text, kCrLf)) {
    if (f.empty()) continue;
    filters.push_back(caseSensitive ? std::move(f) : ToUpperAscii(f));
  }
  return filters;
}

// Empties every record for which `drop` holds and saves the list.
template <typename Drop>
int Thin(App& app, std::string& text, bool caseSensitive, Drop drop) {
  text = NormaliseList(std::move(text));
  if (text.empty()) return 0;
  const std::vector<std::string> filters = FilterTexts(text, caseSensitive);
  int removed = 0;
  std::string subject;
  for (std::string& record : app.ToDo.ToDoList) {
    if (!RecordSubject(record, caseSensitive, subject)) continue;
    if (drop(subject, filters)) {
      record.clear();
      ++removed;
    }
  }
  if (!SaveToDoList(app)) ReportFileNotWritten(app, app.Files.ToDoFilePath);
  return removed;
}

bool Contains(const std::string& subject, const std::string& filter) {
  return subject.find(filter) != std::string::npos;
}

std::string& BoxText(App& app, FilterBox box) {
  return box == FilterBox::Exclude ? app.Options.ExcludeText : app.Options.IncludeText;
}

const std::string& BoxPlaceholder(const App& app, FilterBox box) {
  return box == FilterBox::Exclude ? app.Options.ExclPlaceholder : app.Options.InclPlaceholder;
}

std::string TextForRun(const std::string& text, const std::string& placeholder, bool enabled) {
  if (!enabled || ShowsPlaceholder(text, placeholder)) return {};
  return text;
}

}  // namespace

int ExcludeFromToDoList(App& app, std::string& text) {
  return Thin(app, text, app.Options.ExclCaseSensitive, [](const std::string& subject, const auto& filters) {
    for (const std::string& f : filters)
      if (Contains(subject, f)) return true;
    return false;
  });
}

int IncludeInToDoList(App& app, std::string& text) {
  return Thin(app, text, app.Options.InclCaseSensitive, [](const std::string& subject, const auto& filters) {
    int hits = 0;
    for (const std::string& f : filters)
      if (Contains(subject, f)) ++hits;
    return hits == 0;
  });
}

std::string ExcludeTextForRun(const App& app) {
  return TextForRun(app.Options.ExcludeText, app.Options.ExclPlaceholder, app.Options.ExclEnabled);
}

std::string IncludeTextForRun(const App& app) {
  return TextForRun(app.Options.IncludeText, app.Options.InclPlaceholder, app.Options.InclEnabled);
}

bool ShowsPlaceholder(const std::string& text, const std::string& placeholder) {
  const std::string p = NormaliseList(placeholder);
  return !p.empty() && NormaliseList(text) == p;
}

std::string FilterTextOnFocusGained(const std::string& text, const std::string& placeholder) {
  return ShowsPlaceholder(text, placeholder) ? std::string() : text;
}

std::string FilterTextOnFocusLost(const std::string& text, const std::string& placeholder) {
  std::string t = NormaliseList(text);
  return t.empty() ? placeholder : t;
}

std::string FilterTextWithDroppedFiles(const std::string& text, const std::string& placeholder,
                                       const std::vector<std::string>& paths) {
  std::string t = FilterTextOnFocusGained(text, placeholder);
  for (const std::string& p : paths) {
    t += FileNameOfPath(p);
    t += kCrLf;
  }
  return t;
}

std::string FilterTextOnNewPlaceholder(const std::string& text, const std::string& oldPlaceholder,
                                       const std::string& newPlaceholder) {
  return ShowsPlaceholder(text, oldPlaceholder) ? newPlaceholder : text;
}

void FilterBoxFocusGained(App& app, FilterBox box) {
  std::string& t = BoxText(app, box);
  t = FilterTextOnFocusGained(t, BoxPlaceholder(app, box));
}

void FilterBoxFocusLost(App& app, FilterBox box) {
  std::string& t = BoxText(app, box);
  t = FilterTextOnFocusLost(t, BoxPlaceholder(app, box));
}

void FilesDroppedOnFilterBox(App& app, FilterBox box, const std::vector<std::string>& paths) {
  std::string& t = BoxText(app, box);
  t = FilterTextWithDroppedFiles(t, BoxPlaceholder(app, box), paths);
  (box == FilterBox::Exclude ? app.Options.ExclEnabled : app.Options.InclEnabled) = true;
}

}  // namespace dd
