// The browser host: the toolbox's desktop in a web page. The page shows the
// text window and the picture window as two canvases fed from the video
// memory when it changed, the text screen as text for assistive technology,
// a toolbar of the program's menu items and a command line for touch screens.
// Panels are dialogs of the page; saved files live in the browser's storage
// and are offered as downloads.
//
// Threads: the browser's own main thread belongs to the page, which must
// never wait. This host runs on a thread of its own, the toolbox's main
// thread: run() serves work from the toolbox and input from the page
// (PageInput.cpp) in order, and may wait (a panel waits for the page's
// answer). The host knows nothing of the game: what it needs is handed to it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/web/FrameRows.h"
#include "host/web/ScreenTranscript.h"
#include "port/Host.h"
#include "port/WorkQueue.h"

namespace web {

// A toolbar button: a menu item of the desktop's menu bar, chosen through the
// same path as a click there, so that a script reads the same event.
struct WebMenuItem {
  std::string title;      // "Spiel sichern…"
  std::string menuTitle;  // "Ablage"
  int tag = 0;
  std::string keyChar;  // the desktop's key equivalent (with Ctrl+Shift), if any
};

struct WebOptions {
  std::uint8_t textWindow = 0;
  std::uint8_t pictureWindow = 1;
  std::string title = "Velmorat";
  std::vector<WebMenuItem> menuItems;
  // What the application's main window (12) says about the program.
  std::vector<std::string> aboutLines = {"Velmorat"};
  // Where the page keeps the player's saves, in the browser's storage.
  std::string saveFolder = "/persist/saves";
};

class WebHost : public host::Host {
 public:
  explicit WebHost(WebOptions options);
  ~WebHost() override;

  // Runs on the calling thread, which becomes the main thread: launch first,
  // then serves work and the page's input for good.
  [[noreturn]] void run(const std::function<void()>& launch);
  // The host that run() serves; nullptr before. Any thread.
  static WebHost* running();
  // Queues work for the main thread (any thread). Page input counts: the
  // page compares the count with what it sent (setWaiting).
  void post(std::function<void()> work);
  void postInput(std::function<void()> input);

  // --- The page's input (main thread) ---------------------------------------
  void typeKey(const std::string& name, const std::string& text, int pageFlags);
  void typeText(const std::string& textUtf8);
  void paste(const std::string& textUtf8);
  // The touch command line: its first line, then Return.
  void typeCommand(const std::string& lineUtf8);
  void chooseMenuItem(int tag);
  void answerPanel(int id, const std::string& path);
  void frameShown(int view);
  // The mouse wheel over the text window: lines further back (negative:
  // nearer the live screen), where the game keeps a past to show.
  void scrollPast(int lines);
  void textViewClosed(int window);

  // --- host::Host -------------------------------------------------------------
  bool isMainThread() const override;
  void runOnMainAndWait(const std::function<void()>& work) override;
  void runOnMainAsync(std::function<void()> work) override;

  host::HostView* graphicView(int window) override;
  host::HostWindow* windowOfView(host::HostView* view) override;
  host::HostWindow* fixedWindow(int window) override;
  host::HostWindow* mainWindow() override;
  bool isVisible(host::HostWindow* window) override;
  void orderFront(host::HostWindow* window) override;
  void orderOut(host::HostWindow* window) override;
  void makeKeyAndOrderFront(host::HostWindow* window) override;
  host::Rect frame(host::HostWindow* window) override;
  void setFrame(host::HostWindow* window, const host::Rect& frame) override;
  host::Rect screenFrame(host::HostWindow* window) override;
  void setTitle(host::HostWindow* window, const std::string& titleUtf8) override;
  void setTitleVisible(host::HostWindow*, bool) override {}
  void setBackgroundColor(host::HostWindow*, std::uint8_t, std::uint8_t, std::uint8_t,
                          std::uint8_t) override {}
  void setViewFrame(host::HostView*, const host::Rect&) override {}
  int titleBarHeight() override { return 0; }

