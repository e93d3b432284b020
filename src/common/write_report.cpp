#include "common/write_report.h"

#include "common/messages.h"

namespace dd {

void ReportFileNotWritten(Messages& messages, const std::string& path, bool failsCommand) {
  messages.Show("[Could not write the file]", messages.Text("[Could not write the file]") + "\r\n" + path,
                messages.Text("[Error]"), Buttons::Ok, Icon::Critical,
                failsCommand ? MessageKind::FileNotWritten : MessageKind::Plain);
}

}  // namespace dd
