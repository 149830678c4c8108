// The text window's past as the desktop shows it: while the player has
// scrolled back (Page Up, the mouse wheel), the view paints the lines that
// scrolled out of the text area over the window's image, with a bar that
// says so. Only a view: the window's image, its video memory and the text
// that assistive tools read stay the live ones.
#pragma once

#include <QPainter>
#include <QRectF>

#include "toolbox/text/Scrollback.h"

// Paints page over area, which shows the whole text window.
void paintPast(QPainter& painter, const QRectF& area, const ScrollbackPage& page);
