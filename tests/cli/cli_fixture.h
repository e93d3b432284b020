// The built dualdock-cli run on a test's own temporary folder and program folder.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "support/builders.h"
#include "support/test_support.h"

namespace dd::test {

inline const std::string kCli = std::string(DUALDOCK_BINARY_DIR) + "/dualdock-cli";

inline std::string Quote(const std::string& s) {
  return "'" + ReplaceAll(s, "'", "'\\''") + "'";
}

struct Result {
  int code = -1;
  std::string out, err;
};

struct Cli : ::testing::Test {
  test::TempDir dir;

  Result Shell(const std::string& command) {
    const std::string line =
        "(" + command + ") >" + Quote(dir / "out.txt") + " 2>" + Quote(dir / "err.txt") + " </dev/null";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTextFile(dir / "out.txt"), ReadTextFile(dir / "err.txt")};
  }
  Result Run(const std::string& args) { return Shell(Quote(kCli) + " " + args); }
  // A run on the test's own program folder.
  Result RunHome(const std::string& args) { return Run("--home " + Quote(dir / "home") + " " + args); }
  std::string Job(const std::string& name, const test::Entries& pairs) {
    test::WriteJob(dir / name, pairs);
    return Quote(dir / name);
  }
  // Starts a run on the test's own program folder in the background, all output to /dev/null.
  pid_t Spawn(std::vector<std::string> args) {
    args.insert(args.begin(), {kCli, "--home", dir / "home"});
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0), ::dup2(null, 1), ::dup2(null, 2);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(kCli.c_str(), argv.data());
      ::_exit(127);
    }
    return pid;
  }
  std::vector<std::string> Records() const { return test::ListRecords(dir / "home/To Do.txt"); }
  static auto FilesIn(const std::string& folder) {
    return std::ranges::count_if(std::filesystem::recursive_directory_iterator(folder),
                                 [](auto& e) { return e.is_regular_file(); });
  }
  // Parses JSON with Python's strict parser and prints the fields asked for.
  std::string JsonFields(const std::string& json, const std::string& expression) {
    test::WriteFile(dir / "report.json", json);
    Result r =
        Shell("python3 -c " + Quote("import json,os,sys; d=json.load(open(sys.argv[1])); print(" + expression + ")") +
              " " + Quote(dir / "report.json"));
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }
};

}  // namespace dd::test
