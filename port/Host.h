// The desktop as the toolbox sees it: the few host operations that window
// management, refresh, events, menus, system windows, the pasteboard, the beep
// and the panels need. The toolbox never includes a platform header; it calls
// the installed Host instead. host/qt implements it with Qt Widgets, host/fake
// without a screen (tests and velmorat-tool).
//
// Threads: unless a method says otherwise it must be called on the host's main
// thread. Toolbox code on other threads wraps its calls in runOnMainAndWait.
// Host objects (windows, views) are owned by the host for the whole process;
// the toolbox only keeps the opaque pointers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

struct HostWindow;  // opaque: a top-level host window
struct HostView;    // opaque: the view that shows one graphic window's image
struct HostMenu;    // opaque: the submenu of one top-level item of the menu bar

// A host window's frame, in screen points, origin at the bottom left of the screen.
struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// 32-bit image as built by t_WindowImage: rows top first, each pixel the bytes
// alpha, red, green, blue; alpha is always 255.
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;  // width * height * 4
};

// The fixed windows of the interface description, by toolbox window number.
enum FixedWindow : int {
  kPasteboardWindow = 8,
  kVirtualPrinterWindow = 9,
  kSystemConsoleWindow = 10,
  kPreferencesWindow = 11,
  kMainWindow = 12,
};

// Paths in the answers are plain local paths in precomposed (NFC) Unicode.
struct OpenPanelRequest {
  std::string title;
  std::string message;
  std::string prompt;        // the confirm button: "Öffnen", or "Wählen" in folders mode
  std::string allowedTypes;  // comma-separated extensions, empty allows all
  bool multipleSelection = false;
  bool filesSelectable = true;
  bool foldersMode = false;
};

struct SavePanelRequest {
  std::string title;
  std::string message;
  std::string prompt;          // the confirm button: "Sichern"
  std::string nameFieldLabel;  // "Sichern unter:"
  std::string proposedName;
  std::string allowedTypes;
};

class Host {
 public:
  virtual ~Host() = default;

  // --- Threads (any thread) -------------------------------------------------
  virtual bool isMainThread() const = 0;
  // Runs work on the main thread and returns when it has run; runs it directly
  // when already on the main thread.
  virtual void runOnMainAndWait(const std::function<void()>& work) = 0;
  // Queues work for the main thread and returns at once.
  virtual void runOnMainAsync(std::function<void()> work) = 0;

  // --- Windows and views (main thread) --------------------------------------
  // The view View00..View07 of graphic window 0..7; nullptr when the interface
  // description has none.
  virtual HostView* graphicView(int window) = 0;
  virtual HostWindow* windowOfView(HostView* view) = 0;
  // Windows 8..12; nullptr when missing.
  virtual HostWindow* fixedWindow(int window) = 0;
  // The application's current main window, nullptr when there is none.
  virtual HostWindow* mainWindow() = 0;
  virtual bool isVisible(HostWindow* window) = 0;
  virtual void orderFront(HostWindow* window) = 0;
  virtual void orderOut(HostWindow* window) = 0;
  virtual void makeKeyAndOrderFront(HostWindow* window) = 0;
  virtual Rect frame(HostWindow* window) = 0;
  virtual void setFrame(HostWindow* window, const Rect& frame) = 0;
  // The visible frame of the screen that shows the window (points).
  virtual Rect screenFrame(HostWindow* window) = 0;
  virtual void setTitle(HostWindow* window, const std::string& titleUtf8) = 0;
  virtual void setTitleVisible(HostWindow* window, bool visible) = 0;
  virtual void setBackgroundColor(HostWindow* window, std::uint8_t red, std::uint8_t green,
                                  std::uint8_t blue, std::uint8_t alpha) = 0;
  // Places the view inside its window: origin (from the bottom left) and size, points.
  virtual void setViewFrame(HostView* view, const Rect& frame) = 0;
  // Height of a title bar in points, measured once at launch.
  virtual int titleBarHeight() = 0;

  // --- Refresh (main thread) ------------------------------------------------
  // Marks the view for redrawing; the host later asks the toolbox for the image.
  virtual void setNeedsDisplay(HostView* view) = 0;
  // Redraws the view now; returns after the image has been shown.
  virtual void displayNow(HostView* view) = 0;

  // --- System text views of windows 8, 9, 10 (main thread) -----------------
  virtual bool hasTextView(int window) = 0;
  virtual void setTextViewString(int window, const std::string& textUtf8) = 0;
  virtual std::string textViewString(int window) = 0;
  // The scroll view around the text view: frame in window points.
  virtual Rect scrollViewFrame(int window) = 0;
  virtual void setScrollViewFrame(int window, const Rect& frame) = 0;
  // Shows the text as typed: no automatic quote, dash, link or data changes;
  // the font by family name and size in points (a monospace fallback when the
  // family is missing).
  virtual void setUpPlainTextView(int window, const std::string& fontFamily, int pointSize) = 0;
  // The one-line ruler field above the text of windows 9 and 10; frame in
  // window points. A window without a ruler answers an empty Rect and ignores
  // the change.
  virtual Rect rulerFrame(int window) = 0;
  virtual void setRulerFrame(int window, const Rect& frame) = 0;

  // --- Menu bar (main thread) -----------------------------------------------
  // The submenu of the menu bar's top-level item with exactly this title;
  // nullptr when there is none. Menus live as long as the application.
  virtual HostMenu* topLevelMenu(const std::string& titleUtf8) = 0;
  virtual int menuItemCount(HostMenu* menu) = 0;
  // Title of the item at index (0-based, < menuItemCount); separators have "".
  virtual std::string menuItemTitle(HostMenu* menu, int index) = 0;
  virtual void removeMenuItem(HostMenu* menu, int index) = 0;
  // False for a host without a menu bar (a terminal, whose menu items are on
  // function keys): there no menu is ever found, and that is no fault. Never
  // changes; any thread.
  virtual bool hasMenuBar() const { return true; }

  // --- Pasteboard (main thread) ---------------------------------------------
  virtual std::string pasteboardText() = 0;
  virtual void setPasteboardText(const std::string& textUtf8) = 0;
  virtual void setPasteboardImage(const ArgbImage& image) = 0;

  // --- Sound and panels (main thread) ---------------------------------------
  // Plays the named sound file from the resources unless it is already playing.
  // Returns false when it cannot be played (no file, no audio device).
  virtual bool playSound(const std::string& resourcePath) = 0;
  virtual void systemBeep() = 0;
  // Modal panels; empty result when cancelled.
  virtual std::vector<std::string> openPanel(const OpenPanelRequest& request) = 0;
  virtual std::string savePanel(const SavePanelRequest& request) = 0;
};

// The host the process runs on. Installed once at start-up, before the program
// thread starts; read from every thread afterwards.
Host& current();
void install(Host* host);
bool installed();

}  // namespace host
