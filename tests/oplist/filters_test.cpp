#include "oplist/filters.h"

#include <gtest/gtest.h>

#include "common/app.h"
#include "common/files.h"
#include "common/text.h"
#include "oplist/todo_list.h"
#include "support/flow_fixture.h"

namespace dd {
namespace {

struct FiltersTest : ::testing::Test, test::ProgramFixture<> {
  FiltersTest() { app.ToDo.ToDoList = {""}; }
  void Add(const std::string& f1, const std::string& f2, const std::string& rel) {
    inToDoListeSpeichern(app.ToDo.ToDoList, "Extra in F1", "=->", f1 + rel, f2 + rel, 10, 0);
  }
  // The F1 paths left in the list.
  std::vector<std::string> Left() const {
    std::vector<std::string> left;
    for (const auto& r : app.ToDo.ToDoList) left.push_back(SplitKeepEmpty(r + "\t\t\t", "\t")[3]);
    return left;
  }
};

TEST_F(FiltersTest, ExcludeFolderOnEitherSideAndSaves) {
  Add("/src", "/dst", "/a.txt");
  Add("/src", "/dst", "/Temp/b.txt");
  Add("/src/Temp", "/dst", "/c.txt");  // the pair folder itself lies below Temp
  Add("/src", "/x/Temp", "/d.txt");    // Temp only on the F2 side
  Add("/src", "/dst", "/Temporary/e.txt");
  app.ToDo.ToDoList.push_back("not\ta\trecord");
  std::string text = "\r\n/Temp/\r\n\r\n";
  EXPECT_EQ(ExcludeFromToDoList(app, text), 3);
  EXPECT_EQ(text, "/Temp/");
  EXPECT_EQ(Left(), (std::vector<std::string>{"/src/a.txt", "/src/Temporary/e.txt", ""}));
  EXPECT_EQ(app.ToDo.ToDoList[2], "not\ta\trecord");  // never removed by a filter
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), Join(app.ToDo.ToDoList, "\r\n"));
}

TEST_F(FiltersTest, CaseRules) {
  Add("/s", "/d", "/a.tmp");
  std::string text = ".TMP";
  app.Options.ExclCaseSensitive = true;
  EXPECT_EQ(ExcludeFromToDoList(app, text), 0);
  app.Options.ExclCaseSensitive = false;
  EXPECT_EQ(ExcludeFromToDoList(app, text), 1);
  EXPECT_TRUE(app.ToDo.ToDoList.empty());

  // Bytes beyond ASCII are compared as they are, never re-encoded.
  Add("/s", "/d", "/\xe4rger.txt");
  text = "\xc4RGER";
  EXPECT_EQ(ExcludeFromToDoList(app, text), 0);
  text = "\xe4RGER";
  EXPECT_EQ(ExcludeFromToDoList(app, text), 1);
}

TEST_F(FiltersTest, IncludeKeepsRecordsWithAnyText) {
  Add("/s", "/d", "/a.doc");
  Add("/s", "/d", "/b.txt");
  Add("/s", "/d", "/c.jpg");
  std::string text = ".doc\r\n.JPG";
  EXPECT_EQ(IncludeInToDoList(app, text), 1);
  EXPECT_EQ(Left(), (std::vector<std::string>{"/s/a.doc", "/s/c.jpg"}));
  app.Options.InclCaseSensitive = true;
  EXPECT_EQ(IncludeInToDoList(app, text), 1);
  text = "nowhere";
  EXPECT_EQ(IncludeInToDoList(app, text), 1);
  EXPECT_TRUE(app.ToDo.ToDoList.empty());
  EXPECT_EQ(ReadTextFile(app.Files.ToDoFilePath), "");
}

TEST_F(FiltersTest, BlankLineIsAFilterEmptyTextIsNot) {
  Add("/s", "/d", "/my file.txt");
  Add("/s", "/d", "/other.txt");
  std::string text = "\r\n\r\n";
  EXPECT_EQ(ExcludeFromToDoList(app, text), 0);
  EXPECT_FALSE(PathExists(app.Files.ToDoFilePath));  // nothing to filter, nothing saved
  EXPECT_EQ(app.ToDo.ToDoList.size(), 3u);
  text = " ";
  EXPECT_EQ(ExcludeFromToDoList(app, text), 1);
  EXPECT_EQ(Left(), std::vector<std::string>{"/s/other.txt"});
}

TEST_F(FiltersTest, TextForRun) {
  app.Options.ExclPlaceholder = "Drop files here\r\nor type";
  app.Options.ExcludeText = "\r\nDrop files here\r\nor type\r\n";
  app.Options.ExclEnabled = true;
  EXPECT_EQ(ExcludeTextForRun(app), "");  // the placeholder filters nothing
  app.Options.ExcludeText = ".tmp";
  EXPECT_EQ(ExcludeTextForRun(app), ".tmp");
  app.Options.ExclEnabled = false;
  EXPECT_EQ(ExcludeTextForRun(app), "");
  app.Options.IncludeText = ".doc";
  EXPECT_EQ(IncludeTextForRun(app), "");
  app.Options.InclEnabled = true;
  EXPECT_EQ(IncludeTextForRun(app), ".doc");
}

}  // namespace
}  // namespace dd
