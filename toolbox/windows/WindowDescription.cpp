#include "toolbox/windows/WindowDescription.h"

#include <array>
#include <mutex>

#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"

namespace {

std::mutex lock;
std::array<std::string, kGraphicWindowCount> descriptions;

}  // namespace

void t_SetWindowDescription(std::uint8_t window, const std::string& descriptionUtf8) {
  if (window >= kGraphicWindowCount) return;
  {
    std::lock_guard guard(lock);
    descriptions[window] = descriptionUtf8;
  }
  markWindowChanged(window);
}

std::string t_WindowDescription(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return {};
  std::lock_guard guard(lock);
  return descriptions[window];
}
