// Screen refresh: window images, redraw requests and the refresh process.
#include "toolbox/windows/Refresh.h"

#include <chrono>
#include <thread>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/text/VideoMemory.h"
#include "toolbox/windows/MainThread.h"

namespace {

constexpr int kFirstWorkerThreadNumber = 3;
constexpr auto kIdlePassSleep = std::chrono::milliseconds(1);
constexpr int kMillisecondsPerSecond = 1000;

bool isGraphic(std::uint8_t window) {
  return window < kGraphicWindowCount;
}

// A window is due when its refresh interval has passed since the last request.
bool isDue(const t_Window& record, std::int64_t nowMilliseconds) {
  const int rate = record.RefreshRate;
  const std::int64_t interval = rate == 0 ? 0 : kMillisecondsPerSecond / rate;
  return nowMilliseconds - record.UpdateStarted >= interval;
}

}  // namespace

bool t_WindowImageInto(std::uint8_t window, host::ArgbImage& image) {
  image.width = 0;
  image.height = 0;
  image.bytes.clear();
  if (!MemoryReady) return false;
  if (!isGraphic(window)) {
    logLine("t_WindowImage: Window is not a graphic window.");
    return false;
  }
  t_Window& record = WindowTable[window];
  if (!record.Initialized) {
    logLine("t_WindowImage: Graphic window #" + std::to_string(window) + " not initialized.");
    return false;
  }
  if (!record.Visible) return false;
  const double started = absoluteTimeSeconds();
  // Each field is read once: the program thread may set the window up anew
  // meanwhile, and the image must stay inside the video memory whatever mix
  // of old and new values it sees.
  const int bitDepth = record.BitDepth;
  const int width = record.Width;
  const int height = record.Height;
  const std::int64_t start = record.MemoryStart;
  const std::int64_t sourceBytes = pixelBlockBytes(bitDepth, width, height);
  if (sourceBytes == 0) {
    logLine("t_WindowImage: Illegal bit depth.");
    return false;
  }
  if (width <= 0 || height <= 0 || start < 0 || start + sourceBytes > kVideoMemorySize) {
    logLine("t_WindowImage: Data could not be collected, image could not be created.");
    return false;
  }
  image.width = width;
  image.height = height;
  image.bytes.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  convertPixelsToArgb(VideoMemory + start, bitDepth, width, height, image.bytes.data());
  const double finished = absoluteTimeSeconds();
  record.UpdateDuration = secondsToMicroseconds(finished) - secondsToMicroseconds(started);
  record.UpdateFinished = absoluteTimeMilliseconds();
  return true;
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
  int marked = 0;
  for (int window = 0; window < kGraphicWindowCount; ++window) {
    t_Window& record = WindowTable[static_cast<std::size_t>(window)];
    // VerticalBlank is false while window 0's view builds its image: no new
    // request then.
    if (!record.Initialized || !record.AutoUpdate || !record.VerticalBlank) continue;
    const std::int64_t requested = absoluteTimeMilliseconds();
    if (!isDue(record, requested)) continue;
    const bool hasView = onMainThread([window] {
      host::Host& desktop = host::current();
      host::HostView* view = desktop.graphicView(window);
      if (view != nullptr) desktop.setNeedsDisplay(view);
      return view != nullptr;
    });
    if (!hasView) {
      logLine("t_WindowAutoUpdateProcess: Window #" + std::to_string(window) +
              " view is nil, resource undefined.");
      continue;
    }
    record.UpdateStarted = requested;
    ++marked;
  }
  return marked;
}

void t_WindowAutoUpdateProcess() {
  logLine("t_WindowAutoUpdateProcess: Start.");
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_WindowAutoUpdate");
  AutoUpdateRunning = true;
  while (MemoryReady && AutoUpdateRunning) {
    if (refreshAutoUpdatePass() == 0) std::this_thread::sleep_for(kIdlePassSleep);
  }
  AutoUpdateRunning = false;
  logLine("t_WindowAutoUpdateProcess: End.");
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
  const t_Window& record = WindowTable[window];
  return record.Initialized && record.QuickUpdate;
}

bool viewRedraw(std::uint8_t window, host::ArgbImage& image,
                const std::function<void(const host::ArgbImage&)>& show) {
  if (!MemoryReady) return false;
  const bool guardsRefresh = window == 0;
  if (guardsRefresh) WindowTable[0].VerticalBlank = false;
  if (t_WindowImageInto(window, image)) show(image);
  if (guardsRefresh) WindowTable[0].VerticalBlank = true;
  return true;
}
