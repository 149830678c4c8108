#include "host/qt/HelpWindows.h"

#include <QFontDatabase>
#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <algorithm>

namespace {
constexpr int kHelpWindowWidth = 640;
constexpr int kHelpWindowHeight = 420;

// The line editor's keys that a player uses; the rest are for programs.
const std::vector<std::pair<QString, QString>>& commandLineKeys() {
  static const std::vector<std::pair<QString, QString>> keys = {
      {QStringLiteral("Eingabetaste"), QStringLiteral("Befehl abschicken")},
      {QStringLiteral("Esc"), QStringLiteral("Befehl verwerfen")},
      {QStringLiteral("Links, Rechts"), QStringLiteral("Schreibmarke bewegen")},
      {QStringLiteral("Pos1, Ende"), QStringLiteral("an den Anfang, ans Ende der Eingabe")},
      {QStringLiteral("Strg+P, Strg+N"), QStringLiteral("frühere Befehle zurückholen")},
      {QStringLiteral("Hoch, Runter"),
       QStringLiteral("frühere Befehle (in Spielen, die es anbieten)")},
      {QStringLiteral("Bild hoch, Bild runter, Mausrad"),
       QStringLiteral("im Text zurückblättern (in Spielen, die es anbieten)")},
      {QStringLiteral("Rücktaste, Entf"), QStringLiteral("Zeichen löschen")},
      {QStringLiteral("Strg+V"), QStringLiteral("Zwischenablage einfügen")},
      {QStringLiteral("Strg+L"), QStringLiteral("Eingabe in die Zwischenablage kopieren")},
      {QStringLiteral("Strg+Z"), QStringLiteral("Eingabe löschen")},
  };
  return keys;
}

// Keys of the windows themselves, for a player who uses no mouse.
const std::vector<std::pair<QString, QString>>& windowKeys() {
  static const std::vector<std::pair<QString, QString>> keys = {
      {QStringLiteral("Alt+A, Alt+B, Alt+F, Alt+H"),
       QStringLiteral("Menüs Ablage, Bearbeiten, Fenster, Hilfe öffnen")},
      {QStringLiteral("Esc, Strg+W"), QStringLiteral("Spielhilfe und Tastenkürzel schließen")},
      {QStringLiteral("Hoch, Runter, Bild hoch, Bild runter"),
       QStringLiteral("im Verlauf und in der Hilfe lesen (Strg+Pos1, Strg+Ende: Anfang, Ende)")},
  };
  return keys;
}

QString table(const std::vector<std::pair<QString, QString>>& rows) {
  int width = 0;
  for (const auto& row : rows) width = std::max(width, int(row.first.size()));
  QString text;
  for (const auto& row : rows)
    text += row.first.leftJustified(width + 3) + row.second + QLatin1Char('\n');
  return text;
}
}  // namespace

HelpWindow::HelpWindow(const QString& title) : title_(title) {}

void HelpWindow::show(const QString& text) {
  if (!window_) {
    window_ = std::make_unique<QPlainTextEdit>();
    window_->setWindowTitle(title_);
    window_->setObjectName(title_);
    window_->setReadOnly(true);
    // Read with the keyboard's caret as well: a screen reader follows it.
    window_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    window_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    window_->resize(kHelpWindowWidth, kHelpWindowHeight);
    // Closed like the other windows: Esc, and Ctrl+W as in every desktop program.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
      auto* close = new QShortcut(keys, window_.get());
      QObject::connect(close, &QShortcut::activated, window_.get(), &QWidget::close);
    }
  }
  window_->setPlainText(text);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void HelpWindow::refresh(const QString& text) {
  if (!window_ || !window_->isVisible() || window_->toPlainText() == text) return;
  QScrollBar* bar = window_->verticalScrollBar();
  const int readUpTo = bar->value();
  window_->setPlainText(text);
  bar->setValue(readUpTo);
}

QString shortcutHelpText(const std::vector<std::pair<QString, QString>>& menuShortcuts) {
  return QStringLiteral("Menüs\n\n") + table(menuShortcuts) + QStringLiteral("\nBefehlszeile\n\n") +
         table(commandLineKeys()) + QStringLiteral("\nFenster\n\n") + table(windowKeys());
}
