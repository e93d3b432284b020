#include "todo/filters.h"

#include <gtest/gtest.h>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "support/flow_fixture.h"
#include "support/scenario.h"

namespace dd {
namespace {

using Lines = std::vector<std::string>;

// One filter run of the app's filter boxes on its list.
int Thin(App& app, bool include, std::string& text) {
  return include ? IncludeInToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, text)
                 : ExcludeFromToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, text);
}

struct ThinRow {
  bool include, caseSensitive;
  std::string text;
  Lines paths;  // "F1|F2", or F1 alone with F2 the same below /d
  int removed;
  Lines left;
};

const ThinRow kThinRows[] = {
    // An excluded folder on either side, also when the pair folder itself lies below it; a line that is no record
    // stays.
    {false,
     false,
     "\r\n/Temp/\r\n\r\n",
     {"/s/a.txt", "/s/Temp/b.txt", "/s/Temp/c.txt|/d/c.txt", "/s/d.txt|/x/Temp/d.txt", "/s/Temporary/e.txt",
      "not\ta\trecord"},
     3,
     {"/s/a.txt", "/s/Temporary/e.txt", ""}},
    {false, true, ".TMP", {"/s/a.tmp"}, 0, {"/s/a.tmp"}},
    {false, false, ".TMP", {"/s/a.tmp"}, 1, {}},
    // Bytes beyond ASCII are compared as they are, never re-encoded.
    {false, false, "\xc4RGER", {"/s/\xe4rger.txt"}, 0, {"/s/\xe4rger.txt"}},
    {false, false, "\xe4RGER", {"/s/\xe4rger.txt"}, 1, {}},
    {true, false, ".doc\r\n.JPG", {"/s/a.doc", "/s/b.txt", "/s/c.jpg"}, 1, {"/s/a.doc", "/s/c.jpg"}},
    {true, true, ".doc\r\n.JPG", {"/s/a.doc", "/s/b.txt", "/s/c.jpg"}, 2, {"/s/a.doc"}},
    {true, false, "nowhere", {"/s/a.doc"}, 1, {}},
    // A blank is a filter, blank lines are not: nothing to filter, nothing saved.
    {false, false, "\r\n\r\n", {"/s/my file.txt", "/s/other.txt"}, 0, {"", "/s/my file.txt", "/s/other.txt"}},
    {false, false, " ", {"/s/my file.txt", "/s/other.txt"}, 1, {"/s/other.txt"}},
};

// A program whose list holds the records of a row, thinned by the row's filter.
struct ThinnedList {
  explicit ThinnedList(const ThinRow& row) : text(row.text) {
    f.app.ToDo.ToDoList = {""};
    for (const std::string& p : row.paths) {
      const auto bar = p.find('|');
      const std::string f2 = bar == std::string::npos ? "/d" + p.substr(2) : p.substr(bar + 1);
      f.app.ToDo.ToDoList.push_back(
          p.find('\t') != std::string::npos ? p : test::Rec("=->", "Extra in F1", p.substr(0, bar), f2, "10"));
    }
    f.app.Options.ExclCaseSensitive = f.app.Options.InclCaseSensitive = row.caseSensitive;
    removed = Thin(f.app, row.include, text);
  }
  test::ProgramFixture<> f;
  std::string text;
  int removed = 0;
};

TEST(Filters, ThinTheListByTheirTexts) {
  for (const ThinRow& row : kThinRows) {
    SCOPED_TRACE(row.text);
    ThinnedList list(row);
    EXPECT_EQ(list.removed, row.removed);
    EXPECT_EQ(test::PathsOf(list.f.app.ToDo.ToDoList), row.left);
  }
}

TEST(Filters, TheTextLosesTheBlankLinesAroundIt) {
  for (const ThinRow& row : kThinRows) {
    SCOPED_TRACE(row.text);
    std::string normalised = row.text;
    while (normalised.rfind("\r\n", 0) == 0) normalised.erase(0, 2);
    while (EndsWith(normalised, "\r\n")) normalised.resize(normalised.size() - 2);
    EXPECT_EQ(ThinnedList(row).text, normalised);
  }
}

