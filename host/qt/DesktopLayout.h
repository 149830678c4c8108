// Where the windows stand on the real screen. The toolbox places its windows
// in its own points; the host shows that desktop scaled to fit the screen
// (DesktopMapping), so that both game windows are whole on screen at start,
// as large as fits, on any screen and device pixel ratio. The frames the
// program sets are kept as it set them and are what it reads back. The
// player may move, resize, zoom and fullscreen the windows afterwards; their
// places are remembered between runs while they still fit the screen.
#pragma once

#include <QRect>
#include <QSettings>
#include <vector>

#include "host/qt/Scaling.h"
#include "port/Host.h"

class VelmoratWindow;

class DesktopLayout {
 public:
  // titleBarHeight: the menu bar's height, which each window adds above its
  // content unscaled (and which the toolbox counts as its title bar).
  explicit DesktopLayout(int titleBarHeight) : titleBarHeight_(titleBarHeight) {}

  // Takes the window's present geometry as its first toolbox frame and
  // follows its moves and resizes from here on.
  void adopt(VelmoratWindow* window);

  // --- The toolbox's view (points, origin bottom left) ------------------------
  host::Rect frame(const VelmoratWindow* window) const;
  // A graphic window's frame is part of the fitted desktop: the fit is made
  // anew and every window placed by it. Other windows keep their size in
  // pixels; only their position follows the mapping.
  void setFrame(VelmoratWindow* window, const host::Rect& frame);
  // The available area of the window's screen, in points.
  host::Rect screenFrame(const VelmoratWindow* window) const;

  // Off: one point is one pixel and nothing is fitted (the tests that look at
  // exact pixels). On by default.
  void setFitsScreen(bool fits);
  const DesktopMapping& mapping() const { return mapping_; }

  // --- The player's commands ---------------------------------------------------
  // The desktop fitted to the screen again, where the program put it; the
  // player's moves, zooms and resizes are undone.
  void fitAll();
  // The window's content one zoom step larger or smaller, at most as large
  // as the screen allows beside small views of the other game windows; the
  // top left corner stays, and a window it would cover steps aside.
  void zoom(VelmoratWindow* window, bool in);
  void toggleFullScreen(VelmoratWindow* window);

  // --- Memory between runs -----------------------------------------------------
  // Restores each game window's saved place at its first show (a place that
  // no longer fits any screen is forgotten). Off unless the application turns it on.
  void setRemembers(bool remembers) { remembers_ = remembers; }
  void saveTo(QSettings& settings) const;
  // Applies a saved place to the window; false (and the place forgotten)
  // when there is none or it no longer fits a screen.
  bool restoreFrom(QSettings& settings, VelmoratWindow* window);

 private:
  int menuHeight(const VelmoratWindow* window) const;
  QRect geometryFor(const VelmoratWindow* window) const;
  void place(VelmoratWindow* window);
  void refit();
  void followUserChange(VelmoratWindow* window);
  std::vector<VelmoratWindow*> neighbours(const VelmoratWindow* window) const;
  void makeRoomBeside(const VelmoratWindow* zoomed, const QRect& covered);

  int titleBarHeight_;
  bool fitsScreen_ = true;
  bool remembers_ = false;
  DesktopMapping mapping_;
  bool mappingSet_ = false;
  std::vector<VelmoratWindow*> windows_;
};
