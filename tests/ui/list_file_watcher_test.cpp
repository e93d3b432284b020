// The window shows a list that another run wrote into its program folder.
#include <gtest/gtest.h>

#include <QTest>

#include "common/files.h"
#include "support/window_fixture.h"

using namespace dd;

namespace {

using ListFileWatcherTest = test::WindowFixture;

TEST_F(ListFileWatcherTest, AListWrittenByAnotherRunIsShownWithoutACommand) {
  Start();
  ASSERT_EQ(Rows(), 0);
  // As a timer's command-line run writes it: a new file renamed into place.
  ASSERT_TRUE(
      WriteTextFile("Delete in F2       \t= x\tExtra in F2\t/a/x\t/b/x\t0\t3\r\n"
                    "Delete in F2       \t= x\tExtra in F2\t/a/y\t/b/y\t0\t4",
                    home + "/To Do.txt"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Rows() == 2; }, 5000));
  EXPECT_EQ(app().Run.PendingOpsAtCount, 2);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
