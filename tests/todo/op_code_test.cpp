#include "todo/op_code.h"

#include <gtest/gtest.h>

namespace dd {
namespace {

TEST(OpCodeTest, EachCodeOfARecordReadsAsItsValue) {
  const struct {
    const char* text;
    OpCode code;
  } rows[] = {{"= =", OpCode::DoNothing},      {"=->", OpCode::CopyToTarget},   {"<-=", OpCode::CopyToSource},
              {"x =", OpCode::DeleteInSource}, {"= x", OpCode::DeleteInTarget}, {"m =", OpCode::MoveInSource},
              {"= m", OpCode::MoveInTarget}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    OpCode code = row.code == OpCode::DoNothing ? OpCode::MoveInTarget : OpCode::DoNothing;
    ASSERT_TRUE(ParseOpCode(row.text, code));
    EXPECT_EQ(code, row.code);
  }
}

TEST(OpCodeTest, EachStatusOfARecordReadsAsItsValue) {
  const struct {
    const char* text;
    FileStatus status;
  } rows[] = {{"Identical", FileStatus::Identical},
              {"Extra in F1", FileStatus::ExtraInF1},
              {"Extra in F2", FileStatus::ExtraInF2},
              {"Newer in F1", FileStatus::NewerInF1},
              {"Newer in F2", FileStatus::NewerInF2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    FileStatus status = row.status == FileStatus::Identical ? FileStatus::NewerInF2 : FileStatus::Identical;
    ASSERT_TRUE(ParseFileStatus(row.text, status));
    EXPECT_EQ(status, row.status);
  }
}

// Fields are compared byte for byte: a damaged record names no operation.
TEST(OpCodeTest, ANearMissIsNoCodeOrStatus) {
  for (const char* text : {"", "=->  ", " =->", "=>", "X =", "=", "= = "}) {
    OpCode code{};
    EXPECT_FALSE(ParseOpCode(text, code)) << '"' << text << '"';
  }
  for (const char* text : {"", "identical", "Extra in F3", "Extra in F1 ", "Newer  in F1"}) {
    FileStatus status{};
    EXPECT_FALSE(ParseFileStatus(text, status)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace dd
