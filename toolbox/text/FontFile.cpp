#include <algorithm>
#include <string>

#include "support/Bundle.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/BigEndian.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/text/Glyphs.h"

namespace {

// No glyph lies beyond code 255 of a 255 x 255 cell, so decompressed glyph
// data larger than this is never read; a hostile block stops here.
constexpr std::size_t kMaxFontDataBytes = std::size_t{256} * 255 * 255;

constexpr std::size_t kIdentifierOffset = 1;
constexpr std::size_t kFormatOffset = 5;
constexpr std::size_t kSizeOffset = 6;
constexpr std::size_t kStartOffset = 10;
constexpr std::size_t kEndOffset = 11;
constexpr std::size_t kWidthOffset = 12;
constexpr std::size_t kHeightOffset = 13;
constexpr std::size_t kReservedOffset = 14;
constexpr std::array<std::uint8_t, 4> kFontIdentifier = {'q', 'b', 'f', 'n'};

// Big-endian number of count bytes at offset; 0 when the file ends before it.
std::uint32_t readBigEndian(std::span<const std::uint8_t> bytes, std::size_t offset,
                            std::size_t count) {
  if (offset + count > bytes.size()) return 0;
  return graphics::bigEndian(bytes.data() + offset, static_cast<int>(count));
}

void storeBigEndian(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value,
                    int count) {
  for (int index = count - 1; index >= 0; --index, value >>= 8) {
    out[offset + index] = static_cast<std::uint8_t>(value);
  }
}

t_Font fontWithoutData(int headerSize, const std::array<std::uint8_t, 4>& identifier) {
  t_Font font;
  font.HeaderSize = headerSize;
  font.Identifier = identifier;
  return font;
}

}  // namespace

namespace glyphs {

t_Font fontFromBytes(std::span<const std::uint8_t> bytes, std::string_view fileName) {
  if (bytes.empty()) {
    logLine("t_LoadFontResource: Could not load file \u201E" + std::string(fileName) + "\u201C");
    return emptyFont();
  }
  const int headerSize = bytes[0];
  // A header without its Height byte is no font, whatever HeaderSize claims.
  if (bytes.size() < static_cast<std::size_t>(headerSize) || headerSize < kFontHeaderSizeRequired ||
      bytes.size() < static_cast<std::size_t>(kFontHeaderSizeRequired)) {
    logLine("t_LoadFontResource: Invalid header size");
    return fontWithoutData(headerSize, kFontIdentifier);
  }
  std::array<std::uint8_t, 4> identifier{};
  std::copy_n(bytes.begin() + kIdentifierOffset, identifier.size(), identifier.begin());
  if (identifier != kFontIdentifier) {
    logLine("t_LoadFontResource: Invalid file type");
    return fontWithoutData(headerSize, identifier);
  }
  t_Font font;
  font.HeaderSize = headerSize;
  font.Identifier = identifier;
  font.Format = bytes[kFormatOffset];
  font.Size = readBigEndian(bytes, kSizeOffset, 4);
  font.Start = bytes[kStartOffset];
  font.End = bytes[kEndOffset];
  font.Width = bytes[kWidthOffset];
  font.Height = bytes[kHeightOffset];
  font.Reserved = static_cast<int>(readBigEndian(bytes, kReservedOffset, 2));
  font.Data.assign(bytes.begin() + headerSize, bytes.end());
  if (font.Format == kFontFormatGreyCompressed || font.Format == kFontFormatMonoCompressed) {
    if (!font.Data.empty()) font.Data = lzw::unpackStoredBlock(font.Data, kMaxFontDataBytes);
    font.Format -= kFontCompressedFormatOffset;
  }
  return font;
}

std::vector<std::uint8_t> fontToBytes(const t_Font& font) {
  const bool compress = font.Format == kFontFormatGrey;
  std::vector<std::uint8_t> out(kFontHeaderMinimumSize);
  out[0] = static_cast<std::uint8_t>(kFontHeaderMinimumSize);
  std::copy(kFontIdentifier.begin(), kFontIdentifier.end(), out.begin() + kIdentifierOffset);
  out[kFormatOffset] =
      static_cast<std::uint8_t>(compress ? kFontFormatGreyCompressed : font.Format);
  storeBigEndian(out, kSizeOffset, static_cast<std::uint32_t>(font.Size), 4);
  out[kStartOffset] = font.Start;
  out[kEndOffset] = font.End;
  out[kWidthOffset] = static_cast<std::uint8_t>(font.Width);
  out[kHeightOffset] = static_cast<std::uint8_t>(font.Height);
  storeBigEndian(out, kReservedOffset, static_cast<std::uint32_t>(font.Reserved), 2);
  const std::vector<std::uint8_t> data =
      compress && !font.Data.empty() ? lzw::packStoredBlock(font.Data) : font.Data;
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace glyphs

t_Font t_LoadFontResource(const std::string& fileName) {
  return glyphs::fontFromBytes(getbinaryfromfile(resourcesPath() + fileName), fileName);
}
