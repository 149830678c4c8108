// The German menu bar (Ablage, Bearbeiten, Fenster, Hilfe). Its items carry
// the tags of the toolbox's action table; one set of menus is shared by the
// menu bars of all thirteen windows, so a removed item leaves every window.
// What a player needs stands at the top of the menus; the toolbox's own
// windows and actions wait in Fenster > Werkzeuge, every tag still reachable.
// Shortcuts are menu shortcuts of the whole application: a key that is one
// never reaches a key prompt, so none takes a key the line editor uses
// (Ctrl+letter types its control codes; Ctrl+Q does nothing there).
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <map>
#include <vector>

#include "toolbox/windows/Menus.h"

namespace host {
struct HostMenu {
  QMenu* menu = nullptr;
};
}  // namespace host

// What the menu bar asks of the application beyond the toolbox's actions.
struct MenuBarHooks {
  std::function<void()> quit;                // Ablage > Beenden
  std::function<void()> afterItemChosen;     // after every tagged item's action
  std::function<void(bool in)> zoom;         // Fenster > Vergrößern, Verkleinern
  std::function<void()> fit;                 // Fenster > Einpassen
  std::function<void()> fullScreen;          // Fenster > Vollbild
  std::function<void(bool)> smoothPictures;  // Fenster > Bilder glätten
  std::function<void(bool)> highContrast;    // Fenster > Hoher Kontrast
  std::function<void(bool)> speech;          // Fenster > Vorlesen
  std::function<void()> repeatSpeech;        // Fenster > Zuletzt Gesagtes wiederholen
  std::function<void()> gameHelp;            // Hilfe > Spielhilfe
  std::function<void()> shortcuts;           // Hilfe > Tastenkürzel
};

// The tags of the program's own items (saved games, taking back, the
// transcript), handed to the host by main like the credit line. The menu bar
// places each item where a player looks for it; a tag of 0 leaves it out.
struct ProgramMenuTags {
  int loadGame = 0;        // Ablage > Spiel laden…
  int saveGame = 0;        // Ablage > Spiel sichern…
  int loadLastState = 0;   // Ablage > Letzten Stand laden
  int saveTranscript = 0;  // Ablage > Protokoll sichern…
  int takeBackMove = 0;    // Bearbeiten > Zug zurücknehmen
  int showTranscript = 0;  // Fenster > Verlauf
};

class MenuBar {
 public:
  MenuBar(MenuBarHooks hooks, const ProgramMenuTags& programItems);
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
  // Fenster > Werkzeuge > Spielzustand at the top of the tools: the author's run only.
  void addGameStateItem(std::function<void()> show);
  // Every item with a shortcut: "Strg+Q" and what it does, in menu order.
  std::vector<std::pair<QString, QString>> shortcutList() const;
  // The item "Bilder glätten" (checkable), for the saved setting.
  QAction* smoothPicturesItem() const { return smooth_; }
  // The items "Hoher Kontrast" and "Vorlesen" (checkable), for the saved settings.
  QAction* highContrastItem() const { return contrast_; }
  QAction* speechItem() const { return speech_; }

 private:
  QMenu* addMenu(const QString& title);
  QMenu* addSubmenu(QMenu* menu, const QString& title);
  QAction* addItem(QMenu* menu, const QString& title, int tag, const QKeySequence& shortcut = {});
  // As addItem, but nothing for a tag of 0.
  void addProgramItem(QMenu* menu, const QString& title, int tag,
                      const QKeySequence& shortcut = {});
  QAction* addCommand(QMenu* menu, const QString& title, const QList<QKeySequence>& shortcuts,
                      std::function<void()> command);
  void buildAblage();
  void buildBearbeiten();
  void buildFenster();
  void buildAccessItems(QMenu* menu);
  void buildWerkzeuge(QMenu* menu);
  void buildHilfe();

  MenuBarHooks hooks_;
  ProgramMenuTags programItems_;
  std::vector<QMenu*> topLevel_;
  std::map<QMenu*, host::HostMenu> handles_;
  std::vector<QAction*> tagged_;
  QMenu* werkzeuge_ = nullptr;
  QAction* smooth_ = nullptr;
  QAction* contrast_ = nullptr;
  QAction* speech_ = nullptr;
};
