// A started program on a temporary program folder, with a scripted screen and
// helpers to build folder trees and read the pending list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/app.h"
#include "support/test_support.h"

namespace dd::test {

// A scripted screen that also lets a test act at yields and at pair icons.
class HookedScreen : public ScriptedScreen {
 public:
  void Yield() override {
    ScriptedScreen::Yield();
    if (onYield) onYield();
  }
  void SetPairIcon(int pair, PairIcon icon) override {
    if (onPairIcon) onPairIcon(pair, icon);
  }
  void SetLabelTimer(bool on) override { labelTimerOn = on; }
  void SetStopButtonVisible(StopButton button, bool visible) override {
    stopButtonShown[static_cast<int>(button)] = visible;
  }
  bool labelTimerOn = false;
  bool stopButtonShown[2] = {false, false};
  std::function<void()> onYield;
  std::function<void(int, PairIcon)> onPairIcon;
};

// A program on a temporary program folder that holds the shipped language
// file, without the start-up: for tests of one part.
template <class ScreenType = ScriptedScreen>
struct ProgramFixture {
  ProgramFixture() {
    app.Files.SetFolder(dir.path());
    CopyLanguageFile(dir.path());
  }
  TempDir dir;
  ScreenType screen;
  App app{screen};
};

class FlowFixture {
 public:
  FlowFixture();

  // A folder pair below the temporary folder; returns its index.
  int AddPair(const std::string& source, const std::string& target);
  // The pair dir/s -> dir/t, both folders made if missing.
  int AddSourceTargetPair();
  // The sorted non-empty records of the list file.
  std::vector<std::string> ListFileRecords() const;
  // Sets the five codes of the current mode.
  void SetMode(const char* identical, const char* extraF1, const char* extraF2, const char* newerF1,
               const char* newerF2);
  // Incremental mode with deletion: new and newer go to F2, extra in F2 is deleted.
  void SetMirrorMode();

  TempDir dir;
  HookedScreen screen;
  App app{screen};
  std::string home;
};

}  // namespace dd::test
