#include "host/terminal/PictureRenderer.h"

#include <chafa.h>

#include <algorithm>
#include <array>
#include <memory>

#include "host/terminal/TerminalColours.h"

namespace terminal {
namespace {

struct ChafaDeleter {
  void operator()(ChafaCanvasConfig* config) const { chafa_canvas_config_unref(config); }
  void operator()(ChafaCanvas* canvas) const { chafa_canvas_unref(canvas); }
  void operator()(ChafaSymbolMap* map) const { chafa_symbol_map_unref(map); }
  void operator()(ChafaTermInfo* info) const { chafa_term_info_unref(info); }
};
template <typename T>
using ChafaPointer = std::unique_ptr<T, ChafaDeleter>;

struct ModeName {
  PictureMode mode;
  std::string_view name;
};
constexpr std::array<ModeName, 5> kModeNames = {{
    {PictureMode::Symbols, "symbols"},
    {PictureMode::Sixels, "sixels"},
    {PictureMode::Kitty, "kitty"},
    {PictureMode::Iterm2, "iterm2"},
    {PictureMode::None, "none"},
}};

ChafaCanvasMode canvasModeFor(int colourCount) {
  if (colourCount >= 256) return CHAFA_CANVAS_MODE_INDEXED_240;
  if (colourCount >= 16) return CHAFA_CANVAS_MODE_INDEXED_16;
  if (colourCount >= 8) return CHAFA_CANVAS_MODE_INDEXED_8;
  return CHAFA_CANVAS_MODE_FGBG;
}

// Blocks, half blocks and box lines: characters of one cell's width that
// every terminal font has. Wide and ambiguous-width symbols would shift the
// text beside the picture.
ChafaPointer<ChafaSymbolMap> blockSymbols() {
  ChafaPointer<ChafaSymbolMap> map(chafa_symbol_map_new());
  chafa_symbol_map_add_by_tags(
      map.get(), static_cast<ChafaSymbolTags>(CHAFA_SYMBOL_TAG_BLOCK | CHAFA_SYMBOL_TAG_BORDER |
                                              CHAFA_SYMBOL_TAG_SPACE));
  chafa_symbol_map_remove_by_tags(
      map.get(), static_cast<ChafaSymbolTags>(CHAFA_SYMBOL_TAG_WIDE | CHAFA_SYMBOL_TAG_BAD));
  return map;
}

ChafaPointer<ChafaCanvas> drawnCanvas(const host::ArgbImage& image, ChafaCanvasConfig* config) {
  ChafaPointer<ChafaCanvas> canvas(chafa_canvas_new(config));
  chafa_canvas_draw_all_pixels(canvas.get(), CHAFA_PIXEL_ARGB8_UNASSOCIATED, image.bytes.data(),
                               image.width, image.height, image.width * 4);
  return canvas;
}

bool usable(const host::ArgbImage& image) {
  return image.width > 0 && image.height > 0 &&
         image.bytes.size() >= static_cast<std::size_t>(image.width) * image.height * 4;
}

int terminalColourOfPacked(int packed, int colourCount) {
  if (packed < 0) return -1;  // chafa's "transparent" and default colours
  return nearestTerminalColour(static_cast<std::uint8_t>(packed >> 16),
                               static_cast<std::uint8_t>(packed >> 8),
                               static_cast<std::uint8_t>(packed), colourCount);
}

// Chafa's sequences for a pixel mode. The terminal database knows them by
// TERM and a few other variables; a mode chosen by the user or found by
// asking the terminal may be missing there, so a terminal known to have it
// lends its sequences.
ChafaPointer<ChafaTermInfo> termInfoFor(PictureMode mode) {
  ChafaTermDb* database = chafa_term_db_get_default();
  gchar** environment = g_get_environ();
  ChafaPointer<ChafaTermInfo> info(chafa_term_db_detect(database, environment));
  g_strfreev(environment);
  const char* lender = mode == PictureMode::Sixels  ? "TERM=mlterm"
                       : mode == PictureMode::Kitty ? "TERM=xterm-kitty"
                                                    : "TERM_PROGRAM=iTerm.app";
  gchar* lenderEnvironment[] = {const_cast<gchar*>(lender), nullptr};
  ChafaPointer<ChafaTermInfo> lent(chafa_term_db_detect(database, lenderEnvironment));
  chafa_term_info_supplement(info.get(), lent.get());
  return info;
}

ChafaPixelMode chafaPixelMode(PictureMode mode) {
  switch (mode) {
    case PictureMode::Sixels:
      return CHAFA_PIXEL_MODE_SIXELS;
    case PictureMode::Kitty:
      return CHAFA_PIXEL_MODE_KITTY;
    case PictureMode::Iterm2:
      return CHAFA_PIXEL_MODE_ITERM2;
    default:
      return CHAFA_PIXEL_MODE_SYMBOLS;
  }
}

}  // namespace

std::string_view pictureModeName(PictureMode mode) {
  for (const ModeName& entry : kModeNames) {
    if (entry.mode == mode) return entry.name;
  }
  return "none";
}

bool pictureModeFromName(std::string_view name, PictureMode& mode) {
  for (const ModeName& entry : kModeNames) {
    if (entry.name == name) {
      mode = entry.mode;
      return true;
    }
  }
  return false;
}

void fitPictureCells(int imageWidth, int imageHeight, double cellAspect, int& columns, int& rows) {
  if (imageWidth <= 0 || imageHeight <= 0 || columns <= 0 || rows <= 0 || cellAspect <= 0) {
    columns = 0;
    rows = 0;
    return;
  }
  gint width = columns;
  gint height = rows;
  chafa_calc_canvas_geometry(imageWidth, imageHeight, &width, &height,
                             static_cast<gfloat>(cellAspect), TRUE, FALSE);
  columns = std::clamp(width, 1, columns);
  rows = std::clamp(height, 1, rows);
}

SymbolPicture pictureAsSymbols(const host::ArgbImage& image, int boxColumns, int boxRows,
                               double cellAspect, int colourCount) {
  SymbolPicture picture;
  if (!usable(image)) return picture;
  int columns = boxColumns;
  int rows = boxRows;
  fitPictureCells(image.width, image.height, cellAspect, columns, rows);
  if (columns == 0) return picture;

  ChafaPointer<ChafaSymbolMap> symbols = blockSymbols();
  ChafaPointer<ChafaCanvasConfig> config(chafa_canvas_config_new());
  chafa_canvas_config_set_canvas_mode(config.get(), canvasModeFor(colourCount));
  chafa_canvas_config_set_pixel_mode(config.get(), CHAFA_PIXEL_MODE_SYMBOLS);
  chafa_canvas_config_set_geometry(config.get(), columns, rows);
  chafa_canvas_config_set_symbol_map(config.get(), symbols.get());
  ChafaPointer<ChafaCanvas> canvas = drawnCanvas(image, config.get());

  picture.columns = columns;
  picture.rows = rows;
  picture.cells.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      gint foreground = -1;
      gint background = -1;
      chafa_canvas_get_colors_at(canvas.get(), column, row, &foreground, &background);
      const gunichar character = chafa_canvas_get_char_at(canvas.get(), column, row);
      picture.cells.push_back({static_cast<char32_t>(character),
                               terminalColourOfPacked(foreground, colourCount),
                               terminalColourOfPacked(background, colourCount)});
    }
  }
  return picture;
}

