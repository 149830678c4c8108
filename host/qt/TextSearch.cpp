#include "host/qt/TextSearch.h"

#include <QApplication>
#include <QInputDialog>
#include <QShortcut>
#include <QTextCursor>
#include <memory>

bool findInTextView(QPlainTextEdit* view, const QString& text) {
  if (text.isEmpty()) return false;
  if (view->find(text)) return true;
  const QTextCursor before = view->textCursor();
  view->moveCursor(QTextCursor::Start);
  if (view->find(text)) return true;
  view->setTextCursor(before);
  return false;
}

void addTextSearch(QWidget* window, QPlainTextEdit* view) {
  auto searched = std::make_shared<QString>();
  auto findAgain = [view, searched] {
    if (!findInTextView(view, *searched)) QApplication::beep();
  };
  auto* find = new QShortcut(QKeySequence::Find, window);
  // open(), not exec(): a nested event loop would hold every caller of the
  // main thread, and a scripted run, which types no answer, forever.
  QObject::connect(find, &QShortcut::activated, window, [window, searched, findAgain] {
    auto* dialog = new QInputDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Suchen"));
    dialog->setLabelText(QStringLiteral("Suchen nach:"));
    dialog->setTextValue(*searched);
    QObject::connect(dialog, &QInputDialog::textValueSelected, window,
                     [searched, findAgain](const QString& text) {
                       if (text.isEmpty()) return;
                       *searched = text;
                       findAgain();
                     });
    dialog->open();
  });
  auto* next = new QShortcut(QKeySequence::FindNext, window);
  QObject::connect(next, &QShortcut::activated, window, findAgain);
}
