// The arithmetic of showing the toolbox's desktop on a real screen. The
// program places and sizes its windows in its own points (a 1280 x 800
// picture window beside a text window of the same size); the host shows that
// desktop with one uniform scale that fits the screen, and each window shows
// its content at the scale its size allows, letterboxed. Qt-free apart from
// its geometry types, so the numbers can be tested on their own.
#pragma once

#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

#include "port/Host.h"

// Where a window's content (its size in toolbox points) lands in an
// area of logical pixels: as large as fits, aspect ratio kept, centred.
struct ContentPlacement {
  QRectF target;      // logical pixels inside the area
  double scale = 1;   // logical pixels per toolbox point
  bool sharp = true;  // a whole number of device pixels per point: drawn without smoothing
};

// A scale within one device pixel (over the whole content) of a whole number
// of device pixels is taken as that number, so that e.g. a 1280-point picture
// in a 1281-pixel view stays sharp. The target's edges lie on device pixels.
ContentPlacement placeContent(const QSizeF& content, const QSizeF& area, double devicePixelRatio);

// Toolbox points (origin bottom left, y upward) to logical screen pixels
// (origin top left, y downward), one scale for both axes.
struct DesktopMapping {
  double scale = 1;
  double originX = 0;  // screen x of toolbox x = 0
  double originY = 0;  // screen y of toolbox y = 0

  QPointF toScreen(double x, double y) const { return {originX + scale * x, originY - scale * y}; }
  QPointF toToolbox(const QPointF& screen) const {
    return {(screen.x() - originX) / scale, (originY - screen.y()) / scale};
  }
};

// The mapping that shows the contents (toolbox points: each window's frame
// without its title bar) as large as fits inside available (logical pixels),
// centred there. chrome is what each window adds around its content on the
// screen and does not scale: the menu bar and the window manager's frame. A
// scale just above a whole number of device pixels is lowered to it (at most
// 5% smaller) for a sharp picture.
DesktopMapping fitDesktop(const std::vector<host::Rect>& contents, const QRectF& available,
                          const QMarginsF& chrome, double devicePixelRatio);

// The next zoom step of a window's content from its current scale, in device
// pixels per point: up (in) or down (out) along 1/4, 1/3, 1/2, 2/3, 3/4, 1,
// 3/2, 2, 3, 4, 6, 8. Returns logical pixels per point.
double nextZoomScale(double currentScale, bool in, double devicePixelRatio);
