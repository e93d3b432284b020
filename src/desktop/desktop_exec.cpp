#include "desktop/desktop_exec.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "common/text.h"

namespace dd {

namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#`()";

}  // namespace

std::string EscapeStringValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string UnescapeStringValue(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\', out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string FindInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  for (const std::string& folder : Split(path, ":")) {
    // An empty entry would mean the current folder: never start a tool from there.
    if (folder.empty()) continue;
    std::string candidate = folder + "/" + name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::string QuoteExecArgument(const std::string& argument) {
  std::string arg = ReplaceAll(argument, "%", "%%");
  if (!arg.empty() && arg.find_first_of(kReserved) == std::string::npos) return EscapeStringValue(arg);
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return EscapeStringValue(quoted + "\"");
}

std::string ExecForExecutable(const std::string& executablePath) {
  return QuoteExecArgument(executablePath) + " %f";
}

std::vector<std::string> SplitExec(const std::string& value) {
  const std::string text = UnescapeStringValue(value);
  std::vector<std::string> args;
  std::string current;
  bool inArgument = false, quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && i + 1 < text.size()) {
        current += text[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == ' ' || c == '\t') {
      if (inArgument) args.push_back(current), current.clear();
      inArgument = false;
    } else {
      inArgument = true;
      if (c == '"')
        quoted = true;
      else
        current += c;
    }
  }
  if (inArgument) args.push_back(current);
  for (std::string& arg : args) arg = ReplaceAll(arg, "%%", "%");
  return args;
}

bool ExecRunsExecutable(const std::string& value, const std::string& executablePath) {
  std::vector<std::string> args = SplitExec(value);
  if (args.empty()) return false;
  bool takesFile = false;
  for (std::size_t i = 1; i < args.size(); ++i)
    takesFile = takesFile || args[i] == "%f" || args[i] == "%F" || args[i] == "%u" || args[i] == "%U";
  if (!takesFile) return false;
  std::string program = args[0].find('/') == std::string::npos ? FindInPath(args[0]) : args[0];
  if (program.empty()) return false;
  std::error_code ec;
  return std::filesystem::equivalent(program, executablePath, ec) && !ec;
}

}  // namespace dd
