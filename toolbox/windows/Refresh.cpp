// Screen refresh: window images, redraw requests and the refresh process.
#include "toolbox/windows/Refresh.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadLaunch.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"

namespace {

constexpr int kFirstWorkerThreadNumber = 3;
constexpr int kMillisecondsPerSecond = 1000;

// The refresh process's thread, kept so that it can be joined.
std::mutex refreshThreadLock;
std::optional<pthread_t> refreshThread;

// Per window, the change count that the last redraw request covered. Only the
// refresh pass touches them (the refresh thread, or a test without one).
std::array<std::atomic<std::uint64_t>, kGraphicWindowCount> requestedChange{};

bool isGraphic(std::uint8_t window) {
  return window < kGraphicWindowCount;
}

// Milliseconds until the window's refresh interval has passed since its last
// request; 0 or less when it is due.
std::int64_t millisecondsUntilDue(const t_Window& record, std::int64_t nowMilliseconds) {
  const int rate = record.RefreshRate;
  const std::int64_t interval = rate == 0 ? 0 : kMillisecondsPerSecond / rate;
  return interval - (nowMilliseconds - record.UpdateStarted);
}

// A window's pixel block as read once (windowBlocks): the program thread may
// set the window up anew meanwhile, and the conversion must use one set-up's
// geometry and stay inside the video memory.
struct PixelsToShow {
  std::int64_t start = 0;
  std::int64_t bytes = 0;
  int bitDepth = 0;
  int width = 0;
  int height = 0;
};

// Nothing (after the log line of t_WindowImage where it has one) when the
// window has no image to show.
std::optional<PixelsToShow> pixelsToShow(std::uint8_t window) {
  if (!MemoryReady) return std::nullopt;
  if (!isGraphic(window)) {
    logLine("t_WindowImage: Window is not a graphic window.");
    return std::nullopt;
  }
  const WindowBlocks blocks = windowBlocks(window);
  if (!blocks.initialized) {
    logLine("t_WindowImage: Graphic window #" + std::to_string(window) + " not initialized.");
    return std::nullopt;
  }
  if (!windowRecord(window).Visible) return std::nullopt;
  PixelsToShow pixels{blocks.memoryStart, 0, blocks.bitDepth, blocks.width, blocks.height};
  pixels.bytes = pixelBlockBytes(pixels.bitDepth, pixels.width, pixels.height);
  if (pixels.bytes == 0) {
    logLine("t_WindowImage: Illegal bit depth.");
    return std::nullopt;
  }
  if (pixels.start < 0 || pixels.start + pixels.bytes > kVideoMemorySize) {
    logLine("t_WindowImage: Data could not be collected, image could not be created.");
    return std::nullopt;
  }
  return pixels;
}

// Converts the window's pixels as they are now into 32-bit words or bytes
// (convertPixelsToArgb or convertPixelsToHostWords) at output.
template <typename Output, typename Convert>
void convertShown(const PixelsToShow& pixels, Output* output, Convert convert) {
  readVideoMemoryUnlocked(pixels.start, pixels.bytes, [&](const std::uint8_t* source) {
    convert(source, pixels.bitDepth, pixels.width, pixels.height, output);
  });
}

void recordUpdateTimes(std::uint8_t window, double startedSeconds) {
  t_Window& record = windowRecord(window);
  const double finished = absoluteTimeSeconds();
  record.UpdateDuration = secondsToMicroseconds(finished) - secondsToMicroseconds(startedSeconds);
  record.UpdateFinished = absoluteTimeMilliseconds();
}

// Asks the main thread to redraw the window's view, without waiting for it:
// the refresh never blocks on the main thread, so the main thread can stop
// and join it.
void requestRedraw(int window) {
  host::current().runOnMainAsync([window] {
    host::Host& desktop = host::current();
    if (host::HostView* view = desktop.graphicView(window)) {
      desktop.setNeedsDisplay(view);
      return;
    }
    logLine("t_WindowAutoUpdateProcess: Window #" + std::to_string(window) +
            " view is nil, resource undefined.");
  });
}

// One pass: requests every changed, due window and gives the time until the
// next changed window falls due (nothing when none waits).
struct PassResult {
  int requested = 0;
  std::optional<std::chrono::milliseconds> nextDue;
  // One bit for each window whose marks need not wake the process: it is not
  // shown automatically (t_InitWindow wakes the process when that changes),
  // or it has changed and waits to fall due or for its view.
  std::uint8_t quiet = 0;
};

PassResult runRefreshPass() {
  PassResult result;
  for (int window = 0; window < kGraphicWindowCount; ++window) {
    const t_Window& record = windowRecord(static_cast<std::size_t>(window));
    const auto bit = static_cast<std::uint8_t>(1U << window);
    if (!record.Initialized || !record.AutoUpdate) {
      result.quiet |= bit;
      continue;
    }
    const std::uint64_t change = windowChangeCount(static_cast<std::uint8_t>(window));
    std::atomic<std::uint64_t>& requested = requestedChange[static_cast<std::size_t>(window)];
    if (change == requested.load()) continue;
    // VerticalBlank is false while window 0's view builds its image: no new
    // request then; the view wakes the process when it has finished.
    if (!record.VerticalBlank) {
      result.quiet |= bit;
      continue;
    }
    const std::int64_t now = absoluteTimeMilliseconds();
    const std::int64_t wait = millisecondsUntilDue(record, now);
    if (wait > 0) {
      const std::chrono::milliseconds due(wait);
      result.nextDue = result.nextDue ? std::min(*result.nextDue, due) : due;
      result.quiet |= bit;
      continue;
    }
    requested = change;
    windowRecord(static_cast<std::size_t>(window)).UpdateStarted = now;
    requestRedraw(window);
    ++result.requested;
  }
  return result;
}

}  // namespace

