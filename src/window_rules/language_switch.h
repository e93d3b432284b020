// A switch of the language menu: the texts the core keeps are brought to the new
// language at once, not at the next run or the next new job.
#pragma once

#include <string>
#include <string_view>

namespace dd {

class App;

// Makes `language` current. Outside a run it also translates the texts the core
// holds (the action line of the last run, the names of the standard modes and
// the combo) and shows the labels again; during a run they belong to the run.
void SwitchLanguage(App& app, int language);

// The file of Qt's own translations that the current language names ("qtbase_de");
// "" when it names none or something that is not such a name.
std::string QtTranslationName(const App& app);

// The language key of a status or operation cell of the to-do list, from the
// text the core gives it ("Newer", " Delete in Target"); "" for the other cells.
// The record keeps its own texts: they are a file format.
std::string ToDoCellTextKey(int column, std::string_view text);

}  // namespace dd
