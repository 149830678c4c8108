// .gr picture files and the three decoding stages that peel their layers.
//
// Header (big-endian): 0 HeaderSize, 1..4 "qbgr", 5 Format, 6..9 Size,
// 10..11 Width, 12..13 Height, 14 PixelWidth<<4 | PixelHeight, 15 Reserved;
// pixel data from HeaderSize to the end of the file.
//
// Format codes name the layers from the outside in: +100 LZW, 20..35
// run-length, 10..15 packed, 0..5 plain (1-bit, 4-bit, grey, RGB, alpha+grey,
// ARGB, one byte per component).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/Text.h"
#include "toolbox/graphics/Graphic.h"

inline constexpr int kPictureHeaderSize = 16;

// The plain formats: what the drawing reads, one byte per component.
inline constexpr int kPlain1Bit = 0;       // a byte a pixel, bit 0: black or white
inline constexpr int kPlain4Bit = 1;       // a byte a pixel, low nibble: a palette index
inline constexpr int kPlainGrey = 2;       // grey
inline constexpr int kPlainRgb = 3;        // red, green, blue
inline constexpr int kPlainAlphaGrey = 4;  // alpha, grey
inline constexpr int kPlainArgb = 5;       // alpha, red, green, blue
inline constexpr int kLastPlainFormat = kPlainArgb;
inline constexpr int kPlainFormatCount = kLastPlainFormat + 1;

// What each layer adds to the format code of the layers inside it.
inline constexpr int kLzwLayer = 100;
inline constexpr int kRunLengthLayer = 20;
inline constexpr int kPackedLayer = 10;

// The packed formats around the plain ones.
inline constexpr int kPacked1Bit = kPackedLayer + kPlain1Bit;  // eight pixels a byte
inline constexpr int kPacked4Bit = kPackedLayer + kPlain4Bit;  // two pixels a byte
// One alpha byte for the whole picture in front of the colour bytes.
inline constexpr int kPackedAlphaGrey = kPackedLayer + kPlainAlphaGrey;
inline constexpr int kPackedArgb = kPackedLayer + kPlainArgb;

// Never fails outright: errors give a record with Format 0, zero sizes and
// empty Data, which draws nothing.
t_Graphic g_LoadGraphic(const Text& path);
t_Graphic g_LoadGraphic(const std::string& pathUtf8);

// Each stage removes one layer (other codes pass unchanged). Their outputs
// are bounded by what Width x Height pixels in the picture's format can hold;
// the LZW layer around a run-length layer only by kMaxDecodedBytes, since a
// run-length stream may hold items that draw nothing. A picture handed over as
// a temporary passes a stage without its layer unchanged and uncopied.
t_Graphic g_UnPackLZW(const t_Graphic& picture);
t_Graphic g_UnPackLZW(t_Graphic&& picture);
t_Graphic g_UnPackRLE(const t_Graphic& picture);
t_Graphic g_UnPackRLE(t_Graphic&& picture);
t_Graphic g_UnPack(const t_Graphic& picture);
t_Graphic g_UnPack(t_Graphic&& picture);

namespace picture {
// The header and data as a file, the inverse of g_LoadGraphic (for authoring).
std::vector<std::uint8_t> fileBytes(const t_Graphic& picture);
// The record split from the bytes of a whole file, as g_LoadGraphic does
// after reading it.
t_Graphic fromFileBytes(const std::vector<std::uint8_t>& bytes);
// Why the bytes of a whole file are no picture ("Could not load file",
// "Invalid header size", "Invalid file type"); nullptr for a picture, whose
// fromFileBytes record then holds the file's header and data.
const char* fileBytesFault(const std::vector<std::uint8_t>& bytes);
// g_UnPackLZW, g_UnPackRLE and g_UnPack in this order, each only where its
// layer is present, so that no stage copies data it passes on unchanged.
t_Graphic decodeLayers(const t_Graphic& picture);
bool isPlainFormat(int format);
// Bytes per pixel of a plain format 0..5 (1, 1, 1, 3, 2, 4), 0 for others.
int plainBytesPerPixel(int format);
// The unit of a run-length layer around the given plain or packed code; 0 for
// a code that no run-length layer wraps.
int runLengthUnitBytes(int innerCode);
// The most bytes that the picture's Data can usefully hold at the given
// format code once all outer layers are removed: Width x Height pixels
// (plus the alpha byte of 14/15), capped at kMaxDecodedBytes. A run-length
// stream has no such bound (items of count 0 draw nothing): kMaxDecodedBytes.
std::size_t maxDataBytes(const t_Graphic& picture, int format);
}  // namespace picture
