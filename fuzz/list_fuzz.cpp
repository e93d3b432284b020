// "To Do.txt" and saved lists: any text loads without harm; a list that loads
// holds only sound records, and its byte sums stay within range.
#include <cstdio>

#include "common/app.h"
#include "flows/todo_files.h"
#include "fuzz_support.h"
#include "todo/todo_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  fuzz::SilentScreen screen;
  App app(screen);
  app.Files.SetFolder(fuzz::ProgramFolder());
  (void)WriteTextFile(fuzz::Bytes(data, size), app.Files.ToDoFilePath);
  app.ToDo.ToDoList = {std::string()};
  const bool valid = CheckIfValidToDoList(app);
  LoadToDoListFile(app);
  if (valid)
    for (const std::string& record : app.ToDo.ToDoList) DD_FUZZ_CHECK(record.empty() || IsSoundRecord(record));
  const RunStatistics& r = app.Run;
  for (int64_t sum : {r.Pending.Bytes(OpKind::Delete), r.Pending.Bytes(OpKind::New), r.Pending.Bytes(OpKind::Replace),
                      r.Pending(OpKind::Delete, Side::F1).Bytes, r.Pending(OpKind::New, Side::F2).Bytes,
                      r.Pending(OpKind::Replace, Side::F1).Bytes})
    DD_FUZZ_CHECK(sum >= 0 && sum <= kMaxRecordSize);
  return 0;
}
