#include "common/write_report.h"

#include "common/app.h"

namespace dd {

void ReportFileNotWritten(App& app, const std::string& path, bool failsCommand) {
  app.Show("[Could not write the file]", app.Text("[Could not write the file]") + "\r\n" + path, app.Text("[Error]"),
           Buttons::Ok, Icon::Critical, failsCommand ? MessageKind::FileNotWritten : MessageKind::Plain);
}

}  // namespace dd
