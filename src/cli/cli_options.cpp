#include "cli/cli_options.h"

#include <cstdlib>
#include <string_view>

namespace dd::cli {

// One text for the usage line of an error and the help.
#define DUALDOCK_USAGE                                                                                          \
  "Usage:\n"                                                                                                    \
  "  dualdock-cli [--home DIR] simulate JOB.ddk [--tolerance SECONDS] [--create-missing] [--save-text-files]\n" \
  "                                    [--allow-mass-delete] [--checksum] [--verify] [--log-file FILE]\n"       \
  "                                    [--json | --quiet | --verbose]\n"                                        \
  "  dualdock-cli [--home DIR] execute [JOB.ddk] [--yes] [--allow-mass-delete] [--verify] [--log-file FILE]\n"  \
  "                                    [--json | --quiet | --verbose]\n"                                        \
  "  dualdock-cli [--home DIR] sync JOB.ddk [--yes] [--dry-run] [--tolerance SECONDS] [--create-missing]\n"     \
  "                                    [--allow-mass-delete] [--checksum] [--verify] [--log-file FILE]\n"       \
  "                                    [--json | --quiet | --verbose]\n"                                        \
  "  dualdock-cli [--home DIR] watch JOB.ddk [--yes] [--settle SECONDS] [--tolerance SECONDS]\n"                \
  "                                    [--create-missing] [--allow-mass-delete] [--quiet]\n"                    \
  "  dualdock-cli job new JOB.ddk --pair SOURCE TARGET [--pair SOURCE TARGET ...]\n"                            \
  "                               [--mode incremental|synchronize|CODES] [--exclude TEXT ...]\n"                \
  "                               [--include TEXT ...] [--case-sensitive-exclude] [--case-sensitive-include]\n" \
  "                               [--no-daylight-saving] [--trash] [--checksum] [--verify] [--force]\n"         \
  "  dualdock-cli job show JOB.ddk\n"                                                                           \
  "  dualdock-cli --help | --version\n"

const char* const kUsage = DUALDOCK_USAGE;

const char* const kHelp =
    "dualdock-cli: keeps pairs of folders in step, from a script or a timer.\n"
    "\n" DUALDOCK_USAGE
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
    "  sync      simulate, then execute, in one step. With --dry-run (-n) it is\n"
    "            simulate: the pending operations are planned and counted, nothing\n"
    "            is changed in the folders.\n"
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
    "              --exclude TEXT        leave out paths that contain TEXT (repeat for more);\n"
    "                                    a TEXT with * or ? is a pattern for whole names\n"
    "                                    (\"*.tmp\"), or with a / for the path below the\n"
    "                                    pair's folder (\"build/*\")\n"
    "              --include TEXT        keep only paths that contain TEXT (repeat for more;\n"
    "                                    patterns as for --exclude)\n"
    "              --case-sensitive-exclude, --case-sensitive-include\n"
    "              --no-daylight-saving  times an hour apart do not count as equal\n"
    "              --trash               deleted and replaced files go to the desktop's trash\n"
    "              --checksum, --verify  stored in the job: as the run options below\n"
    "  job show  Prints the pairs, mode, filters and options of a job file.\n"
    "\n"
    "Options (long ones also as --NAME=VALUE; short flags combine, as in -qy; \"--\"\n"
    "ends the options, so that a job file may begin with \"-\"):\n"
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
    "  --checksum          files of equal size and time are also compared by content\n"
    "                      (both read in full): a difference makes the later one\n"
    "                      newer, an exact tie the source's. The bytes read are\n"
    "                      counted. On for a job saved with it.\n"
    "  --verify            each copy is read back once its data is on the disk and\n"
    "                      compared with its source; a difference fails the copy,\n"
    "                      which keeps the old target. Recorded with the plan, so\n"
    "                      simulate --verify makes the later execute verify.\n"
    "  --save-text-files   also write \"Alle Dateien Sorted.txt\" (the sorted comparison\n"
    "                      of the last pair) to the program folder.\n"
    "  --json              print one JSON object on stdout instead of text: counts and\n"
    "                      sizes per kind, failed items, errors, duration, exit status.\n"
    "                      Bytes of paths that are not UTF-8 appear as \\udc80..\\udcff\n"
    "                      (Python's os.fsencode gives the bytes back).\n"
    "  --quiet, -q         print nothing but errors.\n"
    "  --verbose, -v       print a line per operation carried out: \"del\", \"new\",\n"
    "                      \"rep\" (replaced) or \"mov\" (moved), the side (F1 or F2) and\n"
    "                      the path below the pair's folder, a folder with \"/\" at its\n"
    "                      end, a move as \"OLD -> NEW\".\n"
    "  --dry-run, -n       (sync) simulate only.\n"
    "  --log-file FILE     append a plain-text record of the run to FILE: start and end\n"
    "                      (ISO 8601), the job, the counts, a line per failed item with\n"
    "                      its reason. Overrides the job's own log file option.\n"
    "  --settle SECONDS    (watch) seconds without a new change before a run (default 2).\n"
    "  --version, -V       print the version and end.\n"
    "\n"
    "A failed operation is named on stderr, one line each: the operation, the path and\n"
    "the reason. A path that begins with a folder named ~ is refused: the shell expands\n"
    "~ only when it is not quoted. A job is not read from standard input (\"-\").\n"
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

// Groups of options, so that each command says which it takes.
enum : unsigned {
  kYesOption = 1u << 0,
  kCreateMissingOption = 1u << 1,
  kToleranceOption = 1u << 2,
  kSaveTextFilesOption = 1u << 3,
  kOutputOptions = 1u << 4,  // --json, --verbose (--quiet has a bit of its own: watch takes only it)
  kMassDeleteOption = 1u << 5,
  kDryRunOption = 1u << 6,
  kLogFileOption = 1u << 7,
  kJobNewOptions = 1u << 8,
  kEveryCommand = 1u << 9,  // --home
  kChecksumOption = 1u << 10,
  kVerifyOption = 1u << 11,
  kQuietOption = 1u << 12,
  kSettleOption = 1u << 13,
};

enum class JobArgument { None, Required, Optional };

struct CommandSpec {
  const char* name;
  JobArgument job;
  unsigned options;
};

// A new command is a row here (and its options a bit each).
constexpr CommandSpec kCommands[] = {
    {"simulate", JobArgument::Required,
     kCreateMissingOption | kToleranceOption | kSaveTextFilesOption | kOutputOptions | kQuietOption |
         kMassDeleteOption | kLogFileOption | kChecksumOption | kVerifyOption},
    {"execute", JobArgument::Optional,
     kYesOption | kOutputOptions | kQuietOption | kMassDeleteOption | kLogFileOption | kVerifyOption},
    {"sync", JobArgument::Required,
     kYesOption | kCreateMissingOption | kToleranceOption | kOutputOptions | kQuietOption | kMassDeleteOption |
         kDryRunOption | kLogFileOption | kChecksumOption | kVerifyOption},
    {"watch", JobArgument::Required,
     kYesOption | kCreateMissingOption | kToleranceOption | kMassDeleteOption | kQuietOption | kSettleOption},
    {"job new", JobArgument::Required, kJobNewOptions | kChecksumOption | kVerifyOption},
    {"job show", JobArgument::Required, 0},
};

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

bool ParseSeconds(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

// Sets what the option means; false with `error` set when its value is not usable.
using Apply = bool (*)(Options&, const std::vector<std::string>& values, std::string& error);

struct OptionSpec {
  const char* name;  // the long name, without "--"
  char letter;       // the short name, or 0
  int values;        // how many arguments follow it
  unsigned group;    // 0: help and version, which end the parsing
  Apply apply;
};

#define DD_FLAG(field) [](Options& o, const std::vector<std::string>&, std::string&) { return o.field = true; }
#define DD_JOB_FLAG(field, value) \
  [](Options& o, const std::vector<std::string>&, std::string&) { return o.newJob.field = value, true; }

constexpr OptionSpec kOptions[] = {
    {"help", 'h', 0, 0,
     [](Options& o, const std::vector<std::string>&, std::string&) { return o.command = "help", true; }},
    {"version", 'V', 0, 0,
     [](Options& o, const std::vector<std::string>&, std::string&) { return o.command = "version", true; }},
    {"home", 0, 1, kEveryCommand,
     [](Options& o, const std::vector<std::string>& v, std::string&) { return o.home = v[0], true; }},
    {"yes", 'y', 0, kYesOption, DD_FLAG(yes)},
    {"create-missing", 0, 0, kCreateMissingOption, DD_FLAG(createMissing)},
    {"allow-mass-delete", 0, 0, kMassDeleteOption, DD_FLAG(allowMassDelete)},
    {"save-text-files", 0, 0, kSaveTextFilesOption, DD_FLAG(saveTextFiles)},
    {"json", 0, 0, kOutputOptions, DD_FLAG(json)},
    {"quiet", 'q', 0, kQuietOption, DD_FLAG(quiet)},
    {"verbose", 'v', 0, kOutputOptions, DD_FLAG(verbose)},
    {"dry-run", 'n', 0, kDryRunOption, DD_FLAG(dryRun)},
    {"checksum", 0, 0, kChecksumOption, DD_FLAG(checksum)},
    {"verify", 0, 0, kVerifyOption, DD_FLAG(verify)},
    {"log-file", 0, 1, kLogFileOption,
     [](Options& o, const std::vector<std::string>& v, std::string& error) {
       if (v[0].empty()) error = "--log-file needs a file name";
       return o.logFile = v[0], !v[0].empty();
     }},
    {"settle", 0, 1, kSettleOption,
     [](Options& o, const std::vector<std::string>& v, std::string& error) {
       double seconds = 0;
       if (!ParseSeconds(v[0], seconds) || !(seconds >= 0)) {
         error = "--settle needs a number of seconds, not '" + v[0] + "'";
         return false;
       }
       return o.settle = seconds, true;
     }},
    {"tolerance", 0, 1, kToleranceOption,
     [](Options& o, const std::vector<std::string>& v, std::string& error) {
       double seconds = 0;
       if (!ParseSeconds(v[0], seconds)) {
         error = "--tolerance needs a number of seconds, not '" + v[0] + "'";
         return false;
       }
       return o.tolerance = seconds, true;
     }},
    {"pair", 0, 2, kJobNewOptions,
     [](Options& o, const std::vector<std::string>& v, std::string&) {
       return o.newJob.pairs.emplace_back(v[0], v[1]), true;
     }},
    {"mode", 0, 1, kJobNewOptions,
     [](Options& o, const std::vector<std::string>& v, std::string&) { return o.newJob.mode = v[0], true; }},
    {"exclude", 0, 1, kJobNewOptions,
     [](Options& o, const std::vector<std::string>& v, std::string&) {
       return o.newJob.excludes.push_back(v[0]), true;
     }},
    {"include", 0, 1, kJobNewOptions,
     [](Options& o, const std::vector<std::string>& v, std::string&) {
       return o.newJob.includes.push_back(v[0]), true;
     }},
    {"case-sensitive-exclude", 0, 0, kJobNewOptions, DD_JOB_FLAG(excludeCaseSensitive, true)},
    {"case-sensitive-include", 0, 0, kJobNewOptions, DD_JOB_FLAG(includeCaseSensitive, true)},
    {"no-daylight-saving", 0, 0, kJobNewOptions, DD_JOB_FLAG(daylightSaving, false)},
    {"trash", 0, 0, kJobNewOptions, DD_JOB_FLAG(trash, true)},
    {"force", 0, 0, kJobNewOptions, DD_JOB_FLAG(force, true)},
};

#undef DD_FLAG
#undef DD_JOB_FLAG

const OptionSpec* FindLong(std::string_view name) {
  for (const OptionSpec& s : kOptions)
    if (name == s.name) return &s;
  return nullptr;
}

const OptionSpec* FindShort(char letter) {
  for (const OptionSpec& s : kOptions)
    if (letter != 0 && letter == s.letter) return &s;
  return nullptr;
}

// An option as given, for messages: the long form.
std::string Shown(const OptionSpec& s) {
  return std::string("--") + s.name;
}

// Reads the arguments into options and positional words; `used` lists the options given, in order.
class Reader {
 public:
  Reader(const std::vector<std::string>& args, Options& o, std::string& error) : args_(args), o_(o), error_(error) {}

  std::vector<const OptionSpec*> used;
  std::vector<std::string> words;

  // False on an error; true also when help or version was asked for, which ends the reading.
  bool Read() {
    bool optionsEnded = false;
    for (i_ = 0; i_ < args_.size(); ++i_) {
      const std::string& a = args_[i_];
      bool ok = true;
      if (optionsEnded || a == "-" || a.size() < 2 || a[0] != '-')
        words.push_back(a);
      else if (a == "--")
        optionsEnded = true;
      else if (a[1] == '-')
        ok = ReadLong(a);
      else
        ok = ReadShorts(a);
      if (!ok) return false;
      if (o_.command == "help" || o_.command == "version") return true;
    }
    return true;
  }

 private:
  bool ReadLong(const std::string& a) {
    const std::size_t equals = a.find('=');
    const OptionSpec* s = FindLong(std::string_view(a).substr(2, equals == std::string::npos ? a.npos : equals - 2));
    if (!s) return Fail("unknown option " + a.substr(0, equals));
    std::vector<std::string> values;
    if (equals != std::string::npos) {
      if (s->values == 0) return Fail(Shown(*s) + " takes no value");
      values.push_back(a.substr(equals + 1));
    }
    return Take(*s, values);
  }

  bool ReadShorts(const std::string& a) {
    for (std::size_t k = 1; k < a.size(); ++k) {
      const OptionSpec* s = FindShort(a[k]);
      if (!s) return Fail("unknown option -" + std::string(1, a[k]));
      std::vector<std::string> values;
      // A short option with a value takes the rest of the word, if any: -xVALUE.
      const bool valueFollows = s->values > 0 && k + 1 < a.size();
      if (valueFollows) values.push_back(a.substr(k + 1));
      if (!Take(*s, values)) return false;
      if (valueFollows || o_.command == "help" || o_.command == "version") return true;
    }
    return true;
  }

  // Completes the values from the next arguments and applies the option.
  bool Take(const OptionSpec& s, std::vector<std::string>& values) {
    while (static_cast<int>(values.size()) < s.values) {
      if (i_ + 1 >= args_.size()) return Fail(Shown(s) + (s.values == 2 ? " needs two values" : " needs a value"));
      values.push_back(args_[++i_]);
    }
    used.push_back(&s);
    return s.apply(o_, values, error_);
  }

  bool Fail(const std::string& text) {
    error_ = text;
    return false;
  }

  const std::vector<std::string>& args_;
  Options& o_;
  std::string& error_;
  std::size_t i_ = 0;
};

// The command and the job file from the words that are no options.
bool ReadWords(const std::vector<std::string>& words, Options& o, std::string& error) {
  std::size_t next = 0;
  if (words.empty()) {
    error = "no command given";
    return false;
  }
  o.command = words[next++];
  if (o.command == "job") {
    if (next == words.size()) {
      error = "job needs new or show";
      return false;
    }
    const std::string& sub = words[next++];
    if (sub != "new" && sub != "show") {
      error = "unknown job command " + sub + " (new or show)";
      return false;
    }
    o.command += " " + sub;
  }
  const CommandSpec* command = FindCommand(o.command);
  if (!command) {
    error = "unknown command " + o.command;
    return false;
  }
  if (command->job != JobArgument::None && next < words.size()) o.jobFile = words[next++];
  if (next < words.size()) {
    error = "unexpected argument " + words[next];
    return false;
  }
  if (command->job == JobArgument::Required && o.jobFile.empty()) {
    error = o.command + " needs a job file";
    return false;
  }
  return true;
}

// The paths given on the command line, each refused when the shell left a ~ in it.
std::string PathError(const Options& o) {
  std::vector<const std::string*> paths = {&o.home, &o.jobFile, &o.logFile};
  for (const auto& [source, target] : o.newJob.pairs) paths.insert(paths.end(), {&source, &target});
  for (const std::string* path : paths) {
    std::string error = UnexpandedHomeError(*path);
    if (!error.empty()) return error;
  }
  if (o.jobFile == "-")
    return "a job cannot be read from standard input (\"-\"); give the path of its job file (JOB.ddk)";
  return {};
}

// The rules between options, once the command is known.
std::string CombinationError(const Options& o, const CommandSpec& command, const std::vector<const OptionSpec*>& used) {
  for (const OptionSpec* s : used)
    if (s->group != kEveryCommand && (s->group & command.options) == 0)
      return std::string(command.name) + " does not take " + Shown(*s);
  if (o.json + o.quiet + o.verbose > 1) return "--json, --quiet and --verbose exclude each other";
  // A simulation creates the missing folders it is allowed to: a dry run must change nothing.
  if (o.dryRun && o.createMissing) return "--dry-run changes nothing, so it does not take --create-missing";
  if (o.command == "job new" && o.newJob.pairs.empty()) return "job new needs at least one --pair SOURCE TARGET";
  return PathError(o);
}

}  // namespace

std::string UnexpandedHomeError(const std::string& path) {
  if (path != "~" && !path.starts_with("~/")) return {};
  return "the path '" + path +
         "' begins with a folder named ~: the shell expands ~ only when it is not quoted; "
         "write it unquoted, or as \"$HOME" +
         path.substr(1) + "\"";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  Reader reader(args, o, error);
  if (!reader.Read()) return std::nullopt;
  if (o.command == "help" || o.command == "version") return o;
  if (!ReadWords(reader.words, o, error)) return std::nullopt;
  error = CombinationError(o, *FindCommand(o.command), reader.used);
  if (!error.empty()) return std::nullopt;
  // A dry run is a simulation of the job: what would happen is planned and printed, nothing is changed.
  if (o.dryRun) o.command = "simulate";
  return o;
}

}  // namespace dd::cli
