#include "host/qt/DesktopLayout.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "host/qt/Windows.h"

namespace {
// What a window manager adds around a window (title bar above, thin edges),
// reserved by the fit so that the decorated windows stay whole on screen.
// Nothing on the offscreen platform, which has no window manager.
QMarginsF decorationAllowance() {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return {};
  return QMarginsF(4, 32, 4, 4);
}

// A platform may move a window it was given by a pixel or two (the offscreen
// platform's frame is 2 pixels); such a move is not the player's.
constexpr int kPlatformJitter = 2;

bool samePlace(const QRect& shown, const QRect& placed) {
  return shown.size() == placed.size() && std::abs(shown.x() - placed.x()) <= kPlatformJitter &&
         std::abs(shown.y() - placed.y()) <= kPlatformJitter;
}

QScreen* desktopScreen() {
  return QGuiApplication::primaryScreen();
}

QScreen* screenOf(const QWidget* widget) {
  QScreen* screen = widget->screen();
  return screen != nullptr ? screen : desktopScreen();
}

// The narrowest a game window gets when a zoomed neighbour takes its room.
constexpr int kNeighbourMinimumWidth = 160;

QString settingsKey(const VelmoratWindow* window) {
  return QStringLiteral("Fenster/%1").arg(window->number());
}
}  // namespace

void DesktopLayout::adopt(VelmoratWindow* window) {
  if (!mappingSet_) {
    // Until the program places a window, one point is one pixel and the
    // toolbox's y counts from the bottom of the screen.
    mapping_ = DesktopMapping{1, 0, double(desktopScreen()->geometry().height())};
    mappingSet_ = true;
  }
  windows_.push_back(window);
  const QRect geometry = window->geometry();
  const QPointF bottomLeft =
      mapping_.toToolbox(QPointF(geometry.x(), geometry.y() + geometry.height()));
  window->toolboxFrame = {bottomLeft.x(), bottomLeft.y(), double(geometry.width()),
                          double(geometry.height())};
  window->placedGeometry = geometry;
  if (window->isGraphic()) {
    window->content()->setToolboxSize(
        QSizeF(geometry.width(), geometry.height() - menuHeight(window)));
  }
  window->afterGeometryChange = [this, window] { followUserChange(window); };
  window->atFirstShow = [this, window] {
    if (!remembers_ || !window->placedByProgram) return;
    QSettings settings;
    restoreFrom(settings, window);
  };
}

int DesktopLayout::menuHeight(const VelmoratWindow* window) const {
  return window->menuBar()->isHidden() ? 0 : titleBarHeight_;
}

host::Rect DesktopLayout::frame(const VelmoratWindow* window) const {
  return window->toolboxFrame;
}

QRect DesktopLayout::geometryFor(const VelmoratWindow* window) const {
  const host::Rect& frame = window->toolboxFrame;
  const double scale = mapping_.scale;
  if (window->isGraphic()) {
    // The title bar is the menu bar, which does not scale; the content does.
    const int menu = menuHeight(window);
    const double contentHeight = std::max(frame.height - menu, 0.0);
    const QPointF topLeft = mapping_.toScreen(frame.x, frame.y + frame.height - menu);
    const int top = int(std::lround(topLeft.y()));
    return QRect(int(std::lround(topLeft.x())), top - menu, int(std::lround(scale * frame.width)),
                 int(std::lround(scale * contentHeight)) + menu);
  }
  const QPointF bottomLeft = mapping_.toScreen(frame.x, frame.y);
  int top = int(std::lround(bottomLeft.y() - frame.height));
  // A frame that grows upward from a kept origin must not push the title bar
  // off the screen, where no one could reach it; the window moves down instead.
  top = std::max(top, screenOf(window)->availableGeometry().top());
  return QRect(int(std::lround(bottomLeft.x())), top, int(frame.width), int(frame.height));
}

void DesktopLayout::place(VelmoratWindow* window) {
  if (window->isFullScreen()) return;  // placed when it leaves fullscreen
  const QRect geometry = geometryFor(window);
  window->placedGeometry = geometry;
  window->setGeometry(geometry);
}

void DesktopLayout::setFrame(VelmoratWindow* window, const host::Rect& frame) {
  window->toolboxFrame = frame;
  if (!window->isGraphic()) {
    place(window);
    return;
  }
  window->placedByProgram = true;
  window->programFrame = frame;
  window->content()->setToolboxSize(
      QSizeF(frame.width, std::max(frame.height - menuHeight(window), 1.0)));
  refit();
  for (VelmoratWindow* each : windows_) place(each);
}

void DesktopLayout::refit() {
  if (!fitsScreen_) return;
  std::vector<host::Rect> contents;
  for (const VelmoratWindow* window : windows_) {
    if (!window->isGraphic() || !window->placedByProgram) continue;
    host::Rect content = window->toolboxFrame;
    content.height = std::max(content.height - menuHeight(window), 1.0);
    contents.push_back(content);
  }
  QScreen* screen = desktopScreen();
  QMarginsF chrome = decorationAllowance();
  chrome.setTop(chrome.top() + titleBarHeight_);
  mapping_ =
      fitDesktop(contents, QRectF(screen->availableGeometry()), chrome, screen->devicePixelRatio());
}

void DesktopLayout::setFitsScreen(bool fits) {
  fitsScreen_ = fits;
  mapping_ = DesktopMapping{1, 0, double(desktopScreen()->geometry().height())};
  refit();
  for (VelmoratWindow* window : windows_) place(window);
}

