#include "job/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <tuple>

#include "common/app.h"
#include "common/files.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

const char* const kDefaults = "[Skin]\t\t0\r\n[Language]\t0\r\n[FileTypes]\t1\r\n";

struct SettingsFixture : ::testing::Test, test::ProgramFixture<> {
  std::string file() const { return app.Files.SettingsFilePath; }
};

struct Row {
  const char* text;  // null: no file
  std::string rewritten;
  Settings read;
};

const std::string kComplete = "[FileTypes]\t0\r\n\r\n[Language]\t\t\t1\r\n[Skin]\t\t2.6 blue\r\n";
const std::string kNoGuard = std::string(kDefaults) + "[MassDeleteGuard]\t0\r\n";
const Row kRows[] = {{nullptr, kDefaults, {0, 0, 1}},
                     {"[Language]\t1\r\n", "[Skin]\t\t0\r\n[Language]\t1\r\n[FileTypes]\t1\r\n", {0, 1, 1}},
                     // A non-numeric switch counts as missing.
                     {"[Skin]\t2\r\n[Language]\t1\r\n[FileTypes]\tyes\r\n",
                      "[Skin]\t\t2\r\n[Language]\t1\r\n[FileTypes]\t1\r\n",
                      {2, 1, 1}},
                     {"", "", {0, 0, 1}},                        // an empty file gives the defaults and stays empty
                     {kComplete.c_str(), kComplete, {3, 1, 0}},  // a complete file is not rewritten
                     {kNoGuard.c_str(), kNoGuard, {0, 0, 1, false}},
                     {kDefaults, kDefaults, {0, 0, 1, true}}};  // without its key the guard is on

TEST_F(SettingsFixture, SettingsReadWhateverTheTabsOrOrder) {
  auto fields = [](const Settings& s) {
    return std::tuple(s.SkinNumber, s.LanguageIndex, s.FileTypeMessage, s.MassDeleteGuard);
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.text ? row.text : "no file");
    app.settings = Settings{5, 3, 0, false};
    app.Options.DaylightSaving = false;
    if (row.text) test::WriteFile(file(), row.text);
    LoadSettings(app);
    EXPECT_EQ(fields(app.settings), fields(row.read));
    EXPECT_TRUE(app.Options.DaylightSaving);
  }
}

TEST_F(SettingsFixture, MissingKeysAreFilledIntoTheRewrittenFile) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.text ? row.text : "no file");
    if (row.text) test::WriteFile(file(), row.text);
    LoadSettings(app);
    EXPECT_EQ(ReadTextFile(file()), row.rewritten);
  }
}

TEST_F(SettingsFixture, SaveWritesEverySwitch) {
  app.settings = Settings{1, 1, 0, false};
  EXPECT_TRUE(SaveSettings(app));
  EXPECT_EQ(ReadTextFile(file()), "[Skin]\t\t1\r\n[Language]\t1\r\n[FileTypes]\t0\r\n[MassDeleteGuard]\t0\r\n");
}

TEST_F(SettingsFixture, AFailedSaveIsReported) {
  test::WriteFile(file(), "");
  app.Files.SettingsFilePath = file() + "/Settings.txt";  // below a regular file
  EXPECT_FALSE(SaveSettings(app));
}

TEST_F(SettingsFixture, APipeInPlaceOfTheFileIsReplacedWithoutBlocking) {
  ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
  auto load = std::async(std::launch::async, [this] { LoadSettings(app); });
  if (load.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    ADD_FAILURE() << "reading the settings blocked on a pipe";
    // Play the writer so the blocked open returns and the test can end.
    int fd = ::open(file().c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  }
  load.get();
  EXPECT_EQ(ReadTextFile(file()), kDefaults);
}

}  // namespace
}  // namespace dd
