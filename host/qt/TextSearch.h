// Searching the text of the printer and the console (the transcript of
// "Verlauf" lands on the printer): Ctrl-F asks for a text, F3 finds it again.
#pragma once

#include <QPlainTextEdit>
#include <QString>

// Selects the next occurrence of text after the cursor (case ignored),
// going round to the start once; false, and nothing changed, when it is absent.
bool findInTextView(QPlainTextEdit* view, const QString& text);

// Gives the window of view the search keys (only while that window is active).
void addTextSearch(QWidget* window, QPlainTextEdit* view);