host::Rect DesktopLayout::screenFrame(const VelmoratWindow* window) const {
  const QRect available = screenOf(window)->availableGeometry();
  const QPointF bottomLeft =
      mapping_.toToolbox(QPointF(available.x(), available.y() + available.height()));
  return {bottomLeft.x(), bottomLeft.y(), available.width() / mapping_.scale,
          available.height() / mapping_.scale};
}

void DesktopLayout::followUserChange(VelmoratWindow* window) {
  const QRect geometry = window->geometry();
  if (samePlace(geometry, window->placedGeometry) || window->isFullScreen() ||
      window->isMaximized()) {
    return;
  }
  window->placedGeometry = geometry;
  const QPointF bottomLeft =
      mapping_.toToolbox(QPointF(geometry.x(), geometry.y() + geometry.height()));
  host::Rect& frame = window->toolboxFrame;
  frame.x = bottomLeft.x();
  frame.y = bottomLeft.y();
  // A graphic window keeps its size in points: resizing it zooms its content.
  if (!window->isGraphic()) {
    frame.width = geometry.width();
    frame.height = geometry.height();
  }
}

void DesktopLayout::fitAll() {
  for (VelmoratWindow* window : windows_) {
    if (window->isFullScreen()) window->showNormal();
    if (window->placedByProgram) window->toolboxFrame = window->programFrame;
  }
  refit();
  for (VelmoratWindow* window : windows_) place(window);
}

void DesktopLayout::zoom(VelmoratWindow* window, bool in) {
  if (!window->isGraphic() || window->isFullScreen()) return;
  ContentWidget* content = window->content();
  const double ratio = window->devicePixelRatioF();
  double scale = nextZoomScale(content->placement().scale, in, ratio);
  // No larger than the screen: the step that would not fit becomes the
  // largest size that does.
  const QRect available = screenOf(window)->availableGeometry();
  const QMarginsF chrome = decorationAllowance();
  const QSizeF points = content->toolboxSize();
  // The other game windows keep at least a small picture beside it.
  double besideWidth = 0;
  for (const VelmoratWindow* other : neighbours(window))
    besideWidth +=
        std::min(kNeighbourMinimumWidth, other->width()) + chrome.left() + chrome.right();
  const double room = std::min(
      (available.width() - chrome.left() - chrome.right() - besideWidth) / points.width(),
      (available.height() - chrome.top() - chrome.bottom() - menuHeight(window)) / points.height());
  scale = std::min(scale, room);
  QRect geometry = window->geometry();
  geometry.setSize(QSize(int(std::lround(points.width() * scale)),
                         int(std::lround(points.height() * scale)) + menuHeight(window)));
  // Keep it on screen: a window that grows past the right or bottom edge moves back.
  geometry.moveRight(std::min(geometry.right(), available.right()));
  geometry.moveBottom(std::min(geometry.bottom(), available.bottom()));
  geometry.moveLeft(std::max(geometry.left(), available.left()));
  geometry.moveTop(std::max(geometry.top(), available.top() + int(chrome.top())));
  window->setGeometry(geometry);
  makeRoomBeside(window, geometry);
}

std::vector<VelmoratWindow*> DesktopLayout::neighbours(const VelmoratWindow* window) const {
  std::vector<VelmoratWindow*> shown;
  for (VelmoratWindow* other : windows_) {
    if (other != window && other->isGraphic() && other->isVisible() && !other->isFullScreen())
      shown.push_back(other);
  }
  return shown;
}

// A game window that the zoomed one now covers moves to the side it stood
// on and, where the screen ends, shrinks to the room left there (its content
// scales with it): zooming never hides a part of the game.
void DesktopLayout::makeRoomBeside(const VelmoratWindow* zoomed, const QRect& covered) {
  const QRect available = screenOf(zoomed)->availableGeometry();
  const QMarginsF chrome = decorationAllowance();
  const int gap = int(chrome.left() + chrome.right()) + 1;
  for (VelmoratWindow* other : neighbours(zoomed)) {
    QRect place = other->geometry();
    if (!place.intersects(covered)) continue;
    const bool right = place.center().x() >= covered.center().x();
    const int room =
        right ? available.right() - covered.right() - gap : covered.left() - gap - available.left();
    const int width = std::max(1, std::min(room, place.width()));
    const QSizeF points = other->content()->toolboxSize();
    const int height = int(std::lround(points.height() * width / std::max(points.width(), 1.0)));
    place.setSize(QSize(width, height + menuHeight(other)));
    if (right) {
      place.moveLeft(covered.right() + gap);
    } else {
      place.moveRight(covered.left() - gap);
    }
    other->setGeometry(place);
  }
}

void DesktopLayout::toggleFullScreen(VelmoratWindow* window) {
  if (window->isFullScreen()) {
    window->showNormal();
  } else {
    window->showFullScreen();
  }
}

void DesktopLayout::saveTo(QSettings& settings) const {
  for (const VelmoratWindow* window : windows_) {
    if (!window->isGraphic() || !window->placedByProgram) continue;
    settings.setValue(settingsKey(window), window->normalGeometry());
  }
}

bool DesktopLayout::restoreFrom(QSettings& settings, VelmoratWindow* window) {
  const QString key = settingsKey(window);
  const QRect saved = settings.value(key).toRect();
  if (saved.isEmpty()) return false;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().contains(saved)) {
      window->setGeometry(saved);
      followUserChange(window);
      return true;
    }
  }
  // The screen has changed since (smaller, or another one): the fit is better.
  settings.remove(key);
  return false;
}
