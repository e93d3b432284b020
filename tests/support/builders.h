// Builders shared by the suites: numbered files, list files and job files (trees: scenario.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace dd::test {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The files stem0suffix ... stem<count-1>suffix, each holding `content`.
void Numbered(const std::string& stem, int count, const std::string& suffix = "", const std::string& content = "x");
// The non-empty records of a list file, sorted.
std::vector<std::string> ListRecords(const std::string& listFile);
// A job file as the core saves it, with these source -> target pairs and the five mode codes (Identical,
// ExtraInF1, ExtraInF2, NewerInF1, NewerInF2); by default new and newer files go to the target and files
// only the target has are deleted.
void WriteJob(const std::string& path, const Entries& pairs,
              const std::vector<std::string>& mode = {"= =", "=->", "= x", "=->", "= ="});

}  // namespace dd::test