TEST(Filters, TheThinnedListIsSavedUnlessThereWasNothingToFilter) {
  for (const ThinRow& row : kThinRows) {
    SCOPED_TRACE(row.text);
    ThinnedList list(row);
    const App& app = list.f.app;
    if (row.text.find_first_not_of("\r\n") == std::string::npos)
      EXPECT_FALSE(PathExists(app.Files.ToDoFilePath));
    else
      EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), Join(app.ToDo.ToDoList, "\r\n"));
  }
}

TEST(Filters, PatternsMatchTheNameOrThePathBelowEitherRoot) {
  const struct {
    bool include, caseSensitive;
    std::string text;
    Lines left;
  } cases[] = {
      {false, false, "*.tmp", {"/s/notes.tmp.txt", "/s/x.tmp/b.txt", "/s/sub/keep.txt"}},
      {false, true, "*.TMP", {"/s/a.tmp", "/s/notes.tmp.txt", "/s/x.tmp", "/s/x.tmp/b.txt", "/s/sub/keep.txt"}},
      {false, false, "x.tmp/*", {"/s/a.tmp", "/s/notes.tmp.txt", "/s/x.tmp", "/s/sub/keep.txt"}},
      // A path pattern is taken from the root: "sub/*" is no folder below /s/x.tmp.
      {true, false, "sub/*", {"/s/sub/keep.txt"}},
      // Plain lines and patterns together: a record matching either is left out.
      {false, false, "*.tmp\r\nkeep", {"/s/notes.tmp.txt", "/s/x.tmp/b.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::ProgramFixture<> f;
    f.app.Job.SourceFolders = {"/s"};
    f.app.Job.TargetFolders = {"/d/"};
    f.app.ToDo.ToDoList.clear();
    for (const std::string p : {"/s/a.tmp", "/s/notes.tmp.txt", "/s/x.tmp", "/s/x.tmp/b.txt", "/s/sub/keep.txt"})
      f.app.ToDo.ToDoList.push_back(test::Rec("=->", "Extra in F1", p, "/d" + p.substr(2), "1"));
    std::string text = c.text;
    f.app.Options.ExclCaseSensitive = f.app.Options.InclCaseSensitive = c.caseSensitive;
    Thin(f.app, c.include, text);
    EXPECT_EQ(test::PathsOf(f.app.ToDo.ToDoList), c.left);
  }
}

TEST(Filters, APatternMatchesTheTargetSideToo) {
  test::ProgramFixture<> f;
  f.app.Job.SourceFolders = {"/s"};
  f.app.Job.TargetFolders = {"/d"};
  f.app.ToDo.ToDoList = {test::Rec("= x", "Extra in F2", "/s/old/a.bak", "/d/old/a.bak", "0", "1"),
                         test::Rec("= x", "Extra in F2", "/s/new/a.txt", "/d/new/a.txt", "0", "1")};
  std::string text = "old/*.bak";
  EXPECT_EQ(Thin(f.app, false, text), 1);
  EXPECT_EQ(test::PathsOf(f.app.ToDo.ToDoList, 2), Lines{"/d/new/a.txt"});
}

TEST(Filters, TextForRun) {
  test::ProgramFixture<> f;
  JobOptions& o = f.app.Options;
  o.ExclPlaceholder = "Drop files here\r\nor type";
  o.ExcludeText = "\r\nDrop files here\r\nor type\r\n";
  o.ExclEnabled = true;
  EXPECT_EQ(ExcludeTextForRun(f.app.Options), "");  // the placeholder filters nothing
  o.ExcludeText = ".tmp";
  EXPECT_EQ(ExcludeTextForRun(f.app.Options), ".tmp");
  o.ExclEnabled = false;
  EXPECT_EQ(ExcludeTextForRun(f.app.Options), "");
  o.IncludeText = ".doc";
  EXPECT_EQ(IncludeTextForRun(f.app.Options), "");
  o.InclEnabled = true;
  EXPECT_EQ(IncludeTextForRun(f.app.Options), ".doc");
}

}  // namespace
}  // namespace dd
