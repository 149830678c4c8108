// A host without a screen. It keeps what a desktop would show (frames, titles,
// visibility, the last image of each view, the pasteboard, the text views) so
// that tests can look at it, and it runs "main thread" work directly on the
// calling thread under one mutex, which keeps the toolbox's hand-overs sound
// without an event loop.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "port/Host.h"

namespace host {

struct HostWindow {
  int number = -1;
  bool visible = false;
  bool titleVisible = true;
  Rect frame{100, 100, 640, 480};
  std::string title;
  std::uint8_t background[4] = {0, 0, 0, 255};  // red, green, blue, alpha
};

// A menu of the fake menu bar: its title and item titles ("" is a separator).
struct HostMenu {
  std::string title;
  std::vector<std::string> items;
};

struct HostView {
  int number = -1;
  HostWindow* window = nullptr;
  Rect frame;
  int needsDisplayCount = 0;
  int displayNowCount = 0;
};

class FakeHost : public Host {
 public:
  // withViews false models an interface description without graphic views.
  explicit FakeHost(bool withViews = true);

  bool isMainThread() const override;
  void runOnMainAndWait(const std::function<void()>& work) override;
  void runOnMainAsync(std::function<void()> work) override;

  HostView* graphicView(int window) override;
  HostWindow* windowOfView(HostView* view) override;
  HostWindow* fixedWindow(int window) override;
  HostWindow* mainWindow() override;
  bool isVisible(HostWindow* window) override;
  void orderFront(HostWindow* window) override;
  void orderOut(HostWindow* window) override;
  void makeKeyAndOrderFront(HostWindow* window) override;
  Rect frame(HostWindow* window) override;
  void setFrame(HostWindow* window, const Rect& frame) override;
  Rect screenFrame(HostWindow* window) override;
  void setTitle(HostWindow* window, const std::string& titleUtf8) override;
  void setTitleVisible(HostWindow* window, bool visible) override;
  void setBackgroundColor(HostWindow* window, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue, std::uint8_t alpha) override;
  void setViewFrame(HostView* view, const Rect& frame) override;
  int titleBarHeight() override { return kTitleBarHeight; }

  void setNeedsDisplay(HostView* view) override;
  void displayNow(HostView* view) override;

  bool hasTextView(int window) override;
  void setTextViewString(int window, const std::string& textUtf8) override;
  std::string textViewString(int window) override;
  Rect scrollViewFrame(int window) override;
  void setScrollViewFrame(int window, const Rect& frame) override;
  void setUpPlainTextView(int window, const std::string& fontFamily, int pointSize) override;
  Rect rulerFrame(int window) override;
  void setRulerFrame(int window, const Rect& frame) override;

  HostMenu* topLevelMenu(const std::string& titleUtf8) override;
  int menuItemCount(HostMenu* menu) override;
  std::string menuItemTitle(HostMenu* menu, int index) override;
  void removeMenuItem(HostMenu* menu, int index) override;
  bool hasMenuBar() const override { return withMenuBar; }

  std::string pasteboardText() override;
  void setPasteboardText(const std::string& textUtf8) override;
  void setPasteboardImage(const ArgbImage& image) override;

  bool playSound(const std::string& resourcePath) override;
  void systemBeep() override;
  std::vector<std::string> openPanel(const OpenPanelRequest& request) override;
  std::string savePanel(const SavePanelRequest& request) override;

  // What tests look at.
  static constexpr int kTitleBarHeight = 28;
  static constexpr Rect kScreen{0, 0, 1920, 1080};
  HostWindow& window(int number) { return windows_.at(number); }
  HostView& view(int number) { return views_.at(number); }
  // The window that mainWindow() answers; -1 for none.
  int mainWindowNumber = kMainWindow;
  int systemBeeps = 0;
  int soundsPlayed = 0;
  ArgbImage pasteboardImage;
  std::vector<std::string> openPanelAnswer;
  std::string savePanelAnswer;
  // The fake menu bar; tests fill it. topLevelMenu finds the first menu by title.
  std::vector<std::unique_ptr<HostMenu>> menuBar;
  bool withMenuBar = true;   // false: a host without one, as a terminal
  std::string textViewFont;  // "family size" of the last setUpPlainTextView
  std::vector<OpenPanelRequest> openPanelRequests;
  std::vector<SavePanelRequest> savePanelRequests;

 private:
  bool withViews_;
  std::thread::id mainThread_;
  std::recursive_mutex mainLock_;
  std::array<HostWindow, 13> windows_;
  std::array<HostView, 8> views_;
  std::map<int, std::string> textViews_;
  std::map<int, Rect> scrollViews_;
  std::map<int, Rect> rulers_;
  std::string pasteboardText_;
};

}  // namespace host
