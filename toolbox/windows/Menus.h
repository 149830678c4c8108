// Menus: the action table that gives menu item tags their meaning, the built-in
// actions (show, hide, front for the thirteen windows, copy, clear, panels),
// the queue of chosen items, and the trimming of the host's Edit and Window
// menus by menu title and item position.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "port/Host.h"
#include "toolbox/windows/SystemWindows.h"

struct t_MenuAction {
  int Tag = 0;  // 0 never matches
  int Action = 0;
  std::string Title;      // panel title (100, 101)
  std::string Note;       // panel message
  std::string FileName;   // proposed name (101); last component of the chosen path
  std::string FileTypes;  // comma-separated; empty allows all
  std::string FilePath;   // chosen path; empty when cancelled
};

struct t_MenuEvent {
  int Kind = 0;  // 3 for an item in a menu, 0 for a sender outside any menu
  std::string MenuTitle;
  std::string ItemTitle;
  std::string ItemKeyChar;
  unsigned ItemKeyMods = 0;
  int ItemKeyAsc = 0;
  int ItemAction = 0;
  std::int64_t Time = 0;  // milliseconds of the host's absolute clock
};

// The sender of a menu action as the host describes it (the host builds this
// from its own menu item; the toolbox never sees the host object).
struct MenuSender {
  bool inMenu = false;
  std::string menuTitle;
  std::string itemTitle;
  std::string keyChar;   // key equivalent as the host stores it (UTF-8)
  unsigned keyMods = 0;  // host modifier mask of the key equivalent
  int tag = 0;
};

// Action codes of the table.
inline constexpr int kActionOpenPanel = 100;
inline constexpr int kActionSavePanel = 101;
inline constexpr int kActionCopyPicture = 110;
inline constexpr int kActionCopyText = 111;
inline constexpr int kActionClearPrinter = 112;
inline constexpr int kActionProgramHook = 113;
inline constexpr int kActionClearConsole = 114;
inline constexpr int kActionHideAll = 200;
inline constexpr int kActionHideMain = 201;
inline constexpr int kActionFrontMainWindow = 205;
inline constexpr int kActionFrontPreferences = 207;
inline constexpr int kActionFrontPrinter = 209;
inline constexpr int kActionFrontPasteboard = 211;
inline constexpr int kActionFrontGraphic0 = 213;  // 213 + 2k front, 214 + 2k hide
inline constexpr int kActionFrontConsole = 229;
inline constexpr int kMenuLastItem = 65535;

// --- Tables and queues (thread-safe copies; the table is filled once) -------
std::vector<t_MenuAction> MenuActionTableCopy();
std::vector<t_MenuEvent> MenuEventQueueCopy();
// The events from index first on: a reader that keeps its place copies only
// what is new, not the whole queue at every look.
std::vector<t_MenuEvent> MenuEventQueueCopyFrom(std::size_t first);
// Number of queued menu events; t_KeyPause watches it change. Any thread.
int t_MenuEventCount();
// The program's hooks; both run on a worker or the main thread. Any thread.
void t_SetProgramMenuHandler(std::function<void()> handler);
void t_SetProgramActionHook(std::function<void()> hook);

// --- Routines ----------------------------------------------------------------
// The action of every menu item. Main thread.
void t_MenuEventHandler(const MenuSender& sender);
// Runs ProgramMenuHandler; started by startbackground.
void t_EventMenu();
void t_MenuActionAdd(int n);
// Fills the panel fields of the first entry with this tag (a program's own 100
// or 101); false when the table has none. Any thread.
bool t_MenuActionSetPanel(int tag, const std::string& title, const std::string& note,
                          const std::string& fileName, const std::string& fileTypes);
// Registers the 37 built-in actions and trims the Edit and Window menus; run
// once by t_InitMemory on the program thread.
void t_MenuPrepare();
host::HostMenu* t_MenuItemLookup(const std::string& title);
int t_MenuItemIndex(const std::string& menuTitle, const std::string& itemTitle);
void t_MenuItemDelete(const std::string& menuTitle, int position);
std::string t_MenuItemTitle(const std::string& menuTitle, int position);
