// "Settings.txt": any text gives settings without harm, and what is written back reads back the same.
#include "common/app.h"
#include "fuzz_support.h"
#include "job/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  fuzz::SilentScreen screen;
  App app(screen);
  app.Files.SetFolder(fuzz::ProgramFolder());
  WriteTextFile(fuzz::Bytes(data, size), app.Files.SettingsFilePath);
  LoadSettings(app);
  const Settings read = app.settings;
  SaveSettings(app);
  LoadSettings(app);
  DD_FUZZ_CHECK(app.settings.SkinNumber == read.SkinNumber && app.settings.LanguageIndex == read.LanguageIndex &&
                app.settings.FileTypeMessage == read.FileTypeMessage &&
                app.settings.MassDeleteGuard == read.MassDeleteGuard);
  return 0;
}
