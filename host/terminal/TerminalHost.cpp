#include "host/terminal/TerminalHost.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "host/terminal/Clipboard.h"
#include "host/terminal/TextCells.h"
#include "host/terminal/ToolboxKeys.h"
#include "port/FixedWindows.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace terminal {
namespace {

// How long the loop sleeps when nothing happens. Input, work, signals, a new
// wait of the program and its end wake it at once; this only bounds a wait
// for something that forgot to say so.
constexpr std::chrono::milliseconds kIdleTimeout{1000};
constexpr double kUsualCellAspect = 0.5;
constexpr double kUsualPictureAspect = 1.6;
constexpr char32_t kControlC = 3;
constexpr host::Rect kScreenFrame{0, 0, 1920, 1080};
constexpr std::size_t kInputChunkBytes = 4096;
// Lines a step of the mouse wheel moves, as terminals and desktops do.
constexpr long long kWheelLines = 3;
// Rows of the screen that a shown window's box needs besides its text lines:
// the frame and the line of keys.
constexpr int kWindowBoxExtraRows = 4;

// Lines of at most width characters; longer lines are wrapped.
std::vector<std::string> wrappedLines(const std::string& textUtf8, int width) {
  std::vector<std::string> lines;
  std::u32string line;
  for (char32_t character : utf8ToScalars(textUtf8 + "\n")) {
    if (character == U'\n' || character == U'\r') {
      lines.push_back(scalarsToUtf8(line));
      line.clear();
      continue;
    }
    if (static_cast<int>(line.size()) >= width) {
      lines.push_back(scalarsToUtf8(line));
      line.clear();
    }
    line.push_back(character < 0x20 ? U' ' : character);
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

host::HostWindow* handleOf(void* window) {
  return static_cast<host::HostWindow*>(window);
}

bool environmentHas(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string environmentOf(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The first picture mode the terminal's environment names; Symbols when none.
PictureMode pictureModeOfEnvironment() {
  // Inside tmux or screen the sequences of the outer terminal would have to
  // be wrapped for passthrough; the block symbols always work there.
  if (environmentHas("TMUX") || environmentOf("TERM").starts_with("screen")) {
    return PictureMode::Symbols;
  }
  if (environmentHas("KITTY_WINDOW_ID") || environmentOf("TERM") == "xterm-kitty") {
    return PictureMode::Kitty;
  }
  const std::string program = environmentOf("TERM_PROGRAM");
  if (program == "iTerm.app" || program == "WezTerm") return PictureMode::Iterm2;
  return PictureMode::Symbols;
}

// A path from a prompt: relative to the working folder, "~/" for the home folder.
std::string absolutePath(const std::string& typed) {
  if (typed.empty()) return typed;
  std::filesystem::path path(typed);
  if (typed.starts_with("~/") && environmentHas("HOME")) {
    path = std::filesystem::path(environmentOf("HOME")) / typed.substr(2);
  }
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? typed : absolute.lexically_normal().string();
}

// The name with the first allowed extension when it has none of them
// ("txt,log": "protokoll" becomes "protokoll.txt").
std::string withAllowedExtension(const std::string& name, const std::string& allowedTypes) {
  if (allowedTypes.empty() || name.empty()) return name;
  std::string first;
  std::size_t start = 0;
  while (start <= allowedTypes.size()) {
    std::size_t end = allowedTypes.find(',', start);
    if (end == std::string::npos) end = allowedTypes.size();
    const std::string type = allowedTypes.substr(start, end - start);
    if (first.empty()) first = type;
    if (!type.empty() && name.ends_with("." + type)) return name;
    start = end + 1;
  }
  return first.empty() ? name : name + "." + first;
}

bool isControlC(const InputEvent& key) {
  return key.kind == InputKind::Character && key.character == kControlC;
}

}  // namespace

TerminalHost::TerminalHost(TerminalOptions options) : options_(options) {
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

TerminalHost::~TerminalHost() = default;

bool TerminalHost::open(std::string& error) {
  follower_ = TextFollower(options_.textWindow, options_.pictureWindow, 0);
  if (!device_.open(error, options_.plain ? DeviceMode::Lines : DeviceMode::Screen)) return false;
  loop_ = std::make_unique<MainLoop>();
  if (options_.plain) {
    updateSize();
    return true;
  }
  screen_ = std::make_unique<TerminalScreen>(device_.colourCount(), options_.statusRows);
  if (!options_.pictureModeChosen) {
    options_.pictureMode = pictureModeOfEnvironment();
    // Whether the terminal draws sixels only it can tell: ask for its device
    // attributes; the answer arrives as input (see noteDeviceAttributes).
    if (options_.pictureMode == PictureMode::Symbols && !environmentHas("TMUX"))
      device_.writeRaw("\x1b[c");
  }
  updateSize();
  return true;
}

void TerminalHost::run(const std::function<void()>& launch,
                       const std::function<bool()>& programRunning) {
  programRunning_ = programRunning;
  // A new wait moves the cursor; the end of the program thread ends the run.
  setInputWaitListener([this](InputWaitState) {
    loop_->post([this] {
      textMarked_ = true;
      if (inputWaitObserver_) inputWaitObserver_();
    });
  });
  launch();
  while (!quit_) {
    processOnce(kIdleTimeout);
    if (programEnded_ && !quit_) {
      MessageDialog end("Velmorat",
                        {"Das Programm ist beendet.", "", "Eine Taste beendet Velmorat."});
      runModal(end);
      quit_ = true;
    }
  }
  setInputWaitListener({});
  device_.close();
}

void TerminalHost::holdDrawing(bool held) {
  drawingHeld_ = held;
  dirty_ = true;
}

void TerminalHost::redrawWhenChanged() {
  // A dialog waits for an answer that no replay gives: it shows through a hold.
  if (drawingHeld_ && modal_ == nullptr) return;
  if (dirty_ || textMarked_) redraw();
}

void TerminalHost::runAfter(std::chrono::milliseconds delay, std::function<void()> work) {
  laterWork_.emplace(std::chrono::steady_clock::now() + delay, std::move(work));
}

std::chrono::milliseconds TerminalHost::runDueWork(std::chrono::milliseconds idleTimeout) {
  while (!laterWork_.empty() && laterWork_.begin()->first <= std::chrono::steady_clock::now()) {
    const std::function<void()> work = std::move(laterWork_.begin()->second);
    laterWork_.erase(laterWork_.begin());
    work();
  }
  if (laterWork_.empty()) return idleTimeout;
  const auto untilNext = std::chrono::ceil<std::chrono::milliseconds>(
      laterWork_.begin()->first - std::chrono::steady_clock::now());
  return std::clamp(untilNext, std::chrono::milliseconds(0), idleTimeout);
}

bool TerminalHost::chooseMenuItem(int tag) {
  for (const TerminalAction& action : terminalActions()) {
    if (action.kind == ActionKind::MenuItem && action.tag == tag) {
      performAction(action);
      return true;
    }
  }
  return false;
}

void TerminalHost::processOnce(std::chrono::milliseconds idleTimeout) {
  redrawWhenChanged();
  std::chrono::milliseconds timeout = runDueWork(idleTimeout);
  if (decoder_.hasPending()) {
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - lastInput_);
    timeout = std::min(timeout, std::max(kEscapeTimeout - waited, std::chrono::milliseconds(0)));
  }
  const MainLoop::Wakeup wakeup = loop_->wait(device_.inputDescriptor(), timeout);
  if (wakeup.signal) {
    updateSize();
    if (signalObserver_) signalObserver_();
  }
  if (wakeup.input) {
    readInput();
  } else if (decoder_.hasPending() &&
             std::chrono::steady_clock::now() - lastInput_ >= kEscapeTimeout) {
    std::vector<InputEvent> flushed;
    decoder_.flushPending(flushed);
    keys_.insert(keys_.end(), flushed.begin(), flushed.end());
  }
  loop_->runQueuedWork();
  while (!keys_.empty() && !quit_) {
    const InputEvent key = keys_.front();
    keys_.pop_front();
    dispatch(key);
    if (modal_ != nullptr && modal_->finished()) break;  // the dialog's loop takes over
  }
  if (device_.hungUp()) quit_ = true;
  if (programRunning_) {
    const bool running = programRunning_();
    if (running) programSeen_ = true;
    if (!running && programSeen_) programEnded_ = true;
  }
  redrawWhenChanged();
}

void TerminalHost::readInput() {
  char bytes[kInputChunkBytes];
  const std::size_t count = device_.read(bytes, sizeof bytes);
  if (count == 0) return;
  lastInput_ = std::chrono::steady_clock::now();
  std::vector<InputEvent> decoded;
  decoder_.feed(std::string_view(bytes, count), decoded);
  keys_.insert(keys_.end(), decoded.begin(), decoded.end());
}

void TerminalHost::dispatch(const InputEvent& key) {
  if (key.kind == InputKind::DeviceAttributes) {
    noteDeviceAttributes(key.text);
    return;
  }
  // The wheel only ever leafs through the story's past; elsewhere it is no key.
  if (key.kind == InputKind::Wheel) {
    if (modal_ == nullptr && shownWindow_ < 0 && !layout_.tooSmall) scrollPast(key);
    return;
  }
  if (modal_ != nullptr) {
    modal_->handle(key);
    dirty_ = true;
    return;
  }
  if (isControlC(key)) {
    askQuit();
    return;
  }
  if (options_.plain && runTypedAction(key)) return;
  // Nobody can see what keys would do while the terminal is too small.
  if (layout_.tooSmall) {
    systemBeep();
    return;
  }
  if (shownWindow_ >= 0 && key.kind != InputKind::Function) {
    scrollFixedWindow(key);
    return;
  }
  if (scrollPast(key)) return;
  if (key.kind == InputKind::Function && !key.shift && !key.control && !key.alt) {
    for (const TerminalAction& action : terminalActions()) {
      if (action.functionKey == key.functionNumber) {
        performAction(action);
        return;
      }
    }
  }
  if (pictureOnDemand_) {
    // Any key brings the text back; Escape does only that.
    pictureOnDemand_ = false;
    dirty_ = true;
    if (key.kind == InputKind::Named && key.key == NamedKey::Escape) return;
  }
  if (key.kind == InputKind::Paste) {
    typePaste(key.text);
  } else {
    typeKey(key);
  }
}

bool TerminalHost::scrollPast(const InputEvent& key) {
  const bool pageKey = key.kind == InputKind::Named && !key.shift && !key.control && !key.alt &&
                       (key.key == NamedKey::PageUp || key.key == NamedKey::PageDown);
  const bool wheel = key.kind == InputKind::Wheel;
  if ((pageKey || wheel) && t_ScrollbackEnabled(options_.textWindow)) {
    const long long step = wheel ? kWheelLines : t_ScrollbackPageLines(options_.textWindow);
    const bool back = key.key == NamedKey::PageUp || key.key == NamedKey::Up;
    const long long wanted = static_cast<long long>(pastLinesBack_) + (back ? step : -step);
    const auto kept = static_cast<long long>(t_ScrollbackLinesKept(options_.textWindow));
    pastLinesBack_ = static_cast<std::size_t>(std::clamp(wanted, 0LL, kept));
    dirty_ = true;
    return true;
  }
  // Any other key comes back to the live text and is typed.
  if (pastLinesBack_ > 0) {
    pastLinesBack_ = 0;
    dirty_ = true;
  }
  return false;
}

void TerminalHost::typeKey(const InputEvent& key) {
  const std::optional<ToolboxKeyPress> press = toolboxKeyOf(key);
  if (!press) return;
  viewKeyDown(options_.textWindow, press->code, press->characters, press->flags);
  viewKeyUp(options_.textWindow);
}

void TerminalHost::typePaste(const std::string& textUtf8) {
  // Like the line editor's own paste: the first line only, so that a pasted
  // line end does not send a command nobody has read.
  for (char32_t character : utf8ToScalars(textUtf8)) {
    if (character == U'\r' || character == U'\n') break;
    InputEvent key;
    key.character = character;
    key.control = character < 0x20;
    typeKey(key);
  }
}

void TerminalHost::performAction(const TerminalAction& action) {
  switch (action.kind) {
    case ActionKind::Help:
      showHelp();
      return;
    case ActionKind::TogglePicture:
      pictureOnDemand_ = !pictureOnDemand_;
      dirty_ = true;
      return;
    case ActionKind::Menu:
      openMenu();
      return;
    case ActionKind::Quit:
      askQuit();
      return;
    case ActionKind::MenuItem:
      t_MenuEventHandler(menuSenderOf(action));
      dirty_ = true;
      return;
  }
}

void TerminalHost::openMenu() {
  std::vector<MenuDialog::Entry> entries;
  for (const TerminalAction& action : terminalActions()) {
    if (action.kind != ActionKind::Menu) entries.push_back({action.title, action.functionKey});
  }
  MenuDialog menu("Men\u00FC", entries);
  runModal(menu);
  if (menu.chosen() < 0) return;
  int index = 0;
  for (const TerminalAction& action : terminalActions()) {
    if (action.kind == ActionKind::Menu) continue;
    if (index++ == menu.chosen()) {
      performAction(action);
      return;
    }
  }
}

void TerminalHost::showHelp() {
  std::vector<std::string> lines = {
      "Befehle eintippen und mit Return abschicken;",
      "\"hilfe\" zeigt die Befehle des Spiels.",
      "",
  };
  for (const TerminalAction& action : terminalActions()) {
    if (action.functionKey == 0 || action.kind == ActionKind::Help) continue;
    std::string label = "F" + std::to_string(action.functionKey);
    label.resize(5, ' ');
    lines.push_back(label + action.title);
  }
  lines.push_back("Strg-C Beenden");
  lines.push_back(
      "Bild\u2191 Bild\u2193 Mausrad: im Text zur\u00FCckbl\u00E4ttern (wo das Spiel es anbietet)");
  lines.push_back("");
  lines.push_back("Bilder: " + std::string(pictureModeName(options_.pictureMode)) +
                  " (VELMORAT_PICTURES=symbols, sixels, kitty, iterm2, none)");
  MessageDialog help("Hilfe", lines);
  runModal(help);
}

void TerminalHost::askQuit() {
  QuestionDialog question("Beenden", "Velmorat beenden?", false);
  runModal(question);
  if (question.answer()) quit_ = true;
}

void TerminalHost::runModal(Dialog& dialog) {
  Dialog* outer = modal_;
  modal_ = &dialog;
  dirty_ = true;
  pixelsShown_ = false;
  while (!dialog.finished() && !quit_) processOnce(kIdleTimeout);
  modal_ = outer;
  dirty_ = true;
  pixelsShown_ = false;
}

void TerminalHost::noteDeviceAttributes(const std::string& parameters) {
  // "?62;4;22": attribute 4 is sixel graphics.
  if (options_.pictureModeChosen || options_.pictureMode != PictureMode::Symbols) return;
  std::size_t start = parameters.starts_with("?") ? 1 : 0;
  while (start <= parameters.size()) {
    std::size_t end = parameters.find(';', start);
    if (end == std::string::npos) end = parameters.size();
    if (parameters.substr(start, end - start) == "4") {
      options_.pictureMode = PictureMode::Sixels;
      pictureChanged_ = true;
      dirty_ = true;
      logLine("Terminal: Sixel graphics available.");
      return;
    }
    start = end + 1;
  }
}

void TerminalHost::showFixedWindow(int number) {
  shownWindow_ = number;
  // The newest lines of the printer and the console are at the end.
  shownFirstLine_ = static_cast<int>(fixedWindowLines().size());
  dirty_ = true;
}

void TerminalHost::scrollFixedWindow(const InputEvent& key) {
  const int page = std::max(size_.rows - kWindowBoxExtraRows, 1);
  // The first line stays where a page can start, so that the first Up after
  // opening at the end moves the view at once.
  const int lastFirst = std::max(static_cast<int>(fixedWindowLines().size()) - page, 0);
  shownFirstLine_ = std::clamp(shownFirstLine_, 0, lastFirst);
  if (key.kind == InputKind::Named) {
    switch (key.key) {
      case NamedKey::Up:
        --shownFirstLine_;
        break;
      case NamedKey::Down:
        ++shownFirstLine_;
        break;
      case NamedKey::PageUp:
        shownFirstLine_ -= page;
        break;
      case NamedKey::PageDown:
        shownFirstLine_ += page;
        break;
      case NamedKey::Home:
        shownFirstLine_ = 0;
        break;
      case NamedKey::End:
        shownFirstLine_ = lastFirst;
        break;
      default:
        // Escape and Return close it, as the close box does on the desktop.
        t_WindowShouldClose(handleOf(&windows_[static_cast<std::size_t>(shownWindow_)]));
        break;
    }
  } else if (key.kind == InputKind::Character && (key.character == U'q' || key.character == U'Q')) {
    t_WindowShouldClose(handleOf(&windows_[static_cast<std::size_t>(shownWindow_)]));
  }
  shownFirstLine_ = std::clamp(shownFirstLine_, 0, lastFirst);
  dirty_ = true;
}

std::vector<std::string> TerminalHost::fixedWindowLines() const {
  const int width = std::max(std::min(size_.columns, options_.textColumns + 2) - 6, 10);
  if (shownWindow_ == host::kPreferencesWindow) return {"Velmorat hat keine Einstellungen."};
  if (shownWindow_ == host::kMainWindow) return options_.aboutLines;
  const auto found = textViews_.find(shownWindow_);
  return wrappedLines(found != textViews_.end() ? found->second : std::string(), width);
}

DialogView TerminalHost::fixedWindowView() const {
  const std::vector<std::string> lines = fixedWindowLines();
  const int total = static_cast<int>(lines.size());
  const int visible = std::max(size_.rows - kWindowBoxExtraRows, 1);
  const int first = std::clamp(shownFirstLine_, 0, std::max(total - visible, 0));
  DialogView view;
  const Window& window = windows_[static_cast<std::size_t>(shownWindow_)];
  view.title = window.title.empty() ? host::fixedWindowTitle(shownWindow_) : window.title;
  view.lines.assign(lines.begin() + first, lines.begin() + std::min(first + visible, total));
  view.lines.push_back(total > visible
                           ? "\u2191\u2193 Bild\u2191\u2193 bl\u00E4ttern   Esc schlie\u00DFt"
                           : "Esc schlie\u00DFt");
  return view;
}

void TerminalHost::updateSize() {
  size_ = device_.updateSize();
  dirty_ = true;
  wholeScreen_ = true;
  pixelsShown_ = false;
}

std::string TerminalHost::hintText() const {
  return "F1 Hilfe  F2 Sichern  F3 Laden  F4 Zur\u00FCck  F8 Bild  F9 Men\u00FC  F10 Beenden";
}

void TerminalHost::renderPicture() {
  const double cellAspect = size_.cellPixelWidth > 0 && size_.cellPixelHeight > 0
                                ? static_cast<double>(size_.cellPixelWidth) / size_.cellPixelHeight
                                : kUsualCellAspect;
  const bool pixelMode = options_.pictureMode == PictureMode::Sixels ||
                         options_.pictureMode == PictureMode::Kitty ||
                         options_.pictureMode == PictureMode::Iterm2;
  if (!pictureChanged_ && pictureBox_ == layout_.picture) return;
  pictureChanged_ = false;
  pictureBox_ = layout_.picture;
  pixelsShown_ = false;
  symbols_ = {};
  pixels_.clear();
  if (options_.pictureMode == PictureMode::None) return;
  if (pixelMode && size_.cellPixelWidth > 0 && size_.cellPixelHeight > 0) {
    pixels_ = pictureAsPixels(pictureImage_, options_.pictureMode, pictureBox_.columns,
                              pictureBox_.rows, size_.cellPixelWidth, size_.cellPixelHeight);
  }
  if (pixels_.empty()) {
    symbols_ = pictureAsSymbols(pictureImage_, pictureBox_.columns, pictureBox_.rows, cellAspect,
                                device_.colourCount());
  }
}

void TerminalHost::redraw() {
  if (options_.plain) {
    redrawPlain();
    return;
  }
  // The refresh process marks the text window many times a second; a frame
  // is drawn only when its cells (or anything else) changed. Drawing every
  // mark cost a sixth of a core on an idle game.
  TextWindowCells text = readTextWindow(options_.textWindow);
  if (pastLinesBack_ > 0) {
    text = withPast(std::move(text), options_.textWindow,
                    t_ScrollbackPage(options_.textWindow, pastLinesBack_));
  }
  textMarked_ = false;
  if (!dirty_ && text == shownText_) return;
  shownText_ = std::move(text);
  dirty_ = false;
  LayoutRequest request;
  request.terminalColumns = size_.columns;
  request.terminalRows = size_.rows;
  request.textColumns = options_.textColumns;
  request.textRows = options_.textRows;
  if (pictureImage_.width > 0 && pictureImage_.height > 0)
    request.pictureAspect = static_cast<double>(pictureImage_.width) / pictureImage_.height;
  else
    request.pictureAspect = kUsualPictureAspect;
  if (size_.cellPixelWidth > 0 && size_.cellPixelHeight > 0)
    request.cellAspect = static_cast<double>(size_.cellPixelWidth) / size_.cellPixelHeight;
  request.pictureOnDemand = pictureOnDemand_;
  const ScreenLayout layout = layoutScreen(request);
  if (!(layout == layout_)) pixelsShown_ = false;
  layout_ = layout;

  screen_->beginFrame();
  if (layout_.tooSmall) {
    screen_->drawTooSmall(layout_, size_.columns, size_.rows);
  } else {
    if (!layout_.text.empty()) screen_->drawText(layout_.text, shownText_);
    if (!layout_.picture.empty()) {
      renderPicture();
      screen_->drawPicture(layout_.picture, symbols_);
    }
    if (!layout_.hints.empty()) screen_->drawHints(layout_.hints, hintText());
  }
  if (shownWindow_ >= 0 && !layout_.tooSmall) {
    screen_->hideCursor();
    screen_->drawDialog(fixedWindowView());
  }
  if (modal_ != nullptr) {
    screen_->hideCursor();  // a prompt's field places it again
    screen_->drawDialog(modal_->view());
  }
  screen_->endFrame(wholeScreen_);
  if (wholeScreen_) pixelsShown_ = false;
  wholeScreen_ = false;

  const bool pixelsWanted = !pixels_.empty() && !layout_.tooSmall && !layout_.picture.empty() &&
                            modal_ == nullptr && shownWindow_ < 0;
  if (pixelsWanted && !pixelsShown_) {
    // Placed at the box's top-left cell; the cursor and attributes that
    // ncurses knows are saved and restored around it (DECSC, DECRC).
    int columns = layout_.picture.columns;
    int rows = layout_.picture.rows;
    fitPictureCells(pictureImage_.width, pictureImage_.height,
                    static_cast<double>(size_.cellPixelWidth) / size_.cellPixelHeight, columns,
                    rows);
    const int column = layout_.picture.column + (layout_.picture.columns - columns) / 2 + 1;
    const int row = layout_.picture.row + (layout_.picture.rows - rows) / 2 + 1;
    std::string sequence =
        "\x1b"
        "7";
    if (options_.pictureMode == PictureMode::Kitty) sequence += kittyDeleteImages();
    sequence += "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
    sequence += pixels_;
    sequence +=
        "\x1b"
        "8";
    device_.writeRaw(sequence);
    pixelsShown_ = true;
  }
}

TerminalHost::Window* TerminalHost::windowOf(host::HostWindow* handle) {
  for (Window& window : windows_) {
    if (handleOf(&window) == handle) return &window;
  }
  return nullptr;
}

// --- host::Host --------------------------------------------------------------

bool TerminalHost::isMainThread() const {
  return loop_ ? loop_->isMainThread() : true;
}

void TerminalHost::runOnMainAndWait(const std::function<void()>& work) {
  loop_->runAndWait(work);
}

void TerminalHost::runOnMainAsync(std::function<void()> work) {
  loop_->post(std::move(work));
}

host::HostView* TerminalHost::graphicView(int window) {
  if (window < 0 || window >= static_cast<int>(views_.size())) return nullptr;
  return reinterpret_cast<host::HostView*>(&views_[static_cast<std::size_t>(window)]);
}

host::HostWindow* TerminalHost::windowOfView(host::HostView* view) {
  if (view == nullptr) return nullptr;
  const int number = reinterpret_cast<View*>(view)->number;
  return handleOf(&windows_[static_cast<std::size_t>(number)]);
}

host::HostWindow* TerminalHost::fixedWindow(int window) {
  if (window < host::kPasteboardWindow || window > host::kMainWindow) return nullptr;
  return handleOf(&windows_[static_cast<std::size_t>(window)]);
}

host::HostWindow* TerminalHost::mainWindow() {
  int number = pictureOnDemand_ ? options_.pictureWindow : options_.textWindow;
  if (shownWindow_ >= 0) number = shownWindow_;
  return handleOf(&windows_[static_cast<std::size_t>(number)]);
}

bool TerminalHost::isVisible(host::HostWindow* window) {
  const Window* found = windowOf(window);
  return found != nullptr && found->visible;
}

void TerminalHost::orderFront(host::HostWindow* window) {
  Window* found = windowOf(window);
  if (found == nullptr) return;
  found->visible = true;
  if (found->number >= host::kPasteboardWindow) showFixedWindow(found->number);
  dirty_ = true;
}

void TerminalHost::orderOut(host::HostWindow* window) {
  Window* found = windowOf(window);
  if (found == nullptr) return;
  found->visible = false;
  if (found->number == shownWindow_) {
    shownWindow_ = -1;
    pixelsShown_ = false;
  }
  dirty_ = true;
}

void TerminalHost::makeKeyAndOrderFront(host::HostWindow* window) {
  orderFront(window);
}

host::Rect TerminalHost::frame(host::HostWindow* window) {
  const Window* found = windowOf(window);
  return found != nullptr ? found->frame : host::Rect{};
}

void TerminalHost::setFrame(host::HostWindow* window, const host::Rect& frame) {
  if (Window* found = windowOf(window)) found->frame = frame;
}

host::Rect TerminalHost::screenFrame(host::HostWindow*) {
  return kScreenFrame;
}

void TerminalHost::setTitle(host::HostWindow* window, const std::string& titleUtf8) {
  if (Window* found = windowOf(window)) found->title = titleUtf8;
}

void TerminalHost::setTitleVisible(host::HostWindow*, bool) {}

void TerminalHost::setBackgroundColor(host::HostWindow*, std::uint8_t, std::uint8_t, std::uint8_t,
                                      std::uint8_t) {}

void TerminalHost::setViewFrame(host::HostView*, const host::Rect&) {}

void TerminalHost::setNeedsDisplay(host::HostView* view) {
  if (view == nullptr) return;
  const int number = reinterpret_cast<View*>(view)->number;
  if (number == options_.pictureWindow) {
    displayNow(view);
    return;
  }
  if (number == options_.textWindow) textMarked_ = true;
}

void TerminalHost::displayNow(host::HostView* view) {
  if (view == nullptr) return;
  const int number = reinterpret_cast<View*>(view)->number;
  if (number == options_.pictureWindow) {
    // The count is taken before the pixels are read: a drawing that lands
    // meanwhile leaves a newer count for the next time.
    const std::uint64_t changes = windowChangeCount(static_cast<std::uint8_t>(number));
    if (!pictureRead_ || changes != pictureChanges_) {
      t_WindowImageInto(static_cast<std::uint8_t>(number), pictureImage_);
      pictureChanges_ = changes;
      pictureRead_ = true;
      pictureChanged_ = true;
    }
  }
  dirty_ = true;
  redraw();
}

bool TerminalHost::hasTextView(int window) {
  return textViews_.count(window) != 0;
}

void TerminalHost::setTextViewString(int window, const std::string& textUtf8) {
  if (!hasTextView(window)) return;
  textViews_[window] = textUtf8;
  if (window == shownWindow_) dirty_ = true;
}

std::string TerminalHost::textViewString(int window) {
  const auto found = textViews_.find(window);
  return found != textViews_.end() ? found->second : std::string();
}

host::Rect TerminalHost::scrollViewFrame(int window) {
  const auto found = scrollViews_.find(window);
  return found != scrollViews_.end() ? found->second : host::Rect{};
}

void TerminalHost::setScrollViewFrame(int window, const host::Rect& frame) {
  if (scrollViews_.count(window) != 0) scrollViews_[window] = frame;
}

std::string TerminalHost::pasteboardText() {
  return pasteboard_;
}

void TerminalHost::setPasteboardText(const std::string& textUtf8) {
  pasteboard_ = textUtf8;
  // The toolbox ends lines with CR, the desktop it was made for; the
  // clipboards of the systems a terminal runs on expect LF.
  std::string lines = textUtf8;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (lines[index] != '\r') continue;
    if (index + 1 < lines.size() && lines[index + 1] == '\n') {
      lines.erase(index, 1);
    } else {
      lines[index] = '\n';
    }
  }
  device_.writeRaw(clipboardSequence(lines));
}

void TerminalHost::setPasteboardImage(const host::ArgbImage&) {
  // A terminal's clipboard holds text only.
  systemBeep();
}

void TerminalHost::systemBeep() {
  device_.writeRaw("\a");
}

std::vector<std::string> TerminalHost::openPanel(const host::OpenPanelRequest& request) {
  std::vector<std::string> lines;
  if (!request.message.empty()) lines.push_back(request.message);
  lines.push_back(request.foldersMode ? "Ordner:" : "Datei:");
  PromptDialog prompt(request.title.empty() ? request.prompt : request.title, lines, "");
  runModal(prompt);
  const std::string answer = absolutePath(prompt.answer());
  if (answer.empty()) return {};
  return {answer};
}

std::string TerminalHost::savePanel(const host::SavePanelRequest& request) {
  std::vector<std::string> lines;
  if (!request.message.empty()) lines.push_back(request.message);
  lines.push_back(request.nameFieldLabel.empty() ? "Sichern unter:" : request.nameFieldLabel);
  PromptDialog prompt(request.title.empty() ? request.prompt : request.title, lines,
                      request.proposedName);
  runModal(prompt);
  return absolutePath(withAllowedExtension(prompt.answer(), request.allowedTypes));
}

}  // namespace terminal
