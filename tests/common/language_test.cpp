#include "common/language.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "support/test_support.h"

namespace dd {
namespace {

// The first occurrence of a key wins, even inside a longer key or a text, where
// it takes the rest of that line; what stands between the key and the first tab
// is ignored; adjacent tabs merge; the last line needs no line end.
TEST(LanguageLookup, FirstOccurrenceWinsEvenInsideAKeyOrText) {
  const char* saveAs = "mnuSaveAs\tSave as\tSpeichern unter\r\nmnuSave\tSave\tSpeichern\r\n";
  const char* inText = "[A]\tsee [B] here\tsiehe\r\n[B]\tB text\tB Text\r\n";
  const char* loose = "\r\n\r\n[Ready]\t\tBereit\r\n\r\n\r\n[Done]\tFertig[ENTER]\tDone";
  // A null file: none there.
  const struct {
    const char* file;
    std::string key;
    int field;
    std::string text;
  } cases[] = {{saveAs, "mnuSave", 0, "Save as"},
               {saveAs, "mnuSave", 1, "Speichern unter"},
               {saveAs, "mnuSa", 1, "Speichern unter"},
               {inText, "[B]", 0, "siehe"},
               {inText, "[C]", 0, ""},
               {inText, "", 0, ""},
               {inText, "[A]", 2, ""},
               {inText, "[A]", -1, ""},
               {loose, "[Ready]", 0, "Bereit"},
               {loose, "[Ready]", 1, ""},
               {loose, "[Done]", 0, "Fertig\r\n"},
               {loose, "[Done]", 1, "Done"},
               {"", "[A]", 0, ""},
               {"\r\n\r\n", "[Ready]", 0, ""},
               {nullptr, "[Ready]", 0, ""}};
  test::TempDir dir;
  const std::string file = dir / "Sprachen.txt";
  for (const auto& c : cases) {
    ::unlink(file.c_str());
    if (c.file) test::WriteFile(file, c.file);
    EXPECT_EQ(LoadLanguageText(file, c.key, c.field), c.text) << c.key << " " << c.field;
  }
}

TEST(LanguageLookup, TheFileIsNormalised) {
  EXPECT_EQ(NormaliseLanguageText("a\t\t\tb\r\n\r\n\r\nc"), "a\tb\r\nc");
}

TEST(LanguageLookup, FileIsReadAgainOnlyWhenItsTimeOrTheLanguageChanges) {
  test::TempDir dir;
  test::ScriptedScreen screen;
  App app(screen);
  app.Files.SetFolder(dir.path());
  const std::string& file = app.Files.LanguageFilePath;
  test::WriteFile(file, "[Ready]\tReady\tBereit\r\n", 1000000000);
  EXPECT_EQ(app.Text("[Ready]"), "Ready");
  // Same size and time: the text read before is kept.
  test::WriteFile(file, "[Ready]\tReedy\tBereit\r\n", 1000000000);
  EXPECT_EQ(app.Text("[Ready]"), "Ready");
  app.settings.LanguageIndex = 1;
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
  test::SetMTime(file, 1000000001);
  app.settings.LanguageIndex = 0;
  EXPECT_EQ(app.Text("[Ready]"), "Reedy");
  ::unlink(file.c_str());
  EXPECT_EQ(app.Text("[Ready]"), "");
}

TEST(ShippedLanguageFile, EveryKeyTheProgramUsesFindsItsOwnLine) {
  test::TempDir dir;
  const std::string file = test::CopyLanguageFile(dir.path());
  const std::string raw = ReadTextFile(file);
  ASSERT_TRUE(EndsWith(raw, "\r\n"));
  EXPECT_EQ(ReplaceAll(raw, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "bare CR or LF";
  std::set<std::string> keys;
  for (const std::string& line : Split(raw.substr(0, raw.size() - 2), kCrLf)) {
    std::vector<std::string> fields = SplitKeepEmpty(line, "\t");
    ASSERT_EQ(fields.size(), 3u) << line;
    for (const auto& f : fields) EXPECT_FALSE(f.empty()) << line;
    keys.insert(fields[0]);
    EXPECT_EQ(LoadLanguageText(file, fields[0], 0), ReplaceAll(fields[1], "[ENTER]", kCrLf)) << fields[0];
    EXPECT_EQ(LoadLanguageText(file, fields[0], 1), ReplaceAll(fields[2], "[ENTER]", kCrLf)) << fields[0];
  }
  // Every "[...]" text in the program's sources is a message key, except the markers of other files.
  const std::set<std::string> markers = {"[Date]",     "[Desktop Entry]",   "[ENTER]", "[FileTypes]",
                                         "[Language]", "[MassDeleteGuard]", "[Nr]",    "[Skin]"};
  const std::regex key(R"re("(\[[^\]"\\]+\])")re");
  int found = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(std::string(DUALDOCK_SOURCE_DIR) + "/src")) {
    const std::string source = ReadTextFile(e.path().string());
    for (std::sregex_iterator m(source.begin(), source.end(), key), end; m != end; ++m, ++found)
      EXPECT_TRUE(markers.count((*m)[1]) || keys.count((*m)[1])) << "missing " << (*m)[1] << " of " << e.path();
  }
  EXPECT_GT(found, 100);
  for (const char* k : {"txtExclude", "txtInclude"}) EXPECT_TRUE(keys.count(k)) << k;

  // The program reads it through the current language.
  test::ScriptedScreen screen;
  App app(screen);
  app.Files.SetFolder(dir.path());
  app.settings.LanguageIndex = 1;
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
}

}  // namespace
}  // namespace dd
