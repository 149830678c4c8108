#include "toolbox/graphics/PictureEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "toolbox/graphics/BigEndian.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/PictureFile.h"

namespace picture {

namespace {

constexpr int kShortRunMin = 4;
constexpr int kShortRunMax = 239;
constexpr int kLongRunCommand = 240;
// Longer runs are split into 240 items: a 241 item would put a log line
// into every decoding of the picture.
constexpr std::uint32_t kLongRunMax = 0xFFFF;
// A stream shorter than four units decodes to nothing.
constexpr std::size_t kMinimumStreamUnits = 4;

// Every plain and packed code, then run-length around each, then LZW around
// all of those: 0..5 10 11 14 15, 20..25 30 31 34 35, 100..135.
constexpr std::array<int, 10> kInnerCodes = {kPlain1Bit,       kPlain4Bit, kPlainGrey,  kPlainRgb,
                                             kPlainAlphaGrey,  kPlainArgb, kPacked1Bit, kPacked4Bit,
                                             kPackedAlphaGrey, kPackedArgb};
constexpr std::array<int, 40> kWritableCodes = [] {
  std::array<int, 40> codes{};
  std::size_t next = 0;
  for (int lzw : {0, kLzwLayer}) {
    for (int runLength : {0, kRunLengthLayer}) {
      for (int inner : kInnerCodes) codes[next++] = lzw + runLength + inner;
    }
  }
  return codes;
}();

// The least frequent unit value: one that does not occur when there is one
// (the smallest such), so that literals never need escaping.
std::uint32_t chooseEscape(const std::vector<std::uint32_t>& units, int unitBytes) {
  std::vector<std::uint32_t> sorted = units;
  std::sort(sorted.begin(), sorted.end());
  const std::uint64_t valueCount = std::uint64_t{1} << (8 * unitBytes);
  std::uint64_t candidate = 0;
  for (std::uint32_t value : sorted) {
    if (value > candidate) break;
    if (value == candidate) ++candidate;
  }
  if (candidate < valueCount) return static_cast<std::uint32_t>(candidate);
  // every value occurs (only possible for one-byte units): take the rarest
  std::uint32_t rarest = sorted.front();
  std::size_t rarestCount = sorted.size() + 1;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
    if (j - i < rarestCount) {
      rarestCount = j - i;
      rarest = sorted[i];
    }
    i = j;
  }
  return rarest;
}

class RunWriter {
 public:
  RunWriter(std::uint32_t escape, int unitBytes) : escape_(escape), unitBytes_(unitBytes) {
    putUnit(escape);
  }

  void put(std::uint32_t unit, std::uint32_t count) {
    while (count > 0) {
      const std::uint32_t part = std::min(count, kLongRunMax);
      if (part >= kShortRunMin && part <= kShortRunMax) {
        putUnit(escape_);
        stream_.push_back(static_cast<std::uint8_t>(part));
        putUnit(unit);
      } else if (part >= kShortRunMin || unit == escape_) {
        putLongRun(unit, part);
      } else {
        for (std::uint32_t i = 0; i < part; ++i) putUnit(unit);
      }
      count -= part;
    }
  }

  std::vector<std::uint8_t> finish() {
    // an empty 240 run decodes to nothing and logs nothing
    while (stream_.size() < kMinimumStreamUnits * unitBytes_) putLongRun(escape_, 0);
    return std::move(stream_);
  }

 private:
  void putUnit(std::uint32_t unit) {
    for (int i = unitBytes_ - 1; i >= 0; --i)
      stream_.push_back(static_cast<std::uint8_t>(unit >> (8 * i)));
  }
  void putLongRun(std::uint32_t unit, std::uint32_t count) {
    putUnit(escape_);
    stream_.push_back(static_cast<std::uint8_t>(kLongRunCommand));
    stream_.push_back(static_cast<std::uint8_t>(count >> 8));
    stream_.push_back(static_cast<std::uint8_t>(count));
    putUnit(unit);
  }

