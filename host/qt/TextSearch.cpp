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
  QObject::connect(find, &QShortcut::activated, window, [window, searched, findAgain] {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(window, QStringLiteral("Suchen"), QStringLiteral("Suchen nach:"),
                              QLineEdit::Normal, *searched, &accepted);
    if (!accepted || text.isEmpty()) return;
    *searched = text;
    findAgain();
  });
  auto* next = new QShortcut(QKeySequence::FindNext, window);
  QObject::connect(next, &QShortcut::activated, window, findAgain);
}
