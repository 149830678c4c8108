// The German menu bar (Ablage, Bearbeiten, Fenster, Hilfe). Its items carry
// the tags of the toolbox's action table; one set of menus is shared by the
// menu bars of all thirteen windows, so a removed item leaves every window.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <map>
#include <vector>

#include "toolbox/windows/Menus.h"

namespace host {
struct HostMenu {
  QMenu* menu = nullptr;
};
}  // namespace host

class MenuBar {
 public:
  MenuBar();
  ~MenuBar();
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  void attachTo(QMainWindow* window);
  // The top-level menu with this title (mnemonic marks ignored); nullptr when none.
  host::HostMenu* topLevel(const std::string& titleUtf8);
  // Chooses the first item with this tag as a click would; false when there is none.
  bool choose(int tag) const;
  // Every item with a tag, for tests and for the menu's own bookkeeping.
  std::vector<QAction*> taggedActions() const;
  // The toolbox's view of an item (menu title, item title, key equivalent, tag).
  static MenuSender senderOf(QAction* action);
  // An item's title without mnemonic marks ("&Ablage" is "Ablage", "&&" is "&").
  static QString plainTitle(const QString& text);

 private:
  QMenu* addMenu(const QString& title);
  QAction* addItem(QMenu* menu, const QString& title, int tag, const QKeySequence& shortcut = {});
  void buildAblage();
  void buildBearbeiten();
  void buildFenster();
  void buildHilfe();

  std::vector<QMenu*> topLevel_;
  std::map<QMenu*, host::HostMenu> handles_;
  std::vector<QAction*> tagged_;
};
