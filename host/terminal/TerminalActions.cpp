#include "host/terminal/TerminalActions.h"

#include "toolbox/windows/Events.h"

namespace terminal {

const std::vector<TerminalAction>& terminalActions() {
  static const std::vector<TerminalAction> actions = {
      {1, "Hilfe", ActionKind::Help, "", 0, ""},
      {2, "Spiel sichern\u2026", ActionKind::MenuItem, "Ablage", 101, "s"},
      {3, "Spiel laden\u2026", ActionKind::MenuItem, "Ablage", 100, ""},
      {4, "Zug zur\u00FCcknehmen", ActionKind::MenuItem, "Bearbeiten", 300, "u"},
      {5, "Letzten Stand laden", ActionKind::MenuItem, "Ablage", 301, "r"},
      {6, "Protokoll sichern\u2026", ActionKind::MenuItem, "Ablage", 302, ""},
      {7, "Verlauf", ActionKind::MenuItem, "Fenster", 303, "j"},
      {8, "Bild zeigen", ActionKind::TogglePicture, "", 0, ""},
      {0, "Text kopieren", ActionKind::MenuItem, "Bearbeiten", kActionCopyText, "c"},
      {0, "Bild kopieren", ActionKind::MenuItem, "Bearbeiten", kActionCopyPicture, "b"},
      {0, "\u00DCber Velmorat", ActionKind::MenuItem, "Hilfe", kActionFrontMainWindow, "m"},
      {9, "Men\u00FC", ActionKind::Menu, "", 0, ""},
      {10, "Beenden", ActionKind::Quit, "", 0, ""},
  };
  return actions;
}

MenuSender menuSenderOf(const TerminalAction& action) {
  MenuSender sender;
  sender.inMenu = true;
  sender.menuTitle = action.menuTitle;
  sender.itemTitle = action.title;
  sender.tag = action.tag;
  sender.keyChar = action.keyChar;
  if (!action.keyChar.empty()) sender.keyMods = kModifierControl | kModifierShift;
  return sender;
}

}  // namespace terminal
