// The option forms of dualdock-cli, each run end to end on the built program.
#include <gtest/gtest.h>

#include <regex>

#include "cli/cli_fixture.h"
#include "common/files.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

namespace {

TEST_F(Cli, VersionPrintsTheProgramWithItsVersion) {
  for (const char* option : {"--version", "-V", "--home /nowhere --version"}) {
    Result r = Run(option);
    EXPECT_EQ(r.code, 0) << option << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("dualdock-cli [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"))) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

// Each form plans or carries out the job of the same tree; what it did shows on disk.
TEST_F(Cli, EveryOptionFormIsUnderstood) {
  const struct {
    std::string args;  // $H: the program folder, $J: the job file
    bool copied;       // the run carried out the copy
    std::string out;   // found on stdout
  } cases[] = {
      {"--home=$H simulate $J", false, "new in F2:     1"},
      {"--home $H sync $J -qy", true, ""},
      {"--home $H sync $J -yq", true, ""},
      {"--home $H sync -y -q $J", true, ""},
      {"--home $H sync -n $J", false, "new in F2:     1"},
      {"--home $H sync --dry-run --yes $J", false, "new in F2:     1"},
      {"--home $H sync -nq $J", false, ""},
      {"--home $H sync --tolerance=3 --yes $J", true, "Copied files:\t1\t(5 Byte)"},
      {"--home $H sync --yes -- $J", true, "Copied files:\t1\t(5 Byte)"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir / "home");
    std::filesystem::remove_all(dir / "dst");
    MakeTree(dir.path(), {"src/a.txt=alpha", "dst/"});
    const std::string job = Job("-job.ddk", {{dir / "src", dir / "dst"}});
    const std::string args = ReplaceAll(ReplaceAll(c.args, "$H", Quote(dir / "home")), "$J", job);
    // A job file whose name begins with "-" is given after "--" or with a folder in front.
    Result r = Run(ReplaceAll(args, " " + job, " " + Quote(dir / "-job.ddk")));
    EXPECT_EQ(r.code, 0) << c.args << "\n" << r.err;
    EXPECT_EQ(PathExists(dir / "dst/a.txt"), c.copied) << c.args;
    EXPECT_EQ(Records().size(), c.copied ? 0u : 1u) << c.args;
    if (c.out.empty())
      EXPECT_EQ(r.out, "") << c.args;
    else
      EXPECT_NE(r.out.find(c.out), std::string::npos) << c.args << "\n" << r.out;
  }
}

const struct {
  std::string args;
  std::string said;
} kMisused[] = {
    {"sync j.ddk --yes=1", "--yes takes no value"},
    {"sync j.ddk -yx", "unknown option -x"},
    {"sync j.ddk --frob=1", "unknown option --frob"},
    {"sync j.ddk --home", "--home needs a value"},
    {"job new j --pair /a", "--pair needs two values"},
    {"simulate j.ddk --yes", "simulate does not take --yes"},
    {"execute -n", "execute does not take --dry-run"},
    {"job show j.ddk -q", "job show does not take --quiet"},
    {"sync j.ddk -qv", "--json, --quiet and --verbose exclude each other"},
    {"sync j.ddk --log-file=", "--log-file needs a file name"},
    {"sync j.ddk -n --create-missing", "--dry-run changes nothing, so it does not take --create-missing"},
    {"sync --yes", "sync needs a job file"},
    {"-- --help", "unknown command --help"},
};

TEST_F(Cli, MisusedOptionsExitTwo) {
  for (const auto& c : kMisused) EXPECT_EQ(Run(c.args).code, 2) << c.args;
}

TEST_F(Cli, AMisusedOptionIsNamedOnTheErrorOutputOnly) {
  for (const auto& c : kMisused) {
    Result r = Run(c.args);
    EXPECT_NE(r.err.find("dualdock-cli: " + c.said + "\n"), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
}

// An answer given by an option is said as what was decided; the question is not printed.
TEST_F(Cli, AnAnswerGivenByAnOptionPrintsTheDecisionNotTheQuestion) {
  MakeTree(dir.path(), {"src/a.txt=a", "src/b.txt=b", "mnt/", "backup/old.txt=o"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "made/dst"}});
  const std::string empty = Job("empty.ddk", {{dir / "mnt", dir / "backup"}});
  const struct {
    std::string args;
    std::string decided;
    std::string question;
  } cases[] = {
      {"sync " + job + " --yes --create-missing",
       "Simulating the job and carrying out what it plans (--yes)\n"
       "Creating the folders that do not exist (--create-missing):\n" +
           dir / "made/dst\n",
       "Create them?"},
      {"sync " + job + " --yes", "Simulating the job and carrying out what it plans (--yes)\n",
       "Simulate and then carry out"},
      {"simulate " + empty + " --allow-mass-delete",
       "Planning the deletion of most of a folder (--allow-mass-delete):\nF1\t" + dir / "mnt\t0 / 0\n", "anyway?"},
      {"execute --yes", "Carrying out 1 operation (--yes)\n", "Do you really"},
  };
  for (const auto& c : cases) {
    Result r = RunHome(c.args);
    EXPECT_EQ(r.code, 0) << c.args << "\n" << r.err;
    EXPECT_NE(r.out.find(c.decided), std::string::npos) << c.args << "\n" << r.out;
    EXPECT_EQ((r.out + r.err).find(c.question), std::string::npos) << c.args << "\n" << r.out;
  }
  EXPECT_FALSE(PathExists(dir / "backup/old.txt"));
}

// A quoted ~ reaches the program as a folder named ~; nothing may be created or read under it.
TEST_F(Cli, APathBeginningWithAQuotedTildeIsRefusedWithAHint) {
  const char* cases[] = {"simulate '~/job.ddk'",      "sync '~' --yes",
                         "--home='~/dd' simulate j",  "sync j --log-file '~/sync.log'",
                         "job new j --pair '~/a' /b", "job new j --pair /a '~/b'"};
  for (const char* args : cases) {
    Result r = Shell("cd " + Quote(dir.path()) + " && " + Quote(kCli) + " " + args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_NE(r.err.find("begins with a folder named ~: the shell expands ~ only when it is not quoted"),
              std::string::npos)
        << args << "\n"
        << r.err;
    EXPECT_FALSE(PathExists(dir / "~")) << args;
    EXPECT_FALSE(PathExists(dir / "j.ddk")) << args;
  }
  // A ~ further on is an ordinary name.
  EXPECT_EQ(Run("job new " + Quote(dir / "j") + " --pair " + Quote(dir / "a/~") + " /b").code, 0);
}

TEST_F(Cli, AJobIsNotReadFromStandardInput) {
  MakeTree(dir.path(), {"src/a.txt=a"});
  test::WriteJob(dir / "job.ddk", {{dir / "src", dir / "dst"}});
  Result r = Shell(Quote(kCli) + " --home " + Quote(dir / "home") + " simulate - < " + Quote(dir / "job.ddk"));
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("a job cannot be read from standard input (\"-\")"), std::string::npos) << r.err;
  EXPECT_FALSE(PathExists(dir / "home/To Do.txt"));
}

}  // namespace
