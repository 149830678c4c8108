#include "toolbox/windows/WindowDescription.h"

#include <array>
#include <mutex>

#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/OutputLines.h"

namespace {

std::mutex lock;
std::array<std::string, kGraphicWindowCount> descriptions;
std::array<std::uint64_t, kGraphicWindowCount> describedAfter{};

}  // namespace

void t_SetWindowDescription(std::uint8_t window, const std::string& descriptionUtf8) {
  if (window >= kGraphicWindowCount) return;
  {
    std::lock_guard guard(lock);
    descriptions[window] = descriptionUtf8;
    describedAfter[window] = outputlines::newestLineNumber();
  }
  markWindowChanged(window);
}

std::string t_WindowDescription(std::uint8_t window, std::uint64_t* afterLine) {
  if (window >= kGraphicWindowCount) return {};
  std::lock_guard guard(lock);
  if (afterLine != nullptr) *afterLine = describedAfter[window];
  return descriptions[window];
}
