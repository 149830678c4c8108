#include "toolbox/graphics/PictureFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/BigEndian.h"
#include "toolbox/graphics/DecodeLimits.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/RunLength.h"

namespace {

constexpr std::array<std::uint8_t, 4> kIdentifier = {'q', 'b', 'g', 'r'};
// Codes of an older writer, read as run-length over packed 1-bit and 4-bit.
constexpr int kOldPacked1Bit = 200;
constexpr int kOldPacked4Bit = 201;

t_Graphic errorRecord(int headerSize, std::array<std::uint8_t, 4> identifier = kIdentifier) {
  t_Graphic picture;
  picture.HeaderSize = headerSize;
  picture.Identifier = identifier;
  return picture;
}

constexpr const char* kNoFile = "Could not load file";
constexpr const char* kShortHeader = "Invalid header size";
constexpr const char* kWrongType = "Invalid file type";

// Bytes 1..4, as far as the file holds them (the rest 0).
std::array<std::uint8_t, 4> identifierOf(const std::vector<std::uint8_t>& bytes) {
  std::array<std::uint8_t, 4> identifier{};
  for (std::size_t i = 0; i < identifier.size() && 1 + i < bytes.size(); ++i) {
    identifier[i] = bytes[1 + i];
  }
  return identifier;
}

// Header fields read big-endian; a field that the file does not hold in full
// reads as 0.
std::uint32_t headerField(const std::vector<std::uint8_t>& bytes, std::size_t offset, int count) {
  if (bytes.size() < offset + count) return 0;
  return graphics::bigEndian(bytes.data() + offset, count);
}

// The record without its data: each stage makes new data, and copying the old
// only to replace it would cost as much as decoding.
t_Graphic withoutData(const t_Graphic& picture) {
  t_Graphic header;
  header.HeaderSize = picture.HeaderSize;
  header.Identifier = picture.Identifier;
  header.Format = picture.Format;
  header.Size = picture.Size;
  header.Width = picture.Width;
  header.Height = picture.Height;
  header.PixelWidth = picture.PixelWidth;
  header.PixelHeight = picture.PixelHeight;
  header.Reserved = picture.Reserved;
  return header;
}

bool isPackedCode(int format) {
  return format == kPacked1Bit || format == kPacked4Bit || format == kPackedAlphaGrey ||
         format == kPackedArgb;
}

// The unit of the run-length layer that a code has outermost; 0 when it has none.
int unitOfRunLengthCode(int format) {
  return picture::runLengthUnitBytes(format - kRunLengthLayer);
}

bool hasAlphaInFront(int packedCode) {
  return packedCode == kPackedAlphaGrey || packedCode == kPackedArgb;
}

bool isLzwCode(int format) {
  const int inner = format - kLzwLayer;
  return picture::isPlainFormat(inner) || isPackedCode(inner) || unitOfRunLengthCode(inner) != 0;
}

std::uint64_t pixelCount(const t_Graphic& picture) {
  return std::uint64_t(std::max(picture.Width, 0)) * std::uint64_t(std::max(picture.Height, 0));
}

// 10 (kPacked1Bit): bits, most significant first; 11: nibbles, high first. Every row
// starts on a new byte; what is left of a row's last byte is dropped.
std::vector<std::uint8_t> unpackRows(const std::vector<std::uint8_t>& data, int width,
                                     int bitsPerPixel, std::size_t maxBytes) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(std::min(maxBytes, data.size() * (8 / bitsPerPixel)));
  const int mask = (1 << bitsPerPixel) - 1;
  int column = 0;
  for (std::uint8_t byte : data) {
    for (int shift = 8 - bitsPerPixel; shift >= 0; shift -= bitsPerPixel) {
      if (pixels.size() >= maxBytes) return pixels;
      pixels.push_back(static_cast<std::uint8_t>((byte >> shift) & mask));
      if (++column == width) {
        column = 0;
        break;
      }
    }
  }
  return pixels;
}

