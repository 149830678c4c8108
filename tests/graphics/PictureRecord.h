// Picture records written out by hand for the tests of the picture routines.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "toolbox/graphics/Graphic.h"

// A record of the given format and size holding `data` as it stands; the
// pixel size and the size field keep their defaults.
inline t_Graphic pictureRecord(int format, int width, int height,
                               std::vector<std::uint8_t> data = {}) {
  t_Graphic picture;
  picture.Format = format;
  picture.Width = width;
  picture.Height = height;
  picture.Data = std::move(data);
  return picture;
}
