#include "host/web/FrameRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/Log.h"

namespace web {
namespace {

// A word at a time: the hash of every row of a 1280 x 800 window is about as
// dear as converting a tenth of it.
std::uint64_t rowHash(const std::uint8_t* bytes, std::size_t count) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  std::uint64_t hash = count;
  std::size_t done = 0;
  for (; done + 8 <= count; done += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + done, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 32;
  }
  for (; done < count; ++done) hash = (hash ^ bytes[done]) * kMultiplier;
  return hash ^ (hash >> 29);
}

// Rows first..last (inclusive) changed. The shift up by which they best
// follow from the rows seen before (a text window scrolling by a line) and the
// rows that then still need pixels; no move when it would spare less than
// half of them.
FrameBand movedRows(const std::vector<std::uint64_t>& seen, const std::vector<std::uint64_t>& now,
                    std::size_t first, std::size_t last) {
  const std::size_t changed = last - first + 1;
  FrameBand best;
  best.top = static_cast<int>(first);
  best.rows = static_cast<int>(changed);
  // The bottom `by` rows always need pixels, so a larger shift spares too little.
  for (std::size_t by = 1; by <= changed / 2; ++by) {
    std::size_t needFirst = last - by + 1;
    for (std::size_t row = first; row + by <= last; ++row) {
      if (now[row] != seen[row + by]) {
        needFirst = row;
        break;
      }
    }
    const std::size_t needed = last - needFirst + 1;
    if (needed * 2 > changed || needed >= static_cast<std::size_t>(best.rows)) continue;
    best.moveBy = static_cast<int>(by);
    best.moveTop = static_cast<int>(first);
    best.moveRows = static_cast<int>(changed - by);
    best.top = static_cast<int>(needFirst);
    best.rows = static_cast<int>(needed);
  }
  return best;
}

}  // namespace

FrameBand FrameRows::changedBand(const WindowPixels& pixels) {
  FrameBand band;
  band.width = pixels.width;
  band.height = pixels.height;
  const auto height = static_cast<std::size_t>(pixels.height);
  const auto rowBytes = static_cast<std::size_t>(pixelBlockBytes(pixels.bitDepth, pixels.width, 1));
  // Rows of 1 or 4 bits that do not end on a byte share bytes: always whole.
  const bool rowsApart = static_cast<std::int64_t>(rowBytes * height) ==
                         pixelBlockBytes(pixels.bitDepth, pixels.width, pixels.height);
  const bool whole = !rowsApart || rowHashes_.size() != height || width_ != pixels.width ||
                     bitDepth_ != pixels.bitDepth;
  width_ = pixels.width;
  bitDepth_ = pixels.bitDepth;
  fresh_.assign(rowsApart ? height : 0, 0);
  std::size_t first = height;
  std::size_t last = 0;
  for (std::size_t row = 0; row < fresh_.size(); ++row) {
    fresh_[row] = rowHash(pixels.bytes + row * rowBytes, rowBytes);
    if (whole || fresh_[row] == rowHashes_[row]) continue;
    first = std::min(first, row);
    last = row;
  }
  if (whole) {
    band.rows = pixels.height;
  } else if (first < height) {
    band = movedRows(rowHashes_, fresh_, first, last);
    band.width = pixels.width;
    band.height = pixels.height;
  }
  rowHashes_.swap(fresh_);
  if (band.rows == 0) return band;
  const std::size_t bandBytes =
      static_cast<std::size_t>(band.rows) * static_cast<std::size_t>(pixels.width) * 4;
  band.rgba = static_cast<std::uint8_t*>(std::malloc(bandBytes));
  if (band.rgba == nullptr) {
    logLine("WebHost: No memory for " + std::to_string(band.rows) + " rows of an image.");
    forget();
    return FrameBand{};
  }
  const std::uint8_t* source =
      rowsApart ? pixels.bytes + static_cast<std::size_t>(band.top) * rowBytes : pixels.bytes;
  convertPixelsToRgba(source, pixels.bitDepth, pixels.width, band.rows, band.rgba);
  return band;
}

}  // namespace web
