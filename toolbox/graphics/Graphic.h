// t_Graphic: a picture as loaded from a .gr file, before or between the
// decoding stages (only Format and Data change from stage to stage).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct t_Graphic {
  int HeaderSize = 16;
  std::array<std::uint8_t, 4> Identifier = {'q', 'b', 'g', 'r'};
  int Format = 0;
  std::int64_t Size = 0;
  int Width = 0;
  int Height = 0;
  int PixelWidth = 0;   // 0 stands for 16
  int PixelHeight = 0;  // 0 stands for 16
  int Reserved = 0;
  std::vector<std::uint8_t> Data;
};
