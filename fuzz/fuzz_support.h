// Shared pieces of the fuzz harnesses: a screen that shows nothing and answers
// every question with OK or Yes, and a program folder of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "common/files.h"
#include "common/screen.h"

namespace dd::fuzz {

class SilentScreen : public Screen {
 public:
  Answer ShowMessage(const Message& m) override { return m.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok; }
};

// A temporary folder made once per process, with the shipped language file.
inline const std::string& ProgramFolder() {
  static const std::string folder = [] {
    // A memory file system when there is one: the program syncs every file it writes.
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/dualdock-fuzz-XXXXXX" : "/tmp/dualdock-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    (void)WriteTextFile(ReadTextFile(DUALDOCK_SOURCE_DIR "/resources/Sprachen.txt"), pattern + "/Sprachen.txt");
    return pattern;
  }();
  static const bool cleanUp = [] {
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ProgramFolder(), ec);
    });
    return true;
  }();
  (void)cleanUp;
  return folder;
}

inline std::string Bytes(const uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Stops the harness with a message: the fuzzer keeps the input that did it.
#define DD_FUZZ_CHECK(condition)                                                          \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

}  // namespace dd::fuzz
