// The screen of the command-line front end: boxes become lines, questions are
// answered by the options (or asked on the terminal), progress goes to stderr.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "common/run_lifecycle.h"
#include "common/screen.h"

namespace dd {
class App;
}

namespace dd::cli {

struct AnswerPolicy {
  bool yes = false;              // --yes: confirmations are answered OK/Yes
  bool createMissing = false;    // --create-missing: the missing-folder question is answered Yes
  bool quiet = false;            // --quiet or --json: nothing on stdout, no progress line
  bool allowMassDelete = false;  // --allow-mass-delete: the mass-deletion question is answered Yes
  bool verbose = false;          // --verbose: a line per operation carried out
};

class CliScreen : public Screen {
 public:
  explicit CliScreen(AnswerPolicy policy);

  // `run` is stopped when the screen refuses a pair: the run ends, nothing is carried out.
  void Attach(const App* app, RunLifecycle* run) { app_ = app, run_ = run; }

  Answer ShowMessage(const Message& message) override;
  void Yield() override;
  void SetStatusText(int panel, const std::string& text) override;
  void OperationDone(OpKind kind, Side side, std::string_view path) override;

  // Erases the progress line, if one is shown.
  void ClearProgress();

  bool declined() const { return declined_; }  // a question was answered No or Cancel
  // A confirmation could not be asked (no terminal, no --yes), or a pair was refused
  // (folders inside each other, a mass deletion without --allow-mass-delete).
  bool refused() const { return refused_; }
  bool sawError() const { return sawError_; }  // a critical box was shown
  const std::vector<std::string>& keys() const { return keys_; }
  // The texts of the errors reported on stderr, in order.
  const std::vector<std::string>& errors() const { return errors_; }
  // Reports an error on stderr and keeps its text.
  void Error(const std::string& text);

 private:
  bool Confirm(const Message& message);
  void SayDecided(const Message& message);
  void PrintBox(const Message& message, bool toStderr);
  void Refuse(const Message& message, const char* hint);

  AnswerPolicy policy_;
  const App* app_ = nullptr;
  RunLifecycle* run_ = nullptr;
  bool progressTerminal_;
  bool progressShown_ = false;
  double lastProgress_ = 0;
  std::string throughput_;
  bool declined_ = false, refused_ = false, sawError_ = false;
  std::vector<std::string> keys_;
  std::vector<std::string> errors_;
};

}  // namespace dd::cli
