// "Log.txt": any old log takes a new entry without harm, and the entry comes first.
#include "common/text.h"
#include "fuzz_support.h"
#include "plan/run_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  const std::string path = fuzz::ProgramFolder() + "/Log.txt";
  (void)WriteTextFile(fuzz::Bytes(data, size), path);
  WriteRunLogEntry(path, "Simulate", 1.0, 2.5, "summary");
  const std::string log = ReadTextFile(path);
  DD_FUZZ_CHECK(StartsWith(log, std::string(50, '-') + "\r\n[Nr]\t\t"));
  return 0;
}
