// Job files (".ddk"): New, load, save and the two layout readers.
#pragma once

#include <string>
#include <vector>

namespace dd {

class App;

// What the exclude box holds before any language text was applied.
std::string BuiltInExcludePlaceholder();

// A new job with the standard modes and an empty list, also on disk.
void FileNew(App& app);
// The same, but the list and its file are left as they are: the start-up keeps the previous run's list.
void FileNewKeepingList(App& app);
// Loads a job file; returns the reader's result text.
std::string ReadJobFile(App& app, const std::string& path);
std::string OpenV2_1(App& app, const std::string& text);
// The "Dualdock V2.1" text of the current job.
std::string BuildJobText(App& app);
// The same with a filter box that shows its placeholder (or nothing) written empty:
// a language switch or a focused empty box changes nothing of it.
std::string JobTextWithoutPlaceholders(App& app);
// Save writes to the job's own file; Save As asks for one first.
enum class SaveMode { Save, SaveAs };
// Returns false when a write was tried and failed.
bool SaveJob(App& app, SaveMode mode);
// The job dialogs' filter list.
std::string JobFileFilter(const App& app);

// How a load ended, for callers that must tell the reasons apart (the result
// text of ReadJobFile is a language text and cannot be relied on).
enum class JobLoadStatus { Loaded, Missing, Unreadable, WrongFormat };
// Loads like ReadJobFile after checking the file. A missing or unreadable
// file leaves the job untouched. `resultText` receives the reader's result.
// `keepList`: the pending list stays (a job loaded to carry out the list it planned).
JobLoadStatus LoadJobFile(App& app, const std::string& path, std::string* resultText = nullptr, bool keepList = false);

// Reads a job file aside, leaving the job as it is: true when it is a job file,
// one with the header of the current layout or one that reads as the old layout.
// `sources` and `targets`, when given, receive its pairs.
bool ReadJobFileAside(const App& app, const std::string& path, std::vector<std::string>* sources = nullptr,
                      std::vector<std::string>* targets = nullptr);

}  // namespace dd
