#include "window_rules/window_title.h"

#include "common/app.h"
#include "common/files.h"
#include "job/job_file.h"

namespace dd {

bool JobHasUnsavedChanges(App& app) {
  return JobTextWithoutPlaceholders(app) != app.Job.SavedJobText;
}

std::string WindowTitle(const std::string& jobFile, bool unsavedChanges) {
  const std::string name = std::string(NameOfPath(jobFile));
  std::string title = unsavedChanges ? "*" : "";
  if (!name.empty()) title += name + " - ";
  return title + "Dualdock";
}

}  // namespace dd
