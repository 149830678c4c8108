// The terminal host's function keys and its menu (F9): what a desktop offers
// in its menu bar, and the terminal's own actions.
#pragma once

#include <string>
#include <vector>

#include "toolbox/windows/Menus.h"

namespace terminal {

// What a function key or an entry of the terminal's menu does: choose a
// desktop menu item (by its tag, through the same path as a click on it), or
// one of the terminal host's own actions. A menu item's event says what the
// desktop's says (menu title, item title, key equivalent), so that a script
// reads the same on both.
enum class ActionKind { MenuItem, Help, TogglePicture, Menu, Quit };

struct TerminalAction {
  int functionKey = 0;  // 0: only in the menu
  std::string title;
  ActionKind kind = ActionKind::MenuItem;
  std::string menuTitle;  // MenuItem: the desktop menu that holds it
  int tag = 0;            // MenuItem: the item's tag in the toolbox's action table
  std::string keyChar;    // MenuItem: the desktop's key equivalent (with Ctrl+Shift), if any
};

// The function keys and the menu, in the menu's order.
const std::vector<TerminalAction>& terminalActions();

// The event of a MenuItem action, as a click on the desktop's item sends it.
MenuSender menuSenderOf(const TerminalAction& action);

}  // namespace terminal
