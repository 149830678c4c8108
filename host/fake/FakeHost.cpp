#include "host/fake/FakeHost.h"

namespace host {

FakeHost::FakeHost(bool withViews)
    : withViews_(withViews), mainThread_(std::this_thread::get_id()) {
  for (int number = 0; number < static_cast<int>(windows_.size()); ++number) {
    windows_[number].number = number;
  }
  for (int number = 0; number < static_cast<int>(views_.size()); ++number) {
    views_[number].number = number;
    views_[number].window = &windows_[number];
  }
  for (int number : {kPasteboardWindow, kVirtualPrinterWindow, kSystemConsoleWindow}) {
    textViews_[number] = "";
    scrollViews_[number] = Rect{20, 20, 600, 400};
  }
  for (int number : {kVirtualPrinterWindow, kSystemConsoleWindow}) {
    rulers_[number] = Rect{20, 430, 592, 19};
  }
}

bool FakeHost::isMainThread() const {
  return std::this_thread::get_id() == mainThread_;
}

void FakeHost::runOnMainAndWait(const std::function<void()>& work) {
  std::lock_guard lock(mainLock_);
  work();
}

void FakeHost::runOnMainAsync(std::function<void()> work) {
  std::lock_guard lock(mainLock_);
  work();
}

HostView* FakeHost::graphicView(int window) {
  if (!withViews_ || window < 0 || window > 7) return nullptr;
  return &views_[window];
}

HostWindow* FakeHost::windowOfView(HostView* view) {
  return view ? view->window : nullptr;
}

HostWindow* FakeHost::fixedWindow(int window) {
  if (window < kPasteboardWindow || window > kMainWindow) return nullptr;
  return &windows_[window];
}

HostWindow* FakeHost::mainWindow() {
  if (mainWindowNumber < 0 || mainWindowNumber > kMainWindow) return nullptr;
  return &windows_[static_cast<std::size_t>(mainWindowNumber)];
}

bool FakeHost::isVisible(HostWindow* window) {
  return window && window->visible;
}
void FakeHost::orderFront(HostWindow* window) {
  window->visible = true;
}
void FakeHost::orderOut(HostWindow* window) {
  window->visible = false;
}
void FakeHost::makeKeyAndOrderFront(HostWindow* window) {
  window->visible = true;
}
Rect FakeHost::frame(HostWindow* window) {
  return window->frame;
}
void FakeHost::setFrame(HostWindow* window, const Rect& frame) {
  window->frame = frame;
}
Rect FakeHost::screenFrame(HostWindow*) {
  return kScreen;
}
void FakeHost::setTitle(HostWindow* window, const std::string& titleUtf8) {
  window->title = titleUtf8;
}
void FakeHost::setTitleVisible(HostWindow* window, bool visible) {
  window->titleVisible = visible;
}
void FakeHost::setBackgroundColor(HostWindow* window, std::uint8_t red, std::uint8_t green,
                                  std::uint8_t blue, std::uint8_t alpha) {
  window->background[0] = red;
  window->background[1] = green;
  window->background[2] = blue;
  window->background[3] = alpha;
}
void FakeHost::setViewFrame(HostView* view, const Rect& frame) {
  view->frame = frame;
}

void FakeHost::setNeedsDisplay(HostView* view) {
  ++view->needsDisplayCount;
}
void FakeHost::displayNow(HostView* view) {
  ++view->displayNowCount;
}

bool FakeHost::hasTextView(int window) {
  return textViews_.count(window) != 0;
}
void FakeHost::setTextViewString(int window, const std::string& textUtf8) {
  textViews_[window] = textUtf8;
}
std::string FakeHost::textViewString(int window) {
  return textViews_[window];
}
Rect FakeHost::scrollViewFrame(int window) {
  return scrollViews_[window];
}
void FakeHost::setScrollViewFrame(int window, const Rect& frame) {
  scrollViews_[window] = frame;
}
void FakeHost::setUpPlainTextView(int, const std::string& fontFamily, int pointSize) {
  textViewFont = fontFamily + " " + std::to_string(pointSize);
}
Rect FakeHost::rulerFrame(int window) {
  auto found = rulers_.find(window);
  return found == rulers_.end() ? Rect{} : found->second;
}
void FakeHost::setRulerFrame(int window, const Rect& frame) {
  auto found = rulers_.find(window);
  if (found != rulers_.end()) found->second = frame;
}

HostMenu* FakeHost::topLevelMenu(const std::string& titleUtf8) {
  for (auto& menu : menuBar) {
    if (menu->title == titleUtf8) return menu.get();
  }
  return nullptr;
}
int FakeHost::menuItemCount(HostMenu* menu) {
  return static_cast<int>(menu->items.size());
}
std::string FakeHost::menuItemTitle(HostMenu* menu, int index) {
  return menu->items.at(index);
}
void FakeHost::removeMenuItem(HostMenu* menu, int index) {
  menu->items.erase(menu->items.begin() + index);
}

std::string FakeHost::pasteboardText() {
  return pasteboardText_;
}
void FakeHost::setPasteboardText(const std::string& textUtf8) {
  pasteboardText_ = textUtf8;
}
void FakeHost::setPasteboardImage(const ArgbImage& image) {
  pasteboardImage = image;
}

bool FakeHost::playSound(const std::string&) {
  ++soundsPlayed;
  return false;
}
void FakeHost::systemBeep() {
  ++systemBeeps;
}

std::vector<std::string> FakeHost::openPanel(const OpenPanelRequest& request) {
  openPanelRequests.push_back(request);
  return openPanelAnswer;
}

std::string FakeHost::savePanel(const SavePanelRequest& request) {
  savePanelRequests.push_back(request);
  return savePanelAnswer;
}

}  // namespace host
