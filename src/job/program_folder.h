// Where the program keeps its files.
#pragma once

#include <string>

namespace dd {

// The program folder: `homeOption` (--home) or DUALDOCK_HOME when given; else
// the executable's folder when it holds the resources and is writable; else a
// per-user data folder. The folder is created when missing, and the shipped
// language file is copied into it when it has none, and with `pictures` the
// shipped pictures (Icons) that it lacks. "" and `error` set when no usable
// folder could be made.
std::string ResolveProgramFolder(const std::string& homeOption, const std::string& executableFolder, std::string& error,
                                 bool pictures = true);

// The folder of the running executable.
std::string ExecutableFolder();

}  // namespace dd
