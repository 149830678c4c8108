// A .gr file through the loader, the three decoding stages and g_Draw into a
// small window of every pixel depth. Four leading bytes choose the window,
// the scale, the transparent index and the position; the rest is the file,
// with Width and Height kept below 256.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzScreen.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
constexpr int kWindowWidth = 64;  // small windows: thousands of inputs a second
constexpr int kWindowHeight = 48;
constexpr std::size_t kChoiceBytes = 4;
constexpr std::size_t kWidthHighByte = 10;
constexpr std::size_t kHeightHighByte = 12;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (std::uint8_t window = 0; window < std::size(kDepths); ++window) {
    fuzzscreen::openWindow(window, kDepths[window], kWindowWidth, kWindowHeight);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kChoiceBytes) return 0;
  fuzzscreen::restoreWindows();
  const auto window = static_cast<std::uint8_t>(data[0] % std::size(kDepths));
  const auto scale = static_cast<std::uint8_t>(data[1] % 4);
  const int transparent = data[2] % 18 - 1;  // -1 and 16 make nothing transparent
  const int offset = static_cast<std::int8_t>(data[3]);
  std::vector<std::uint8_t> file(data + kChoiceBytes, data + size);
  // Width and Height below 256: a header asking for 65535 x 65535 pixels only
  // makes the stages fill their 64 MiB bound (the tests cover that), which
  // would cost a thousand inputs' time.
  for (std::size_t highByte : {kWidthHighByte, kHeightHighByte}) {
    if (file.size() > highByte) file[highByte] = 0;
  }
  const t_Graphic picture = picture::fromFileBytes(file);
  g_Draw(window, picture, offset, offset / 2, scale, transparent);
  return 0;
}
