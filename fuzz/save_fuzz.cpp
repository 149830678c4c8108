// Saved games (.velmorat): the decoder with any bytes. A save that it accepts
// must be accepted again after being written out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "adventure/SaveGame.h"

namespace {
// The identity in the seeds' "data" line; other identities are refused early.
constexpr const char* kDataIdentity = "5f0c2b9d81e4a7c3";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DecodedSave decoded = VelmoratDecodeSave(bytes, kDataIdentity);
  if (decoded.refusal != SaveRefusal::None) return 0;
  const std::string written = VelmoratEncodeSave(decoded.game, kDataIdentity);
  if (VelmoratDecodeSave(written, kDataIdentity).refusal != SaveRefusal::None) std::abort();
  return 0;
}
