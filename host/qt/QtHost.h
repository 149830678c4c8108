// The desktop host on Qt 6 Widgets: the thirteen windows, the views, the menu
// bar, the system text views, the clipboard, the beep and the file panels.
// Construct it on the main thread after the QApplication.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "host/qt/DesktopLayout.h"
#include "host/qt/HelpWindows.h"
#include "host/qt/MainThreadQueue.h"
#include "host/qt/MenuBar.h"
#include "host/qt/Narrator.h"
#include "host/qt/Sound.h"
#include "host/qt/Windows.h"
#include "port/Host.h"

class StoryAnnouncer;

class QtHost : public host::Host {
 public:
  // credit: the program's credit line, shown in the "Velmorat" window;
  // programItems: the tags of the program's own menu items.
  explicit QtHost(const std::string& credit = std::string(),
                  const ProgramMenuTags& programItems = ProgramMenuTags());
  ~QtHost() override;

  bool isMainThread() const override;
  void runOnMainAndWait(const std::function<void()>& work) override;
  void runOnMainAsync(std::function<void()> work) override;

  host::HostView* graphicView(int window) override;
  host::HostWindow* windowOfView(host::HostView* view) override;
  host::HostWindow* fixedWindow(int window) override;
  host::HostWindow* mainWindow() override;
  bool isVisible(host::HostWindow* window) override;
  void orderFront(host::HostWindow* window) override;
  void orderOut(host::HostWindow* window) override;
  void makeKeyAndOrderFront(host::HostWindow* window) override;
  host::Rect frame(host::HostWindow* window) override;
  void setFrame(host::HostWindow* window, const host::Rect& frame) override;
  host::Rect screenFrame(host::HostWindow* window) override;
  void setTitle(host::HostWindow* window, const std::string& titleUtf8) override;
  void setTitleVisible(host::HostWindow* window, bool visible) override;
  void setBackgroundColor(host::HostWindow* window, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue, std::uint8_t alpha) override;
  void setViewFrame(host::HostView* view, const host::Rect& frame) override;
  int titleBarHeight() override { return titleBarHeight_; }

  void setNeedsDisplay(host::HostView* view) override;
  void displayNow(host::HostView* view) override;

  bool hasTextView(int window) override;
  void setTextViewString(int window, const std::string& textUtf8) override;
  std::string textViewString(int window) override;
  host::Rect scrollViewFrame(int window) override;
  void setScrollViewFrame(int window, const host::Rect& frame) override;
  void setUpPlainTextView(int window, const std::string& fontFamily, int pointSize) override;
  host::Rect rulerFrame(int window) override;
  void setRulerFrame(int window, const host::Rect& frame) override;

  host::HostMenu* topLevelMenu(const std::string& titleUtf8) override;
  int menuItemCount(host::HostMenu* menu) override;
  std::string menuItemTitle(host::HostMenu* menu, int index) override;
  void removeMenuItem(host::HostMenu* menu, int index) override;

  std::string pasteboardText() override;
  void setPasteboardText(const std::string& textUtf8) override;
  void setPasteboardImage(const host::ArgbImage& image) override;

  bool playSound(const std::string& resourcePath) override;
  void systemBeep() override;
  std::vector<std::string> openPanel(const host::OpenPanelRequest& request) override;
  std::string savePanel(const host::SavePanelRequest& request) override;

  // Quitting. A Linux desktop has no menu bar without a window: when the
  // user's close boxes or menu choices leave no window of the application on
  // screen, the application quits as with Ablage > Beenden. The routine is
  // the application's (tests install their own); none does nothing.
  void setQuitRoutine(std::function<void()> routine) { quitRoutine_ = std::move(routine); }
  void requestQuit();
  bool anyWindowVisible() const;

  // The text of Hilfe > Spielhilfe (the game's own help, handed over by the application).
  void setGameHelp(std::function<QString()> text) { gameHelpText_ = std::move(text); }
  // The author's run: Fenster > Werkzeuge > Spielzustand, a window that follows
  // the game's state as showGameState hands it over (from any thread).
  void enableGameStateWindow();
  void showGameState(const std::string& reportUtf8);
  // The player's settings and window places, kept between runs by the
  // application (QSettings of the application; tests pass their own).
  void loadSettings(QSettings& settings);
  void saveSettings(QSettings& settings) const;

  // For the application and its tests.
  VelmoratWindow* window(int number) { return windows_.at(static_cast<std::size_t>(number)); }
  GraphicView* view(int number) { return views_.at(static_cast<std::size_t>(number)); }
  MenuBar& menuBar() { return *menuBar_; }
  HelpWindow& gameHelpWindow() { return gameHelp_; }
  HelpWindow& shortcutsWindow() { return shortcuts_; }
  HelpWindow& gameStateWindow() { return gameState_; }
  // The window that zoom and fullscreen act on: the active graphic window,
  // else the text window.
  VelmoratWindow* activeGraphicWindow();
  DesktopLayout& layout() { return *layout_; }
  QPlainTextEdit* textView(int window);
  Narrator& narrator() { return narrator_; }
  // From now on every open and save panel answers path at once (scripted runs).
  void answerPanelsWith(const std::string& path) { panelAnswer_ = path; }
  // A headless run has no one to look: the program's redraw requests then
  // leave the views as they are (the toolbox's memory, which the dumps read,
  // is the same either way). Qt still paints what it asks for itself, and a
  // grab() paints the current memory.
  void setRedrawsViews(bool redraws) { redrawsViews_ = redraws; }

 private:
  void buildGraphicWindow(int number);
  void buildSystemTextWindow(int number, const QString& title, bool withRuler);
  void buildPlainWindow(int number, const QString& title, const QString& text);
  const SystemTextParts* parts(int window) const;

  void quitWhenNothingVisible();
  MenuBarHooks menuHooks();
  void setSmoothPictures(bool smooth);
  void setHighContrast(bool on);
  void setSpeech(bool on);

  std::function<void()> quitRoutine_;
  MainThreadQueue mainWork_;
  std::unique_ptr<MenuBar> menuBar_;
  std::unique_ptr<DesktopLayout> layout_;
  std::array<VelmoratWindow*, 13> windows_{};
  std::array<GraphicView*, 8> views_{};
  std::array<SystemTextParts, 3> systemText_{};  // windows 8, 9, 10
  int titleBarHeight_ = 0;
  std::string panelAnswer_;  // empty: panels ask the user
  bool redrawsViews_ = true;
  SoundPlayer sound_;
  std::function<QString()> gameHelpText_;
  HelpWindow gameHelp_{QStringLiteral("Spielhilfe")};
  HelpWindow shortcuts_{QStringLiteral("Tastenkürzel")};
  HelpWindow gameState_{QStringLiteral("Spielzustand")};
  QString gameStateText_;  // the newest report, on the main thread
  Narrator narrator_{makeQtSpeechEngine()};
  std::unique_ptr<StoryAnnouncer> announcer_;
};
