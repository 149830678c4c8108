// The terminal's key decoder with any bytes, in any split. The first byte
// chooses where the bytes are cut into reads; the keys must be the same as
// when all of them arrive in one read, since the wait for the rest of a
// sequence is only over where the test says so: at the end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "host/terminal/InputDecoder.h"

namespace {
std::vector<terminal::InputEvent> decodedAtOnce(std::string_view bytes) {
  terminal::InputDecoder decoder;
  std::vector<terminal::InputEvent> keys;
  decoder.feed(bytes, keys);
  decoder.flushPending(keys);
  return keys;
}

// Reads of 1 to 8 bytes, their lengths drawn from the seed in turn.
std::vector<terminal::InputEvent> decodedInPieces(std::string_view bytes, unsigned seed) {
  terminal::InputDecoder decoder;
  std::vector<terminal::InputEvent> keys;
  unsigned draw = seed | 0x100;
  while (!bytes.empty()) {
    const std::size_t length = 1 + (draw & 7);
    draw = (draw >> 3) | ((draw & 7) << 6);  // the seed's bits in rotation
    decoder.feed(bytes.substr(0, length), keys);
    bytes.remove_prefix(std::min(length, bytes.size()));
  }
  decoder.flushPending(keys);
  return keys;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (decodedAtOnce(bytes) != decodedInPieces(bytes, data[0])) std::abort();
  return 0;
}
