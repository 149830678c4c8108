// Window management by number, and the window delegate's logic.
#include "toolbox/windows/WindowManagement.h"

#include <chrono>
#include <thread>

#include "port/Panels.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/OutputRedirect.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/SystemWindows.h"

namespace {

using host::kMainWindow;
using host::kPasteboardWindow;
using host::kPreferencesWindow;
using host::kSystemConsoleWindow;
using host::kVirtualPrinterWindow;
using systemtext::isSystemTextWindow;

constexpr auto kQuitMessagePause = std::chrono::milliseconds(100);
// Room that the interface description leaves around the text views.
constexpr double kSystemTextViewMarginWidth = 40;
constexpr double kSystemTextViewMarginHeight = 77;

bool isGraphic(std::uint8_t window) {
  return window < kGraphicWindowCount;
}

host::HostWindow* existingWindow(std::uint8_t window, const char* routineName) {
  host::HostWindow* hostWindow = t_WindowHost(window);
  if (hostWindow == nullptr) logLine(std::string(routineName) + ": Window does not exist.");
  return hostWindow;
}

void showSystemTextWindow(std::uint8_t window, host::HostWindow* hostWindow, bool visible) {
  onMainThread([&] {
    host::Host& desktop = host::current();
    if (!desktop.hasTextView(window)) {
      systemtext::logMissingTextView("t_WindowVisible", window);
      beep();
      return;
    }
    if (!visible) {
      desktop.orderOut(hostWindow);
      return;
    }
    if (window == kPasteboardWindow) {
      desktop.setTextViewString(window, desktop.pasteboardText());
    }
    desktop.orderFront(hostWindow);
  });
}

// The geometry that t_WindowPos answers from, gathered on the main thread.
struct WindowGeometry {
  int outerWidth = 0;   // W
  int outerHeight = 0;  // H
  int titleHeight = 0;  // T
  int borderWidth = 0;
  int borderHeight = 0;
  host::Rect frame;
  host::Rect screen;
};

WindowGeometry geometryOf(std::uint8_t window, host::HostWindow* hostWindow) {
  WindowGeometry geometry;
  onMainThread([&] {
    geometry.frame = host::current().frame(hostWindow);
    geometry.screen = host::current().screenFrame(hostWindow);
  });
  const bool fromRecord = isGraphic(window) && MemoryReady;
  if (isGraphic(window)) {
    const t_Window& record = windowRecord(window);
    geometry.borderWidth = record.BorderWidth;
    geometry.borderHeight = record.BorderHeight;
  }
  if (fromRecord) {
    const t_Window& record = windowRecord(window);
    geometry.titleHeight = record.TitleHeight;
    geometry.outerWidth = record.Width + 2 * geometry.borderWidth;
    geometry.outerHeight = record.Height + 2 * geometry.borderHeight + geometry.titleHeight;
  } else {
    geometry.titleHeight = TitleBarHeight;
    geometry.outerWidth = static_cast<int>(geometry.frame.width);
    geometry.outerHeight = static_cast<int>(geometry.frame.height);
  }
  return geometry;
}

// Selectors 0..7 of a graphic window: its text area.
int textAreaValue(const t_Window& record, int selector) {
  switch (selector) {
    case 0:
      return record.TextFirstColumn;
    case 1:
      return record.TextFirstLine;
    case 2:
      return record.TextLastColumn;
    case 3:
      return record.TextLastLine;
    case 4:
      return textblock::areaColumns(record);
    case 5:
      return textblock::areaLines(record);
    case 6:
      return record.TextWidth;
    default:
      return record.TextHeight;
  }
}

// Selectors 0..7 of the fixed windows: their outer size.
int outerAreaValue(const WindowGeometry& geometry, int selector) {
  switch (selector) {
    case 0:
    case 1:
      return 0;
    case 2:
      return geometry.outerWidth - 1;
    case 3:
      return geometry.outerHeight - 1;
    case 4:
    case 6:
      return geometry.outerWidth;
    default:  // 5, 7
      return geometry.outerHeight;
  }
}

void resizeGraphicWindow(std::uint8_t window, host::HostWindow* hostWindow, int x, int y, int width,
                         int height) {
  const t_Window& record = windowRecord(window);
  if (!MemoryReady || !record.Initialized) {
    logLine("t_WindowSize: Window #" + std::to_string(window) + " not initialized.");
    return;
  }
  const int borderWidth = record.BorderWidth;
  const int borderHeight = record.BorderHeight;
  host::Host& desktop = host::current();
  desktop.setFrame(hostWindow, host::Rect{double(x), double(y), double(width + 2 * borderWidth),
                                          double(height + record.TitleHeight + 2 * borderHeight)});
  if (host::HostView* view = desktop.graphicView(window)) {
    desktop.setViewFrame(
        view, host::Rect{double(borderWidth), double(borderHeight), double(width), double(height)});
  }
}

void resizeSystemTextWindow(std::uint8_t window, host::HostWindow* hostWindow, int x, int y,
                            int width, int height, int askedWidth, int askedHeight) {
  host::Host& desktop = host::current();
  if (desktop.isVisible(hostWindow)) desktop.orderFront(hostWindow);
  desktop.setFrame(
      hostWindow, host::Rect{double(x), double(y), double(width), double(height + TitleBarHeight)});
  host::Rect scroll = desktop.scrollViewFrame(window);
  if (askedWidth > 0) scroll.width = askedWidth - kSystemTextViewMarginWidth;
  if (askedHeight > 0) scroll.height = askedHeight - kSystemTextViewMarginHeight;
  desktop.setScrollViewFrame(window, scroll);
}

}  // namespace

