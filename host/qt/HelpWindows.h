// The windows of the Hilfe menu: the game's help text and the list of
// shortcuts, each a read-only text window shown on demand.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class HelpWindow {
 public:
  explicit HelpWindow(const QString& title);
  // Shows the text in front; the window is made at the first call.
  void show(const QString& text);
  // A window on screen takes the new text where it was read; others wait for show.
  void refresh(const QString& text);
  QPlainTextEdit* widget() const { return window_.get(); }

 private:
  QString title_;
  std::unique_ptr<QPlainTextEdit> window_;
};

// The Tastenkürzel text: the menu's shortcuts, then the keys of the command
// line (which belong to the game, not to the menu).
QString shortcutHelpText(const std::vector<std::pair<QString, QString>>& menuShortcuts);
