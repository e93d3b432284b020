// Name filters: any filter text on any list removes records without harm and
// never touches a record that is not one.
#include "common/app.h"
#include "common/text.h"
#include "fuzz_support.h"
#include "todo/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  if (size < 1) return 0;
  fuzz::SilentScreen screen;
  App app(screen);
  app.Files.SetFolder(fuzz::ProgramFolder());
  const uint8_t flags = data[0];
  const std::string input = fuzz::Bytes(data + 1, size - 1);
  // The input is the filter text, a form feed, and the list.
  const std::size_t cut = input.find('\f');
  std::string filter = input.substr(0, cut);
  const std::string list = cut == std::string::npos ? std::string() : input.substr(cut + 1);
  app.ToDo.ToDoList = SplitKeepEmpty(list, kCrLf);
  app.Options.ExclCaseSensitive = flags & 1;
  app.Options.InclCaseSensitive = flags & 2;
  const std::size_t before = app.ToDo.ToDoList.size();
  int removed = (flags & 4) ? IncludeInToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, filter)
                            : ExcludeFromToDoList(app.ToDo, app.Job, app.Options, app.Files, app.messages, filter);
  DD_FUZZ_CHECK(removed >= 0 && static_cast<std::size_t>(removed) <= before);
  return 0;
}
