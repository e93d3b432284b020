// Job files: any text loads without harm, loaded folders are whole paths, and a
// job that is saved reads back as the same job.
#include <cstdio>

#include "common/app.h"
#include "common/text.h"
#include "fuzz_support.h"
#include "job/job_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  fuzz::SilentScreen screen;
  App app(screen);
  app.Files.SetFolder(fuzz::ProgramFolder());
  const std::string path = app.Files.Folder + "/job.ddk";
  (void)WriteTextFile(fuzz::Bytes(data, size), path);
  if (LoadJobFile(app, path) != JobLoadStatus::Loaded) return 0;
  for (const auto* list : {&app.Job.SourceFolders, &app.Job.TargetFolders})
    for (const std::string& folder : *list) DD_FUZZ_CHECK(IsRecordableText(folder));

  // The layout cannot hold sources without targets: such a job reloads without pairs.
  if (app.Job.TargetFolders.empty()) app.Job.SourceFolders.clear();
  const std::string before = BuildJobText(app);
  const std::string copy = app.Files.Folder + "/copy.ddk";
  app.Job.CurrentJobFile = copy;
  if (!SaveJob(app, SaveMode::Save)) return 0;
  DD_FUZZ_CHECK(LoadJobFile(app, copy) == JobLoadStatus::Loaded || app.Job.TargetFolders.empty());
  DD_FUZZ_CHECK(BuildJobText(app) == before);
  return 0;
}
