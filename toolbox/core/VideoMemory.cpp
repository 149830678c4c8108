// The shared video memory, its block allocator and the set-up of the graphic
// windows. Blocks are carved from the top of the memory downward; a window
// that is set up again gives its blocks back and the blocks below move up.
#include "toolbox/core/VideoMemory.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

#include <sys/mman.h>

#include "support/Bundle.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/SystemWindows.h"
#include "toolbox/windows/WindowManagement.h"

std::uint8_t* VideoMemory = nullptr;
std::int64_t HighMemory = kVideoMemoryTop;
std::array<t_Window, kGraphicWindowCount> WindowTable;
std::atomic<std::uint8_t> DefaultWindow{kNoWindow};
std::atomic<bool> MemoryInitStarted{false};
std::atomic<bool> MemoryReady{false};
std::atomic<int> TitleBarHeight{0};
std::atomic<bool> AutoUpdateRunning{false};

namespace {

constexpr int kProgramThreadNumber = 2;
// 64 KiB of the free memory are never given to a graphic block.
constexpr std::int64_t kReservedBytes = 65536;
// Block starts keep bit 11 clear as well as the low 10 bits: blocks start on
// a 1 KiB boundary and may be up to 3071 bytes longer than asked for.
constexpr std::uint32_t kBlockStartMask = 0xFFFFF400;
constexpr int kMinWindowPixels = 32;
constexpr int kMaxWindowPixels = 8192;
constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 800;
constexpr int kBorderColour = 5;
constexpr std::uint8_t kFreshTextColor = 0xC0;  // green on black
constexpr std::uint8_t kBlankCell = 0x20;
constexpr int kWindowPosScreenWidth = 15;
constexpr int kWindowPosScreenHeight = 16;

// Held while the program thread places, moves or forgets a window's blocks,
// and by windowBlocks: never around a call to the host's main thread.
std::mutex layoutLock;

std::string hex(std::int64_t value) {
  return longtohex(static_cast<std::uint64_t>(value));
}

// Kilobytes with two decimals in German notation: 2875392 bytes -> "2.808,00".
std::string kilobytes(std::int64_t bytes) {
  return formatdouble(' ', 1, 2, true, static_cast<double>(bytes) / 1024.0);
}

std::int64_t blockStart(std::int64_t high, std::int64_t bytes) {
  const auto unmasked = static_cast<std::uint32_t>(high - bytes + 1);
  return static_cast<std::int64_t>(unmasked & kBlockStartMask);
}

// The memory comes as pages that the system zeroes when they are first
// touched. Bytes read 0xFF until written, so each stretch gets that fill the
// first time a block reaches it: memory that no window uses costs nothing.
// Below this address nothing has been handed out since t_InitMemory.
std::int64_t FilledFrom = kVideoMemoryTop + 1;

void fillFreshMemoryDownTo(std::int64_t start) {
  if (start >= FilledFrom) return;
  std::memset(VideoMemory + start, 0xFF, static_cast<std::size_t>(FilledFrom - start));
  FilledFrom = start;
}

std::uint8_t* mapVideoMemory() {
  void* pages =
      ::mmap(nullptr, kVideoMemorySize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  return static_cast<std::uint8_t*>(pages);
}

// Takes a block of at least `bytes` bytes below HighMemory; returns its bounds.
std::pair<std::int64_t, std::int64_t> allocateBlock(std::int64_t bytes) {
  const std::int64_t start = blockStart(HighMemory, bytes);
  fillFreshMemoryDownTo(start);
  const std::int64_t end = HighMemory;
  HighMemory = start - 1;
  return {start, end};
}

// Where the text block would start if the graphic block were taken first;
// negative when it would not fit above address 0.
std::int64_t prospectiveTextStart(std::int64_t graphicBytes, std::int64_t textBytes) {
  const std::int64_t textHigh = blockStart(HighMemory, graphicBytes) - 1;
  if (textHigh - textBytes + 1 < 0) return -1;
  return blockStart(textHigh, textBytes);
}

void moveBlockUp(std::int64_t start, std::int64_t end, std::int64_t distance) {
  // memmove gives the result of the top-down byte copy for overlapping blocks
  std::memmove(VideoMemory + start + distance, VideoMemory + start,
               static_cast<std::size_t>(end - start + 1));
}

std::string blockRange(std::int64_t start, std::int64_t end) {
  return "$" + hex(start) + "..." + hex(end);
}

void releaseBlocks(std::uint8_t number, const std::string& prefix) {
  std::lock_guard layout(layoutLock);
  t_Window& released = WindowTable[number];
  released.Initialized = false;
  const std::int64_t top = released.MemoryEnd;
  const std::int64_t graphicBytes = released.MemoryEnd - released.MemoryStart + 1;
  std::int64_t distance = graphicBytes;
  logLine(prefix + " high memory = $" + hex(top) + ", graphic block size to delete = $" +
          hex(graphicBytes) + ".");
  if (released.TextMemoryStart >= 0) {
    const std::int64_t textBytes = released.TextMemoryEnd - released.TextMemoryStart + 1;
    logLine(prefix + " high memory = $" + hex(top) + ", text block size to delete = $" +
            hex(textBytes) + ".");
    distance += textBytes;
  }
  for (int other = 0; other < kGraphicWindowCount; ++other) {
    t_Window& below = WindowTable[static_cast<std::size_t>(other)];
    if (!below.Initialized || below.MemoryStart >= top) continue;
    const std::string win = std::to_string(other);
    logLine(prefix + " moving graphic block for win #" + win +
            blockRange(below.MemoryStart, below.MemoryEnd) + " to" +
            blockRange(below.MemoryStart + distance, below.MemoryEnd + distance));
    moveBlockUp(below.MemoryStart, below.MemoryEnd, distance);
    if (below.TextMemoryStart >= 0) {
      logLine(prefix + " moving text block for win #" + win +
              blockRange(below.TextMemoryStart, below.TextMemoryEnd) + " to" +
              blockRange(below.TextMemoryStart + distance, below.TextMemoryEnd + distance));
      moveBlockUp(below.TextMemoryStart, below.TextMemoryEnd, distance);
      below.TextMemoryStart = below.TextMemoryStart + distance;
      below.TextMemoryEnd = below.TextMemoryEnd + distance;
    }
    below.MemoryStart = below.MemoryStart + distance;
    below.MemoryEnd = below.MemoryEnd + distance;
    markWindowChanged(static_cast<std::uint8_t>(other));
  }
  HighMemory += distance;
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
  HighMemory = kVideoMemoryTop;
  // mapped once and kept to the end of the process, like every window
  if (VideoMemory == nullptr) VideoMemory = mapVideoMemory();
  FilledFrom = kVideoMemoryTop + 1;
  std::memset(VideoMemory + FilledFrom, 0xFF, kVideoMemorySize - FilledFrom);
  {
    std::lock_guard layout(layoutLock);
    WindowTable.fill(t_Window{});
  }
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

  t_Window& record = WindowTable[window];
  if (record.Initialized) releaseBlocks(window, prefix);

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
  const std::int64_t available = HighMemory - kReservedBytes;
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

  const auto [graphicStart, graphicEnd] = allocateBlock(graphicBytes);
  logLine(prefix + " = " + std::to_string(width) + " x " + std::to_string(height) + " pixel x " +
          std::to_string(bitDepth) + " bit = " + kilobytes(graphicBytes) + "K video-memory = $" +
          hex(graphicStart) + ".");
  const auto [textStart, textEnd] =
      textBytes == 0 ? std::pair<std::int64_t, std::int64_t>{-1, -1} : allocateBlock(textBytes);
  {
    std::lock_guard layout(layoutLock);
    record.BitDepth = bitDepth;
    record.Width = width;
    record.Height = height;
    record.MemoryStart = graphicStart;
    record.MemoryEnd = graphicEnd;
    record.TextWidth = columns;
    record.TextHeight = lines;
    record.TextMemoryStart = textStart;
    record.TextMemoryEnd = textEnd;
  }
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
    {
      std::lock_guard layout(layoutLock);
      record.Initialized = true;
    }
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
  const t_Window& record = WindowTable[window];
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

bool t_CheckTextWindow(const char* routineName, std::uint8_t window, bool requireTextBlock) {
  if (window >= kGraphicWindowCount) {
    logLine(std::string(routineName) + ": Window is not a graphic window.");
    return false;
  }
  const t_Window& record = WindowTable[window];
  if (!MemoryReady || !record.Initialized || (requireTextBlock && record.TextMemoryStart < 0)) {
    logLine(std::string(routineName) + ": Window #" + std::to_string(window) + " not initialized.");
    return false;
  }
  return true;
}

WindowBlocks windowBlocks(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return {};
  std::lock_guard layout(layoutLock);
  const t_Window& record = WindowTable[window];
  return WindowBlocks{record.Initialized, record.BitDepth,        record.Width,
                      record.Height,      record.MemoryStart,     record.TextWidth,
                      record.TextHeight,  record.TextMemoryStart, record.TextMemoryEnd};
}

bool readVideoMemoryUnlocked(std::int64_t start, std::int64_t count,
                             const std::function<void(const std::uint8_t* bytes)>& reader) {
  if (VideoMemory == nullptr || start < 0 || count < 0 || start > kVideoMemorySize - count) {
    return false;
  }
  reader(VideoMemory + start);
  return true;
}

void resetVideoMemoryForTesting() {
  // the pages go back to the system and come back zeroed, as at the start
  if (VideoMemory != nullptr) ::madvise(VideoMemory, kVideoMemorySize, MADV_DONTNEED);
  MemoryReady = false;
  MemoryInitStarted = false;
  DefaultWindow = kNoWindow;
  HighMemory = kVideoMemoryTop;
  std::lock_guard layout(layoutLock);
  WindowTable.fill(t_Window{});
}