// 14 and 15 (kPackedAlphaGrey, kPackedArgb): one alpha byte for the whole
// picture in front of the pixels.
// Pixels with no input behind them would only be zeros that g_Draw never
// needs, so the output ends with the last pixel the data holds (a 34-byte file
// whose Size says 134 million pixels gives no 268 MB of zeros); it is also cut
// at Width x Height, since g_Draw draws no more.
std::vector<std::uint8_t> spreadAlpha(const t_Graphic& picture, int colourBytes) {
  const std::vector<std::uint8_t>& data = picture.Data;
  const std::uint8_t alpha = data.empty() ? 0 : data[0];
  logLine("g_UnPack: Transparency = " + hexbyte(alpha));
  const std::uint64_t size = std::uint64_t(std::max<std::int64_t>(picture.Size, 0));
  const std::uint64_t held = data.empty() ? 0 : (data.size() - 1 + colourBytes - 1) / colourBytes;
  const std::uint64_t drawable = std::min<std::uint64_t>(
      pixelCount(picture), kMaxDecodedBytes / static_cast<std::size_t>(colourBytes + 1));
  const std::uint64_t pixels = std::min({size, held, drawable});
  if (pixels < size) {
    logLine("g_UnPack: Size " + formatnumber(picture.Size, ' ', 1, true) + " limited to " +
            formatnumber(static_cast<std::int64_t>(pixels), ' ', 1, true) + " pixels.");
  }
  const std::size_t pixelBytes = colourBytes + 1;
  std::vector<std::uint8_t> out(pixels * pixelBytes, 0);
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint8_t* pixel = out.data() + i * pixelBytes;
    pixel[0] = alpha;
    const std::size_t from = 1 + i * colourBytes;
    // the last pixel keeps zero colour bytes where the data ends inside it
    std::memcpy(pixel + 1, data.data() + from,
                std::min<std::size_t>(data.size() - from, colourBytes));
  }
  return out;
}

}  // namespace

namespace picture {

bool isPlainFormat(int format) {
  return format >= kPlain1Bit && format <= kLastPlainFormat;
}

int plainBytesPerPixel(int format) {
  static constexpr std::array<int, kPlainFormatCount> kBytes = {1, 1, 1, 3, 2, 4};
  return isPlainFormat(format) ? kBytes[format] : 0;
}

int runLengthUnitBytes(int innerCode) {
  if (isPlainFormat(innerCode)) return plainBytesPerPixel(innerCode);
  switch (innerCode) {
    case kPacked1Bit:
    case kPacked4Bit:
      return 1;
    case kPackedAlphaGrey:
      return 2;
    case kPackedArgb:
      return 4;
    default:
      return 0;
  }
}

std::size_t maxDataBytes(const t_Graphic& picture, int format) {
  const std::uint64_t pixels = pixelCount(picture);
  const std::uint64_t width = std::uint64_t(std::max(picture.Width, 0));
  const std::uint64_t height = std::uint64_t(std::max(picture.Height, 0));
  std::uint64_t bytes = 0;
  if (isPlainFormat(format)) {
    bytes = pixels * plainBytesPerPixel(format);
  } else if (format == kPacked1Bit) {
    bytes = height * ((width + 7) / 8);
  } else if (format == kPacked4Bit) {
    bytes = height * ((width + 1) / 2);
  } else if (hasAlphaInFront(format)) {
    // no more pixels than g_UnPack spreads (see spreadAlpha)
    const std::uint64_t colourBytes = format == kPackedAlphaGrey ? 1 : 3;
    bytes = 1 + std::min<std::uint64_t>(pixels, kMaxDecodedBytes / (colourBytes + 1)) * colourBytes;
  } else {
    bytes = kMaxDecodedBytes;  // run-length streams and unknown layers: only the global bound
  }
  return static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kMaxDecodedBytes));
}

const char* fileBytesFault(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return kNoFile;
  if (bytes.size() < bytes[0]) return kShortHeader;
  if (bytes.size() < 5 || identifierOf(bytes) != kIdentifier) return kWrongType;
  return nullptr;
}

t_Graphic fromFileBytes(const std::vector<std::uint8_t>& bytes) {
  if (const char* fault = fileBytesFault(bytes)) {
    logLine(std::string("g_LoadGraphic: ") + fault);
    if (fault == kNoFile) return errorRecord(kPictureHeaderSize);
    if (fault == kShortHeader) return errorRecord(bytes[0]);
    return errorRecord(bytes[0], identifierOf(bytes));
  }
  const int headerSize = bytes[0];
  const std::array<std::uint8_t, 4> identifier = identifierOf(bytes);
  t_Graphic picture;
  picture.HeaderSize = headerSize;
  picture.Identifier = identifier;
  picture.Format = static_cast<int>(headerField(bytes, 5, 1));
  picture.Size = headerField(bytes, 6, 4);
  picture.Width = static_cast<int>(headerField(bytes, 10, 2));
  picture.Height = static_cast<int>(headerField(bytes, 12, 2));
  const std::uint32_t aspect = headerField(bytes, 14, 1);
  picture.PixelWidth = static_cast<int>(aspect >> 4);
  picture.PixelHeight = static_cast<int>(aspect & 0x0F);
  picture.Reserved = static_cast<int>(headerField(bytes, 15, 1));
  picture.Data.assign(bytes.begin() + headerSize, bytes.end());
  if (picture.Format == kOldPacked1Bit || picture.Format == kOldPacked4Bit) {
    picture.Format =
        kRunLengthLayer + (picture.Format == kOldPacked1Bit ? kPacked1Bit : kPacked4Bit);
    logLine("g_LoadGraphic: File converted from old format.");
  }
  return picture;
}

