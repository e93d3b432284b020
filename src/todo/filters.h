// Name filters that thin out the operation list after a simulation, and the
// behaviour of their text boxes.
#pragma once

#include <string>
#include <vector>

namespace dd {

class App;

// Removes every record whose paths contain one of the lines of `text` (or, for a
// line holding * or ?, whose name or path below its root matches it); the
// text is normalised in place. Returns the number removed.
int ExcludeFromToDoList(App& app, std::string& text);
// Removes every record whose paths contain none of the lines of `text`.
int IncludeInToDoList(App& app, std::string& text);

// The text a run passes for a filter: the box text when enabled and not the placeholder, else "".
std::string ExcludeTextForRun(const App& app);
std::string IncludeTextForRun(const App& app);

// Box behaviour, the same for both filter boxes.
enum class FilterBox { Exclude, Include };

// True when the box text is the placeholder (both compared normalised); never for an empty placeholder.
bool ShowsPlaceholder(const std::string& text, const std::string& placeholder);
// The box text after gaining the focus: a shown placeholder is emptied.
std::string FilterTextOnFocusGained(const std::string& text, const std::string& placeholder);
// The box text after losing the focus: normalised, and the placeholder when that leaves nothing.
std::string FilterTextOnFocusLost(const std::string& text, const std::string& placeholder);
// The box text after files were dropped on it: each file name followed by CR LF, appended in order.
std::string FilterTextWithDroppedFiles(const std::string& text, const std::string& placeholder,
                                       const std::vector<std::string>& paths);

// The same on the job options of one box.
void FilterBoxFocusGained(App& app, FilterBox box);
void FilterBoxFocusLost(App& app, FilterBox box);
// Appends the dropped names and switches the filter on.
void FilesDroppedOnFilterBox(App& app, FilterBox box, const std::vector<std::string>& paths);

}  // namespace dd
