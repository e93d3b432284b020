// The Exec key of desktop entries: quoting a command and reading one back.
#pragma once

#include <string>
#include <vector>

namespace dd {

// A string value of a desktop entry with its backslash escapes.
std::string EscapeStringValue(const std::string& text);

// The first regular file of that name in the folders of PATH ("" when none).
std::string FindInPath(const std::string& name);

// One argument quoted by the Desktop Entry rules, then escaped as a string value
// (so a backslash in the path ends up as four in the file).
std::string QuoteExecArgument(const std::string& argument);

// The Exec value that opens a job file with the program: the quoted executable and "%f".
std::string ExecForExecutable(const std::string& executablePath);

// The arguments of an Exec value as written in a file (string escapes and quoting undone).
std::vector<std::string> SplitExec(const std::string& value);

// True when the Exec value starts `executablePath` (a bare name is looked up in
// PATH) and hands it a file.
bool ExecRunsExecutable(const std::string& value, const std::string& executablePath);

}  // namespace dd