  void setNeedsDisplay(host::HostView* view) override;
  void displayNow(host::HostView* view) override;

  bool hasTextView(int window) override;
  void setTextViewString(int window, const std::string& textUtf8) override;
  std::string textViewString(int window) override;
  host::Rect scrollViewFrame(int window) override;
  void setScrollViewFrame(int window, const host::Rect& frame) override;
  void setUpPlainTextView(int, const std::string&, int) override {}
  host::Rect rulerFrame(int) override { return {}; }
  void setRulerFrame(int, const host::Rect&) override {}

  // No menu bar: the program's items are the page's toolbar.
  host::HostMenu* topLevelMenu(const std::string&) override { return nullptr; }
  int menuItemCount(host::HostMenu*) override { return 0; }
  std::string menuItemTitle(host::HostMenu*, int) override { return {}; }
  void removeMenuItem(host::HostMenu*, int) override {}
  bool hasMenuBar() const override { return false; }

  std::string pasteboardText() override;
  void setPasteboardText(const std::string& textUtf8) override;
  void setPasteboardImage(const host::ArgbImage&) override;

  bool playSound(const std::string&) override { return false; }
  void systemBeep() override;
  std::vector<std::string> openPanel(const host::OpenPanelRequest& request) override;
  std::string savePanel(const host::SavePanelRequest& request) override;

 private:
  struct Window {
    int number = -1;
    bool visible = false;
    host::Rect frame{0, 0, 1280, 800};
    std::string title;
  };
  // One version of a file: a save is written to a new file that replaces the
  // old (AtomicFile), so its inode changes with every save.
  struct FileVersion {
    bool exists = false;
    std::uint64_t inode = 0;
    std::int64_t modified = 0;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
  };
  struct View {
    int number = -1;
    bool dirty = false;
    bool frameShown = true;  // the page has shown the last frame sent
    bool everSent = false;
    std::uint64_t sentChanges = 0;
    FrameRows rows;  // of the frame the page shows
  };

  // Waits until work arrives, runs all of it, then sends changed views.
  void serveOnce();
  void sendChangedViews();
  void sendView(View& view);
  // The text window's lines for screen-text, when they differ from those sent.
  void sendScreenText(const std::vector<std::string>& lines);
  // The program waits for input, or stopped: tells the page. waitBegun: the
  // program began this wait (not: the page's input was just handled).
  void noteInputWait(bool waitBegun);
  void showTextWindow(int number);
  // The page shows the text window's past pastLinesBack_ lines back, or the
  // live screen; the program and the video memory never see it.
  void showPast();
  void backToLiveScreen();
  std::string runPanel(bool saving, const std::string& title, const std::string& message,
                       const std::string& proposedName, const std::string& allowedTypes);
  Window* windowOf(host::HostWindow* handle);
  static FileVersion fileVersion(const std::string& path);

  WebOptions options_;
  host::WorkQueue work_;
  std::mutex wakeLock_;
  std::condition_variable wake_;
  bool woken_ = false;
  std::thread::id mainThread_;
  int inputSeen_ = 0;  // main thread
  // A line, menu item or panel answer went to the program since the page's
  // storage was last synced (main thread).
  bool commandSent_ = false;

  std::array<Window, 13> windows_{};
  std::array<View, 8> views_{};
  std::string screenTextSent_;
  std::map<int, std::string> textViews_;
  std::map<int, host::Rect> scrollViews_;
  std::string pasteboard_;

  int panelSerial_ = 0;
  bool panelAnswered_ = false;
  std::string panelAnswer_;
  std::string offeredFile_;     // a saved file to offer as a download once written
  FileVersion offeredVersion_;  // the file's version before

  ScreenTranscript transcript_;
  std::size_t pastLinesBack_ = 0;      // main thread
  std::size_t scrolledLinesSeen_ = 0;  // of the program's record of scrolled lines
  bool programSeen_ = false;
  bool programEnded_ = false;
};

}  // namespace web
