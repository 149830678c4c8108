#include "host/qt/MenuBar.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>

#include "adventure/MenuTags.h"
#include "host/qt/KeyMapping.h"
#include "host/qt/Windows.h"

namespace {
constexpr const char* kMenuTitleProperty = "velmoratMenuTitle";

struct WindowItems {
  const char* title;
  int frontTag;  // the hide tag is frontTag + 1
  QKeySequence shortcut;
};

// The windows in the Fenster menu, with the tags that show and hide them.
std::vector<WindowItems> windowItems() {
  std::vector<WindowItems> items = {
      {"Textfenster", kActionFrontGraphic0, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)},
      {"Bildfenster", kActionFrontGraphic0 + 2, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)},
  };
  static const char* const graphicTitles[] = {"Grafikfenster 2", "Grafikfenster 3",
                                              "Grafikfenster 4", "Grafikfenster 5",
                                              "Grafikfenster 6", "Grafikfenster 7"};
  for (int k = 2; k < 8; ++k)
    items.push_back({graphicTitles[k - 2], kActionFrontGraphic0 + 2 * k, {}});
  items.push_back(
      {"Zwischenablage", kActionFrontPasteboard, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  items.push_back(
      {"Virtueller Drucker", kActionFrontPrinter, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)});
  items.push_back(
      {"Systemkonsole", kActionFrontConsole, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});
  items.push_back(
      {"Einstellungen", kActionFrontPreferences, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)});
  items.push_back(
      {"Hauptfenster", kActionFrontMainWindow, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)});
  return items;
}
}  // namespace

MenuBar::MenuBar() {
  buildAblage();
  buildBearbeiten();
  buildFenster();
  buildHilfe();
}

MenuBar::~MenuBar() {
  for (QMenu* menu : topLevel_) delete menu;
}

QMenu* MenuBar::addMenu(const QString& title) {
  auto* menu = new QMenu(title);
  topLevel_.push_back(menu);
  handles_[menu].menu = menu;
  return menu;
}

QAction* MenuBar::addItem(QMenu* menu, const QString& title, int tag,
                          const QKeySequence& shortcut) {
  QAction* action = menu->addAction(title);
  action->setData(tag);
  action->setProperty(kMenuTitleProperty, plainTitle(menu->title()));
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    // Every window shows the same menu; its shortcuts work in all of them.
    action->setShortcutContext(Qt::ApplicationShortcut);
  }
  QObject::connect(action, &QAction::triggered, [action] { t_MenuEventHandler(senderOf(action)); });
  tagged_.push_back(action);
  return action;
}

void MenuBar::buildAblage() {
  QMenu* menu = addMenu(QStringLiteral("&Ablage"));
  QAction* open = menu->addAction(QStringLiteral("Ö&ffnen\u2026"));
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  open->setShortcutContext(Qt::ApplicationShortcut);
  QObject::connect(open, &QAction::triggered, [] {
    openDocuments(QFileDialog::getOpenFileNames(nullptr, QStringLiteral("Öffnen")));
  });
  // New shortcuts keep clear of the letters whose Ctrl codes the line editor
  // uses (A D F H L N P S V X Z); Öffnen… loads a saved game too.
  addItem(menu, QStringLiteral("Spiel &laden\u2026"), kMenuLoadGame);
  addItem(menu, QStringLiteral("Spiel &sichern\u2026"), kMenuSaveGame,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  addItem(menu, QStringLiteral("Letz&ten Stand laden"), kMenuLoadLastState,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  addItem(menu, QStringLiteral("&Protokoll sichern\u2026"), kMenuSaveTranscript);
  menu->addSeparator();
  QAction* quit = menu->addAction(QStringLiteral("&Beenden"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q));
  quit->setShortcutContext(Qt::ApplicationShortcut);
  QObject::connect(quit, &QAction::triggered, [] { QApplication::quit(); });
}

void MenuBar::buildBearbeiten() {
  QMenu* menu = addMenu(QStringLiteral("&Bearbeiten"));
  addItem(menu, QStringLiteral("&Zug zurücknehmen"), kMenuTakeBackMove,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Text kopieren"), kActionCopyText,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  addItem(menu, QStringLiteral("&Bild kopieren"), kActionCopyPicture,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Drucker leeren"), kActionClearPrinter);
  addItem(menu, QStringLiteral("&Konsole leeren"), kActionClearConsole);
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Programmaktion"), kActionProgramHook,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
}

void MenuBar::buildFenster() {
  QMenu* menu = addMenu(QStringLiteral("&Fenster"));
  addItem(menu, QStringLiteral("&Verlauf"), kMenuShowTranscript,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Alle Fenster ausblenden"), kActionHideAll);
  addItem(menu, QStringLiteral("&Hauptfenster ausblenden"), kActionHideMain,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
  menu->addSeparator();
  for (const WindowItems& window : windowItems()) {
    QMenu* submenu = menu->addMenu(QString::fromUtf8(window.title));
    handles_[submenu].menu = submenu;
    addItem(submenu, QStringLiteral("&Zeigen"), window.frontTag, window.shortcut);
    addItem(submenu, QStringLiteral("&Ausblenden"), window.frontTag + 1);
  }
}

void MenuBar::buildHilfe() {
  QMenu* menu = addMenu(QStringLiteral("&Hilfe"));
  addItem(menu, QStringLiteral("&Über Velmorat"), kActionFrontMainWindow);
}

void MenuBar::attachTo(QMainWindow* window) {
  for (QMenu* menu : topLevel_) window->menuBar()->addMenu(menu);
}

host::HostMenu* MenuBar::topLevel(const std::string& titleUtf8) {
  QString title = QString::fromStdString(titleUtf8);
  for (QMenu* menu : topLevel_) {
    if (plainTitle(menu->title()) == title) return &handles_[menu];
  }
  return nullptr;
}

bool MenuBar::choose(int tag) const {
  for (QAction* action : tagged_) {
    if (action->data().toInt() != tag) continue;
    action->trigger();
    return true;
  }
  return false;
}

std::vector<QAction*> MenuBar::taggedActions() const {
  return tagged_;
}

QString MenuBar::plainTitle(const QString& text) {
  QString plain;
  for (qsizetype index = 0; index < text.size(); ++index) {
    if (text[index] == QLatin1Char('&') && index + 1 < text.size()) ++index;
    plain += text[index];
  }
  return plain;
}

MenuSender MenuBar::senderOf(QAction* action) {
  MenuSender sender;
  QVariant menuTitle = action->property(kMenuTitleProperty);
  if (!menuTitle.isValid()) return sender;
  sender.inMenu = true;
  sender.menuTitle = menuTitle.toString().toStdString();
  sender.itemTitle = plainTitle(action->text()).toStdString();
  QKeySequence shortcut = action->shortcut();
  if (!shortcut.isEmpty()) {
    QKeyCombination combination = shortcut[0];
    sender.keyChar = QKeySequence(combination.key()).toString().toLower().toStdString();
    sender.keyMods = toolboxModifierFlags(combination.keyboardModifiers());
  }
  sender.tag = action->data().toInt();
  return sender;
}