host::HostWindow* t_WindowHost(std::uint8_t window) {
  if (isGraphic(window)) {
    host::HostView* view = t_WindowView(window);
    if (view == nullptr) return nullptr;
    return onMainThread([view] { return host::current().windowOfView(view); });
  }
  if (window <= kMainWindow) {
    return onMainThread([window] { return host::current().fixedWindow(window); });
  }
  return nullptr;
}

std::uint8_t t_WindowNumber(host::HostWindow* window) {
  if (window == nullptr) return kNoWindow;
  return onMainThread([window]() -> std::uint8_t {
    host::Host& desktop = host::current();
    for (int fixed : {kVirtualPrinterWindow, kSystemConsoleWindow, kPasteboardWindow,
                      kPreferencesWindow, kMainWindow}) {
      if (desktop.fixedWindow(fixed) == window) return static_cast<std::uint8_t>(fixed);
    }
    for (int graphic = 0; graphic < kGraphicWindowCount; ++graphic) {
      host::HostView* view = desktop.graphicView(graphic);
      if (view != nullptr && desktop.windowOfView(view) == window) {
        return static_cast<std::uint8_t>(graphic);
      }
    }
    return kNoWindow;
  });
}

std::uint8_t t_WindowMain() {
  host::HostWindow* main = onMainThread([] { return host::current().mainWindow(); });
  return main == nullptr ? kNoWindow : t_WindowNumber(main);
}

void t_WindowVisible(std::uint8_t window, bool visible) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowVisible");
  if (hostWindow == nullptr) return;
  if (isSystemTextWindow(window)) {
    showSystemTextWindow(window, hostWindow, visible);
    return;
  }
  if (isGraphic(window)) {
    t_Window& record = windowRecord(window);
    // set before the window shows, so that its first redraw finds it visible
    record.Visible = visible;
    if (!visible) record.UpdateDuration = 0;
    markWindowChanged(window);  // shown anew (or no longer) at the next redraw
  }
  onMainThread([&] {
    if (visible) {
      host::current().orderFront(hostWindow);
    } else {
      host::current().orderOut(hostWindow);
    }
  });
}

void t_WindowFront(std::uint8_t window) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowFront");
  if (hostWindow == nullptr) return;
  t_WindowVisible(window, true);
  onMainThread([hostWindow] { host::current().makeKeyAndOrderFront(hostWindow); });
}

void t_WindowSize(std::uint8_t window, int x, int y, int width, int height) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowSize");
  if (hostWindow == nullptr) return;
  onMainThread([&] {
    const int askedWidth = width;
    const int askedHeight = height;
    if (x == -1) x = t_WindowPos(window, 13);
    if (y == -1) y = t_WindowPos(window, 20);
    if (width == -1) width = t_WindowPos(window, 8);
    if (height == -1) height = t_WindowPos(window, 9);
    if (isGraphic(window)) {
      resizeGraphicWindow(window, hostWindow, x, y, width, height);
    } else if (isSystemTextWindow(window)) {
      resizeSystemTextWindow(window, hostWindow, x, y, width, height, askedWidth, askedHeight);
    } else {
      host::current().setFrame(hostWindow, host::Rect{double(x), double(y), double(width),
                                                      double(height + TitleBarHeight)});
    }
  });
}

