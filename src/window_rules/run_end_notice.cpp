#include "window_rules/run_end_notice.h"

namespace dd {

namespace {

std::string PlainText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') continue;
    if (c == '\t') {
      if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
      continue;
    }
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

}  // namespace

DesktopNotice NoticeOfRunEnd(const Message& box, const RunEndFacts& facts) {
  DesktopNotice notice;
  if (box.kind != MessageKind::RunReport || facts.windowActive) return notice;
  if (!facts.scheduled && facts.seconds < kLongRunSeconds) return notice;
  notice.send = true;
  notice.summary = PlainText(box.title.empty() ? box.key : box.title);
  notice.body = PlainText(box.prompt);
  notice.failed = box.icon == Icon::Critical;
  return notice;
}

}  // namespace dd
