#include "host/qt/Scaling.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// Scales that the desktop fit lowers to the whole number below them: a
// little smaller and sharp is better than a little larger and blurred.
constexpr double kSharpnessTolerance = 0.05;
constexpr double kZoomEpsilon = 1e-3;
constexpr std::array<double, 12> kZoomSteps = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 1,
                                               1.5,  2,       3,   4,       6,    8};

double onDevicePixel(double logical, double devicePixelRatio) {
  return std::round(logical * devicePixelRatio) / devicePixelRatio;
}
}  // namespace

ContentPlacement placeContent(const QSizeF& content, const QSizeF& area, double devicePixelRatio) {
  ContentPlacement placement;
  if (content.isEmpty() || area.isEmpty()) return placement;
  const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
  double scale = std::min(area.width() / content.width(), area.height() / content.height());
  const double devicePixels = scale * ratio;
  const double whole = std::round(devicePixels);
  const double largest = std::max(content.width(), content.height());
  placement.sharp = whole >= 1 && std::abs(devicePixels - whole) * largest < 1;
  if (placement.sharp) scale = whole / ratio;
  placement.scale = scale;
  const QSizeF size = content * scale;
  placement.target = QRectF(onDevicePixel((area.width() - size.width()) / 2, ratio),
                            onDevicePixel((area.height() - size.height()) / 2, ratio), size.width(),
                            size.height());
  return placement;
}

DesktopMapping fitDesktop(const std::vector<host::Rect>& contents, const QRectF& available,
                          const QMarginsF& chrome, double devicePixelRatio) {
  DesktopMapping mapping;
  if (contents.empty() || available.isEmpty()) return mapping;
  double left = contents.front().x;
  double bottom = contents.front().y;
  double right = left;
  double top = bottom;
  for (const host::Rect& content : contents) {
    left = std::min(left, content.x);
    bottom = std::min(bottom, content.y);
    right = std::max(right, content.x + content.width);
    top = std::max(top, content.y + content.height);
  }
  const double width = std::max(right - left, 1.0);
  const double height = std::max(top - bottom, 1.0);
  const double roomWidth = std::max(available.width() - chrome.left() - chrome.right(), 1.0);
  const double roomHeight = std::max(available.height() - chrome.top() - chrome.bottom(), 1.0);
  const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
  double scale = std::min(roomWidth / width, roomHeight / height);
  const double devicePixels = scale * ratio;
  const double whole = std::floor(devicePixels);
  if (whole >= 1 && devicePixels - whole <= kSharpnessTolerance * devicePixels) {
    scale = whole / ratio;
  }
  mapping.scale = scale;
  const double contentLeft = available.left() + chrome.left() + (roomWidth - scale * width) / 2;
  const double contentTop = available.top() + chrome.top() + (roomHeight - scale * height) / 2;
  mapping.originX = onDevicePixel(contentLeft - scale * left, ratio);
  mapping.originY = onDevicePixel(contentTop + scale * top, ratio);
  return mapping;
}

double nextZoomScale(double currentScale, bool in, double devicePixelRatio) {
  const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
  const double current = currentScale * ratio;
  if (in) {
    for (double step : kZoomSteps) {
      if (step > current + kZoomEpsilon) return step / ratio;
    }
    return kZoomSteps.back() / ratio;
  }
  for (auto step = kZoomSteps.rbegin(); step != kZoomSteps.rend(); ++step) {
    if (*step < current - kZoomEpsilon) return *step / ratio;
  }
  return kZoomSteps.front() / ratio;
}
