#include "cli/cli_options.h"

#include <cstdlib>

namespace dd::cli {

// One text for the usage line of an error and the help.
#define DUALDOCK_USAGE \
    "Usage:\n" \
    "  dualdock-cli [--home DIR] simulate JOB.ddk [--tolerance SECONDS] [--create-missing] [--save-text-files]\n" \
    "                                    [--allow-mass-delete] [--json | --quiet]\n" \
    "  dualdock-cli [--home DIR] execute [JOB.ddk] [--yes] [--allow-mass-delete] [--json | --quiet]\n" \
    "  dualdock-cli [--home DIR] sync JOB.ddk [--yes] [--tolerance SECONDS] [--create-missing]\n" \
    "                                    [--allow-mass-delete] [--json | --quiet]\n" \
    "  dualdock-cli [--home DIR] watch JOB.ddk [--yes] [--settle SECONDS] [--tolerance SECONDS]\n" \
    "                                    [--create-missing] [--allow-mass-delete] [--quiet]\n" \
    "  dualdock-cli job new JOB.ddk --pair SOURCE TARGET [--pair SOURCE TARGET ...]\n" \
    "                               [--mode incremental|synchronize|CODES] [--exclude TEXT ...]\n" \
    "                               [--include TEXT ...] [--case-sensitive-exclude] [--case-sensitive-include]\n" \
    "                               [--no-daylight-saving] [--trash] [--force]\n" \
    "  dualdock-cli job show JOB.ddk\n" \
    "  dualdock-cli --help\n"

const char* const kUsage = DUALDOCK_USAGE;

const char* const kHelp =
    "dualdock-cli: keeps pairs of folders in step, from a script or a timer.\n"
    "\n"
    DUALDOCK_USAGE
    "\n"
    "Commands:\n"
    "  simulate  Loads the job file, compares every folder pair and writes the pending\n"
    "            operations to \"To Do.txt\" in the program folder; prints the result\n"
    "            and the pending counts. Nothing is changed in the folders.\n"
    "  execute   Carries out the pending operations of \"To Do.txt\". Failed operations\n"
    "            stay in the list, so running it again retries them. It acts only\n"
    "            inside the folder pairs of the job that planned the list, with that\n"
    "            job's options, as recorded in \"To Do Plan.txt\" by simulate (the job\n"
    "            file is not read again). Given JOB, the job's pairs and options are\n"
    "            used, and a list planned by another job is refused.\n"
    "  sync      simulate, then execute, in one step.\n"
    "  watch     Runs sync once, then watches both folders of every pair and, when\n"
    "            changes have settled (--settle SECONDS without a new one, default 2),\n"
    "            syncs the pairs that changed, comparing only the folders that\n"
    "            changed. A refused run (a mass deletion without --allow-mass-delete)\n"
    "            is reported and the watch goes on. When the system's limit of folder\n"
    "            watches is reached, or change events were lost, it says so and\n"
    "            compares every pair in whole (every 5 minutes at the limit).\n"
    "            Needs --yes when no terminal can answer the question before each run.\n"
    "  job new   Writes a job file, \".ddk\" added when the name lacks it (refuses to\n"
    "            replace a file without --force):\n"
    "              --pair SOURCE TARGET  a folder pair (repeat for more); relative\n"
    "                                    paths are taken from the current folder\n"
    "              --mode MODE           incremental (default: new and newer files go\n"
    "                                    to the target, files only in the target are\n"
    "                                    deleted), synchronize (newer files go either\n"
    "                                    way), or five operation codes separated by\n"
    "                                    commas, for Identical, ExtraInF1, ExtraInF2,\n"
    "                                    NewerInF1, NewerInF2, e.g. \"= =,=->,= x,=->,= =\";\n"
    "                                    codes: \"= =\" nothing, \"=->\" copy to target,\n"
    "                                    \"<-=\" copy to source, \"x =\" delete in source,\n"
    "                                    \"= x\" delete in target\n"
    "              --exclude TEXT        leave out paths that contain TEXT (repeat for more)\n"
    "              --include TEXT        keep only paths that contain TEXT (repeat for more)\n"
    "              --case-sensitive-exclude, --case-sensitive-include\n"
    "              --no-daylight-saving  times an hour apart do not count as equal\n"
    "              --trash               deleted and replaced files go to the desktop's trash\n"
    "  job show  Prints the pairs, mode, filters and options of a job file.\n"
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
    "  --json              print one JSON object on stdout instead of text: counts and\n"
    "                      sizes per kind, failures, errors, duration, exit status.\n"
    "                      Bytes of paths that are not UTF-8 appear as \\udc80..\\udcff\n"
    "                      (Python's os.fsencode gives the bytes back).\n"
    "  --quiet, -q         print nothing but errors.\n"
    "\n"
    "Ctrl+C (SIGINT) or SIGTERM stops the run like the stop button: the copy in\n"
    "progress finishes or is rolled back, and the pending list is saved with what\n"
    "remains. A second Ctrl+C, a second or more later, ends the program at once.\n"
    "\n"
    "Exit status:\n"
    "  0  done (or nothing pending)\n"
    "  1  one or more operations failed (their records stay in \"To Do.txt\"), or a\n"
    "     simulation went on past an error (a folder that could not be created or read,\n"
    "     a name holding a TAB or line break, which is skipped and named)\n"
    "  2  bad usage; a job file that is missing, unreadable or of the wrong format;\n"
    "     a confirmation refused or answered no; a missing folder without\n"
    "     --create-missing; a job whose source and target lists differ in length;\n"
    "     a pair whose one folder lies inside the other, or pairs that write into\n"
    "     each other's folders; a mass deletion without --allow-mass-delete; a\n"
    "     pending list without the record of the job that planned it, or (execute\n"
    "     JOB) planned by another job; another run using the program folder (one\n"
    "     run at a time: nothing waits); a pending list or its record that could\n"
    "     not be written\n"
    "  3  stopped by SIGINT or SIGTERM (watch: only when it came during a run;\n"
    "     between runs watch ends with 0)\n";

namespace {

bool TakesJob(const std::string& command) {
  return command == "simulate" || command == "execute" || command == "sync" || command == "watch" ||
         command == "job new" || command == "job show";
}

bool IsJobCommand(const std::string& command) {
  return command == "job new" || command == "job show";
}

bool ParseSeconds(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

// The switches of `job new` and the value each sets.
struct JobSwitch {
  const char* name;
  bool NewJob::*field;
  bool value;
};
constexpr JobSwitch kJobSwitches[] = {
    {"--case-sensitive-exclude", &NewJob::excludeCaseSensitive, true},
    {"--case-sensitive-include", &NewJob::includeCaseSensitive, true},
    {"--no-daylight-saving", &NewJob::daylightSaving, false},
    {"--trash", &NewJob::trash, true},
    {"--force", &NewJob::force, true},
};

const JobSwitch* FindJobSwitch(const std::string& name) {
  for (const JobSwitch& s : kJobSwitches)
    if (name == s.name) return &s;
  return nullptr;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  std::string jobOption;  // an option that only `job new` takes
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
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (a == "--pair") {
      if (i + 2 >= args.size()) {
        error = "--pair needs a source and a target folder";
        return std::nullopt;
      }
      o.newJob.pairs.emplace_back(args[i + 1], args[i + 2]);
      i += 2;
      jobOption = a;
    } else if (a == "--mode") {
      const std::string* v = value("--mode");
      if (!v) return std::nullopt;
      o.newJob.mode = *v;
      jobOption = a;
    } else if (a == "--exclude" || a == "--include") {
      const std::string* v = value(a.c_str());
      if (!v) return std::nullopt;
      (a == "--exclude" ? o.newJob.excludes : o.newJob.includes).push_back(*v);
      jobOption = a;
    } else if (const JobSwitch* sw = FindJobSwitch(a)) {
      o.newJob.*(sw->field) = sw->value;
      jobOption = a;
    } else if (a == "--tolerance") {
      const std::string* v = value("--tolerance");
      if (!v) return std::nullopt;
      double seconds;
      if (!ParseSeconds(*v, seconds)) {
        error = "--tolerance needs a number of seconds, not '" + *v + "'";
        return std::nullopt;
      }
      o.tolerance = seconds;
    } else if (a == "--settle") {
      const std::string* v = value("--settle");
      if (!v) return std::nullopt;
      double seconds;
      if (!ParseSeconds(*v, seconds) || !(seconds >= 0)) {
        error = "--settle needs a number of seconds, not '" + *v + "'";
        return std::nullopt;
      }
      o.settle = seconds;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (o.command == "job") {
      if (a != "new" && a != "show") {
        error = "unknown job command " + a + " (new or show)";
        return std::nullopt;
      }
      o.command += " " + a;
    } else if (o.command.empty()) {
      if (a != "simulate" && a != "execute" && a != "sync" && a != "watch" && a != "job") {
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
  if (o.command.empty() || o.command == "job") {
    error = o.command.empty() ? "no command given" : "job needs new or show";
    return std::nullopt;
  }
  if (!jobOption.empty() && o.command != "job new") {
    error = jobOption + " is for job new";
    return std::nullopt;
  }
  if (IsJobCommand(o.command) && (o.yes || o.createMissing || o.tolerance || o.saveTextFiles || o.json || o.quiet)) {
    error = o.command + " takes none of the run options";
    return std::nullopt;
  }
  if (o.command == "job new" && o.newJob.pairs.empty()) {
    error = "job new needs at least one --pair SOURCE TARGET";
    return std::nullopt;
  }
  if (o.json && o.quiet) {
    error = "--json and --quiet exclude each other";
    return std::nullopt;
  }
  if (TakesJob(o.command) && o.command != "execute" && o.jobFile.empty()) {
    error = o.command + " needs a job file";
    return std::nullopt;
  }
  if (o.command == "simulate" && o.yes) {
    error = "--yes is for execute and sync";
    return std::nullopt;
  }
  if (o.command == "execute" && (o.createMissing || o.tolerance || o.saveTextFiles)) {
    error = "execute takes only --yes, --json and --quiet";
    return std::nullopt;
  }
  if (o.settle && o.command != "watch") {
    error = "--settle is for watch";
    return std::nullopt;
  }
  if (o.command == "watch" && (o.saveTextFiles || o.json)) {
    error = "watch takes neither --save-text-files nor --json";
    return std::nullopt;
  }
  if (o.command == "sync" && o.saveTextFiles) {
    error = "--save-text-files is for simulate";
    return std::nullopt;
  }
  return o;
}

}  // namespace dd::cli
