#include "cli/cli_screen.h"

#include <unistd.h>
#include <cstdio>
#include <iostream>

#include "common/app.h"
#include "common/clock.h"
#include "common/format.h"
#include "common/text.h"

namespace dd::cli {

namespace {

std::string ForTerminal(const std::string& text) {
  return ReplaceAll(text, "\r\n", "\n");
}

// The boxes that ask before something is changed on disk.
bool IsConfirmation(MessageKind kind) {
  return kind == MessageKind::ConfirmExecute || kind == MessageKind::ConfirmOneClick;
}

// What follows the question text of a box: the folders or counts it asks about.
std::string Details(const App* app, const Message& m) {
  const std::string question = app ? app->Text(m.key) + "\r\n" : std::string();
  const bool follows = !question.empty() && m.prompt.starts_with(question);
  return follows ? ForTerminal(m.prompt.substr(question.size())) : std::string();
}

}  // namespace

CliScreen::CliScreen(AnswerPolicy policy) : policy_(policy), progressTerminal_(::isatty(STDERR_FILENO) == 1) {}

void CliScreen::ClearProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
}

void CliScreen::PrintBox(const Message& m, bool toStderr) {
  ClearProgress();
  std::string text = ForTerminal(m.prompt);
  if (text.empty()) text = m.key;  // no language file: the key still says what happened
  if (toStderr) {
    std::string title = ForTerminal(m.title);
    Error((title.empty() ? "" : title + ": ") + text);
  } else if (!policy_.quiet) {
    std::cout << text << "\n";
  }
  std::cout.flush();
}

void CliScreen::Error(const std::string& text) {
  ClearProgress();
  errors_.push_back(text);
  std::cerr << "dualdock-cli: " << text << "\n";
}

// An option gave the answer: the decision is said, not the question.
void CliScreen::SayDecided(const Message& m) {
  ClearProgress();
  if (policy_.quiet) return;
  std::string text;
  if (m.kind == MessageKind::ConfirmExecute) {
    const int64_t count = app_ ? app_->Run.PendingOpsAtCount : 0;
    text = "Carrying out " + std::to_string(count) + (count == 1 ? " operation" : " operations") + " (--yes)";
  } else if (m.kind == MessageKind::ConfirmOneClick) {
    text = "Simulating the job and carrying out what it plans (--yes)";
  } else if (m.kind == MessageKind::CreateMissingFolders) {
    text = "Creating the folders that do not exist (--create-missing)";
  } else {
    text = "Planning the deletion of most of a folder (--allow-mass-delete)";
  }
  const std::string details = Details(app_, m);
  std::cout << text << (details.empty() ? "\n" : ":\n" + details + "\n") << std::flush;
}

bool CliScreen::Confirm(const Message& m) {
  if (policy_.yes) {
    SayDecided(m);
    return true;
  }
  if (::isatty(STDIN_FILENO) != 1) {
    refused_ = true;
    Error("refusing to change files without confirmation: pass --yes (no terminal to ask)");
    return false;
  }
  // The question is asked even when quiet; then on stderr, which keeps stdout for the result.
  std::ostream& out = policy_.quiet ? std::cerr : std::cout;
  ClearProgress();
  out << ForTerminal(m.prompt.empty() ? m.key : m.prompt) << "\nProceed? [y/N] " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return line == "y" || line == "Y" || line == "yes" || line == "Yes";
}

void CliScreen::Refuse(const Message& m, const char* hint) {
  PrintBox(m, true);
  std::cerr << "dualdock-cli: " << hint << "\n";
  refused_ = true;
  // A one-step run must not go on to carry out the other pairs.
  if (run_) run_->RequestStop();
}

Answer CliScreen::ShowMessage(const Message& m) {
  keys_.push_back(m.key);
  if (m.kind == MessageKind::MassDeletion) {
    if (policy_.allowMassDelete) {
      SayDecided(m);
      return Answer::Yes;
    }
    Refuse(m, "refusing a run that deletes most of a folder: pass --allow-mass-delete to allow it");
    return Answer::No;
  }
  if (m.kind == MessageKind::ProgramFolderInUse || m.kind == MessageKind::FileNotWritten) {
    Refuse(m, m.kind == MessageKind::ProgramFolderInUse ? "another run uses the program folder; try again later"
                                                        : "a program file could not be written");
    return Answer::Ok;
  }
  if (m.kind == MessageKind::FoldersInsideEachOther) {
    Refuse(m, "refusing a pair whose one folder lies inside the other");
    return Answer::Ok;
  }
  if (IsConfirmation(m.kind)) {
    bool ok = Confirm(m);
    if (!ok) declined_ = true;
    if (m.buttons == Buttons::YesNo) return ok ? Answer::Yes : Answer::No;
    return ok ? Answer::Ok : Answer::Cancel;
  }
  if (m.kind == MessageKind::CreateMissingFolders) {
    if (policy_.createMissing) {
      SayDecided(m);
      return Answer::Yes;
    }
    PrintBox(m, true);
    declined_ = true;
    Error("pass --create-missing to create them");
    return Answer::No;
  }
  if (m.kind == MessageKind::AbortedByUser) return Answer::Ok;  // said already above
  const bool error = m.icon == Icon::Critical;
  if (error) sawError_ = true;
  PrintBox(m, error);
  if (m.buttons == Buttons::YesNo) return Answer::No;  // no other question may change anything unasked
  if (m.buttons == Buttons::OkCancel) return Answer::Cancel;
  return Answer::Ok;
}

void CliScreen::SetStatusText(int panel, const std::string& text) {
  if (panel == 2) throughput_ = text;
}

void CliScreen::OperationDone(OpKind kind, Side side, std::string_view path) {
  if (!policy_.verbose) return;
  ClearProgress();
  const char* code = kind == OpKind::Delete ? "del"
                     : kind == OpKind::New  ? "new"
                     : kind == OpKind::Move ? "mov"
                                            : "rep";
  std::cout << code << (side == Side::F1 ? " F1 " : " F2 ") << path << "\n";
}

void CliScreen::Yield() {
  if (!progressTerminal_ || policy_.quiet || !app_) return;
  const double now = MonotonicSeconds();
  if (now - lastProgress_ < 0.2) return;
  lastProgress_ = now;
  const RunStatistics& r = app_->Run;
  std::string line;
  if (r.Lifecycle.Execution()) {
    int64_t done = r.DeletedCount + r.NewCount + r.ReplacedCount + r.MovedCount;
    line = std::to_string(done) + " done, " + std::to_string(r.PendingOps()) + " pending, " +
           FormatSize(static_cast<double>(r.DeletedBytes + r.NewBytes + r.ReplacedBytes));
    if (!throughput_.empty()) line += ", " + throughput_;
  } else if (r.Lifecycle.Simulation()) {
    line = std::to_string(r.TreeFilesF1 + r.TreeFilesF2) + " files scanned";
    if (!r.ActionText.empty()) line += ", " + r.ActionText;
  } else {
    return;
  }
  std::string current = ReplaceAll(r.CurrentFile, "\r\n", "");
  if (!current.empty()) line += ": " + current;
  if (line.size() > 120) line = line.substr(0, 57) + "..." + line.substr(line.size() - 60);
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

}  // namespace dd::cli