std::vector<std::uint8_t> fileBytes(const t_Graphic& picture) {
  std::vector<std::uint8_t> bytes(std::max(picture.HeaderSize, kPictureHeaderSize), 0);
  bytes[0] = static_cast<std::uint8_t>(bytes.size());
  std::copy(picture.Identifier.begin(), picture.Identifier.end(), bytes.begin() + 1);
  bytes[5] = static_cast<std::uint8_t>(picture.Format);
  const auto size = static_cast<std::uint32_t>(picture.Size);
  for (int i = 0; i < 4; ++i) bytes[6 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  bytes[10] = static_cast<std::uint8_t>(picture.Width >> 8);
  bytes[11] = static_cast<std::uint8_t>(picture.Width);
  bytes[12] = static_cast<std::uint8_t>(picture.Height >> 8);
  bytes[13] = static_cast<std::uint8_t>(picture.Height);
  bytes[14] =
      static_cast<std::uint8_t>((picture.PixelWidth & 0x0F) << 4 | (picture.PixelHeight & 0x0F));
  bytes[15] = static_cast<std::uint8_t>(picture.Reserved);
  bytes.insert(bytes.end(), picture.Data.begin(), picture.Data.end());
  return bytes;
}

}  // namespace picture

t_Graphic g_LoadGraphic(const std::string& pathUtf8) {
  return picture::fromFileBytes(getbinaryfromfile(pathUtf8));
}

t_Graphic g_LoadGraphic(const Text& path) {
  return g_LoadGraphic(texttostring(path));
}

t_Graphic g_UnPackLZW(const t_Graphic& picture) {
  if (!isLzwCode(picture.Format)) return picture;
  t_Graphic result = withoutData(picture);
  result.Format = picture.Format - kLzwLayer;
  result.Data = lzw::unpackStoredBlock(picture.Data, picture::maxDataBytes(picture, result.Format));
  return result;
}

t_Graphic g_UnPackLZW(t_Graphic&& picture) {
  if (!isLzwCode(picture.Format)) return std::move(picture);
  return g_UnPackLZW(std::as_const(picture));
}

t_Graphic g_UnPackRLE(const t_Graphic& picture) {
  const int format = picture.Format;
  const int unitBytes = unitOfRunLengthCode(format);
  if (unitBytes == 0) return picture;
  t_Graphic result = withoutData(picture);
  result.Format = format - kRunLengthLayer;
  // 34 and 35 keep their alpha byte in front of the stream
  const std::size_t keptBytes = hasAlphaInFront(result.Format) ? 1 : 0;
  if (picture.Data.empty() && keptBytes == 1) {
    result.Format = kPlain1Bit;  // with no data, as an unreadable file: draws nothing
    return result;
  }
  // Decoders give whole units, and a stream of two-byte units for an odd
  // number of grey pixels ends with one unit more than the pixels fill.
  const std::size_t maxBytes = picture::maxDataBytes(picture, result.Format) - keptBytes;
  const std::size_t unitBound = std::min((maxBytes + unitBytes - 1) / unitBytes * unitBytes,
                                         kMaxDecodedBytes - kMaxDecodedBytes % unitBytes);
  const std::span<const std::uint8_t> data(picture.Data);
  result.Data =
      runlength::decode(unitBytes, data.subspan(keptBytes), unitBound,
                        std::vector<std::uint8_t>(data.begin(), data.begin() + keptBytes));
  return result;
}

t_Graphic g_UnPackRLE(t_Graphic&& picture) {
  if (unitOfRunLengthCode(picture.Format) == 0) return std::move(picture);
  return g_UnPackRLE(std::as_const(picture));
}

t_Graphic g_UnPack(const t_Graphic& picture) {
  const int format = picture.Format;
  if (!isPackedCode(format)) return picture;
  t_Graphic result = withoutData(picture);
  result.Format = format - kPackedLayer;
  if (format == kPacked1Bit || format == kPacked4Bit) {
    result.Data = unpackRows(picture.Data, picture.Width, format == kPacked1Bit ? 1 : 4,
                             picture::maxDataBytes(picture, result.Format));
  } else {
    result.Data = spreadAlpha(picture, format == kPackedAlphaGrey ? 1 : 3);
  }
  return result;
}

t_Graphic g_UnPack(t_Graphic&& picture) {
  if (!isPackedCode(picture.Format)) return std::move(picture);
  return g_UnPack(std::as_const(picture));
}

namespace picture {

t_Graphic decodeLayers(const t_Graphic& picture) {
  // The first stage that finds its layer reads the loaded picture without
  // copying it; the stages after it take over the decoded data.
  if (isLzwCode(picture.Format)) return g_UnPack(g_UnPackRLE(g_UnPackLZW(picture)));
  if (unitOfRunLengthCode(picture.Format) != 0) return g_UnPack(g_UnPackRLE(picture));
  return g_UnPack(picture);
}

}  // namespace picture
