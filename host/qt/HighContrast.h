// Fenster > Hoher Kontrast: the text window as light text on black. Each
// pixel becomes as light as its brightness stands apart from the paper's
// (the colour most pixels have), measured against the ink that stands
// farthest apart, so any colours of the game, inverse text too, become white
// glyphs on black with their smoothed edges kept.
#pragma once

#include <QImage>

QImage highContrastImage(const QImage& text);
