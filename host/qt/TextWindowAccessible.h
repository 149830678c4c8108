// What assistive technology (AT-SPI: Orca, braille displays) finds in the
// game's windows. The text window is pixels drawn from a bitmap font; here it
// is a terminal-like text object named "Textfenster" whose text is the text
// video memory's 24 lines (as --dump-text writes them), with the caret at the
// input cursor and selections for review. The picture window is a graphic
// named "Bildfenster" whose description is the picture's caption.
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// For QAccessible::installFactory.
QAccessibleInterface* velmoratAccessibleFactory(const QString& className, QObject* object);
