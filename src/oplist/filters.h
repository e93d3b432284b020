// Name filters that thin out the operation list after a simulation.
#pragma once

#include <string>

namespace dd {

class App;

// Removes every record whose paths contain one of the lines of `text`; the
// text is normalised in place. Returns the number removed.
int ExcludeFromToDoList(App& app, std::string& text);
// Removes every record whose paths contain none of the lines of `text`.
int IncludeInToDoList(App& app, std::string& text);

// The text a run passes for a filter: the box text when enabled and not the placeholder, else "".
std::string ExcludeTextForRun(const App& app);
std::string IncludeTextForRun(const App& app);

}  // namespace dd
