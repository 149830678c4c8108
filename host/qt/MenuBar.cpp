#include "host/qt/MenuBar.h"

#include <QApplication>
#include <QMenuBar>

#include "host/qt/FileDialogs.h"
#include "host/qt/KeyMapping.h"
#include "host/qt/Windows.h"
#include "port/FixedWindows.h"
#include "port/Host.h"

namespace {
constexpr const char* kMenuTitleProperty = "velmoratMenuTitle";

// A system window of the toolbox, with the tag that brings it to the front
// (the next tag hides it).
struct ToolWindow {
  int window;  // its title is the fixed window's (host::fixedWindowTitle)
  int frontTag;
  QKeySequence shortcut;
};

const std::vector<ToolWindow>& toolWindows() {
  static const std::vector<ToolWindow> windows = {
      {host::kPasteboardWindow, kActionFrontPasteboard,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
      {host::kVirtualPrinterWindow, kActionFrontPrinter,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
      {host::kSystemConsoleWindow, kActionFrontConsole,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)},
      {host::kPreferencesWindow, kActionFrontPreferences,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
  };
  return windows;
}

int frontTagOfGraphicWindow(int k) {
  return kActionFrontGraphic0 + 2 * k;
}
}  // namespace

MenuBar::MenuBar(MenuBarHooks hooks, const ProgramMenuTags& programItems)
    : hooks_(std::move(hooks)), programItems_(programItems) {
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

QMenu* MenuBar::addSubmenu(QMenu* menu, const QString& title) {
  QMenu* submenu = menu->addMenu(title);
  handles_[submenu].menu = submenu;
  return submenu;
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
  QObject::connect(action, &QAction::triggered, [this, action] {
    t_MenuEventHandler(senderOf(action));
    if (hooks_.afterItemChosen) hooks_.afterItemChosen();
  });
  tagged_.push_back(action);
  return action;
}

void MenuBar::addProgramItem(QMenu* menu, const QString& title, int tag,
                             const QKeySequence& shortcut) {
  if (tag != 0) addItem(menu, title, tag, shortcut);
}

QAction* MenuBar::addCommand(QMenu* menu, const QString& title,
                             const QList<QKeySequence>& shortcuts, std::function<void()> command) {
  QAction* action = menu->addAction(title);
  action->setObjectName(plainTitle(title));
  if (!shortcuts.isEmpty()) {
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::ApplicationShortcut);
  }
  QObject::connect(action, &QAction::triggered, [command = std::move(command)] {
    if (command) command();
  });
  return action;
}

void MenuBar::buildAblage() {
  QMenu* menu = addMenu(QStringLiteral("&Ablage"));
  addCommand(menu, QStringLiteral("Ö&ffnen\u2026"),
             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
             [] { openDocuments(chooseDocuments()); });
  // New shortcuts keep clear of the letters whose Ctrl codes the line editor
  // uses (A D F H L N P S V X Z); Öffnen… loads a saved game too.
  addProgramItem(menu, QStringLiteral("Spiel &laden\u2026"), programItems_.loadGame);
  addProgramItem(menu, QStringLiteral("Spiel &sichern\u2026"), programItems_.saveGame,
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  addProgramItem(menu, QStringLiteral("Letz&ten Stand laden"), programItems_.loadLastState,
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  addProgramItem(menu, QStringLiteral("&Protokoll sichern\u2026"), programItems_.saveTranscript);
  menu->addSeparator();
  // Ctrl+Q as on every Linux desktop; Ctrl+Shift+Q as before.
  addCommand(menu, QStringLiteral("&Beenden"),
             {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q)},
             [this] {
               if (hooks_.quit) hooks_.quit();
             });
}

void MenuBar::buildBearbeiten() {
  QMenu* menu = addMenu(QStringLiteral("&Bearbeiten"));
  addProgramItem(menu, QStringLiteral("&Zug zurücknehmen"), programItems_.takeBackMove,
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Text kopieren"), kActionCopyText,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  addItem(menu, QStringLiteral("&Bild kopieren"), kActionCopyPicture,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
}

void MenuBar::buildFenster() {
  QMenu* menu = addMenu(QStringLiteral("&Fenster"));
  addItem(menu, graphicWindowName(0), frontTagOfGraphicWindow(0),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
  addItem(menu, graphicWindowName(1), frontTagOfGraphicWindow(1),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  addProgramItem(menu, QStringLiteral("Ve&rlauf"), programItems_.showTranscript,
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
  menu->addSeparator();
  // Ctrl with + - 0 and F11: keys that type nothing the line editor reads.
  addCommand(menu, QStringLiteral("&Vergrößern"),
             {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             [this] {
               if (hooks_.zoom) hooks_.zoom(true);
             });
  addCommand(menu, QStringLiteral("Ver&kleinern"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
             [this] {
               if (hooks_.zoom) hooks_.zoom(false);
             });
  addCommand(menu, QStringLiteral("&Einpassen"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] {
    if (hooks_.fit) hooks_.fit();
  });
  addCommand(menu, QStringLiteral("V&ollbild"), {QKeySequence(Qt::Key_F11)}, [this] {
    if (hooks_.fullScreen) hooks_.fullScreen();
  });
  smooth_ = addCommand(menu, QStringLiteral("Bilder &glätten"), {}, {});
  smooth_->setCheckable(true);
  smooth_->setChecked(GraphicView::smoothScaling());
  QObject::connect(smooth_, &QAction::toggled, [this](bool on) {
    if (hooks_.smoothPictures) hooks_.smoothPictures(on);
  });
  buildAccessItems(menu);
  menu->addSeparator();
  werkzeuge_ = addSubmenu(menu, QStringLiteral("&Werkzeuge"));
  buildWerkzeuge(werkzeuge_);
}

void MenuBar::addGameStateItem(std::function<void()> show) {
  QAction* first = werkzeuge_->actions().value(0);
  QAction* item = addCommand(werkzeuge_, QStringLiteral("Spiel&zustand"), {}, std::move(show));
  werkzeuge_->insertAction(first, item);  // moves it to the top
}

// For players who see less or not at all: contrast, and the story read aloud.
void MenuBar::buildAccessItems(QMenu* menu) {
  contrast_ = addCommand(menu, QStringLiteral("Hoher &Kontrast"), {}, {});
  contrast_->setCheckable(true);
  QObject::connect(contrast_, &QAction::toggled, [this](bool on) {
    if (hooks_.highContrast) hooks_.highContrast(on);
  });
  speech_ = addCommand(menu, QStringLiteral("Vor&lesen"), {}, {});
  speech_->setCheckable(true);
  QObject::connect(speech_, &QAction::toggled, [this](bool on) {
    if (hooks_.speech) hooks_.speech(on);
  });
  addCommand(menu, QStringLiteral("Zuletzt Gesagtes &wiederholen"),
             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)}, [this] {
               if (hooks_.repeatSpeech) hooks_.repeatSpeech();
             });
}

void MenuBar::buildWerkzeuge(QMenu* menu) {
  for (const ToolWindow& window : toolWindows())
    addItem(menu, QString::fromUtf8(host::fixedWindowTitle(window.window)), window.frontTag,
            window.shortcut);
  for (int k = 2; k < 8; ++k) addItem(menu, graphicWindowName(k), frontTagOfGraphicWindow(k));
  menu->addSeparator();
  QMenu* hide = addSubmenu(menu, QStringLiteral("&Ausblenden"));
  addItem(hide, QStringLiteral("Vorderes Fenster"), kActionHideMain,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
  addItem(hide, QStringLiteral("Alle Fenster"), kActionHideAll);
  hide->addSeparator();
  for (int k = 0; k < 8; ++k) addItem(hide, graphicWindowName(k), frontTagOfGraphicWindow(k) + 1);
  for (const ToolWindow& window : toolWindows())
    addItem(hide, QString::fromUtf8(host::fixedWindowTitle(window.window)), window.frontTag + 1);
  addItem(hide, QStringLiteral("Über Velmorat"), kActionFrontMainWindow + 1);
  menu->addSeparator();
  addItem(menu, QStringLiteral("&Drucker leeren"), kActionClearPrinter);
  addItem(menu, QStringLiteral("&Konsole leeren"), kActionClearConsole);
  addItem(menu, QStringLiteral("&Programmaktion"), kActionProgramHook,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
}

void MenuBar::buildHilfe() {
  QMenu* menu = addMenu(QStringLiteral("&Hilfe"));
  addCommand(menu, QStringLiteral("&Spielhilfe"), {}, [this] {
    if (hooks_.gameHelp) hooks_.gameHelp();
  });
  addCommand(menu, QStringLiteral("&Tastenkürzel"), {}, [this] {
    if (hooks_.shortcuts) hooks_.shortcuts();
  });
  menu->addSeparator();
  addItem(menu, QStringLiteral("Ü&ber Velmorat"), kActionFrontMainWindow,
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
}

std::vector<std::pair<QString, QString>> MenuBar::shortcutList() const {
  std::vector<std::pair<QString, QString>> list;
  std::function<void(const QMenu*)> collect = [&](const QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (action->menu() != nullptr) {
        collect(action->menu());
        continue;
      }
      QStringList keys;
      for (const QKeySequence& shortcut : action->shortcuts())
        keys << shortcut.toString(QKeySequence::NativeText);
      if (!keys.isEmpty()) {
        list.emplace_back(keys.join(QStringLiteral(", ")),
                          plainTitle(action->text()).remove(QChar(0x2026)));
      }
    }
  };
  for (const QMenu* menu : topLevel_) collect(menu);
  return list;
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
