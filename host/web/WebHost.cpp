#include "host/web/WebHost.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <functional>

#include "host/web/PageCalls.h"
#include "host/web/WebKeys.h"
#include "port/FixedWindows.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Scrollback.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace web {
namespace {

std::atomic<WebHost*> runningHost{nullptr};

constexpr host::Rect kScreenFrame{0, 0, 2560, 1440};
// A paste is the pasteboard of the line editor, which takes its first line
// and cuts that further; the bound keeps a huge clipboard out of memory.
constexpr std::size_t kMaxPasteBytes = 64 * 1024;
// The command line types at most this many characters before its Return; the
// line editor's field holds far fewer.
constexpr std::size_t kMaxCommandCharacters = 1024;
constexpr char32_t kControlV = 0x16;
// The transcript takes at most the newest this many of the lines that
// scrolled away between two waits (a script printing without end).
constexpr std::size_t kMaxScrolledLinesPerWait = 2000;
constexpr int kWaitingNothing = 0;
constexpr int kWaitingKey = 1;
constexpr int kWaitingLine = 2;

host::HostWindow* handleOf(void* window) {
  return static_cast<host::HostWindow*>(window);
}

// The rows as --dump-text writes them: each line's trailing blanks cut.
std::vector<std::string> screenLines(std::uint8_t window) {
  const t_Window& record = windowRecord(window);
  std::vector<std::string> lines;
  const int height = record.TextHeight;
  const int width = record.TextWidth;
  for (int line = 1; line <= height; ++line)
    lines.push_back(t_GetScreenLine(window, line, 1, width));
  return lines;
}

// The lines that left the text area since seen of them had (the program's
// record of them, read a page at a time), oldest first. None when the record
// did not grow: it is absent, or it has reached its bound and drops as it adds.
std::vector<std::string> scrolledAwaySince(std::uint8_t window, std::size_t seen,
                                           std::size_t kept) {
  std::vector<std::string> lines;
  std::size_t first = kept - std::min(kept - std::min(seen, kept), kMaxScrolledLinesPerWait);
  while (first < kept) {
    const ScrollbackPage page = t_ScrollbackPage(window, kept - first);
    // The record changed meanwhile, or the window has no text area.
    if (page.linesBack != kept - first || page.lines.empty()) break;
    const std::size_t taken = std::min(page.lines.size(), kept - first);
    lines.insert(lines.end(), page.lines.begin(),
                 page.lines.begin() + static_cast<std::ptrdiff_t>(taken));
    first += taken;
  }
  return lines;
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace

WebHost::WebHost(WebOptions options) : options_(std::move(options)) {
  for (int number = 0; number < static_cast<int>(windows_.size()); ++number)
    windows_[static_cast<std::size_t>(number)].number = number;
  for (int number = 0; number < static_cast<int>(views_.size()); ++number)
    views_[static_cast<std::size_t>(number)].number = number;
  for (int number :
       {host::kPasteboardWindow, host::kVirtualPrinterWindow, host::kSystemConsoleWindow}) {
    textViews_[number] = "";
    scrollViews_[number] = host::Rect{20, 20, 600, 400};
  }
}

WebHost::~WebHost() = default;

WebHost* WebHost::running() {
  return runningHost.load();
}

void WebHost::run(const std::function<void()>& launch) {
  mainThread_ = std::this_thread::get_id();
  page::setTitle(options_.title);
  page::useSaveFolder(options_.saveFolder);
  for (const WebMenuItem& item : options_.menuItems) page::addMenuItem(item.tag, item.title);
  // Called on the program thread as a wait begins: the page hears of it once
  // the host has handled what came before.
  setInputWaitListener([this](InputWaitState) { post([this] { noteInputWait(true); }); });
  runningHost.store(this);
  launch();
  for (;;) serveOnce();
}

void WebHost::post(std::function<void()> work) {
  work_.push(std::move(work));
  {
    std::lock_guard guard(wakeLock_);
    woken_ = true;
  }
  wake_.notify_one();
}

void WebHost::postInput(std::function<void()> input) {
  post([this, input = std::move(input)] {
    ++inputSeen_;
    input();
    // What the program waits for now: the same wait when the input changed
    // nothing, or none until it has taken the input.
    noteInputWait(false);
  });
}

void WebHost::serveOnce() {
  {
    std::unique_lock lock(wakeLock_);
    wake_.wait(lock, [this] { return woken_; });
    woken_ = false;
  }
  while (work_.runOldest()) {
  }
  sendChangedViews();
}

void WebHost::sendChangedViews() {
  for (std::uint8_t number : {options_.textWindow, options_.pictureWindow}) {
    View& view = views_[number];
    if (view.dirty && view.frameShown) sendView(view);
  }
}

void WebHost::sendView(View& view) {
  const auto number = static_cast<std::uint8_t>(view.number);
  view.dirty = false;
  // The count is taken before the pixels are read: a drawing that lands
  // meanwhile leaves a newer count for the next time.
  const std::uint64_t changes = windowChangeCount(number);
  if (view.everSent && changes == view.sentChanges) return;
  // Only the rows that differ from the frame sent before are converted and go
  // to the page: a typed character changes one text row, a 25th of the window.
  FrameBand band;
  if (!t_ReadWindowPixels(
          number, [&](const WindowPixels& pixels) { band = view.rows.changedBand(pixels); }))
    return;
  view.everSent = true;
  view.sentChanges = changes;
  if (number == options_.textWindow) sendScreenText(screenLines(number));
  if (band.rows == 0) return;
  view.frameShown = false;
  page::showFrame(view.number, band);
}

void WebHost::sendScreenText(const std::vector<std::string>& lines) {
  std::string text = joinedLines(lines);
  if (text == screenTextSent_) return;
  screenTextSent_ = text;
  page::setScreenText(text);
}

void WebHost::noteInputWait(bool waitBegun) {
  const InputWaitState wait = currentInputWait();
  int waiting = kWaitingNothing;
  if (!KeyAvailable.load() && wait.kind != InputWaitKind::None)
    waiting = wait.kind == InputWaitKind::Line ? kWaitingLine : kWaitingKey;
  const std::uint8_t window = options_.textWindow;
  if (windowRecord(window).Initialized) {
    const std::vector<std::string> lines = screenLines(window);
    sendScreenText(lines);
    if (waiting != kWaitingNothing) {
      const std::size_t kept = t_ScrollbackLinesKept(window);
      page::addTranscriptLines(
          transcript_.finishedLines(lines, windowRecord(window).TextFirstLine, t_Vpos(window),
                                    scrolledAwaySince(window, scrolledLinesSeen_, kept)));
      scrolledLinesSeen_ = kept;
    }
  }
  // The prompt is back before the storage is written.
  page::setWaiting(waiting, inputSeen_);
  if (waiting == kWaitingLine && waitBegun) {
    // The program has carried out what was asked of it and waits anew: the
    // last state and saved files are written and go to the browser's
    // storage. Not at every key typed into the line (each begins a wait): a
    // sync walks the whole store on the page's thread. Not when the page's
    // input is merely handled: a menu item finds the old wait still there.
    bool offer = false;
    if (!offeredFile_.empty()) {
      const FileVersion version = fileVersion(offeredFile_);
      offer = version.exists && !(version == offeredVersion_);
    }
    // Synced first: the page shows the download once the sync has begun.
    if (commandSent_ || offer) page::syncStorage();
    commandSent_ = false;
    if (offer) {
      page::offerDownload(offeredFile_);
      offeredFile_.clear();
    }
  }
  if (waiting != kWaitingNothing) page::flushConsole();
  if (ProgramThreadsRunning.load() > 0) {
    programSeen_ = true;
  } else if (programSeen_ && !programEnded_) {
    programEnded_ = true;
    page::flushConsole();
    page::programEnded();
  }
}

// --- The page's input ----------------------------------------------------------

void WebHost::typeKey(const std::string& name, const std::string& text, int pageFlags) {
  // Page Up and Page Down leaf through the past where the game offers one;
  // any other key comes back to the live screen and is typed.
  if ((name == "PageUp" || name == "PageDown") && pageFlags == 0 &&
      t_ScrollbackEnabled(options_.textWindow)) {
    const int page = t_ScrollbackPageLines(options_.textWindow);
    scrollPast(name == "PageUp" ? page : -page);
    return;
  }
  backToLiveScreen();
  const std::optional<WebKeyPress> press = webKeyPress(name, text, pageFlags);
  if (!press) return;
  if (press->code == keycode::kReturn) commandSent_ = true;
  viewKeyDown(options_.textWindow, press->code, press->characters, press->flags);
  viewKeyUp(options_.textWindow);
}

void WebHost::typeText(const std::string& textUtf8) {
  backToLiveScreen();
  for (char32_t character : utf8ToScalars(textUtf8)) {
    if (character == U'\r' || character == U'\n') continue;
    const WebKeyPress press = webCharacterPress(character);
    viewKeyDown(options_.textWindow, press.code, press.characters, press.flags);
    viewKeyUp(options_.textWindow);
  }
}

void WebHost::paste(const std::string& textUtf8) {
  // As on the desktop: the line editor pastes the pasteboard on Ctrl-V.
  backToLiveScreen();
  pasteboard_ = textUtf8.substr(0, kMaxPasteBytes);
  std::string characters;
  appendUtf8(characters, kControlV);
  viewKeyDown(options_.textWindow, keycode::kV, characters, kModifierControl);
  viewKeyUp(options_.textWindow);
}

void WebHost::typeCommand(const std::string& lineUtf8) {
  std::u32string line = utf8ToScalars(lineUtf8);
  line = line.substr(0, std::min(line.find_first_of(U"\r\n"), kMaxCommandCharacters));
  typeText(scalarsToUtf8(line));
  typeKey("Enter", "", 0);
}

void WebHost::scrollPast(int lines) {
  const std::uint8_t window = options_.textWindow;
  if (!t_ScrollbackEnabled(window)) return;
  const auto kept = static_cast<long long>(t_ScrollbackLinesKept(window));
  const long long wanted = static_cast<long long>(pastLinesBack_) + lines;
  pastLinesBack_ = static_cast<std::size_t>(std::clamp(wanted, 0LL, kept));
  showPast();
}

void WebHost::showPast() {
  if (pastLinesBack_ == 0) {
    page::hidePast();
    return;
  }
  const ScrollbackPage past = t_ScrollbackPage(options_.textWindow, pastLinesBack_);
  pastLinesBack_ = past.linesBack;
  if (pastLinesBack_ == 0) {
    page::hidePast();
    return;
  }
  page::showPast(t_ScrollbackMark(past), joinedLines(past.lines));
}

void WebHost::backToLiveScreen() {
  if (pastLinesBack_ == 0) return;
  pastLinesBack_ = 0;
  page::hidePast();
}

void WebHost::chooseMenuItem(int tag) {
  for (const WebMenuItem& item : options_.menuItems) {
    if (item.tag != tag) continue;
    MenuSender sender;
    sender.inMenu = true;
    sender.menuTitle = item.menuTitle;
    sender.itemTitle = item.title;
    sender.tag = item.tag;
    commandSent_ = true;
    sender.keyChar = item.keyChar;
    if (!item.keyChar.empty()) sender.keyMods = kModifierControl | kModifierShift;
    t_MenuEventHandler(sender);
    return;
  }
  logLine("WebHost: No menu item has the tag " + std::to_string(tag) + ".");
}

void WebHost::answerPanel(int id, const std::string& path) {
  if (id != panelSerial_ || panelAnswered_) return;
  panelAnswer_ = path;
  panelAnswered_ = true;
  commandSent_ = true;
}

void WebHost::frameShown(int view) {
  if (view < 0 || view >= static_cast<int>(views_.size())) return;
  views_[static_cast<std::size_t>(view)].frameShown = true;
}

void WebHost::textViewClosed(int window) {
  if (window < host::kPasteboardWindow || window > host::kMainWindow) return;
  Window& closed = windows_[static_cast<std::size_t>(window)];
  if (!closed.visible) return;
  // The close box: the toolbox hides the window itself.
  t_WindowShouldClose(handleOf(&closed));
  closed.visible = false;
}

// --- host::Host ------------------------------------------------------------------

bool WebHost::isMainThread() const {
  return std::this_thread::get_id() == mainThread_;
}

void WebHost::runOnMainAndWait(const std::function<void()>& work) {
  if (isMainThread()) {
    work();
    return;
  }
  host::postAndWait([this](std::function<void()> queued) { post(std::move(queued)); }, work);
}

void WebHost::runOnMainAsync(std::function<void()> work) {
  post(std::move(work));
}

host::HostView* WebHost::graphicView(int window) {
  if (window < 0 || window >= static_cast<int>(views_.size())) return nullptr;
  return reinterpret_cast<host::HostView*>(&views_[static_cast<std::size_t>(window)]);
}

host::HostWindow* WebHost::windowOfView(host::HostView* view) {
  if (view == nullptr) return nullptr;
  const int number = reinterpret_cast<View*>(view)->number;
  return handleOf(&windows_[static_cast<std::size_t>(number)]);
}

host::HostWindow* WebHost::fixedWindow(int window) {
  if (window < host::kPasteboardWindow || window > host::kMainWindow) return nullptr;
  return handleOf(&windows_[static_cast<std::size_t>(window)]);
}

host::HostWindow* WebHost::mainWindow() {
  for (int number = host::kPasteboardWindow; number <= host::kMainWindow; ++number) {
    if (windows_[static_cast<std::size_t>(number)].visible)
      return handleOf(&windows_[static_cast<std::size_t>(number)]);
  }
  return handleOf(&windows_[options_.textWindow]);
}

bool WebHost::isVisible(host::HostWindow* window) {
  const Window* found = windowOf(window);
  return found != nullptr && found->visible;
}

void WebHost::orderFront(host::HostWindow* window) {
  Window* found = windowOf(window);
  if (found == nullptr) return;
  found->visible = true;
  if (found->number >= host::kPasteboardWindow) showTextWindow(found->number);
}

void WebHost::orderOut(host::HostWindow* window) {
  Window* found = windowOf(window);
  if (found == nullptr) return;
  found->visible = false;
  if (found->number >= host::kPasteboardWindow) page::hideTextView(found->number);
}

void WebHost::makeKeyAndOrderFront(host::HostWindow* window) {
  orderFront(window);
}

host::Rect WebHost::frame(host::HostWindow* window) {
  const Window* found = windowOf(window);
  return found != nullptr ? found->frame : host::Rect{};
}

void WebHost::setFrame(host::HostWindow* window, const host::Rect& frame) {
  if (Window* found = windowOf(window)) found->frame = frame;
}

host::Rect WebHost::screenFrame(host::HostWindow*) {
  return kScreenFrame;
}

void WebHost::setTitle(host::HostWindow* window, const std::string& titleUtf8) {
  Window* found = windowOf(window);
  if (found == nullptr) return;
  found->title = titleUtf8;
  if (found->number == options_.textWindow) page::setTitle(titleUtf8);
}

void WebHost::setNeedsDisplay(host::HostView* view) {
  if (view != nullptr) reinterpret_cast<View*>(view)->dirty = true;
}

void WebHost::displayNow(host::HostView* view) {
  if (view == nullptr) return;
  reinterpret_cast<View*>(view)->dirty = true;
  sendChangedViews();
}

bool WebHost::hasTextView(int window) {
  return textViews_.count(window) != 0;
}

void WebHost::setTextViewString(int window, const std::string& textUtf8) {
  if (!hasTextView(window)) return;
  textViews_[window] = textUtf8;
  if (windows_[static_cast<std::size_t>(window)].visible) showTextWindow(window);
}

std::string WebHost::textViewString(int window) {
  const auto found = textViews_.find(window);
  return found != textViews_.end() ? found->second : std::string();
}

host::Rect WebHost::scrollViewFrame(int window) {
  const auto found = scrollViews_.find(window);
  return found != scrollViews_.end() ? found->second : host::Rect{};
}

void WebHost::setScrollViewFrame(int window, const host::Rect& frame) {
  if (scrollViews_.count(window) != 0) scrollViews_[window] = frame;
}

void WebHost::showTextWindow(int number) {
  const Window& window = windows_[static_cast<std::size_t>(number)];
  const std::string title =
      window.title.empty() ? std::string(host::fixedWindowTitle(number)) : window.title;
  std::string text;
  if (number == host::kPreferencesWindow) {
    text = "Velmorat hat keine Einstellungen.";
  } else if (number == host::kMainWindow) {
    text = joinedLines(options_.aboutLines);
  } else {
    text = textViewString(number);
  }
  page::showTextView(number, title, text);
}

std::string WebHost::pasteboardText() {
  return pasteboard_;
}

void WebHost::setPasteboardText(const std::string& textUtf8) {
  pasteboard_ = textUtf8;
  page::copyText(textUtf8);
}

void WebHost::setPasteboardImage(const host::ArgbImage&) {
  // The page copies text only.
  systemBeep();
}

void WebHost::systemBeep() {
  page::beep();
}

std::string WebHost::runPanel(bool saving, const std::string& title, const std::string& message,
                              const std::string& proposedName, const std::string& allowedTypes) {
  const int id = ++panelSerial_;
  panelAnswered_ = false;
  panelAnswer_.clear();
  page::openPanel(id, saving, title, message, proposedName, allowedTypes);
  // The toolbox waits for the panel as on the desktop; this thread serves
  // everything else meanwhile, the page's thread never waits.
  while (!panelAnswered_) serveOnce();
  return panelAnswer_;
}

std::vector<std::string> WebHost::openPanel(const host::OpenPanelRequest& request) {
  const std::string path =
      runPanel(false, request.title, request.message, "", request.allowedTypes);
  if (path.empty()) return {};
  return {path};
}

std::string WebHost::savePanel(const host::SavePanelRequest& request) {
  const std::string path =
      runPanel(true, request.title, request.message, request.proposedName, request.allowedTypes);
  if (!path.empty()) {
    // Offered for download once the program has written it.
    offeredFile_ = path;
    offeredVersion_ = fileVersion(path);
  }
  return path;
}

WebHost::FileVersion WebHost::fileVersion(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return {true, static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::int64_t>(status.st_mtime)};
}

WebHost::Window* WebHost::windowOf(host::HostWindow* handle) {
  for (Window& window : windows_) {
    if (handleOf(&window) == handle) return &window;
  }
  return nullptr;
}

}  // namespace web
