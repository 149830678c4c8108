// A picture from its file to what a window shows: the bytes as a .gr file
// read by g_LoadGraphic (through the bounded whole-file reader), drawn with
// g_Draw into a small visible window of every pixel depth, and the window's
// image made as the refresh makes it for the host. Four leading bytes choose
// the window, the scale, the transparent index and the position; the rest is
// the file, with Width and Height kept below 256.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScreen.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
constexpr int kWindowWidth = 64;  // small windows: thousands of inputs a second
constexpr int kWindowHeight = 48;
constexpr std::size_t kChoiceBytes = 4;
constexpr std::size_t kWidthHighByte = 10;
constexpr std::size_t kHeightHighByte = 12;

// The file lives in memory; its path is the descriptor's.
int file = -1;
std::string filePath;
host::ArgbImage image;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  file = ::memfd_create("picture.gr", 0);
  if (file < 0) std::abort();
  filePath = "/proc/self/fd/" + std::to_string(file);
  for (std::uint8_t window = 0; window < std::size(kDepths); ++window) {
    fuzzscreen::openWindow(window, kDepths[window], kWindowWidth, kWindowHeight);
    t_WindowVisible(window, true);
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
  std::string bytes(reinterpret_cast<const char*>(data + kChoiceBytes), size - kChoiceBytes);
  // Width and Height below 256, as in the picture target: a huge header only
  // makes the stages fill their bound, at a thousand inputs' time.
  for (std::size_t highByte : {kWidthHighByte, kHeightHighByte}) {
    if (bytes.size() > highByte) bytes[highByte] = 0;
  }
  if (::ftruncate(file, 0) != 0 ||
      ::pwrite(file, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
    std::abort();
  g_Draw(window, g_LoadGraphic(filePath), offset, offset / 2, scale, transparent);
  t_WindowImageInto(window, image);
  return 0;
}