int t_WindowPos(std::uint8_t window, int selector) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowPos");
  if (hostWindow == nullptr) return 0;
  const WindowGeometry geometry = geometryOf(window, hostWindow);
  const bool graphic = isGraphic(window);
  if (selector >= 0 && selector <= 7) {
    if (!graphic) return outerAreaValue(geometry, selector);
    return MemoryReady ? textAreaValue(windowRecord(window), selector) : 0;
  }
  const int width = geometry.outerWidth;
  const int height = geometry.outerHeight;
  const int title = geometry.titleHeight;
  switch (selector) {
    case 8:
      return graphic ? width - 2 * geometry.borderWidth : width;
    case 9:
      return graphic ? height - (title + 2 * geometry.borderHeight) : height - title;
    case 10:
      return width;
    case 11:
      return height - title;
    case 12:
      return height;
    case 13:
      return static_cast<int>(geometry.frame.x);
    case 14:
      // The screen's own origin counts: a host that scales the desktop shows
      // it from wherever the fitted desktop begins.
      return static_cast<int>(geometry.screen.y + geometry.screen.height - geometry.frame.y -
                              height);
    case 15:
      return static_cast<int>(geometry.screen.width);
    case 16:
      return static_cast<int>(geometry.screen.height);
    case 17:
      return title;
    case 18:
      return geometry.borderWidth;
    case 19:
      return geometry.borderHeight;
    case 20:
      return static_cast<int>(geometry.frame.y);
    default:
      return 0;
  }
}

void t_WindowTitle(std::uint8_t window, const std::string& titleUtf8) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowTitle");
  if (hostWindow == nullptr) return;
  host::Host& desktop = host::current();
  if (desktop.isMainThread()) {
    desktop.setTitle(hostWindow, titleUtf8);
  } else {
    desktop.runOnMainAsync(
        [hostWindow, titleUtf8] { host::current().setTitle(hostWindow, titleUtf8); });
  }
}

void t_WindowTitleVisible(std::uint8_t window, bool visible) {
  host::HostWindow* hostWindow = existingWindow(window, "t_WindowTitleVisible");
  if (hostWindow == nullptr) return;
  if (isGraphic(window)) windowRecord(window).TitleHeight = visible ? TitleBarHeight.load() : 0;
  onMainThread([&] { host::current().setTitleVisible(hostWindow, visible); });
}

void t_QuitProgram(std::uint8_t window) {
  std::string line = "t_QuitProgram: Quitting current thread";
  if (t_WindowHost(window) != nullptr) {
    t_FullArea(window);
    t_CursorEnd(window);
    t_Htab(window, 1);
    t_DisplayMode(window, 0);
    t_Normal(window);
    t_Color(window, 1);
    t_Print(window, std::string("(Programm Ende)"));
    t_WindowUpdate(window, false);
    std::this_thread::sleep_for(kQuitMessagePause);
    line += " with message in window #" + std::to_string(window);
  }
  textoutput::flushRedirectedLine();  // text redirected to the log is not lost with the thread
  logLine(line + ".");
  throw ProgramThreadExit{};
}

bool t_WindowShouldClose(host::HostWindow* sender) {
  t_MouseEventPostCloseBoxClick(t_WindowNumber(sender));
  return false;
}

void t_WindowDidResize() {
  host::Host& desktop = host::current();
  host::HostWindow* main = desktop.mainWindow();
  if (main == nullptr) return;
  const std::uint8_t number = t_WindowNumber(main);
  const host::Rect frame = desktop.frame(main);
  if (!isSystemTextWindow(number)) return;
  desktop.setScrollViewFrame(
      number, systemtext::scrollViewFrame(number, frame.width, frame.height, TitleBarHeight));
  if (number == kPasteboardWindow) return;
  host::Rect ruler = desktop.rulerFrame(number);
  ruler.width = systemtext::rulerWidth(frame.width);
  ruler.height = systemtext::kRulerHeight;
  desktop.setRulerFrame(number, ruler);
}
