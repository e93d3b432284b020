// A loaded job's empty filter boxes show their placeholders, as boxes the user left empty do.
#include <gtest/gtest.h>

#include <string>

#include "common/app.h"
#include "common/language.h"
#include "job/job_file.h"
#include "job/startup.h"
#include "support/flow_fixture.h"
#include "todo/filters.h"

namespace dd {
namespace {

constexpr const char* kEarlierEnglishExclude =
    "Drop files here, or type parts of names\r\nor extensions such as .txt or .exe, one per line.\r\n"
    "All files whose path and name contain\r\none of these texts are excluded\r\nand disregarded.";
constexpr const char* kEarlierGermanInclude =
    "Dateien hierher ziehen oder Namensteile\r\noder Endungen wie .doc oder .jpg eingeben, eine pro Zeile.\r\n"
    "Nur Dateien, deren Pfad und Name einen\r\ndieser Texte enthalten, werden einbezogen;\r\n"
    "alle anderen werden nicht beachtet.";
struct LoadedFilterBoxesTest : ::testing::Test, test::ProgramFixture<> {
  LoadedFilterBoxesTest() {
    SelectLanguage(app, 0);
    FileNew(app);
  }
  // A job whose exclude and include boxes hold these texts.
  std::string Job(const std::string& exclude, const std::string& include) {
    const std::string path = dir / "job.ddk";
    test::WriteFile(path,
                    "Dualdock V2.1\r\n\r\nDirectories:\r\n/s\r\n\r\n/t\r\n\r\n\r\n"
                    "Exclude Files/Folders Name:\r\n1\r\n\r\n\r\n0\r\n\r\n\r\n" +
                        exclude +
                        "\r\n\r\n\r\n"
                        "Include Files/Folders Name:\r\n0\r\n\r\n\r\n0\r\n\r\n\r\n" +
                        include + "\r\n\r\n\r\n");
    return path;
  }
};

struct Row {
  const char* exclude;
  const char* include;
  bool excludePlaceholder, includePlaceholder;
};
const Row kRows[] = {
    {"", "", true, true},
    {"*.tmp", "", false, true},
    {"", "photos", true, false},
    // What a box showing its placeholder saved in earlier versions, or in the other language.
    {kEarlierEnglishExclude, kEarlierGermanInclude, true, true},
};

TEST_F(LoadedFilterBoxesTest, AnEmptyBoxShowsItsPlaceholder) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(row.exclude) + " | " + row.include);
    ReadJobFile(app, Job(row.exclude, row.include));
    const JobOptions& o = app.Options;
    EXPECT_EQ(ShowsPlaceholder(o.ExcludeText, o.ExclPlaceholder), row.excludePlaceholder);
    EXPECT_EQ(ShowsPlaceholder(o.IncludeText, o.InclPlaceholder), row.includePlaceholder);
  }
}

TEST_F(LoadedFilterBoxesTest, TypedNamesStay) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(row.exclude) + " | " + row.include);
    ReadJobFile(app, Job(row.exclude, row.include));
    if (!row.excludePlaceholder) {
      EXPECT_EQ(app.Options.ExcludeText, row.exclude);
    }
    if (!row.includePlaceholder) {
      EXPECT_EQ(app.Options.IncludeText, row.include);
    }
  }
}

TEST_F(LoadedFilterBoxesTest, ABoxShowingItsPlaceholderFiltersNothing) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.exclude);
    ReadJobFile(app, Job(row.exclude, row.include));
    EXPECT_EQ(ExcludeTextForRun(app.Options).empty(), row.excludePlaceholder);
  }
}

TEST_F(LoadedFilterBoxesTest, AJobSavedInTheOtherLanguageShowsThisLanguagesPlaceholders) {
  const std::string german = LoadLanguageText(app.Files.LanguageFilePath, "txtExclude", 1);
  ASSERT_FALSE(german.empty());
  ASSERT_NE(german, app.Options.ExclPlaceholder);
  ReadJobFile(app, Job(german, ""));
  EXPECT_EQ(app.Options.ExcludeText, app.Options.ExclPlaceholder);
  EXPECT_TRUE(ExcludeTextForRun(app.Options).empty());
}

}  // namespace
}  // namespace dd
