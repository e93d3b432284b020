#include "common/language.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "support/test_support.h"

namespace dd {
namespace {

TEST(LanguageLookup, FirstOccurrenceWinsEvenInsideALongerKey) {
  std::string text = NormaliseLanguageText("mnuSaveAs\tSave as\tSpeichern unter\r\nmnuSave\tSave\tSpeichern\r\n");
  EXPECT_EQ(SprachenDatenHolen("mnuSave", text, 0), "Save as");
  EXPECT_EQ(SprachenDatenHolen("mnuSave", text, 1), "Speichern unter");
  // Whatever stands between the key and the first tab is field 0 and ignored.
  EXPECT_EQ(SprachenDatenHolen("mnuSa", text, 1), "Speichern unter");
  // A key found inside a text takes the rest of that text's line.
  text = NormaliseLanguageText("[A]\tsee [B] here\tsiehe\r\n[B]\tB text\tB Text\r\n");
  EXPECT_EQ(SprachenDatenHolen("[B]", text, 0), "siehe");
  EXPECT_EQ(SprachenDatenHolen("[C]", text, 0), "");
  EXPECT_EQ(SprachenDatenHolen("", text, 0), "");
  EXPECT_EQ(SprachenDatenHolen("[A]", "", 0), "");
  EXPECT_EQ(SprachenDatenHolen("[A]", text, 2), "");
  EXPECT_EQ(SprachenDatenHolen("[A]", text, -1), "");
}

TEST(LanguageLookup, FileIsNormalisedEnterBreaksTheLineAndMissingGivesEmpty) {
  test::TempDir dir;
  const std::string file = dir / "Sprachen.txt";
  EXPECT_EQ(MeldungLaden(file, "[Ready]", 0), "");
  test::WriteFile(file, "\r\n\r\n[Ready]\t\tBereit\r\n\r\n\r\n[Done]\tFertig[ENTER]\tDone");
  EXPECT_EQ(MeldungLaden(file, "[Ready]", 0), "Bereit");  // adjacent tabs merge
  EXPECT_EQ(MeldungLaden(file, "[Ready]", 1), "");
  EXPECT_EQ(MeldungLaden(file, "[Done]", 0), "Fertig\r\n");
  EXPECT_EQ(MeldungLaden(file, "[Done]", 1), "Done");  // the last line needs no line end
  EXPECT_EQ(NormaliseLanguageText("a\t\t\tb\r\n\r\n\r\nc"), "a\tb\r\nc");
  test::WriteFile(file, "\r\n\r\n");
  EXPECT_EQ(MeldungLaden(file, "[Ready]", 0), "");
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

// Every message key the program looks up, separated by "|" (line ends are dropped).
const char* const kMessageKeys =
    R"([A->B Incremental]|[A<->B Synchronization]|[Abort?]|[Aborted]|[All Files]|[Analyzing ..]|
[Analyzing source files..]|[Analyzing source folders..]|[Analyzing target files..]|[Analyzing target folders..]|
[Are you sure for changes?]|[Are you sure you want to execute]|[Attention!]|[BackUp aborted by user]|
[Backup in Progress]|[Can't load file]|[Copied files:  ]|[Could not create folders]|[Could not open the file!]|
[Deleted files: ]|[Directories do not exist.]|[Displaying operations..]|[Done]|[Dualdock Files]|[Error]|
[Errors occured!]|[Errors]|[Excluded Files]|[Excluding files..]|[Execution aborted]|[Execution in progress]|
[Execution]|[File does not exist.]|[File exists, replace?]|[File loaded: ]|[File types not be associated]|
[Files to be created:  ]|[Files to be deleted:  ]|[Files to be replaced: ]|[Finished]|
[Generating operation list ..]|[Installation]|[Loading ToDo List]|[Name in source]|[Name in target]|
[Not a valid ToDo list]|[Not existing folders]|[Nr.]|[One-Klick Synchronisation]|[Open ToDoList]|[Open]|
[Operation stopped]|[Operations Pending:]|[Path]|[Ready]|[Save]|[Saving ..]|[Scanning folder]|
[Simulation aborted]|[Simulation and execution]|[Simulation done in ]|[Simulation]|[Size Source]|[Size Target]|
[Size]|[Sorting ..]|[Sorting list with operations]|[Source directories]|[Status]|[Synchronization of folders]|
[Target directories]|[Text Files]|[Time needed: ]|[Time]|[ToDo List already open!]|[User defined]|
[Wrong file format.]|[Wrong number of operation]|[folders do not exist]|[no operations pending!]|
[operations from the simulation?]|[operations successfully done]|[overwrite current ToDo list?]|
[same number of folders]|[Skipped names]|[Could not read folders]|[Folders not read]|
[Could not write the job file]|[Could not write the file]|txtExclude|txtInclude)";

TEST(ShippedLanguageFile, EveryKeyFindsItsOwnLine) {
  test::TempDir dir;
  const std::string file = test::CopyLanguageFile(dir.path());
  const std::string raw = ReadTextFile(file);
  ASSERT_FALSE(raw.empty());
  ASSERT_TRUE(EndsWith(raw, "\r\n"));
  EXPECT_EQ(ReplaceAll(raw, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "bare CR or LF";

  std::vector<std::string> keys;
  for (const std::string& line : Split(raw.substr(0, raw.size() - 2), kCrLf)) {
    std::vector<std::string> fields = SplitKeepEmpty(line, "\t");
    ASSERT_EQ(fields.size(), 3u) << line;
    for (const auto& f : fields) EXPECT_FALSE(f.empty()) << line;
    keys.push_back(fields[0]);
    EXPECT_EQ(MeldungLaden(file, fields[0], 0), ReplaceAll(fields[1], "[ENTER]", kCrLf)) << fields[0];
    EXPECT_EQ(MeldungLaden(file, fields[0], 1), ReplaceAll(fields[2], "[ENTER]", kCrLf)) << fields[0];
  }
  for (const std::string& key : Split(ReplaceAll(kMessageKeys, "\n", ""), "|"))
    EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << "missing " << key;

  // The program reads it through the current language.
  test::ScriptedScreen screen;
  App app(screen);
  app.Files.SetFolder(dir.path());
  app.settings.LanguageIndex = 1;
  EXPECT_EQ(app.Text("[Ready]"), "Bereit");
}

}  // namespace
}  // namespace dd
