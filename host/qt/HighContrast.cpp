#include "host/qt/HighContrast.h"

#include <QHash>
#include <algorithm>

namespace {

// Every 13th pixel is enough to find the paper: text covers far less than half.
constexpr qsizetype kSampleStep = 13;

QRgb paperOf(const QImage& image) {
  QHash<QRgb, int> counts;
  const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
  const qsizetype count = static_cast<qsizetype>(image.width()) * image.height();
  for (qsizetype i = 0; i < count; i += kSampleStep) ++counts[pixels[i] | 0xFF000000u];
  QRgb paper = qRgb(0, 0, 0);
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > most) {
      most = it.value();
      paper = it.key();
    }
  }
  return paper;
}

}  // namespace

QImage highContrastImage(const QImage& text) {
  QImage image = text.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return image;
  const int paper = qGray(paperOf(image));
  auto* pixels = reinterpret_cast<QRgb*>(image.bits());
  const qsizetype count = static_cast<qsizetype>(image.width()) * image.height();
  // The ink farthest from the paper becomes white, whatever its colour: dim
  // green ink on black would otherwise stay a dim grey.
  int range = 1;
  for (qsizetype i = 0; i < count; ++i) range = std::max(range, std::abs(qGray(pixels[i]) - paper));
  for (qsizetype i = 0; i < count; ++i) {
    const int level = std::min(255, std::abs(qGray(pixels[i]) - paper) * 255 / range);
    pixels[i] = qRgb(level, level, level);
  }
  return image;
}
