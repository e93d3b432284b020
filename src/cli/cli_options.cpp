#include "cli/cli_options.h"

#include <cstdlib>

namespace dd::cli {

const char* const kUsage =
    "Usage:\n"
    "  dualdock-cli [--home DIR] simulate JOB.ddk [--tolerance SECONDS] [--create-missing] [--save-text-files]\n"
    "           [--allow-mass-delete]\n"
    "  dualdock-cli [--home DIR] execute [--yes] [--allow-mass-delete]\n"
    "  dualdock-cli [--home DIR] sync JOB.ddk [--yes] [--tolerance SECONDS] [--create-missing]\n"
    "           [--allow-mass-delete]\n"
    "  dualdock-cli --help\n";

const char* const kHelp =
    "dualdock-cli: keeps pairs of folders in step, from a script or a timer.\n"
    "\n"
    "Usage:\n"
    "  dualdock-cli [--home DIR] simulate JOB.ddk [--tolerance SECONDS] [--create-missing] [--save-text-files]\n"
    "           [--allow-mass-delete]\n"
    "  dualdock-cli [--home DIR] execute [--yes] [--allow-mass-delete]\n"
    "  dualdock-cli [--home DIR] sync JOB.ddk [--yes] [--tolerance SECONDS] [--create-missing]\n"
    "           [--allow-mass-delete]\n"
    "  dualdock-cli --help\n"
    "\n"
    "Commands:\n"
    "  simulate  Loads the job file, compares every folder pair and writes the pending\n"
    "            operations to \"To Do.txt\" in the program folder; prints the result\n"
    "            and the pending counts. Nothing is changed in the folders.\n"
    "  execute   Carries out the pending operations of \"To Do.txt\". Failed operations\n"
    "            stay in the list, so running it again retries them.\n"
    "  sync      simulate, then execute, in one step.\n"
    "\n"
    "Options:\n"
    "  --home DIR          the program folder (settings, language, \"To Do.txt\", logs).\n"
    "                      Default: $DUALDOCK_HOME, else the executable's folder when it\n"
    "                      holds the program files and is writable, else\n"
    "                      ~/.local/share/dualdock.\n"
    "  --yes, -y           answer the confirmation before execute or sync with yes.\n"
    "                      Without it the question is asked on the terminal; with no\n"
    "                      terminal the run is refused and nothing is changed.\n"
    "  --tolerance SECONDS two copies whose times differ by less count as identical\n"
    "                      (default 5).\n"
    "  --create-missing    create folders of the job that do not exist; without it a\n"
    "                      missing folder stops the run.\n"
    "  --allow-mass-delete plan a pair even when it deletes more than half of the\n"
    "                      files of a folder (and more than 10), or deletes anything\n"
    "                      while its source folder is empty (an unmounted drive looks\n"
    "                      empty). Without it such a run is refused with exit status 2;\n"
    "                      a refused pair never enters \"To Do.txt\". A setting\n"
    "                      \"[MassDeleteGuard]<TAB>0\" in \"Settings.txt\" switches the check off.\n"
    "  --save-text-files   also write \"Alle Dateien Sorted.txt\" (the sorted comparison\n"
    "                      of the last pair) to the program folder.\n"
    "\n"
    "Ctrl+C (SIGINT) or SIGTERM stops the run like the stop button: the copy in\n"
    "progress finishes or is rolled back, and the pending list is saved with what\n"
    "remains. A second Ctrl+C, a second or more later, ends the program at once.\n"
    "\n"
    "Exit status:\n"
    "  0  done (or nothing pending)\n"
    "  1  one or more operations failed (their records stay in \"To Do.txt\"), or a\n"
    "     simulation went on past an error (a folder that could not be created or read)\n"
    "  2  bad usage; a job file that is missing, unreadable or of the wrong format;\n"
    "     a confirmation refused or answered no; a missing folder without\n"
    "     --create-missing; a job whose source and target lists differ in length;\n"
    "     a pair whose one folder lies inside the other; a mass deletion without\n"
    "     --allow-mass-delete\n"
    "  3  stopped by SIGINT or SIGTERM\n";

namespace {

bool TakesJob(const std::string& command) {
  return command == "simulate" || command == "sync";
}

bool ParseSeconds(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* name) -> const std::string* {
      if (i + 1 >= args.size()) {
        error = std::string(name) + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.command = "help";
      return o;
    } else if (a == "--home") {
      const std::string* v = value("--home");
      if (!v) return std::nullopt;
      o.home = *v;
    } else if (a == "--yes" || a == "-y") {
      o.yes = true;
    } else if (a == "--create-missing") {
      o.createMissing = true;
    } else if (a == "--allow-mass-delete") {
      o.allowMassDelete = true;
    } else if (a == "--save-text-files") {
      o.saveTextFiles = true;
    } else if (a == "--tolerance") {
      const std::string* v = value("--tolerance");
      if (!v) return std::nullopt;
      double seconds;
      if (!ParseSeconds(*v, seconds)) {
        error = "--tolerance needs a number of seconds, not '" + *v + "'";
        return std::nullopt;
      }
      o.tolerance = seconds;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (o.command.empty()) {
      if (a != "simulate" && a != "execute" && a != "sync") {
        error = "unknown command " + a;
        return std::nullopt;
      }
      o.command = a;
    } else if (TakesJob(o.command) && o.jobFile.empty()) {
      o.jobFile = a;
    } else {
      error = "unexpected argument " + a;
      return std::nullopt;
    }
  }
  if (o.command.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  if (TakesJob(o.command) && o.jobFile.empty()) {
    error = o.command + " needs a job file";
    return std::nullopt;
  }
  if (o.command == "simulate" && o.yes) {
    error = "--yes is for execute and sync";
    return std::nullopt;
  }
  if (o.command == "execute" && (o.createMissing || o.tolerance || o.saveTextFiles)) {
    error = "execute takes only --yes";
    return std::nullopt;
  }
  if (o.command == "sync" && o.saveTextFiles) {
    error = "--save-text-files is for simulate";
    return std::nullopt;
  }
  return o;
}

}  // namespace dd::cli
