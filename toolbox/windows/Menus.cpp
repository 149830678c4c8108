#include "toolbox/windows/Menus.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "port/Panels.h"
#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace {
constexpr int kMenuItemKind = 3;
constexpr int kFirstWorkerThreadNumber = 3;
constexpr int kMenuNotFound = -2;
constexpr int kItemNotFound = -1;
constexpr int kLastGraphicAction = kActionFrontGraphic0 + 2 * kGraphicWindowCount - 1;  // 228

// The table is filled on the program thread and read (and its panel results
// written) by menu actions on the main thread.
std::mutex tableLock;
std::vector<t_MenuAction> MenuActionTable;

std::mutex queueLock;
std::vector<t_MenuEvent> MenuEventQueue;
std::atomic<int> menuEventCount{0};

std::mutex hookLock;
std::function<void()> ProgramMenuHandler = [] {};
std::function<void()> ProgramActionHook = [] { beep(); };

std::function<void()> hook(const std::function<void()>& which) {
  std::lock_guard guard(hookLock);
  return which;
}

t_MenuEvent eventOf(const MenuSender& sender) {
  t_MenuEvent event;
  if (!sender.inMenu) return event;
  event.Kind = kMenuItemKind;
  event.MenuTitle = sender.menuTitle;
  event.ItemTitle = sender.itemTitle;
  event.ItemKeyChar = sender.keyChar;
  event.ItemKeyMods = sender.keyMods;
  event.ItemKeyAsc = asc(sender.keyChar);
  event.ItemAction = sender.tag;
  event.Time = absoluteTimeMilliseconds();
  return event;
}

// A copy of the table entry of tag, so the caller need not hold the lock.
std::optional<t_MenuAction> actionEntry(int tag) {
  std::lock_guard guard(tableLock);
  for (const t_MenuAction& entry : MenuActionTable) {
    if (entry.Tag == tag) return entry;
  }
  return std::nullopt;
}

// Runs a panel for the table entry of tag and stores its result there.
void runPanel(int tag, int action) {
  const t_MenuAction entry = actionEntry(tag).value_or(t_MenuAction{});
  std::string path;
  if (action == kActionOpenPanel) {
    std::vector<std::string> paths =
        openpanelonmain(entry.Title, entry.Note, entry.FileTypes, false, true, false);
    if (!paths.empty()) path = paths.front();
  } else {
    path = savepanelonmain(entry.Title, entry.Note, entry.FileName, entry.FileTypes);
  }
  std::lock_guard guard(tableLock);
  for (t_MenuAction& stored : MenuActionTable) {
    if (stored.Tag == tag) {
      stored.FilePath = path;
      stored.FileName = path.empty() ? std::string() : filenamefrompath(path);
      break;
    }
  }
}

void copyPicture() {
  host::ArgbImage image = t_WindowPicture(t_WindowMain());
  if (image.width == 0 || image.bytes.empty()) {
    beep();
    return;
  }
  host::current().setPasteboardImage(image);
}

void copyText() {
  std::uint8_t w = t_WindowMain();
  host::Host& desktop = host::current();
  if (w < kGraphicWindowCount) {
    desktop.setPasteboardText(t_TextToPlain(t_GetScreen(w, "\r")));
  } else if (w == host::kSystemConsoleWindow || w == host::kVirtualPrinterWindow) {
    if (!desktop.hasTextView(w)) {
      systemtext::logMissingTextView("t_MenuEventHandler", w);
      beep();
      return;
    }
    desktop.setPasteboardText(desktop.textViewString(w));
  } else {
    beep();
  }
}

void frontOrHide(std::uint8_t window, bool front) {
  if (front) {
    t_WindowFront(window);
  } else {
    t_WindowVisible(window, false);
  }
}

void graphicWindowAction(int action) {
  int offset = action - kActionFrontGraphic0;
  auto k = static_cast<std::uint8_t>(offset / 2);
  if (!MemoryReady || !WindowTable[k].Initialized) {
    logLine("t_MenuEventHandler: Window #" + std::to_string(k) + " not initialized.");
    beep();
    return;
  }
  frontOrHide(k, offset % 2 == 0);
}

