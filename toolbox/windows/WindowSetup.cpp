// The set-up of the toolbox and of its graphic windows: a window's blocks in
// the video memory, its record, and its host window (title, size, border).
#include "toolbox/windows/WindowSetup.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "support/Bundle.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/SystemWindows.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

constexpr int kProgramThreadNumber = 2;
constexpr int kMinWindowPixels = 32;
constexpr int kMaxWindowPixels = 8192;
constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 800;
constexpr int kBorderColour = 5;
constexpr std::uint8_t kFreshTextColor = 0xC0;  // green on black
constexpr std::uint8_t kBlankCell = 0x20;
constexpr int kWindowPosScreenWidth = 15;
constexpr int kWindowPosScreenHeight = 16;

// Kilobytes with two decimals in German notation: 2875392 bytes -> "2.808,00".
std::string kilobytes(std::int64_t bytes) {
  return formatdouble(' ', 1, 2, true, static_cast<double>(bytes) / 1024.0);
}

// t_InitMemory runs once; a caller that finds it started by someone else
// waits until it has finished.
void ensureMemory() {
  if (!MemoryInitStarted.load()) t_InitMemory();
  MemoryReady.wait(false);
}

// The application's name: the bundle's folder name without ".app".
std::string applicationName() {
  std::string name = filenamefrompath(bundlePath());
  constexpr std::string_view kSuffix = ".app";
  if (name.size() >= kSuffix.size()) {
    const std::string tail = name.substr(name.size() - kSuffix.size());
    if (std::equal(tail.begin(), tail.end(), kSuffix.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
      name.erase(name.size() - kSuffix.size());
    }
  }
  return name;
}

t_RGBColor paletteColour(int index) {
  const PaletteEntry& entry = Palette16[static_cast<std::size_t>(index)];
  return t_RGBColor{255, entry.red, entry.green, entry.blue};
}

// 8, 16, 24, 32 bits as asked; 4 and 1 bit with the width made a multiple of
// 4 or 8. Returns the graphic block's size, or -1 for an unsupported depth.
std::int64_t graphicBlockBytes(int bitDepth, int& width, int height, const std::string& prefix) {
  switch (bitDepth) {
    case 8:
    case 16:
    case 24:
    case 32:
      return std::int64_t{height} * bitDepth * width / 8;
    case 4:
      if (width % 4 != 0) {
        logLine(prefix + " width with 4 bit depth must be a multiple of 4.");
        width = (width + 1) / 4 * 4;  // nearest multiple, ties downward: 34 -> 32
      }
      return std::int64_t{height} * width / 2;
    case 1:
      if (width % 8 != 0) {
        logLine(prefix + " width with 1 bit depth must be a multiple of 8.");
        width = (width + 7) / 8 * 8;
      }
      return std::int64_t{height} * width / 8;
    default:
      logLine(prefix + " unsupported " + std::to_string(bitDepth) + " bit depth.");
      return -1;
  }
}

int clampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

void t_InitMemory() {
  if (MemoryInitStarted.exchange(true)) return;
  logLine("t_InitMemory: Start.");
  if (threadnumber() == kProgramThreadNumber) nameCurrentThread("Main Program");
  prepareVideoMemory();
  t_SetPrintPauseCheck(t_KeyPause);
  t_MenuPrepare();
  t_PasteboardPrepare();
  MemoryReady = true;
  MemoryReady.notify_all();
  logLine("t_InitMemory: End.");
}

void t_InitWindow(std::uint8_t window, int bitDepth, bool autoUpdate, int width, int height,
                  int borderWidth, int borderHeight, const t_Font& font, bool titleVisible) {
  if (window >= kGraphicWindowCount) {
    logLine("t_InitWindow: Window is not a graphic window.");
    return;
  }
  const std::string prefix = "t_InitWindow: GraphicWindow #" + std::to_string(window);
  logLine(prefix + " Start.");
  ensureMemory();
  std::uint8_t none = kNoWindow;
  DefaultWindow.compare_exchange_strong(none, window);
  startRefreshProcess();

  t_Window& record = windowRecord(window);
  if (record.Initialized) releaseWindowBlocks(window, prefix);

  if (width < kMinWindowPixels || width > kMaxWindowPixels) {
    logLine(prefix + " cannot display " + std::to_string(width) + " horizontal pixel.");
    width = kDefaultWidth;
  }
  if (height < kMinWindowPixels || height > kMaxWindowPixels) {
    logLine(prefix + " cannot display " + std::to_string(height) + " vertical pixel.");
    height = kDefaultHeight;
  }
  const std::int64_t graphicBytes = graphicBlockBytes(bitDepth, width, height, prefix);
  if (graphicBytes < 0) return;
  const std::int64_t available = availableVideoMemory();
  if (graphicBytes > available) {
    logLine(prefix + " has not enough graphic-video-memory (" + std::to_string(available / 1024) +
            "K available).");
    logLine("t_InitWindow: Displaying " + std::to_string(width) + " x " + std::to_string(height) +
            " pixel x " + std::to_string(bitDepth) + " bit needs " + kilobytes(graphicBytes) +
            "K video-memory.");
    return;
  }
  if (!titleVisible) {
    t_WindowTitleVisible(window, false);
    logLine(prefix + " title will be invisible.");
  }
  if (borderWidth < 0) borderWidth = t_WindowPos(window, kWindowPosScreenWidth) - width;
  if (borderHeight < 0) borderHeight = t_WindowPos(window, kWindowPosScreenHeight) - height;

  int columns = -1;
  int lines = -1;
  std::int64_t textBytes = 0;
  if (font.hasData()) {
    columns = font.Width > 0 ? width / font.Width : 0;
    lines = font.Height > 0 ? height / font.Height : 0;
    textBytes = std::int64_t{columns} * lines * 2;
  }
  // Also refused: a text block that would reach below address 0 once the
  // graphic block is taken (possible when it is larger than the reserve).
  if (textBytes > available ||
      (textBytes > 0 && prospectiveTextStart(graphicBytes, textBytes) < 0)) {
    logLine(prefix + " has not enough text-video-memory (" + std::to_string(available / 1024) +
            "K available).");
    logLine("t_InitWindow: Displaying " + std::to_string(columns) + " x " + std::to_string(lines) +
            " characters needs " + kilobytes(textBytes) + "K text-video-memory.");
    return;
  }

  record.UpdateStarted = 0;
  record.UpdateFinished = 0;
  record.VerticalBlank = true;
  record.IgnoreEvents = false;
  record.RefreshRate = 30;
  record.AutoUpdate = autoUpdate;
  record.QuickUpdate = true;
  record.ScrollLock = false;
  record.BorderWidth = borderWidth;
  record.BorderHeight = borderHeight;
  record.TitleHeight = titleVisible ? TitleBarHeight.load() : 0;
  record.RGBColor = paletteColour(0);
  record.RGBColorBorder = paletteColour(kBorderColour);
  record.DrawingMode = 0;
  record.PositionX = 0;
  record.PositionY = 0;

  const auto [graphicStart, graphicEnd] = allocateVideoBlock(graphicBytes);
  logLine(prefix + " = " + std::to_string(width) + " x " + std::to_string(height) + " pixel x " +
          std::to_string(bitDepth) + " bit = " + kilobytes(graphicBytes) + "K video-memory = $" +
          longtohex(static_cast<std::uint64_t>(graphicStart)) + ".");
  const auto [textStart, textEnd] = textBytes == 0 ? std::pair<std::int64_t, std::int64_t>{-1, -1}
                                                   : allocateVideoBlock(textBytes);
  // not set up until its view is known (below)
  placeWindowBlocks(window, WindowBlocks{false, bitDepth, width, height, graphicStart, graphicEnd,
                                         columns, lines, textStart, textEnd});
  record.TextFirstColumn = 1;
  record.TextLastColumn = columns;
  record.TextFirstLine = 1;
  record.TextLastLine = lines;
  record.TextHpos = 1;
  record.TextVpos = 1;
  record.TextColor = kFreshTextColor;
  record.LoResOffsetX = 0;
  record.LoResOffsetY = 0;
  record.LoResMode = 0;

  host::HostView* view = t_WindowView(window);
  if (view == nullptr) {
    record.Font = emptyFont();
    logLine(prefix + " could not be initialized, resource undefined.");
  } else {
    record.View = view;
    record.Window = t_WindowHost(window);
    record.Font = font;
    setWindowInitialized(window, true);
    wakeRefresh();  // the refresh process let the window's marks pass while it was not set up
    t_ClearWindow(window);
    t_WindowTitle(window, applicationName() + (textBytes == 0 ? "-Grafik" : ""));
    t_WindowSize(window, -1, -1, width, height);
    t_ColorBorder(window, kBorderColour);
  }
  logLine(prefix + " End.");
}

void t_InitWindow(std::uint8_t window, int bitDepth, int columns, int lines, int border,
                  const std::string& fontName) {
  ensureMemory();
  const t_Font font = t_LoadFontResource(fontName);
  if (!font.hasData()) {
    logLine("t_InitWindow: Font '" + fontName + "' not found.");
    return;
  }
  t_InitWindow(window, bitDepth, true, clampToInt(std::int64_t{columns} * font.Width),
               clampToInt(std::int64_t{lines} * font.Height), border, border, font, true);
}

void t_ClearWindow(std::uint8_t window) {
  if (window >= kGraphicWindowCount || !MemoryReady) return;
  const t_Window& record = windowRecord(window);
  const std::int64_t start = record.MemoryStart;
  const std::int64_t pixelBytes = pixelBlockBytes(record.BitDepth, record.Width, record.Height);
  if (start >= 0 && pixelBytes > 0 && start + pixelBytes <= record.MemoryEnd + 1) {
    std::uint8_t* pixels = VideoMemory + start;
    if (record.BitDepth == 32) {
      for (std::int64_t pixel = 0; pixel < pixelBytes; pixel += 4) {
        pixels[pixel] = 255;  // alpha
        std::memset(pixels + pixel + 1, 0, 3);
      }
    } else {
      std::memset(pixels, 0, static_cast<std::size_t>(pixelBytes));
    }
    markWindowChanged(window);
  }
  if (record.TextMemoryStart < 0) return;
  const std::int64_t cells = std::int64_t{record.TextWidth} * record.TextHeight;
  const std::int64_t colourPlane = textblock::colourPlaneOffset(record);
  if (cells <= 0 || cells > colourPlane) return;
  std::memset(VideoMemory + record.TextMemoryStart, kBlankCell, static_cast<std::size_t>(cells));
  std::memset(VideoMemory + record.TextMemoryStart + colourPlane, record.TextColor,
              static_cast<std::size_t>(cells));
}
