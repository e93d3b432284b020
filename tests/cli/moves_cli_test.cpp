// A renamed folder through the command line: planned and counted as moved.
#include "cli/cli_fixture.h"
#include "support/scenario.h"

using namespace dd;
using namespace dd::test;

// Twenty files of a folder renamed in the source.
static std::string RenamedFolder(Cli& t) {
  std::vector<std::string> entries;
  for (int i = 0; i < 20; ++i) {
    const std::string file = "/p" + std::to_string(i) + ".jpg=" + std::string(i + 1, 'x') + "@1600000000";
    entries.push_back("src/renamed" + file);
    entries.push_back("dst/before" + file);
  }
  MakeTree(t.dir.path(), entries);
  return t.Job("job.ddk", {{t.dir / "src", t.dir / "dst"}});
}

TEST_F(Cli, ARenamedFolderIsPlannedAsOneMove) {
  const std::string job = RenamedFolder(*this);
  Result sim = RunHome("simulate " + job);
  ASSERT_EQ(sim.code, 0) << sim.err;  // no mass deletion to be allowed
  EXPECT_NE(sim.out.find("moved in F2:   1 ("), std::string::npos) << sim.out;
  EXPECT_NE(sim.out.find("delete in F2:  0 ("), std::string::npos) << sim.out;
}

TEST_F(Cli, ARenamedFolderIsCarriedOutAsOneMove) {
  const std::string job = RenamedFolder(*this);
  Result sync = RunHome("sync " + job + " --yes --json");
  ASSERT_EQ(sync.code, 0) << sync.err;
  EXPECT_EQ(
      JsonFields(sync.out, "d['done']['moved']['count'], d['done']['new']['count'], d['done']['deleted']['count']"),
      "1 0 0\n");
  EXPECT_EQ(Listing(dir / "dst"), Listing(dir / "src"));
}

TEST_F(Cli, AMoveIsOneVerboseLineWithBothPlaces) {
  MakeTree(dir.path(), {"src/new name.txt=same@1600000000", "dst/old name.txt=same@1600000000"});
  const std::string job = Job("job.ddk", {{dir / "src", dir / "dst"}});
  Result sync = RunHome("sync " + job + " --yes -v");
  ASSERT_EQ(sync.code, 0) << sync.err;
  EXPECT_NE(sync.out.find("mov F2 old name.txt -> new name.txt\n"), std::string::npos) << sync.out;
  EXPECT_EQ(Listing(dir / "dst"), Listing(dir / "src"));
}
