#include "todo/list_plan.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "common/files.h"
#include "common/text.h"

namespace dd {

namespace {

bool Keepable(const std::string& text) {
  return text.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string::npos;
}

std::string NumberText(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

template <class Number>
bool ParseNumberField(std::string_view text, Number& value) {
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

bool ParseSwitch(std::string_view text, bool& value) {
  if (text != "0" && text != "1") return false;
  value = text == "1";
  return true;
}

std::string* ModeField(BackupModeDef& mode, std::size_t i) {
  std::string* fields[] = {&mode.Identical, &mode.ExtraInF1, &mode.ExtraInF2, &mode.NewerInF1, &mode.NewerInF2};
  return fields[i];
}

// The fields every record holds once, besides its pairs.
enum Field : int { kJob = 1, kPlannedAt = 2, kMode = 4, kTolerance = 8, kDaylight = 16, kTrash = 32, kAllFields = 63 };

// One line of the record into the plan, its field noted in `seen`; false when it is damaged.
bool ParseLine(const std::vector<std::string>& f, ListPlan& plan, int64_t& plannedAtNs, int& seen) {
  const std::string& key = f[0];
  bool ok = false;
  Field field = kAllFields;
  if (key == "Job" && f.size() == 2) {
    plan.JobFile = f[1];
    ok = true, field = kJob;
  } else if (key == "PlannedAtNs" && f.size() == 2) {
    ok = ParseNumberField(f[1], plannedAtNs), field = kPlannedAt;
  } else if (key == "Mode" && f.size() == 6) {
    for (std::size_t i = 0; i < 5; ++i) *ModeField(plan.Mode, i) = f[i + 1];
    ok = true, field = kMode;
  } else if (key == "TimeTolerance" && f.size() == 2) {
    ok = ParseNumberField(f[1], plan.TimeTolerance), field = kTolerance;
  } else if (key == "DaylightSaving" && f.size() == 2) {
    ok = ParseSwitch(f[1], plan.DaylightSaving), field = kDaylight;
  } else if (key == "DeletedToTrash" && f.size() == 2) {
    ok = ParseSwitch(f[1], plan.DeletedToTrash), field = kTrash;
  } else if (key == "CompareContent" && f.size() == 2) {
    return ParseSwitch(f[1], plan.CompareContent);
  } else if (key == "VerifyCopies" && f.size() == 2) {
    return ParseSwitch(f[1], plan.VerifyCopies);
  } else if (key == "Pair" && f.size() == 5) {
    // Roots are absolute: a relative one would be taken from wherever the program runs.
    for (std::size_t i = 1; i < 5; ++i)
      if (f[i].empty() || f[i][0] != kPathSeparator) return false;
    plan.Pairs.push_back({f[1], f[2], f[3], f[4]});
    return true;
  }
  if (ok) seen |= field;
  return ok;
}

}  // namespace

std::string FormatListPlan(const ListPlan& plan, int64_t plannedAtNs) {
  BackupModeDef mode = plan.Mode;
  std::vector<const std::string*> texts = {&plan.JobFile};
  for (std::size_t i = 0; i < 5; ++i) texts.push_back(ModeField(mode, i));
  for (const PlannedPair& p : plan.Pairs)
    texts.insert(texts.end(), {&p.Source, &p.Target, &p.ResolvedSource, &p.ResolvedTarget});
  for (const std::string* text : texts)
    if (!Keepable(*text)) return {};

  std::vector<std::string> lines;
  lines.push_back("Job\t" + plan.JobFile);
  lines.push_back("PlannedAtNs\t" + std::to_string(plannedAtNs));
  std::string codes = "Mode";
  for (std::size_t i = 0; i < 5; ++i) codes += "\t" + *ModeField(mode, i);
  lines.push_back(codes);
  lines.push_back("TimeTolerance\t" + NumberText(plan.TimeTolerance));
  lines.push_back(std::string("DaylightSaving\t") + (plan.DaylightSaving ? "1" : "0"));
  lines.push_back(std::string("DeletedToTrash\t") + (plan.DeletedToTrash ? "1" : "0"));
  // Only when on, so that a plan without them reads the same in older programs.
  if (plan.CompareContent) lines.push_back("CompareContent\t1");
  if (plan.VerifyCopies) lines.push_back("VerifyCopies\t1");
  for (const PlannedPair& p : plan.Pairs)
    lines.push_back("Pair\t" + p.Source + "\t" + p.Target + "\t" + p.ResolvedSource + "\t" + p.ResolvedTarget);
  return Join(lines, kCrLf) + std::string(kCrLf);
}

std::optional<ListPlan> ParseListPlan(std::string_view text, int64_t& plannedAtNs) {
  ListPlan plan;
  int64_t at = 0;
  int seen = 0;
  for (const std::string& line : Split(std::string(text), kCrLf)) {
    if (line.empty()) continue;
    if (!ParseLine(SplitKeepEmpty(line, "\t"), plan, at, seen)) return std::nullopt;
  }
  if (seen != kAllFields) return std::nullopt;
  plan.Known = true;
  plannedAtNs = at;
  return plan;
}

ListPlan PlanOfCurrentJob(const JobState& job, const BackupModeDef& mode, const JobOptions& options) {
  ListPlan plan;
  plan.Known = true;
  const std::string jobFile = ResolvedPath(job.CurrentJobFile);
  plan.JobFile = jobFile.empty() ? job.CurrentJobFile : jobFile;
  const auto& sources = job.SourceFolders;
  const auto& targets = job.TargetFolders;
  for (std::size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
    // A pair whose roots do not resolve is not compared either: none of its records can be carried out.
    std::string source = ResolvedPath(sources[i]), target = ResolvedPath(targets[i]);
    if (source.empty() || target.empty()) continue;
    plan.Pairs.push_back({sources[i], targets[i], std::move(source), std::move(target)});
  }
  plan.Mode = mode;
  plan.Mode.Name.clear();
  plan.TimeTolerance = options.TimeTolerance;
  plan.DaylightSaving = options.DaylightSaving;
  plan.DeletedToTrash = options.DeletedToTrash;
  plan.CompareContent = options.CompareContent;
  plan.VerifyCopies = options.VerifyCopies;
  return plan;
}

bool WriteListPlan(const ToDoState& toDo, const ProgramFiles& files) {
  const std::string text = FormatListPlan(toDo.Plan, toDo.PlannedAtNs);
  return !text.empty() && WriteTextFile(text, files.PlanFilePath);
}

void ReadListPlan(ToDoState& toDo, const ProgramFiles& files) {
  int64_t at = 0;
  const std::optional<ListPlan> plan = ParseListPlan(ReadTextFile(files.PlanFilePath), at);
  toDo.Plan = plan ? *plan : ListPlan{};
  toDo.PlannedAtNs = plan ? at : 0;
}

bool RemoveListPlan(ToDoState& toDo, const ProgramFiles& files) {
  toDo.Plan = ListPlan{};
  const std::string& path = files.PlanFilePath;
  return DeleteFile(path) != DeleteResult::StillThere;
}

}  // namespace dd
