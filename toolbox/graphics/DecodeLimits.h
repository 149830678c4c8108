// The one bound shared by every decoder of pictures, fonts and data files: a
// hostile count or size field in a small file must not make the program
// allocate gigabytes. Decoders stop at the bound, log it and keep what they
// decoded.
#pragma once

#include <cstddef>

// The largest picture the game draws is 1280 x 800 at 32 bits (4 MB); fonts
// and data files are far smaller. 256 MiB leaves room for any authored file.
inline constexpr std::size_t kMaxDecodedBytes = std::size_t{256} << 20;
