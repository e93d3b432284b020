// "Rates.txt": any text gives rates and an estimate without harm, for any pending sizes.
#include <cstring>

#include "apply/rates.h"
#include "common/app.h"
#include "fuzz_support.h"
#include "todo/todo_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  fuzz::SilentScreen screen;
  App app(screen);
  // No program folder: a file that gives no rates is not followed by the disk test.
  app.Files.RatesFilePath = fuzz::ProgramFolder() + "/Rates.txt";
  int64_t sizes[3] = {kMaxRecordSize, 0, 1};
  if (size >= sizeof sizes) {
    std::memcpy(sizes, data, sizeof sizes);
    data += sizeof sizes, size -= sizeof sizes;
  }
  (void)WriteTextFile(fuzz::Bytes(data, size), app.Files.RatesFilePath);
  LoadOrMeasureRates(app.Rates, app.Files, app.messages);
  RunStatistics& r = app.Run;
  auto bounded = [](int64_t v) { return v < 0 ? -(v + 1) % kMaxRecordSize : v % (kMaxRecordSize + 1); };
  r.Pending(OpKind::Delete, Side::F1) = {1, bounded(sizes[0])};
  r.Pending(OpKind::New, Side::F1) = {1, bounded(sizes[1])};
  r.Pending(OpKind::Replace, Side::F1) = {1, bounded(sizes[2])};
  EstimateRemainingTime(app.Run, app.Rates, app.messages);
  SaveRates(app.Rates, app.Files, app.messages);
  return 0;
}
