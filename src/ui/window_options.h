// The window's command line: [--home DIR] [JOB.ddk], --help, --version.
#pragma once

#include <QStringList>
#include <string>

namespace dd::ui {

struct WindowOptions {
  std::string home;     // the program folder; "" for the usual one
  std::string jobFile;  // the job to open; "" for none
};

enum class OptionsOutcome {
  Run,      // start the window with the options
  Printed,  // --help or --version: print `text` on stdout and end
  Error,    // print `text` on stderr and end with 2
};

// The arguments as bytes, one Latin-1 character per byte, so that a path comes
// back exactly as it was given (ToBytes).
QStringList ArgumentBytes(int argc, char** argv);
std::string ToBytes(const QString& argument);

// Reads the arguments after the program name. `beforeQt`: Qt has not taken out
// its own options yet (-platform, -style, ...): they pass, and the number of
// job files is not checked yet.
OptionsOutcome ParseWindowOptions(const QStringList& arguments, bool beforeQt, WindowOptions& options, QString& text);

}  // namespace dd::ui