bool t_ReadWindowPixels(std::uint8_t window,
                        const std::function<void(const WindowPixels&)>& reader) {
  const std::optional<PixelsToShow> pixels = pixelsToShow(window);
  if (!pixels) return false;
  const double started = absoluteTimeSeconds();
  readVideoMemoryUnlocked(pixels->start, pixels->bytes, [&](const std::uint8_t* source) {
    reader(WindowPixels{source, pixels->bitDepth, pixels->width, pixels->height});
  });
  recordUpdateTimes(window, started);
  return true;
}

bool t_WindowImageInto(std::uint8_t window, host::ArgbImage& image) {
  const bool read = t_ReadWindowPixels(window, [&image](const WindowPixels& pixels) {
    image.width = pixels.width;
    image.height = pixels.height;
    // a buffer of the same size is reused as it is: no fill before the conversion
    image.bytes.resize(std::size_t(pixels.width) * std::size_t(pixels.height) * 4);
    convertPixelsToArgb(pixels.bytes, pixels.bitDepth, pixels.width, pixels.height,
                        image.bytes.data());
  });
  if (!read) image = host::ArgbImage{};
  return read;
}

host::ArgbImage t_WindowImage(std::uint8_t window) {
  host::ArgbImage image;
  t_WindowImageInto(window, image);
  return image;
}

void t_WindowUpdate(std::uint8_t window, bool deferred) {
  if (!MemoryReady) return;
  if (!isGraphic(window)) {
    logLine("t_WindowUpdate: Window is not a graphic window.");
    return;
  }
  // The program asks to see the memory as it is now, whoever wrote it.
  markWindowChanged(window);
  // the view lookup and the request share one trip to the main thread
  const bool hasView = onMainThread([window, deferred] {
    host::Host& desktop = host::current();
    host::HostView* view = desktop.graphicView(window);
    if (view == nullptr) return false;
    if (deferred) {
      desktop.setNeedsDisplay(view);
    } else {
      desktop.displayNow(view);
    }
    return true;
  });
  if (!hasView) {
    logLine("t_WindowUpdate: Window #" + std::to_string(window) +
            " view is nil, resource undefined.");
  }
}

int refreshAutoUpdatePass() {
  return runRefreshPass().requested;
}

void t_WindowAutoUpdateProcess() {
  logLine("t_WindowAutoUpdateProcess: Start.");
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_WindowAutoUpdate");
  // AutoUpdateRunning was set by startRefreshProcess before this thread
  // existed; setting it here could undo a stop that came first.
  while (MemoryReady && AutoUpdateRunning) {
    const ChangeSnapshot seen = changeSnapshot();
    const PassResult pass = runRefreshPass();
    // Sleeps until another window changes, or until a changed window falls
    // due: at the prompt the process does not wake at all, and while text is
    // printed it wakes once an interval.
    waitForChange(seen, pass.nextDue.value_or(kNoChangeExpected), pass.quiet);
  }
  AutoUpdateRunning = false;
  logLine("t_WindowAutoUpdateProcess: End.");
}

void startRefreshProcess() {
  std::lock_guard guard(refreshThreadLock);
  // Claimed before the thread exists, so that two quick set-ups cannot start
  // two refresh processes.
  if (AutoUpdateRunning.exchange(true)) return;
  if (refreshThread) pthread_join(*refreshThread, nullptr);  // one that ended by itself
  pthread_t thread;
  const int error = launchJoinableThread(t_WindowAutoUpdateProcess, kBackgroundStackBytes,
                                         "startbackground", thread);
  if (error != 0) {
    logLine("startbackground: Error #" + std::to_string(error) + " (" + std::strerror(error) +
            "), routine not started.");
    refreshThread.reset();
    AutoUpdateRunning = false;
    return;
  }
  refreshThread = thread;
}

void stopRefreshProcess() {
  std::lock_guard guard(refreshThreadLock);
  AutoUpdateRunning = false;
  wakeRefresh();
  if (refreshThread) pthread_join(*refreshThread, nullptr);
  refreshThread.reset();
}

host::HostView* t_WindowView(std::uint8_t window) {
  if (!isGraphic(window)) return nullptr;
  return onMainThread([window] { return host::current().graphicView(window); });
}

host::ArgbImage t_WindowPicture(std::uint8_t window) {
  if (!isGraphic(window) || t_WindowView(window) == nullptr) return host::ArgbImage{};
  return t_WindowImage(window);
}

bool viewWantsUpdateLayer(std::uint8_t window) {
  if (!MemoryReady || !isGraphic(window)) return false;
  const t_Window& record = windowRecord(window);
  return record.Initialized && record.QuickUpdate;
}

bool viewRedraw(std::uint8_t window, std::uint64_t& shownChange, const HostImageMemory& memory) {
  if (!MemoryReady) return false;
  const bool guardsRefresh = window == 0;
  if (guardsRefresh) windowRecord(0).VerticalBlank = false;
  // Taken before the pixels are read: a write during the conversion leaves a
  // newer count, and the next redraw converts again.
  const std::uint64_t change = windowChangeCount(window);
  if (const std::optional<PixelsToShow> pixels = pixelsToShow(window)) {
    bool fresh = false;
    std::uint32_t* words = memory(pixels->width, pixels->height, fresh);
    if (words != nullptr && (fresh || change != shownChange)) {
      const double started = absoluteTimeSeconds();
      convertShown(*pixels, words, convertPixelsToHostWords);
      recordUpdateTimes(window, started);
      shownChange = change;
    }
  }
  if (guardsRefresh) {
    windowRecord(0).VerticalBlank = true;
    wakeRefresh();  // a change that came while the view was busy is due now
  }
  return true;
}
