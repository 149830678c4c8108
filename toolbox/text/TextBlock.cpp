#include "toolbox/text/TextBlock.h"

#include <cstring>

namespace textblock {

CellsCopy copyCells(std::uint8_t window, bool withColours) {
  const WindowBlocks blocks = windowBlocks(window);
  if (!blocks.initialized || blocks.textMemoryStart < 0 || blocks.textWidth <= 0 ||
      blocks.textHeight <= 0) {
    return {};
  }
  const std::size_t cells =
      static_cast<std::size_t>(blocks.textWidth) * static_cast<std::size_t>(blocks.textHeight);
  const std::int64_t colourOffset = (blocks.textMemoryEnd - blocks.textMemoryStart + 1) / 2;
  if (colourOffset < static_cast<std::int64_t>(cells)) return {};
  CellsCopy copy;
  copy.codes.resize(cells);
  if (withColours) copy.colours.resize(cells);
  // both planes in one read: from the first code to the last colour byte
  const std::int64_t span = withColours ? colourOffset + std::int64_t(cells) : std::int64_t(cells);
  const bool read =
      readVideoMemoryUnlocked(blocks.textMemoryStart, span, [&](const std::uint8_t* bytes) {
        std::memcpy(copy.codes.data(), bytes, cells);
        if (withColours) std::memcpy(copy.colours.data(), bytes + colourOffset, cells);
      });
  if (!read) return {};
  copy.columns = blocks.textWidth;
  copy.lines = blocks.textHeight;
  return copy;
}

}  // namespace textblock
