#include "ui/window_options.h"

#include <QCommandLineParser>

#include "common/version.h"

namespace dd::ui {

namespace {

const char kUsage[] =
    "Usage: dualdock [--home DIR] [JOB.ddk]\n"
    "Keeps pairs of folders in step.\n"
    "\n"
    "  --home DIR     the program folder (settings, language, \"To Do.txt\", logs)\n"
    "  -h, --help     show this help and end\n"
    "  -v, --version  show the version and end\n";

// The options of every Qt program, which the application takes out itself.
bool IsQtOption(const QString& name) {
  static const QStringList names =
      QStringLiteral(
          "platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon qwindowtitle reverse session "
          "style stylesheet widgetcount display geometry title name nograb dograb sync fn font bg background fg "
          "foreground btn button visual ncols cmap qmljsdebugger")
          .split(QLatin1Char(' '));
  return names.contains(name);
}

OptionsOutcome Fail(QString& text, const QString& what) {
  text = QStringLiteral("dualdock: ") + what + QLatin1Char('\n') + QString::fromLatin1(kUsage);
  return OptionsOutcome::Error;
}

}  // namespace

QStringList ArgumentBytes(int argc, char** argv) {
  QStringList list;
  for (int i = 0; i < argc; ++i) list << QString::fromLatin1(argv[i]);
  return list;
}

std::string ToBytes(const QString& argument) {
  return argument.toLatin1().toStdString();
}

OptionsOutcome ParseWindowOptions(const QStringList& arguments, bool beforeQt, WindowOptions& options, QString& text) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  const QCommandLineOption home(QStringLiteral("home"), QString(), QStringLiteral("DIR"));
  parser.addOptions({help, version, home});
  if (!parser.parse(QStringList{QStringLiteral("dualdock")} + arguments)) {
    bool onlyQt = beforeQt && !parser.unknownOptionNames().isEmpty();
    for (const QString& name : parser.unknownOptionNames()) onlyQt = onlyQt && IsQtOption(name);
    if (!onlyQt) return Fail(text, parser.errorText());
  }
  if (parser.isSet(help)) {
    text = QString::fromLatin1(kUsage);
    return OptionsOutcome::Printed;
  }
  if (parser.isSet(version)) {
    text = QStringLiteral("dualdock " DUALDOCK_VERSION "\n");
    return OptionsOutcome::Printed;
  }
  if (beforeQt) return OptionsOutcome::Run;
  const QStringList jobs = parser.positionalArguments();
  if (jobs.size() > 1) return Fail(text, QStringLiteral("one job file at most, not %1").arg(jobs.size()));
  if (parser.isSet(home) && parser.value(home).isEmpty()) return Fail(text, QStringLiteral("--home needs a folder"));
  options.home = ToBytes(parser.value(home));
  options.jobFile = jobs.isEmpty() ? std::string() : ToBytes(jobs.front());
  return OptionsOutcome::Run;
}

}  // namespace dd::ui
