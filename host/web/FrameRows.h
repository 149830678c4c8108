// Which rows of a window's pixels changed since the page was last sent them,
// and those rows in the bytes a canvas takes. A hash per row of the window's
// own pixel memory instead of a converted image to compare with: a typed
// character changes one text row, and only that row is converted and sent.
#pragma once

#include <cstdint>
#include <vector>

#include "toolbox/windows/Refresh.h"

namespace web {

// What changed in a width x height frame: first moveRows rows from row
// moveTop + moveBy on move up to row moveTop (none when moveBy is 0), then
// rows rows from row top on take the pixels rgba (red, green, blue, alpha).
struct FrameBand {
  int width = 0;
  int height = 0;
  int moveTop = 0;
  int moveRows = 0;
  int moveBy = 0;
  int top = 0;
  int rows = 0;
  std::uint8_t* rgba = nullptr;  // from malloc, rows * width * 4 bytes; the taker frees it
};

class FrameRows {
 public:
  // The band from the first to the last row that differs from the rows seen
  // before (all rows after a change of size or depth, or after forget), less
  // what a move of rows seen before gives (a scrolling text window); rows 0
  // when none differs, or when there is no memory for the band (then the
  // next band is whole).
  FrameBand changedBand(const WindowPixels& pixels);
  void forget() { rowHashes_.clear(); }

 private:
  std::vector<std::uint64_t> rowHashes_;
  std::vector<std::uint64_t> fresh_;  // the rows' hashes now, kept to spare an allocation
  int width_ = 0;
  int bitDepth_ = 0;
};

}  // namespace web
