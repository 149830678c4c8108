#include "host/qt/PastView.h"

#include <QFont>
#include <QFontMetricsF>

namespace {
// The text of the past in the game's colours: white on black, the bar inverted.
const QColor kInk = Qt::white;
const QColor kPaper = Qt::black;
const QColor kBar(255, 255, 0);      // Palette16 entry 13, as the toolbox's highlights
constexpr double kGlyphShare = 0.8;  // of a line's height, so that lines do not touch
}  // namespace

void paintPast(QPainter& painter, const QRectF& area, const ScrollbackPage& page) {
  const int rows = static_cast<int>(page.lines.size()) + 1;  // the bar on top
  const double lineHeight = area.height() / rows;
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(std::max(1, static_cast<int>(lineHeight * kGlyphShare)));
  // As wide as the window's columns allow, for lines of the area's width.
  const double widest = QFontMetricsF(font).horizontalAdvance(QString(80, QLatin1Char('M')));
  if (widest > area.width()) {
    font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * area.width() / widest)));
  }
  painter.save();
  painter.setFont(font);
  painter.fillRect(area, kPaper);
  const QRectF bar(area.left(), area.top(), area.width(), lineHeight);
  painter.fillRect(bar, kBar);
  painter.setPen(kPaper);
  painter.drawText(bar, Qt::AlignCenter, QString::fromStdString(t_ScrollbackMark(page)));
  painter.setPen(kInk);
  const double indent = area.width() / 80;
  for (int row = 1; row < rows; ++row) {
    const QRectF line(area.left() + indent, area.top() + row * lineHeight, area.width() - indent,
                      lineHeight);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(page.lines[static_cast<std::size_t>(row - 1)]));
  }
  painter.restore();
}
