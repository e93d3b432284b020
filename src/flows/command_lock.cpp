#include "flows/command_lock.h"

#include "common/app.h"

namespace dd {

// An application without a program folder (a job command's scratch, a test) shares no list: nothing to hold.
CommandLock::CommandLock(App& app) : lock_(app.Files.LockFilePath), held_(app.Files.Folder.empty() || lock_.Held()) {
  if (!held_)
    app.Show("[Program folder in use]", app.Text("[Program folder in use]") + "\r\n" + app.Files.Folder,
             app.Text("[Error]"), Buttons::Ok, Icon::Critical, MessageKind::ProgramFolderInUse);
}

}  // namespace dd
