#include "todo/filters.h"

#include "common/files.h"
#include "common/messages.h"
#include "common/text.h"
#include "common/write_report.h"
#include "todo/name_patterns.h"
#include "todo/op_record.h"
#include "todo/todo_list.h"

namespace dd {

namespace {

// What the filters of one record look at: PathF1 TAB PathF2 for the plain
// lines, and each path below its pair's root for the patterns.
struct Subject {
  std::string paths;
  std::string belowF1, belowF2;
};

struct Filter {
  std::string text;
  bool pattern = false;
};

// The pairs' roots on each side, which the patterns' paths are taken below.
struct Roots {
  std::vector<std::string> sources, targets;
};

// The subject of a record, or false when it is not a seven-field record.
bool RecordSubject(const std::string& line, bool caseSensitive, const Roots& roots, bool patterns, Subject& subject) {
  const std::optional<OpRecord> record = OpRecord::Parse(line);
  if (!record) return false;
  subject.paths = record->PathF1 + kTab + record->PathF2;
  if (patterns) {
    subject.belowF1 = PathBelowRoots(record->PathF1, roots.sources);
    subject.belowF2 = PathBelowRoots(record->PathF2, roots.targets);
  }
  if (!caseSensitive) {
    subject.paths = ToUpperAscii(subject.paths);
    subject.belowF1 = ToUpperAscii(subject.belowF1);
    subject.belowF2 = ToUpperAscii(subject.belowF2);
  }
  return true;
}

std::vector<Filter> FilterTexts(const std::string& text, bool caseSensitive) {
  std::vector<Filter> filters;
  for (std::string& f : Split(text, kCrLf)) {
    if (f.empty()) continue;
    const bool pattern = IsNamePattern(f);
    if (!caseSensitive) f = pattern ? UpperCasePattern(f) : ToUpperAscii(f);
    filters.push_back({std::move(f), pattern});
  }
  return filters;
}

bool Matches(const Subject& subject, const Filter& filter) {
  if (!filter.pattern) return subject.paths.find(filter.text) != std::string::npos;
  return NamePatternMatches(filter.text, subject.belowF1) || NamePatternMatches(filter.text, subject.belowF2);
}

// What a filter run works on and reports to.
struct FilterTarget {
  ToDoState& toDo;
  const JobState& job;
  const ProgramFiles& files;
  Messages& messages;
};

// Empties every record for which `drop` holds and saves the list.
template <typename Drop>
int Thin(const FilterTarget& target, std::string& text, bool caseSensitive, Drop drop) {
  text = NormaliseList(std::move(text));
  if (text.empty()) return 0;
  const std::vector<Filter> filters = FilterTexts(text, caseSensitive);
  bool patterns = false;
  for (const Filter& f : filters) patterns = patterns || f.pattern;
  const Roots roots{target.job.SourceFolders, target.job.TargetFolders};
  int removed = 0;
  Subject subject;
  for (std::string& record : target.toDo.ToDoList) {
    if (!RecordSubject(record, caseSensitive, roots, patterns, subject)) continue;
    if (drop(subject, filters)) {
      record.clear();
      ++removed;
    }
  }
  if (!SaveToDoList(target.toDo, target.files, target.messages.screen()))
    ReportFileNotWritten(target.messages, target.files.ToDoFilePath);
  return removed;
}

std::string& BoxText(JobOptions& options, FilterBox box) {
  return box == FilterBox::Exclude ? options.ExcludeText : options.IncludeText;
}

const std::string& BoxPlaceholder(const JobOptions& options, FilterBox box) {
  return box == FilterBox::Exclude ? options.ExclPlaceholder : options.InclPlaceholder;
}

std::string TextForRun(const std::string& text, const std::string& placeholder, bool enabled) {
  if (!enabled || ShowsPlaceholder(text, placeholder)) return {};
  return text;
}

}  // namespace

int ExcludeFromToDoList(ToDoState& toDo, const JobState& job, const JobOptions& options, const ProgramFiles& files,
                        Messages& messages, std::string& text) {
  return Thin({toDo, job, files, messages}, text, options.ExclCaseSensitive,
              [](const Subject& subject, const auto& filters) {
                for (const Filter& f : filters)
                  if (Matches(subject, f)) return true;
                return false;
              });
}

int IncludeInToDoList(ToDoState& toDo, const JobState& job, const JobOptions& options, const ProgramFiles& files,
                      Messages& messages, std::string& text) {
  return Thin({toDo, job, files, messages}, text, options.InclCaseSensitive,
              [](const Subject& subject, const auto& filters) {
                int hits = 0;
                for (const Filter& f : filters)
                  if (Matches(subject, f)) ++hits;
                return hits == 0;
              });
}

std::string ExcludeTextForRun(const JobOptions& options) {
  return TextForRun(options.ExcludeText, options.ExclPlaceholder, options.ExclEnabled);
}

std::string IncludeTextForRun(const JobOptions& options) {
  return TextForRun(options.IncludeText, options.InclPlaceholder, options.InclEnabled);
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
    t += NameOfPath(p);
    t += kCrLf;
  }
  return t;
}

void FilterBoxFocusGained(JobOptions& options, FilterBox box) {
  std::string& t = BoxText(options, box);
  t = FilterTextOnFocusGained(t, BoxPlaceholder(options, box));
}

void FilterBoxFocusLost(JobOptions& options, FilterBox box) {
  std::string& t = BoxText(options, box);
  t = FilterTextOnFocusLost(t, BoxPlaceholder(options, box));
}

void FilesDroppedOnFilterBox(JobOptions& options, FilterBox box, const std::vector<std::string>& paths) {
  std::string& t = BoxText(options, box);
  t = FilterTextWithDroppedFiles(t, BoxPlaceholder(options, box), paths);
  (box == FilterBox::Exclude ? options.ExclEnabled : options.InclEnabled) = true;
}

}  // namespace dd
