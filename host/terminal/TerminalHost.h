// The terminal host: the toolbox's desktop on a text terminal (a console, an
// SSH session, tmux). The text window is drawn as terminal text from its text
// video memory, the picture window through chafa beside or above it or on
// demand; keys are decoded from the terminal's bytes and handed to the key
// translation like the desktop's. What a desktop offers in menus is on
// function keys; the open and save panels are line prompts; the clipboard is
// the terminal's (OSC 52); the beep is the terminal bell.
//
// The thread that constructs the host and calls run() is the main thread.
// The host knows nothing of the game: what it needs is handed to it.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/terminal/Dialogs.h"
#include "host/terminal/InputDecoder.h"
#include "host/terminal/MainLoop.h"
#include "host/terminal/PictureRenderer.h"
#include "host/terminal/PlainTranscript.h"
#include "host/terminal/ScreenLayout.h"
#include "host/terminal/TerminalActions.h"
#include "host/terminal/TerminalDevice.h"
#include "host/terminal/TerminalScreen.h"
#include "host/terminal/TextCells.h"
#include "port/Host.h"
#include "toolbox/windows/TextFollower.h"

namespace terminal {

struct TerminalOptions {
  std::uint8_t textWindow = 0;
  std::uint8_t pictureWindow = 1;
  int textColumns = 78;
  int textRows = 24;
  int statusRows = 1;  // drawn bold
  // The picture mode; Symbols unless the terminal offers better, when not
  // chosen (pictureModeChosen false).
  PictureMode pictureMode = PictureMode::Symbols;
  bool pictureModeChosen = false;
  // Line by line for screen readers and braille (PlainTranscript), instead
  // of the screen drawn in place.
  bool plain = false;
  // What the application's main window (12) says about the program.
  std::vector<std::string> aboutLines = {"Velmorat"};
};

class TerminalHost : public host::Host {
 public:
  explicit TerminalHost(TerminalOptions options);
  ~TerminalHost() override;

  // Takes over the terminal; false with the reason when there is none.
  bool open(std::string& error);
  // Runs the main loop: launch first (on this thread), then until the player
  // quits, or until a key after the program ended (programRunning false
  // after having been true). Gives the terminal back before it returns.
  void run(const std::function<void()>& launch, const std::function<bool()>& programRunning);

  // Scripted play (main thread): called after each wait for input begins.
  void setInputWaitObserver(std::function<void()> observer) {
    inputWaitObserver_ = std::move(observer);
  }
  // Main thread: called after the loop woke for a signal (MainLoop::wakeFromSignal).
  void setSignalObserver(std::function<void()> observer) { signalObserver_ = std::move(observer); }
  // Main thread: while held, the screen is not drawn (a replay of many keys
  // shows only its end) unless a dialog asks something; released, it is
  // drawn whole.
  void holdDrawing(bool held);
  // Main thread: work run by the loop once the delay has passed.
  void runAfter(std::chrono::milliseconds delay, std::function<void()> work);
  // Main thread: a key typed into the text window, past the host's own keys.
  void typeKey(const InputEvent& key);
  // Main thread: the menu item with the toolbox tag, as its function key or
  // the menu would choose it; false when no item has that tag.
  bool chooseMenuItem(int tag);

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
  void setTitleVisible(host::HostWindow* window, bool visible) override;
  void setBackgroundColor(host::HostWindow* window, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue, std::uint8_t alpha) override;
  void setViewFrame(host::HostView* view, const host::Rect& frame) override;
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

  // No menu bar: the actions are on function keys.
  host::HostMenu* topLevelMenu(const std::string&) override { return nullptr; }
  int menuItemCount(host::HostMenu*) override { return 0; }
  std::string menuItemTitle(host::HostMenu*, int) override { return {}; }
  void removeMenuItem(host::HostMenu*, int) override {}
  bool hasMenuBar() const override { return false; }

  std::string pasteboardText() override;
  void setPasteboardText(const std::string& textUtf8) override;
  void setPasteboardImage(const host::ArgbImage& image) override;

  bool playSound(const std::string&) override { return false; }
  void systemBeep() override;
  std::vector<std::string> openPanel(const host::OpenPanelRequest& request) override;
  std::string savePanel(const host::SavePanelRequest& request) override;

 private:
  struct Window {
    int number = -1;
    bool visible = false;
    host::Rect frame{0, 0, 640, 480};
    std::string title;
  };
  struct View {
    int number = -1;
  };

  void processOnce(std::chrono::milliseconds idleTimeout);
  void readInput();
  void dispatch(const InputEvent& key);
  // The work of runAfter that is due; the time until the next is due.
  std::chrono::milliseconds runDueWork(std::chrono::milliseconds idleTimeout);
  void typePaste(const std::string& textUtf8);
  void performAction(const TerminalAction& action);
  void openMenu();
  void showHelp();
  void askQuit();
  // Runs the loop until the dialog is finished (or the player quit).
  void runModal(Dialog& dialog);
  void redrawWhenChanged();
  void noteDeviceAttributes(const std::string& parameters);
  void updateSize();
  void redraw();
  // The plain mode's redraw, and its words for the function keys' actions:
  // true when the key was Return after such a word and its action ran.
  void redrawPlain();
  bool runTypedAction(const InputEvent& key);
  void renderPicture();
  std::string hintText() const;
  // The fixed window shown over the game (a desktop would show it beside).
  void showFixedWindow(int number);
  void scrollFixedWindow(const InputEvent& key);
  // Page Up and Page Down over the text window's past; true when the key did that.
  bool scrollPast(const InputEvent& key);
  DialogView fixedWindowView() const;
  std::vector<std::string> fixedWindowLines() const;
  Window* windowOf(host::HostWindow* handle);

  TerminalOptions options_;
  TerminalDevice device_;
  std::unique_ptr<MainLoop> loop_;
  std::unique_ptr<TerminalScreen> screen_;
  InputDecoder decoder_;
  std::chrono::steady_clock::time_point lastInput_{};

  std::array<Window, 13> windows_{};
  std::array<View, 8> views_{};
  std::map<int, std::string> textViews_;
  std::map<int, host::Rect> scrollViews_;
  std::string pasteboard_;

  TerminalSize size_;
  ScreenLayout layout_;
  bool pictureOnDemand_ = false;
  bool dirty_ = true;        // something besides the text window changed
  bool textMarked_ = false;  // the toolbox asked to redraw the text window
  TextWindowCells shownText_;
  bool wholeScreen_ = true;
  bool quit_ = false;
  bool drawingHeld_ = false;
  std::function<bool()> programRunning_;
  std::function<void()> inputWaitObserver_;
  std::function<void()> signalObserver_;
  std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> laterWork_;
  std::deque<InputEvent> keys_;  // decoded, not yet handled
  bool programSeen_ = false;
  bool programEnded_ = false;
  Dialog* modal_ = nullptr;
  int shownWindow_ = -1;  // a fixed window 8..12 over the game; -1: none
  int shownFirstLine_ = 0;
  std::size_t pastLinesBack_ = 0;  // the text window's past shown; 0: the live text

  // The picture as last converted, and what it was converted from: the
  // picture window's image at its change count pictureChanges_.
  host::ArgbImage pictureImage_;
  std::uint64_t pictureChanges_ = 0;
  bool pictureRead_ = false;
  bool pictureChanged_ = true;
  SymbolPicture symbols_;
  std::string pixels_;
  CellRect pictureBox_;
  bool pixelsShown_ = false;

  PlainTranscript plain_;
  TextFollower follower_{0, 1, 0};
  FollowedText followed_;  // as last written in the plain mode
};

}  // namespace terminal