std::string pictureAsPixels(const host::ArgbImage& image, PictureMode mode, int boxColumns,
                            int boxRows, int cellPixelWidth, int cellPixelHeight) {
  if (!usable(image) || cellPixelWidth <= 0 || cellPixelHeight <= 0) return {};
  if (mode != PictureMode::Sixels && mode != PictureMode::Kitty && mode != PictureMode::Iterm2)
    return {};
  int columns = boxColumns;
  int rows = boxRows;
  fitPictureCells(image.width, image.height, static_cast<double>(cellPixelWidth) / cellPixelHeight,
                  columns, rows);
  if (columns == 0) return {};

  ChafaPointer<ChafaCanvasConfig> config(chafa_canvas_config_new());
  chafa_canvas_config_set_canvas_mode(config.get(), CHAFA_CANVAS_MODE_TRUECOLOR);
  chafa_canvas_config_set_pixel_mode(config.get(), chafaPixelMode(mode));
  chafa_canvas_config_set_geometry(config.get(), columns, rows);
  chafa_canvas_config_set_cell_geometry(config.get(), cellPixelWidth, cellPixelHeight);
  ChafaPointer<ChafaCanvas> canvas = drawnCanvas(image, config.get());
  ChafaPointer<ChafaTermInfo> info = termInfoFor(mode);
  GString* printed = chafa_canvas_print(canvas.get(), info.get());
  std::string sequence(printed->str, printed->len);
  g_string_free(printed, TRUE);
  return sequence;
}

std::string_view kittyDeleteImages() {
  return "\x1b_Ga=d\x1b\\";
}

}  // namespace terminal
