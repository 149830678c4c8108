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

}  // namespace

FrameBand FrameRows::changedBand(const WindowPixels& pixels) {
  FrameBand band{pixels.width, pixels.height, 0, 0, nullptr};
  const auto height = static_cast<std::size_t>(pixels.height);
  const auto rowBytes = static_cast<std::size_t>(pixelBlockBytes(pixels.bitDepth, pixels.width, 1));
  // Rows of 1 or 4 bits that do not end on a byte share bytes: always whole.
  const bool rowsApart = static_cast<std::int64_t>(rowBytes * height) ==
                         pixelBlockBytes(pixels.bitDepth, pixels.width, pixels.height);
  if (!rowsApart || rowHashes_.size() != height || width_ != pixels.width ||
      bitDepth_ != pixels.bitDepth) {
    rowHashes_.assign(height, 0);
    band.rows = pixels.height;
  }
  width_ = pixels.width;
  bitDepth_ = pixels.bitDepth;
  std::size_t first = height;
  std::size_t last = 0;
  for (std::size_t row = 0; row < height && rowsApart; ++row) {
    const std::uint64_t hash = rowHash(pixels.bytes + row * rowBytes, rowBytes);
    if (band.rows == 0 && hash == rowHashes_[row]) continue;
    rowHashes_[row] = hash;
    first = std::min(first, row);
    last = row;
  }
  if (band.rows == 0) {
    if (first == height) return band;
    band.top = static_cast<int>(first);
    band.rows = static_cast<int>(last - first + 1);
  }
  const std::size_t bandBytes =
      static_cast<std::size_t>(band.rows) * static_cast<std::size_t>(pixels.width) * 4;
  band.rgba = static_cast<std::uint8_t*>(std::malloc(bandBytes));
  if (band.rgba == nullptr) {
    logLine("WebHost: No memory for " + std::to_string(band.rows) + " rows of an image.");
    forget();
    band.rows = 0;
    return band;
  }
  const std::uint8_t* source =
      rowsApart ? pixels.bytes + static_cast<std::size_t>(band.top) * rowBytes : pixels.bytes;
  convertPixelsToRgba(source, pixels.bitDepth, pixels.width, band.rows, band.rgba);
  return band;
}

}  // namespace web
