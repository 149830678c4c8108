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
#include <functional>
#include <map>

#include "host/qt/Scaling.h"
#include "port/Host.h"

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
//
// A graphic window's content instead has a size in toolbox points (the toolbox's
// content, border included, in points) that it shows as large as it fits,
// letterboxed in the background colour: its view covers the whole area and
// draws the picture where the placement puts the view's frame.
class ContentWidget : public QWidget {
 public:
  explicit ContentWidget(QWidget* parent);
  void setChildFrame(QWidget* child, const host::Rect& frame);
  host::Rect childFrame(QWidget* child) const;
  void setBackground(const QColor& colour);
  QColor background() const;
  // Turns on the scaling of a graphic window's content (size in points).
  void setToolboxSize(const QSizeF& size);
  QSizeF toolboxSize() const { return toolboxSize_; }
  bool scalesContent() const { return !toolboxSize_.isEmpty(); }
  // Where the content, in toolbox points, lands in this widget now.
  ContentPlacement placement() const;
  // A frame in toolbox points (from the bottom left) as a rectangle of this widget.
  QRectF widgetRectOf(const host::Rect& frame) const;
  // A point of this widget in toolbox points, y counted upward from the bottom.
  QPointF toolboxPointOf(const QPointF& position) const;
  // Clicks on a graphic window (also on its border) go to the mouse handling
  // of window `graphicWindow`; -1 for the other windows.
  int graphicWindow = -1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // The wheel scrolls the view's past (the view itself lets the mouse through).
  void wheelEvent(QWheelEvent* event) override;

 private:
  void place(QWidget* child);
  std::map<QWidget*, host::Rect> frames_;
  QSizeF toolboxSize_;
};

class VelmoratWindow : public QMainWindow {
 public:
  VelmoratWindow(int number, const QString& title);
  int number() const { return number_; }
  bool isGraphic() const { return number_ < 8; }
  // The frame as the toolbox knows it (points, origin bottom left). The host
  // keeps it, so the program reads back exactly what it set; a move or
  // resize by the user changes it (QtHost::followUserChange).
  host::Rect toolboxFrame;
  // The program has placed this graphic window (at programFrame): it belongs
  // to the desktop that is fitted to the screen.
  bool placedByProgram = false;
  host::Rect programFrame;
  // The geometry the host last gave the window; any other is the user's.
  QRect placedGeometry;
  host::HostWindow* handle() { return &handle_; }
  ContentWidget* content() const { return content_; }
  // What a drop of these URLs does: local files open as documents.
  void dropUrls(const QList<QUrl>& urls);
  // Run after the close box has hidden the window.
  std::function<void()> afterCloseBox;
  // Run after every move or resize, and at the first show.
  std::function<void()> afterGeometryChange;
  std::function<void()> atFirstShow;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  int number_;
  host::HostWindow handle_;
  ContentWidget* content_;
  bool shownBefore_ = false;
};

// The view of one graphic window (objectName "View00".."View07"): shows the
// window's image where its content's placement puts it, and passes keys to
// the key translation.
class GraphicView : public QWidget {
 public:
  GraphicView(int window, QWidget* parent);
  int windowNumber() const { return window_; }
  host::HostView* handle() { return &handle_; }
  // A picture scaled by a factor that is not whole: smoothed (true, the
  // default) or with hard pixel edges. Whole factors are always sharp.
  static void setSmoothScaling(bool smooth);
  static bool smoothScaling();
  // The text window as light text on black, whatever its colours.
  static void setHighContrast(bool on);
  static bool highContrast();
  // Moves the view of the text window's past lines back (positive) or
  // forward; false when the program offers no past for this window.
  bool scrollPast(int lines);
  // How many lines back the view stands; 0 shows the live screen.
  std::size_t linesBack() const { return linesBack_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // This view is the text window in high contrast.
  bool contrasted() const;

  int window_;
  host::HostView handle_;
  QImage shown_;                   // Format_RGB32: the toolbox's host words, drawn as they are
  std::uint64_t shownChange_ = 0;  // the window's change count that shown_ holds
  QImage contrasted_;              // shown_ in high contrast, made again when shown_ changes
  std::uint64_t contrastedChange_ = 0;
  std::size_t linesBack_ = 0;  // the past shown instead of the live text
};

// A system text window's parts; the ruler only for the printer and console.
struct SystemTextParts {
  QPlainTextEdit* text = nullptr;  // the text view and its scroll view in one
  QLineEdit* ruler = nullptr;
};

// What the player calls graphic window n (0..7): "Textfenster", "Bildfenster",
// "Grafikfenster 2" ... in titles and menus.
QString graphicWindowName(int number);

// Copies a toolbox image (alpha, red, green, blue bytes) into target, which
// is made Format_RGB32 of the image's size unless it already is.
void copyArgbImage(const host::ArgbImage& image, QImage& target);

// Opens the files as documents (file events), as a drop or Ablage > Öffnen does.
void openDocuments(const QStringList& paths);
