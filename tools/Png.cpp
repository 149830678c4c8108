#include "tools/Png.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace png {

namespace {

// PNGs wider or taller than this are refused: no picture of the game comes
// near, and the row pointers of a hostile header must stay small.
constexpr png_uint_32 kMaxSide = 16384;

struct MemoryReader {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->bytes.size() - reader->position < length) png_error(png, "unexpected end of data");
  std::memcpy(out, reader->bytes.data() + reader->position, length);
  reader->position += length;
}

void appendToMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

void reportError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Reads through whatever input the caller has set up with setInput.
template <typename SetInput>
std::optional<RgbaImage> decode(SetInput setInput, std::string& error) {
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, reportError, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  // Locals changed after setjmp are indeterminate after libpng's longjmp;
  // these live on the heap and the pointer to them does not change.
  struct Decoded {
    RgbaImage image;
    std::vector<png_bytep> rows;
  };
  const auto decoded = std::make_unique<Decoded>();
  RgbaImage& image = decoded->image;
  std::vector<png_bytep>& rows = decoded->rows;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    if (error.empty()) error = "could not read PNG";
    return std::nullopt;
  }
  setInput(png);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width > kMaxSide || height > kMaxSide) png_error(png, "picture too large");
  png_set_expand(png);  // palette and low grey depths to 8 bits, tRNS to alpha
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgba.resize(std::size_t(width) * height * 4);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image.rgba.data() + std::size_t(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return std::move(image);
}

template <typename SetOutput>
bool encode(SetOutput setOutput, int width, int height, std::span<const std::uint8_t> rgb) {
  if (width <= 0 || height <= 0 || rgb.size() < std::size_t(width) * height * 3) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  setOutput(png);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, const_cast<png_bytep>(rgb.data() + std::size_t(y) * width * 3));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<RgbaImage> readFile(const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open " + path;
    return std::nullopt;
  }
  return decode([&](png_structp png) { png_init_io(png, file.get()); }, error);
}

std::optional<RgbaImage> readMemory(std::span<const std::uint8_t> bytes, std::string& error) {
  MemoryReader reader{bytes};
  return decode([&](png_structp png) { png_set_read_fn(png, &reader, readFromMemory); }, error);
}

bool writeRgbFile(const std::string& path, int width, int height,
                  std::span<const std::uint8_t> rgb) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool written =
      encode([&](png_structp png) { png_init_io(png, file.get()); }, width, height, rgb);
  return written && std::fflush(file.get()) == 0;
}

std::vector<std::uint8_t> encodeRgb(int width, int height, std::span<const std::uint8_t> rgb) {
  std::vector<std::uint8_t> out;
  const bool written =
      encode([&](png_structp png) { png_set_write_fn(png, &out, appendToMemory, flushNothing); },
             width, height, rgb);
  if (!written) out.clear();
  return out;
}

}  // namespace png
