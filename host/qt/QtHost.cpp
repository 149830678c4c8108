#include "host/qt/QtHost.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "host/qt/FileDialogs.h"
#include "host/qt/LineEnds.h"
#include "host/qt/StoryAnnouncer.h"
#include "host/qt/TextSearch.h"
#include "host/qt/TextWindowAccessible.h"
#include "port/FixedWindows.h"
#include "toolbox/windows/SystemWindows.h"

namespace {
constexpr int kGraphicWidth = 640;
constexpr int kGraphicHeight = 480;
constexpr int kTextWindowWidth = 600;
constexpr int kTextWindowHeight = 400;
constexpr int kCascadeStep = 24;
constexpr const char* kRulerText =
    "....:....1....:....2....:....3....:....4....:....5....:....6....:....7....:....8";

int indexOfSystemText(int window) {
  return window >= host::kPasteboardWindow && window <= host::kSystemConsoleWindow
             ? window - host::kPasteboardWindow
             : -1;
}

}  // namespace

QtHost::QtHost(const std::string& credit, const ProgramMenuTags& programItems)
    : menuBar_(std::make_unique<MenuBar>(menuHooks(), programItems)) {
  for (int number = 0; number < 8; ++number) buildGraphicWindow(number);
  const auto title = [](int number) { return QString::fromUtf8(host::fixedWindowTitle(number)); };
  buildSystemTextWindow(host::kPasteboardWindow, title(host::kPasteboardWindow), false);
  buildSystemTextWindow(host::kVirtualPrinterWindow, title(host::kVirtualPrinterWindow), true);
  buildSystemTextWindow(host::kSystemConsoleWindow, title(host::kSystemConsoleWindow), true);
  buildPlainWindow(host::kPreferencesWindow, title(host::kPreferencesWindow),
                   QStringLiteral("Velmorat hat keine Einstellungen."));
  buildPlainWindow(host::kMainWindow, title(host::kMainWindow),
                   QStringLiteral("<h1>Velmorat</h1><p>%1</p><p>Ein Grafik-Textadventure.</p>")
                       .arg(QString::fromStdString(credit)));
  layout_ = std::make_unique<DesktopLayout>(titleBarHeight_);
  for (VelmoratWindow* window : windows_) layout_->adopt(window);
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(velmoratAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  announcer_ = std::make_unique<StoryAnnouncer>(
      views_[0], views_[1], &narrator_,
      [this](std::function<void()> work) { runOnMainAsync(std::move(work)); });
  if (!narrator_.available()) {
    QAction* speech = menuBar_->speechItem();
    speech->setText(speech->text() + QStringLiteral(" (") + narrator_.unavailableReason() +
                    QStringLiteral(")"));
    speech->setEnabled(false);
  }
}

QtHost::~QtHost() {
  for (VelmoratWindow* window : windows_) delete window;
}

void QtHost::enableGameStateWindow() {
  menuBar_->addGameStateItem([this] { gameState_.show(gameStateText_); });
}

void QtHost::showGameState(const std::string& reportUtf8) {
  runOnMainAsync([this, report = QString::fromStdString(reportUtf8)] {
    gameStateText_ = report;
    gameState_.refresh(report);
  });
}

MenuBarHooks QtHost::menuHooks() {
  MenuBarHooks hooks;
  hooks.quit = [this] { requestQuit(); };
  hooks.afterItemChosen = [this] { quitWhenNothingVisible(); };
  hooks.zoom = [this](bool in) { layout_->zoom(activeGraphicWindow(), in); };
  hooks.fit = [this] { layout_->fitAll(); };
  hooks.fullScreen = [this] { layout_->toggleFullScreen(activeGraphicWindow()); };
  hooks.smoothPictures = [this](bool smooth) { setSmoothPictures(smooth); };
  hooks.highContrast = [this](bool on) { setHighContrast(on); };
  hooks.speech = [this](bool on) { setSpeech(on); };
  hooks.repeatSpeech = [this] { narrator_.repeatLast(); };
  hooks.gameHelp = [this] { gameHelp_.show(gameHelpText_ ? gameHelpText_() : QString()); };
  hooks.shortcuts = [this] { shortcuts_.show(shortcutHelpText(menuBar_->shortcutList())); };
  return hooks;
}

VelmoratWindow* QtHost::activeGraphicWindow() {
  auto* active = dynamic_cast<VelmoratWindow*>(QApplication::activeWindow());
  if (active != nullptr && active->isGraphic()) return active;
  return windows_[0];
}

void QtHost::setSmoothPictures(bool smooth) {
  GraphicView::setSmoothScaling(smooth);
  menuBar_->smoothPicturesItem()->setChecked(smooth);
  for (GraphicView* view : views_) view->update();
}

void QtHost::setHighContrast(bool on) {
  GraphicView::setHighContrast(on);
  menuBar_->highContrastItem()->setChecked(on);
  views_[0]->update();
}

void QtHost::setSpeech(bool on) {
  narrator_.setEnabled(on);
  menuBar_->speechItem()->setChecked(narrator_.enabled());
}

void QtHost::loadSettings(QSettings& settings) {
  setSmoothPictures(settings.value(QStringLiteral("Darstellung/Glätten"), true).toBool());
  setHighContrast(settings.value(QStringLiteral("Darstellung/HoherKontrast"), false).toBool());
  setSpeech(settings.value(QStringLiteral("Darstellung/Vorlesen"), false).toBool());
  layout_->setRemembers(true);
}

void QtHost::saveSettings(QSettings& settings) const {
  settings.setValue(QStringLiteral("Darstellung/Glätten"), GraphicView::smoothScaling());
  settings.setValue(QStringLiteral("Darstellung/HoherKontrast"), GraphicView::highContrast());
  settings.setValue(QStringLiteral("Darstellung/Vorlesen"), narrator_.enabled());
  layout_->saveTo(settings);
}

void QtHost::requestQuit() {
  if (quitRoutine_) quitRoutine_();
}

bool QtHost::anyWindowVisible() const {
  return std::any_of(windows_.begin(), windows_.end(),
                     [](const VelmoratWindow* window) { return window->isVisible(); });
}

void QtHost::quitWhenNothingVisible() {
  if (!anyWindowVisible()) requestQuit();
}

void QtHost::buildGraphicWindow(int number) {
  auto* window = new VelmoratWindow(number, graphicWindowName(number));
  menuBar_->attachTo(window);
  titleBarHeight_ = window->menuBar()->sizeHint().height();
  window->content()->graphicWindow = number;
  window->content()->setBackground(Qt::black);
  auto* view = new GraphicView(number, window->content());
  window->content()->setFocusProxy(view);
  window->content()->setFocusPolicy(Qt::ClickFocus);
  view->setFocus();  // keys typed into the window go to its view from the start
  window->resize(kGraphicWidth, kGraphicHeight + titleBarHeight_);
  // At the left edge: the game puts its text window right of the picture
  // window's 1280 points, and the two must not overlap.
  window->move(0, kCascadeStep * number);
  window->content()->setChildFrame(view, {0, 0, kGraphicWidth, kGraphicHeight});
  window->afterCloseBox = [this] { quitWhenNothingVisible(); };
  windows_[static_cast<std::size_t>(number)] = window;
  views_[static_cast<std::size_t>(number)] = view;
}

void QtHost::buildSystemTextWindow(int number, const QString& title, bool withRuler) {
  auto* window = new VelmoratWindow(number, title);
  menuBar_->attachTo(window);
  int titleHeight = window->menuBar()->sizeHint().height();
  int width = kTextWindowWidth;
  int height = kTextWindowHeight + titleHeight;
  window->resize(width, height);
  window->move(kCascadeStep * (number + 1), kCascadeStep * (number + 1));
  SystemTextParts& parts = systemText_[static_cast<std::size_t>(indexOfSystemText(number))];
  parts.text = new QPlainTextEdit(window->content());
  parts.text->setObjectName(title + QStringLiteral(" TextView"));
  parts.text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // The printer's paper (the game's Verlauf) is for reading and searching:
  // keys typed there must not change what was printed.
  if (number == host::kVirtualPrinterWindow) {
    parts.text->setReadOnly(true);
    // Read with the keyboard's caret as well, from the newest line back: a
    // screen reader follows the caret.
    parts.text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  }
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  parts.text->setFont(fixed);
  window->content()->setChildFrame(
      parts.text,
      systemtext::scrollViewFrame(static_cast<std::uint8_t>(number), width, height, titleHeight));
  if (withRuler) {
    parts.ruler = new QLineEdit(QString::fromLatin1(kRulerText), window->content());
    parts.ruler->setReadOnly(true);
    parts.ruler->setFrame(false);
    parts.ruler->setFont(fixed);
    // just below the text
    window->content()->setChildFrame(parts.ruler,
                                     {20, height - titleHeight - 8 - systemtext::kRulerHeight,
                                      systemtext::rulerWidth(width), systemtext::kRulerHeight});
    addTextSearch(window, parts.text);
  }
  window->afterCloseBox = [this] { quitWhenNothingVisible(); };
  windows_[static_cast<std::size_t>(number)] = window;
}

void QtHost::buildPlainWindow(int number, const QString& title, const QString& text) {
  auto* window = new VelmoratWindow(number, title);
  menuBar_->attachTo(window);
  auto* layout = new QVBoxLayout(window->content());
  auto* label = new QLabel(text, window->content());
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  window->resize(kTextWindowWidth / 2 + 100, kTextWindowHeight / 2);
  window->move(kCascadeStep * (number + 1), kCascadeStep * (number + 1));
  window->afterCloseBox = [this] { quitWhenNothingVisible(); };
  windows_[static_cast<std::size_t>(number)] = window;
}

bool QtHost::isMainThread() const {
  return QThread::currentThread() == QCoreApplication::instance()->thread();
}

void QtHost::runOnMainAndWait(const std::function<void()>& work) {
  if (isMainThread()) {
    work();
    return;
  }
  // Our queue and wait instead of a blocking connection: the work and what it
  // wrote are then ordered with the caller for ThreadSanitizer too, both
  // ways, which it cannot see inside Qt's own locking.
  host::postAndWait([this](std::function<void()> queued) { mainWork_.post(std::move(queued)); },
                    work);
}

void QtHost::runOnMainAsync(std::function<void()> work) {
  mainWork_.post(std::move(work));
}

host::HostView* QtHost::graphicView(int window) {
  if (window < 0 || window >= static_cast<int>(views_.size())) return nullptr;
  return views_[static_cast<std::size_t>(window)]->handle();
}

host::HostWindow* QtHost::windowOfView(host::HostView* view) {
  if (view == nullptr) return nullptr;
  auto* window = dynamic_cast<VelmoratWindow*>(view->widget->window());
  return window != nullptr ? window->handle() : nullptr;
}

host::HostWindow* QtHost::fixedWindow(int window) {
  if (window < host::kPasteboardWindow || window > host::kMainWindow) return nullptr;
  return windows_[static_cast<std::size_t>(window)]->handle();
}

host::HostWindow* QtHost::mainWindow() {
  auto* window = dynamic_cast<VelmoratWindow*>(QApplication::activeWindow());
  return window != nullptr ? window->handle() : nullptr;
}

bool QtHost::isVisible(host::HostWindow* window) {
  return window->widget->isVisible();
}

void QtHost::orderFront(host::HostWindow* window) {
  window->widget->show();
  window->widget->raise();
}

void QtHost::orderOut(host::HostWindow* window) {
  window->widget->hide();
}

void QtHost::makeKeyAndOrderFront(host::HostWindow* window) {
  orderFront(window);
  window->widget->activateWindow();
}

host::Rect QtHost::frame(host::HostWindow* window) {
  return layout_->frame(window->widget);
}

void QtHost::setFrame(host::HostWindow* window, const host::Rect& frame) {
  layout_->setFrame(window->widget, frame);
}

host::Rect QtHost::screenFrame(host::HostWindow* window) {
  return layout_->screenFrame(window->widget);
}

void QtHost::setTitle(host::HostWindow* window, const std::string& titleUtf8) {
  VelmoratWindow* widget = window->widget;
  QString title = QString::fromStdString(titleUtf8);
  // The program may give its windows one title; the desktop's window list
  // must still tell them apart.
  if (widget->isGraphic())
    title = graphicWindowName(widget->number()) + QStringLiteral(" \u2013 ") + title;
  widget->setWindowTitle(title);
}

void QtHost::setTitleVisible(host::HostWindow* window, bool visible) {
  VelmoratWindow* widget = window->widget;
  bool shown = widget->isVisible();
  widget->setWindowFlag(Qt::FramelessWindowHint, !visible);
  widget->menuBar()->setVisible(visible);
  if (shown) widget->show();
}

void QtHost::setBackgroundColor(host::HostWindow* window, std::uint8_t red, std::uint8_t green,
                                std::uint8_t blue, std::uint8_t alpha) {
  window->widget->content()->setBackground(QColor(red, green, blue, alpha));
}

void QtHost::setViewFrame(host::HostView* view, const host::Rect& frame) {
  auto* content = static_cast<ContentWidget*>(view->widget->parentWidget());
  content->setChildFrame(view->widget, frame);
}

void QtHost::setNeedsDisplay(host::HostView* view) {
  if (redrawsViews_) view->widget->update();
  if (view->widget->windowNumber() <= 1) announcer_->update();
}

void QtHost::displayNow(host::HostView* view) {
  if (redrawsViews_) view->widget->repaint();
  if (view->widget->windowNumber() <= 1) announcer_->update();
}

const SystemTextParts* QtHost::parts(int window) const {
  int index = indexOfSystemText(window);
  if (index < 0 || systemText_[static_cast<std::size_t>(index)].text == nullptr) return nullptr;
  return &systemText_[static_cast<std::size_t>(index)];
}

QPlainTextEdit* QtHost::textView(int window) {
  const SystemTextParts* found = parts(window);
  return found != nullptr ? found->text : nullptr;
}

bool QtHost::hasTextView(int window) {
  return parts(window) != nullptr;
}

void QtHost::setTextViewString(int window, const std::string& textUtf8) {
  if (const SystemTextParts* found = parts(window)) {
    found->text->setPlainText(QString::fromStdString(toPlatformLineEnds(textUtf8)));
    // Printer and console are paper: their newest lines, at the end, are shown.
    if (found->ruler != nullptr) found->text->moveCursor(QTextCursor::End);
    found->text->viewport()->update();
  }
}

std::string QtHost::textViewString(int window) {
  const SystemTextParts* found = parts(window);
  return found != nullptr ? toToolboxLineEnds(found->text->toPlainText().toStdString())
                          : std::string();
}

host::Rect QtHost::scrollViewFrame(int window) {
  const SystemTextParts* found = parts(window);
  if (found == nullptr) return {};
  return windows_[static_cast<std::size_t>(window)]->content()->childFrame(found->text);
}

void QtHost::setScrollViewFrame(int window, const host::Rect& frame) {
  if (const SystemTextParts* found = parts(window)) {
    windows_[static_cast<std::size_t>(window)]->content()->setChildFrame(found->text, frame);
  }
}

void QtHost::setUpPlainTextView(int window, const std::string& fontFamily, int pointSize) {
  const SystemTextParts* found = parts(window);
  if (found == nullptr) return;
  // A plain text view changes nothing as it is typed (no smart quotes, dashes,
  // links); only the font is left to set.
  QFont font(QString::fromStdString(fontFamily), pointSize);
  font.setStyleHint(QFont::Monospace);
  if (!QFontInfo(font).exactMatch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
  }
  found->text->setFont(font);
}

host::Rect QtHost::rulerFrame(int window) {
  const SystemTextParts* found = parts(window);
  if (found == nullptr || found->ruler == nullptr) return {};
  return windows_[static_cast<std::size_t>(window)]->content()->childFrame(found->ruler);
}

void QtHost::setRulerFrame(int window, const host::Rect& frame) {
  const SystemTextParts* found = parts(window);
  if (found == nullptr || found->ruler == nullptr) return;
  windows_[static_cast<std::size_t>(window)]->content()->setChildFrame(found->ruler, frame);
}

host::HostMenu* QtHost::topLevelMenu(const std::string& titleUtf8) {
  return menuBar_->topLevel(titleUtf8);
}

int QtHost::menuItemCount(host::HostMenu* menu) {
  return int(menu->menu->actions().size());
}

std::string QtHost::menuItemTitle(host::HostMenu* menu, int index) {
  QAction* action = menu->menu->actions().at(index);
  return action->isSeparator() ? std::string() : MenuBar::plainTitle(action->text()).toStdString();
}

void QtHost::removeMenuItem(host::HostMenu* menu, int index) {
  menu->menu->removeAction(menu->menu->actions().at(index));
}

std::string QtHost::pasteboardText() {
  return toToolboxLineEnds(QGuiApplication::clipboard()->text().toStdString());
}

void QtHost::setPasteboardText(const std::string& textUtf8) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(toPlatformLineEnds(textUtf8)));
}

void QtHost::setPasteboardImage(const host::ArgbImage& image) {
  QImage picture;
  copyArgbImage(image, picture);
  QGuiApplication::clipboard()->setImage(picture);
}

bool QtHost::playSound(const std::string& resourcePath) {
  return sound_.play(resourcePath);
}

void QtHost::systemBeep() {
  QApplication::beep();
}

std::vector<std::string> QtHost::openPanel(const host::OpenPanelRequest& request) {
  if (!panelAnswer_.empty()) return {panelAnswer_};
  return runOpenPanel(request);
}

std::string QtHost::savePanel(const host::SavePanelRequest& request) {
  if (!panelAnswer_.empty()) return panelAnswer_;
  return runSavePanel(request);
}
