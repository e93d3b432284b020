// The window's command line.
#include "ui/window_options.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "common/version.h"

namespace dd::ui {
namespace {

QStringList Args(std::initializer_list<const char*> args) {
  QStringList list;
  for (const char* a : args) list << QString::fromLatin1(a);
  return list;
}

std::string Joined(const QStringList& args) {
  return args.join(QLatin1Char(' ')).toStdString();
}

TEST(WindowOptions, TakesAHomeWithOneJob) {
  const struct {
    QStringList args;
    std::string home, job;
  } rows[] = {
      {{}, "", ""},
      {Args({"/jobs/my job.ddk"}), "", "/jobs/my job.ddk"},
      {Args({"--home", "/h", "j.ddk"}), "/h", "j.ddk"},
      {Args({"j.ddk", "--home=/h"}), "/h", "j.ddk"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Joined(row.args));
    WindowOptions o;
    QString text;
    ASSERT_EQ(ParseWindowOptions(row.args, false, o, text), OptionsOutcome::Run);
    EXPECT_EQ(o.home, row.home);
    EXPECT_EQ(o.jobFile, row.job);
  }
}

TEST(WindowOptions, TheHelpOrVersionIsPrintedInsteadOfARun) {
  for (const char* option : {"--help", "-v"}) {
    SCOPED_TRACE(option);
    WindowOptions o;
    QString text;
    EXPECT_EQ(ParseWindowOptions(Args({option}), false, o, text), OptionsOutcome::Printed);
    EXPECT_FALSE(text.isEmpty());
  }
}

TEST(WindowOptions, RefusesEverythingElseWithAReason) {
  const QStringList rows[] = {
      Args({"--home"}),
      Args({"--home", ""}),
      Args({"--frobnicate"}),
      Args({"a.ddk", "b.ddk"}),
      Args({"-platform", "offscreen"}),  // Qt has taken its own out by now
  };
  for (const QStringList& args : rows) {
    SCOPED_TRACE(Joined(args));
    WindowOptions o;
    QString text;
    EXPECT_EQ(ParseWindowOptions(args, false, o, text), OptionsOutcome::Error);
    EXPECT_FALSE(text.isEmpty());
  }
}

TEST(WindowOptions, QtsOwnOptionsPassBeforeTheApplicationTakesThemOut) {
  for (const char* option : {"-platform", "--style", "-reverse"}) {
    WindowOptions o;
    QString text;
    EXPECT_EQ(ParseWindowOptions(Args({option, "x", "j.ddk"}), true, o, text), OptionsOutcome::Run) << option;
  }
  WindowOptions o;
  QString text;
  EXPECT_EQ(ParseWindowOptions(Args({"-platform", "x", "--bogus"}), true, o, text), OptionsOutcome::Error);
}

TEST(WindowOptions, APathComesBackByteForByte) {
  const std::string path = "/t/caf\xe9 \xff\x80.ddk";  // not UTF-8
  char* argv[] = {const_cast<char*>("--home"), const_cast<char*>("/h\xfe"), const_cast<char*>(path.c_str())};
  WindowOptions o;
  QString text;
  ASSERT_EQ(ParseWindowOptions(ArgumentBytes(3, argv), false, o, text), OptionsOutcome::Run);
  EXPECT_EQ(o.jobFile, path);
  EXPECT_EQ(o.home, "/h\xfe");
}

// The program itself, on a platform without a display: help and version must not need one,
// and a start without one says what to do instead of Qt's abort.
TEST(WindowOptions, TheProgramWithoutADisplay) {
  const struct {
    const char* environment;
    const char* args;
    int status;
    const char* output;
  } rows[] = {
      {"QT_QPA_PLATFORM=xcb", "--version", 0, "dualdock " DUALDOCK_VERSION},
      {"QT_QPA_PLATFORM=xcb", "--help", 0, "--home DIR"},
      {"QT_QPA_PLATFORM=xcb", "--bogus", 2, "dualdock: "},
      {"QT_QPA_PLATFORM=xcb", "", 2, "no display: run it on a desktop, or use dualdock-cli\n"},
      {"-u QT_QPA_PLATFORM", "", 2, "no display: run it on a desktop, or use dualdock-cli\n"},
      {"QT_QPA_PLATFORM='wayland;xcb'", "", 2, "no display: run it on a desktop, or use dualdock-cli\n"},
      {"-u QT_QPA_PLATFORM", "-platform xcb:nograb", 2, "no display: run it on a desktop, or use dualdock-cli\n"},
  };
  for (const auto& row : rows) {
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + row.environment + " " +
                                DUALDOCK_BINARY_DIR "/dualdock " + row.args + " 2>&1";
    FILE* p = ::popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    const int status = ::pclose(p);
    EXPECT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), row.status) << command << out;
    EXPECT_NE(out.find(row.output), std::string::npos) << command << out;
  }
}

}  // namespace
}  // namespace dd::ui