void perform(int tag, int action) {
  switch (action) {
    case kActionOpenPanel:
    case kActionSavePanel:
      runPanel(tag, action);
      return;
    case kActionCopyPicture:
      copyPicture();
      return;
    case kActionCopyText:
      copyText();
      return;
    case kActionClearPrinter:
      t_SystemTextClear(host::kVirtualPrinterWindow, "t_MenuEventHandler");
      return;
    case kActionClearConsole:
      t_SystemTextClear(host::kSystemConsoleWindow, "t_MenuEventHandler");
      return;
    case kActionProgramHook:
      if (t_WindowMain() < kGraphicWindowCount) {
        hook(ProgramActionHook)();
      } else {
        beep();
      }
      return;
    case kActionHideAll:
      for (int n = 0; n <= host::kMainWindow; ++n)
        t_WindowVisible(static_cast<std::uint8_t>(n), false);
      return;
    case kActionHideMain:
      t_WindowVisible(t_WindowMain(), false);
      return;
    case kActionFrontMainWindow:
    case kActionFrontMainWindow + 1:
      frontOrHide(host::kMainWindow, action == kActionFrontMainWindow);
      return;
    case kActionFrontPreferences:
    case kActionFrontPreferences + 1:
      frontOrHide(host::kPreferencesWindow, action == kActionFrontPreferences);
      return;
    case kActionFrontPrinter:
    case kActionFrontPrinter + 1:
      frontOrHide(host::kVirtualPrinterWindow, action == kActionFrontPrinter);
      return;
    case kActionFrontPasteboard:
    case kActionFrontPasteboard + 1:
      frontOrHide(host::kPasteboardWindow, action == kActionFrontPasteboard);
      return;
    case kActionFrontConsole:
    case kActionFrontConsole + 1:
      frontOrHide(host::kSystemConsoleWindow, action == kActionFrontConsole);
      return;
    default:
      if (action >= kActionFrontGraphic0 && action <= kLastGraphicAction) {
        graphicWindowAction(action);
      }
  }
}

// Deletes the item titled itemTitle from menuTitle if it is there.
void deleteIfPresent(const std::string& menuTitle, const std::string& itemTitle,
                     const std::string& foundMessage) {
  int index = t_MenuItemIndex(menuTitle, itemTitle);
  if (index < 0) return;
  if (!foundMessage.empty()) logLine(foundMessage + itemTitle);
  t_MenuItemDelete(menuTitle, index);
}

void deleteTrailingSeparator(const std::string& menuTitle) {
  if (t_MenuItemTitle(menuTitle, kMenuLastItem).empty()) t_MenuItemDelete(menuTitle, kMenuLastItem);
}

// A host without a menu bar finds no menu by design: nothing to report there.
void logMenuNotFound(const std::string& routineName) {
  if (host::current().hasMenuBar()) logLine(routineName + ": Menu not found.");
}

// Shared by t_MenuItemDelete and t_MenuItemTitle: the menu and the resolved
// index, or a logged failure with routineName.
host::HostMenu* menuAndIndex(const char* routineName, const std::string& menuTitle, int& position) {
  host::HostMenu* menu = t_MenuItemLookup(menuTitle);
  if (menu == nullptr) {
    logMenuNotFound(routineName);
    return nullptr;
  }
  int count = host::current().menuItemCount(menu);
  if (position == kMenuLastItem && count > 0) position = count - 1;
  if (position < 0 || position >= count) {
    logLine(std::string(routineName) + ": Item position out of range");
    return nullptr;
  }
  return menu;
}
}  // namespace

std::vector<t_MenuAction> MenuActionTableCopy() {
  std::lock_guard guard(tableLock);
  return MenuActionTable;
}

std::vector<t_MenuEvent> MenuEventQueueCopy() {
  std::lock_guard guard(queueLock);
  return MenuEventQueue;
}

std::vector<t_MenuEvent> MenuEventQueueCopyFrom(std::size_t first) {
  std::lock_guard guard(queueLock);
  if (first >= MenuEventQueue.size()) return {};
  return {MenuEventQueue.begin() + static_cast<std::ptrdiff_t>(first), MenuEventQueue.end()};
}

