#include "job/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "common/app.h"
#include "common/files.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

const char* const kDefaults = "[Skin]\t\t0\r\n[Language]\t0\r\n[FileTypes]\t1\r\n";

struct SettingsFixture : ::testing::Test, test::ProgramFixture<> {
  std::string file() const { return app.Files.SettingsFilePath; }
};

TEST_F(SettingsFixture, MissingKeysAreFilledInAndTheFileRewritten) {
  app.settings = Settings{5, 3, 0};
  app.Options.DaylightSaving = false;
  SettingsLaden(app);  // no file yet
  EXPECT_EQ(ReadTextFile(file()), kDefaults);
  EXPECT_EQ(app.settings.SkinNumber + app.settings.LanguageIndex, 0);
  EXPECT_EQ(app.settings.FileTypeMessage, 1);
  EXPECT_TRUE(app.Options.DaylightSaving);

  test::WriteFile(file(), "[Language]\t1\r\n");
  SettingsLaden(app);
  EXPECT_EQ(app.settings.LanguageIndex, 1);
  EXPECT_EQ(ReadTextFile(file()), "[Skin]\t\t0\r\n[Language]\t1\r\n[FileTypes]\t1\r\n");

  // A non-numeric switch counts as missing.
  test::WriteFile(file(), "[Skin]\t2\r\n[Language]\t1\r\n[FileTypes]\tyes\r\n");
  SettingsLaden(app);
  EXPECT_EQ(app.settings.FileTypeMessage, 1);
  EXPECT_EQ(ReadTextFile(file()), "[Skin]\t\t2\r\n[Language]\t1\r\n[FileTypes]\t1\r\n");

  // An empty file gives the defaults and stays empty.
  test::WriteFile(file(), "");
  SettingsLaden(app);
  EXPECT_EQ(app.settings.SkinNumber, 0);
  EXPECT_EQ(ReadTextFile(file()), "");
}

TEST_F(SettingsFixture, AnyNumberOfTabsAndOrderIsRead) {
  const std::string text = "[FileTypes]\t0\r\n\r\n[Language]\t\t\t1\r\n[Skin]\t\t2.6 blue\r\n";
  test::WriteFile(file(), text);
  SettingsLaden(app);
  EXPECT_EQ(app.settings.SkinNumber, 3);
  EXPECT_EQ(app.settings.LanguageIndex, 1);
  EXPECT_EQ(app.settings.FileTypeMessage, 0);
  EXPECT_EQ(ReadTextFile(file()), text) << "a complete file is not rewritten";
}

TEST_F(SettingsFixture, SaveKeepsTheMassDeleteGuardSwitchAndReportsAFailedWrite) {
  test::WriteFile(file(), std::string(kDefaults) + "[MassDeleteGuard]\t0\r\n");
  SettingsLaden(app);
  EXPECT_FALSE(app.settings.MassDeleteGuard);
  app.settings = Settings{1, 1, 0, false};
  EXPECT_TRUE(SettingsSpeichern(app));
  EXPECT_EQ(ReadTextFile(file()), "[Skin]\t\t1\r\n[Language]\t1\r\n[FileTypes]\t0\r\n[MassDeleteGuard]\t0\r\n");
  SettingsLaden(app);
  EXPECT_FALSE(app.settings.MassDeleteGuard);
  // Without the key the guard is on and the file is left as it is.
  test::WriteFile(file(), kDefaults);
  SettingsLaden(app);
  EXPECT_TRUE(app.settings.MassDeleteGuard);
  EXPECT_EQ(ReadTextFile(file()), kDefaults);

  test::WriteFile(dir / "plain", "x");
  app.Files.SettingsFilePath = dir / "plain/Settings.txt";
  EXPECT_FALSE(SettingsSpeichern(app));
}

TEST_F(SettingsFixture, PipeInPlaceOfTheFileDoesNotBlockAndIsReplaced) {
  ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
  auto load = std::async(std::launch::async, [this] { SettingsLaden(app); });
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
