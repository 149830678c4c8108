// The key files of scripted play (velmorat --keys).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "launcher/KeyScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  parseKeyScript(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