  std::uint32_t escape_;
  int unitBytes_;
  std::vector<std::uint8_t> stream_;
};

// 10 and 11: pixels packed 8 or 2 to a byte, most significant first, each
// row starting on a new byte.
std::vector<std::uint8_t> packRows(const t_Graphic& plain, int bitsPerPixel) {
  const int perByte = 8 / bitsPerPixel;
  const int mask = (1 << bitsPerPixel) - 1;
  std::vector<std::uint8_t> packed;
  for (int y = 0; y < plain.Height; ++y) {
    for (int x = 0; x < plain.Width; x += perByte) {
      int byte = 0;
      for (int k = 0; k < perByte; ++k) {
        const int value =
            x + k < plain.Width ? plain.Data[std::size_t(y) * plain.Width + x + k] & mask : 0;
        byte |= value << (8 - bitsPerPixel * (k + 1));
      }
      packed.push_back(static_cast<std::uint8_t>(byte));
    }
  }
  return packed;
}

// 14 and 15 (kPackedAlphaGrey, kPackedArgb): the alpha shared by all pixels
// in front of the colour bytes.
std::optional<std::vector<std::uint8_t>> shareAlpha(const t_Graphic& plain) {
  const std::size_t pixelBytes = std::size_t(plainBytesPerPixel(plain.Format));
  const std::vector<std::uint8_t>& data = plain.Data;
  std::vector<std::uint8_t> shared{data.empty() ? std::uint8_t{255} : data[0]};
  for (std::size_t i = 0; i < data.size(); i += pixelBytes) {
    if (data[i] != shared[0]) return std::nullopt;
    shared.insert(shared.end(), data.begin() + i + 1, data.begin() + i + pixelBytes);
  }
  return shared;
}

}  // namespace

int plainFormatOf(int formatCode) {
  if (std::find(kWritableCodes.begin(), kWritableCodes.end(), formatCode) == kWritableCodes.end()) {
    return -1;
  }
  int inner = formatCode % kLzwLayer;
  if (inner >= kRunLengthLayer) inner -= kRunLengthLayer;
  if (inner >= kPackedLayer) inner -= kPackedLayer;
  return inner;
}

std::span<const int> writableFormatCodes() {
  return kWritableCodes;
}

std::vector<std::uint8_t> runLengthEncode(std::span<const std::uint8_t> data, int unitBytes) {
  // A last partial unit is filled up with zero bytes: the decoder gives back
  // whole units only.
  std::vector<std::uint32_t> units((data.size() + unitBytes - 1) / unitBytes);
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint8_t unit[4] = {};
    const std::size_t at = i * unitBytes;
    std::memcpy(unit, data.data() + at, std::min<std::size_t>(unitBytes, data.size() - at));
    units[i] = graphics::bigEndian(unit, unitBytes);
  }
  RunWriter writer(units.empty() ? 0 : chooseEscape(units, unitBytes), unitBytes);
  for (std::size_t i = 0; i < units.size();) {
    std::size_t j = i + 1;
    while (j < units.size() && units[j] == units[i]) ++j;
    writer.put(units[i], static_cast<std::uint32_t>(j - i));
    i = j;
  }
  return writer.finish();
}

std::optional<t_Graphic> encodePicture(const t_Graphic& plain, int formatCode) {
  const int plainFormat = plainFormatOf(formatCode);
  if (plainFormat < 0 || plainFormat != plain.Format || plain.Width < 0 || plain.Height < 0) {
    return std::nullopt;
  }
  const std::size_t pixels = std::size_t(plain.Width) * std::size_t(plain.Height);
  if (plain.Data.size() != pixels * plainBytesPerPixel(plainFormat)) return std::nullopt;
  t_Graphic result = plain;
  result.Format = formatCode;
  const int layers = formatCode % kLzwLayer;
  const int packedCode = layers >= kRunLengthLayer ? layers - kRunLengthLayer : layers;
  const bool alphaInFront = packedCode == kPackedAlphaGrey || packedCode == kPackedArgb;
  if (packedCode == kPacked1Bit || packedCode == kPacked4Bit) {
    result.Data = packRows(plain, packedCode == kPacked1Bit ? 1 : 4);
  } else if (alphaInFront) {
    std::optional<std::vector<std::uint8_t>> shared = shareAlpha(plain);
    if (!shared) return std::nullopt;
    result.Data = std::move(*shared);
    result.Size = static_cast<std::int64_t>(pixels);
  }
  if (layers >= kRunLengthLayer) {
    const int unitBytes = runLengthUnitBytes(packedCode);
    if (alphaInFront) {
      const std::vector<std::uint8_t> stream =
          runLengthEncode(std::span<const std::uint8_t>(result.Data).subspan(1), unitBytes);
      result.Data.resize(1);
      result.Data.insert(result.Data.end(), stream.begin(), stream.end());
    } else {
      result.Data = runLengthEncode(result.Data, unitBytes);
    }
  }
  if (formatCode >= kLzwLayer) result.Data = lzw::packStoredBlock(result.Data);
  return result;
}

}  // namespace picture
