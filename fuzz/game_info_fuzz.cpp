// The game.ini reader with any bytes. A file it takes without a fault holds
// a sound id and version and no value longer than the reader allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "adventure/GameInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace adventure;
  const GameInfoReading reading =
      parseGameInfo(std::string_view(reinterpret_cast<const char*>(data), size), "game.ini");
  if (!reading.faults.empty()) return 0;
  const GameInfo& info = reading.info;
  if (!isReverseDomainName(info.id) || !isVersionNumber(info.version)) std::abort();
  for (const std::string* value : {&info.title, &info.author, &info.licence, &info.language,
                                   &info.description, &info.homepage}) {
    if (value->size() > kMaxGameInfoValueBytes) std::abort();
  }
  return 0;
}
