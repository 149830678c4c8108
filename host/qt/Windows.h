// The thirteen windows of the interface: eight graphic windows with their
// views View00..View07, the pasteboard, the virtual printer, the system
// console, the preferences window and the application's main window. Every
// window is a QMainWindow carrying the same menu bar.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QUrl>
#include <QWidget>
#include <map>

#include "host/Host.h"

class VelmoratWindow;
class GraphicView;

namespace host {
struct HostWindow {
  VelmoratWindow* widget = nullptr;
};
struct HostView {
  GraphicView* widget = nullptr;
};
}  // namespace host

// The client area under the menu bar. Children are placed by frames counted
// from its bottom left, as the toolbox counts them, and keep that distance
// from the bottom when the window is resized.
class ContentWidget : public QWidget {
 public:
  explicit ContentWidget(QWidget* parent);
  void setChildFrame(QWidget* child, const host::Rect& frame);
  host::Rect childFrame(QWidget* child) const;
  void setBackground(const QColor& colour);
  // Clicks on a graphic window (also on its border) go to the mouse handling
  // of window `graphicWindow`; -1 for the other windows.
  int graphicWindow = -1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void place(QWidget* child);
  std::map<QWidget*, host::Rect> frames_;
};

class VelmoratWindow : public QMainWindow {
 public:
  VelmoratWindow(int number, const QString& title);
  int number() const { return number_; }
  host::HostWindow* handle() { return &handle_; }
  ContentWidget* content() const { return content_; }
  // What a drop of these URLs does: local files open as documents.
  void dropUrls(const QList<QUrl>& urls);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  int number_;
  host::HostWindow handle_;
  ContentWidget* content_;
};

// The view of one graphic window (objectName "View00".."View07"): shows the
// window's image scaled to the view and passes keys to the key translation.
class GraphicView : public QWidget {
 public:
  GraphicView(int window, QWidget* parent);
  int windowNumber() const { return window_; }
  host::HostView* handle() { return &handle_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  int window_;
  host::HostView handle_;
  QImage shown_;                   // Format_RGB32: the toolbox's host words, drawn as they are
  std::uint64_t shownChange_ = 0;  // the window's change count that shown_ holds
};

// A system text window's parts; the ruler only for the printer and console.
struct SystemTextParts {
  QPlainTextEdit* text = nullptr;  // the text view and its scroll view in one
  QLineEdit* ruler = nullptr;
};

// Copies a toolbox image (alpha, red, green, blue bytes) into target, which
// is made Format_RGB32 of the image's size unless it already is.
void copyArgbImage(const host::ArgbImage& image, QImage& target);

// Opens the files as documents (file events), as a drop or Ablage > Öffnen does.
void openDocuments(const QStringList& paths);
