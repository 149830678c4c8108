// The shared video memory and its block allocator. Blocks are carved from the
// top of the memory downward; a window that is set up again gives its blocks
// back and the blocks below move up.
#include "toolbox/core/VideoMemory.h"

#include <cstring>
#include <mutex>
#include <new>

#include <sys/mman.h>

#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/core/PixelChanges.h"

std::uint8_t* VideoMemory = nullptr;
std::int64_t HighMemory = kVideoMemoryTop;
std::array<t_Window, kGraphicWindowCount> WindowTable;
std::atomic<std::uint8_t> DefaultWindow{kNoWindow};
std::atomic<bool> MemoryInitStarted{false};
std::atomic<bool> MemoryReady{false};
std::atomic<int> TitleBarHeight{0};
std::atomic<bool> AutoUpdateRunning{false};

namespace {

// 64 KiB of the free memory are never given to a graphic block.
constexpr std::int64_t kReservedBytes = 65536;
// Block starts keep bit 11 clear as well as the low 10 bits: blocks start on
// a 1 KiB boundary and may be up to 3071 bytes longer than asked for.
constexpr std::uint32_t kBlockStartMask = 0xFFFFF400;

// Held while the program thread places, moves or forgets a window's blocks,
// and by windowBlocks: never around a call to the host's main thread.
std::mutex layoutLock;

std::string hex(std::int64_t value) {
  return longtohex(static_cast<std::uint64_t>(value));
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

void moveBlockUp(std::int64_t start, std::int64_t end, std::int64_t distance) {
  // memmove gives the result of the top-down byte copy for overlapping blocks
  std::memmove(VideoMemory + start + distance, VideoMemory + start,
               static_cast<std::size_t>(end - start + 1));
}

std::string blockRange(std::int64_t start, std::int64_t end) {
  return "$" + hex(start) + "..." + hex(end);
}

}  // namespace

void prepareVideoMemory() {
  HighMemory = kVideoMemoryTop;
  // mapped once and kept to the end of the process, like every window
  if (VideoMemory == nullptr) VideoMemory = mapVideoMemory();
  FilledFrom = kVideoMemoryTop + 1;
  std::memset(VideoMemory + FilledFrom, 0xFF, kVideoMemorySize - FilledFrom);
  std::lock_guard layout(layoutLock);
  WindowTable.fill(t_Window{});
}

std::int64_t availableVideoMemory() {
  return HighMemory - kReservedBytes;
}

std::pair<std::int64_t, std::int64_t> allocateVideoBlock(std::int64_t bytes) {
  const std::int64_t start = blockStart(HighMemory, bytes);
  fillFreshMemoryDownTo(start);
  const std::int64_t end = HighMemory;
  HighMemory = start - 1;
  return {start, end};
}

std::int64_t prospectiveTextStart(std::int64_t graphicBytes, std::int64_t textBytes) {
  const std::int64_t textHigh = blockStart(HighMemory, graphicBytes) - 1;
  if (textHigh - textBytes + 1 < 0) return -1;
  return blockStart(textHigh, textBytes);
}

void releaseWindowBlocks(std::uint8_t window, const std::string& prefix) {
  std::lock_guard layout(layoutLock);
  t_Window& released = WindowTable[window];
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

WindowBlocks windowBlocks(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return {};
  std::lock_guard layout(layoutLock);
  const t_Window& record = WindowTable[window];
  return WindowBlocks{record.Initialized,  record.BitDepth,    record.Width,
                      record.Height,       record.MemoryStart, record.MemoryEnd,
                      record.TextWidth,    record.TextHeight,  record.TextMemoryStart,
                      record.TextMemoryEnd};
}

void placeWindowBlocks(std::uint8_t window, const WindowBlocks& blocks) {
  std::lock_guard layout(layoutLock);
  t_Window& record = WindowTable[window];
  record.Initialized = blocks.initialized;
  record.BitDepth = blocks.bitDepth;
  record.Width = blocks.width;
  record.Height = blocks.height;
  record.MemoryStart = blocks.memoryStart;
  record.MemoryEnd = blocks.memoryEnd;
  record.TextWidth = blocks.textWidth;
  record.TextHeight = blocks.textHeight;
  record.TextMemoryStart = blocks.textMemoryStart;
  record.TextMemoryEnd = blocks.textMemoryEnd;
}

void setWindowInitialized(std::uint8_t window, bool initialized) {
  std::lock_guard layout(layoutLock);
  WindowTable[window].Initialized = initialized;
}

bool readVideoMemoryUnlocked(std::int64_t start, std::int64_t count,
                             const std::function<void(const std::uint8_t* bytes)>& reader) {
  if (VideoMemory == nullptr || start < 0 || count < 0 || start > kVideoMemorySize - count) {
    return false;
  }
  reader(VideoMemory + start);
  return true;
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
