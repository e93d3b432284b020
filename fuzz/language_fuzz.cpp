// "Sprachen.txt": any text gives texts by key without harm.
#include "common/language.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dd;
  const std::string text = fuzz::Bytes(data, size);
  const std::string normalised = NormaliseLanguageText(text);
  for (const char* key : {"[Ready]", "[Nr]", "txtExclude", "[", ""})
    for (int column = -1; column < 4; ++column) FindLanguageValue(key, normalised, column);
  GetInfoFromString("[Nr]", text);
  return 0;
}