int t_MenuEventCount() {
  return menuEventCount;
}

void t_SetProgramMenuHandler(std::function<void()> handler) {
  std::lock_guard guard(hookLock);
  ProgramMenuHandler = handler ? std::move(handler) : [] {};
}

void t_SetProgramActionHook(std::function<void()> hookRoutine) {
  std::lock_guard guard(hookLock);
  ProgramActionHook = hookRoutine ? std::move(hookRoutine) : [] { beep(); };
}

void t_MenuEventHandler(const MenuSender& sender) {
  t_MenuEvent event = eventOf(sender);
  bool builtIn = false;
  if (sender.inMenu && sender.tag != 0) {
    if (const std::optional<t_MenuAction> entry = actionEntry(sender.tag)) {
      perform(sender.tag, entry->Action);
      builtIn = true;
    }
  }
  {
    std::lock_guard guard(queueLock);
    MenuEventQueue.push_back(event);
    menuEventCount = static_cast<int>(MenuEventQueue.size());
  }
  notifyInputEvent();  // an output pause ends on a menu choice too
  if (!builtIn) startbackground(t_EventMenu);
}

void t_EventMenu() {
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_EventMenu");
  hook(ProgramMenuHandler)();
}

void t_MenuActionAdd(int n) {
  t_MenuAction entry;
  entry.Tag = n;
  entry.Action = n;
  std::lock_guard guard(tableLock);
  MenuActionTable.push_back(entry);
}

bool t_MenuActionSetPanel(int tag, const std::string& title, const std::string& note,
                          const std::string& fileName, const std::string& fileTypes) {
  std::lock_guard guard(tableLock);
  for (t_MenuAction& entry : MenuActionTable) {
    if (entry.Tag != tag) continue;
    entry.Title = title;
    entry.Note = note;
    entry.FileName = fileName;
    entry.FileTypes = fileTypes;
    return true;
  }
  return false;
}

void t_MenuPrepare() {
  for (int n = kActionHideAll; n <= 231; ++n) t_MenuActionAdd(n);
  for (int n = kActionCopyPicture; n <= kActionClearConsole; ++n) t_MenuActionAdd(n);

  for (const char* title : {"Special Characters\u2026", "Emoji & Symbols", "Emoji & Symbole",
                            "Start Dictation\u2026", "Diktat starten \u2026"}) {
    deleteIfPresent("Bearbeiten", title, "");
    deleteIfPresent("Edit", title, "");
  }
  deleteTrailingSeparator("Bearbeiten");
  deleteTrailingSeparator("Edit");
  for (const char* title :
       {"Tile Window to Left of Screen", "Tile Window to Right of Screen", "Vollbildmodus"}) {
    deleteIfPresent("Fenster", title, "*** Found Fenster Menu Item ");
    deleteIfPresent("Window", title, "*** Found Window Menu Item ");
  }
}

host::HostMenu* t_MenuItemLookup(const std::string& title) {
  return onMainThread([&] { return host::current().topLevelMenu(title); });
}

int t_MenuItemIndex(const std::string& menuTitle, const std::string& itemTitle) {
  host::HostMenu* menu = t_MenuItemLookup(menuTitle);
  if (menu == nullptr) {
    logMenuNotFound("t_MenuItemIndex");
    return kMenuNotFound;
  }
  return onMainThread([&] {
    host::Host& desktop = host::current();
    const int count = desktop.menuItemCount(menu);
    for (int index = 0; index < count; ++index) {
      if (desktop.menuItemTitle(menu, index) == itemTitle) return index;
    }
    return kItemNotFound;
  });
}

void t_MenuItemDelete(const std::string& menuTitle, int position) {
  onMainThread([&] {
    host::HostMenu* menu = menuAndIndex("t_MenuItemDelete", menuTitle, position);
    if (menu != nullptr) host::current().removeMenuItem(menu, position);
  });
}

std::string t_MenuItemTitle(const std::string& menuTitle, int position) {
  return onMainThread([&] {
    host::HostMenu* menu = menuAndIndex("t_MenuItemTitle", menuTitle, position);
    return menu != nullptr ? host::current().menuItemTitle(menu, position) : std::string();
  });
}
