#include "host/qt/Windows.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>

#include "host/qt/HighContrast.h"
#include "host/qt/KeyMapping.h"
#include "host/qt/PastView.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

ContentWidget::ContentWidget(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
}

void ContentWidget::setChildFrame(QWidget* child, const host::Rect& frame) {
  frames_[child] = frame;
  place(child);
}

host::Rect ContentWidget::childFrame(QWidget* child) const {
  auto found = frames_.find(child);
  return found == frames_.end() ? host::Rect{} : found->second;
}

void ContentWidget::setBackground(const QColor& colour) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);
  for (auto& entry : frames_) entry.first->update();
}

QColor ContentWidget::background() const {
  return palette().color(QPalette::Window);
}

void ContentWidget::setToolboxSize(const QSizeF& size) {
  toolboxSize_ = size;
  for (auto& entry : frames_) place(entry.first);
}

ContentPlacement ContentWidget::placement() const {
  return placeContent(toolboxSize_, QSizeF(size()), devicePixelRatioF());
}

QRectF ContentWidget::widgetRectOf(const host::Rect& frame) const {
  if (!scalesContent()) {
    return QRectF(frame.x, height() - (frame.y + frame.height), frame.width, frame.height);
  }
  const ContentPlacement shown = placement();
  const double top = toolboxSize_.height() - (frame.y + frame.height);
  return QRectF(shown.target.x() + shown.scale * frame.x, shown.target.y() + shown.scale * top,
                shown.scale * frame.width, shown.scale * frame.height);
}

QPointF ContentWidget::toolboxPointOf(const QPointF& position) const {
  if (!scalesContent()) return {position.x(), height() - position.y()};
  const ContentPlacement shown = placement();
  return {(position.x() - shown.target.x()) / shown.scale,
          toolboxSize_.height() - (position.y() - shown.target.y()) / shown.scale};
}

void ContentWidget::wheelEvent(QWheelEvent* event) {
  constexpr int kLinesPerNotch = 3;
  constexpr int kEighthsPerNotch = 120;  // angleDelta's units per wheel notch
  auto* view = findChild<GraphicView*>();
  const int lines = event->angleDelta().y() * kLinesPerNotch / kEighthsPerNotch;
  if (view == nullptr || lines == 0 || !view->scrollPast(lines)) return QWidget::wheelEvent(event);
  event->accept();
}

void ContentWidget::place(QWidget* child) {
  if (scalesContent()) {
    // The view draws the whole area: picture and letterbox.
    child->setGeometry(rect());
    child->update();
    return;
  }
  child->setGeometry(widgetRectOf(frames_[child]).toRect());
}

void ContentWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (auto& entry : frames_) place(entry.first);
}

namespace {
// Only the left and the right button are the toolbox's; other buttons click
// nothing, as on the desktop the toolbox comes from.
bool isToolboxButton(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::RightButton;
}
}  // namespace

void ContentWidget::mousePressEvent(QMouseEvent* event) {
  if (graphicWindow < 0 || !isToolboxButton(event->button()))
    return QWidget::mousePressEvent(event);
  int buttons = 0;
  if (event->buttons() & Qt::LeftButton) buttons |= kLeftMouseButton;
  if (event->buttons() & Qt::RightButton) buttons |= kRightMouseButton;
  // The toolbox counts in its own points, y upward from the bottom of the window.
  QPointF position = toolboxPointOf(event->position());
  viewMouseDown(static_cast<std::uint8_t>(graphicWindow), position.x(), position.y(), buttons,
                toolboxModifierFlags(event->modifiers()), event->button() == Qt::RightButton);
}

void ContentWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (graphicWindow < 0 || !isToolboxButton(event->button()))
    return QWidget::mouseReleaseEvent(event);
  viewMouseUp(static_cast<std::uint8_t>(graphicWindow));
}

VelmoratWindow::VelmoratWindow(int number, const QString& title)
    : number_(number), content_(new ContentWidget(this)) {
  handle_.widget = this;
  setWindowTitle(title);
  setCentralWidget(content_);
  setAcceptDrops(true);
  setObjectName(QStringLiteral("Window%1").arg(number, 2, 10, QLatin1Char('0')));
}

void VelmoratWindow::closeEvent(QCloseEvent* event) {
  // The close box hides; windows live as long as the application.
  event->ignore();
  t_WindowShouldClose(&handle_);
  if (afterCloseBox) afterCloseBox();
}

void VelmoratWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (afterGeometryChange) afterGeometryChange();
  t_WindowDidResize();
}

void VelmoratWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (afterGeometryChange) afterGeometryChange();
}

void VelmoratWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownBefore_) return;
  shownBefore_ = true;
  if (atFirstShow) atFirstShow();
}

void VelmoratWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void VelmoratWindow::dropEvent(QDropEvent* event) {
  dropUrls(event->mimeData()->urls());
  event->acceptProposedAction();
}

void VelmoratWindow::dropUrls(const QList<QUrl>& urls) {
  QStringList paths;
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  openDocuments(paths);
}

QString graphicWindowName(int number) {
  if (number == 0) return QStringLiteral("Textfenster");
  if (number == 1) return QStringLiteral("Bildfenster");
  return QStringLiteral("Grafikfenster %1").arg(number);
}

void copyArgbImage(const host::ArgbImage& image, QImage& target) {
  if (target.width() != image.width || target.height() != image.height ||
      target.format() != QImage::Format_RGB32) {
    target = QImage(image.width, image.height, QImage::Format_RGB32);
  }
  const std::uint8_t* source = image.bytes.data();
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = 0; x < image.width; ++x, source += 4)
      row[x] = qRgb(source[1], source[2], source[3]);
  }
}

void openDocuments(const QStringList& paths) {
  for (const QString& path : paths) {
    Document document;
    int error = 0;
    // The path as the file system has it: another normal form may name
    // another file, or none.
    document.readFromURL(path.toStdString(), QFileInfo(path).suffix().toStdString(), &error);
  }
}

GraphicView::GraphicView(int window, QWidget* parent) : QWidget(parent), window_(window) {
  handle_.widget = this;
  setObjectName(QStringLiteral("View%1").arg(window, 2, 10, QLatin1Char('0')));
  setFocusPolicy(Qt::StrongFocus);
  // Clicks go to the window's content, which also sees clicks on the border.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {
bool smoothPictures = true;
bool highContrastText = false;
}  // namespace

void GraphicView::setSmoothScaling(bool smooth) {
  smoothPictures = smooth;
}

bool GraphicView::smoothScaling() {
  return smoothPictures;
}

void GraphicView::setHighContrast(bool on) {
  highContrastText = on;
}

bool GraphicView::highContrast() {
  return highContrastText;
}

bool GraphicView::contrasted() const {
  return window_ == 0 && highContrastText;
}

void GraphicView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The toolbox converts into the image's own memory, and only when the
  // window changed since this view last showed it.
  bool ready = viewRedraw(static_cast<std::uint8_t>(window_), shownChange_,
                          [this](int width, int height, bool& fresh) {
                            fresh = shown_.width() != width || shown_.height() != height;
                            if (fresh) shown_ = QImage(width, height, QImage::Format_RGB32);
                            return reinterpret_cast<std::uint32_t*>(shown_.bits());
                          });
  auto* content = static_cast<ContentWidget*>(parentWidget());
  QRectF picture = QRectF(rect());
  if (content->scalesContent()) {
    picture = content->widgetRectOf(content->childFrame(this));
    // The border and the letterbox bars show the window's background colour.
    QRegion around = QRegion(rect()).subtracted(QRegion(picture.toAlignedRect()));
    const QColor bars = contrasted() ? QColor(Qt::black) : content->background();
    for (const QRect& bar : around) painter.fillRect(bar, bars);
  }
  if (!ready || shown_.isNull()) {
    painter.fillRect(picture, Qt::black);
    return;
  }
  // Whole factors stay sharp pixel for pixel; others are smoothed unless the
  // player prefers hard pixels.
  bool sharp = !content->scalesContent() || content->placement().sharp;
  painter.setRenderHint(QPainter::SmoothPixmapTransform, !sharp && smoothPictures);
  if (contrasted()) {
    if (contrasted_.isNull() || contrastedChange_ != shownChange_) {
      contrasted_ = highContrastImage(shown_);
      contrastedChange_ = shownChange_;
    }
    painter.drawImage(picture, contrasted_);
  } else {
    painter.drawImage(picture, shown_);
  }
  if (linesBack_ == 0) return;
  const ScrollbackPage page = t_ScrollbackPage(static_cast<std::uint8_t>(window_), linesBack_);
  linesBack_ = page.linesBack;
  if (linesBack_ > 0) paintPast(painter, picture, page);
}

bool GraphicView::scrollPast(int lines) {
  const auto window = static_cast<std::uint8_t>(window_);
  if (!t_ScrollbackEnabled(window)) return false;
  const std::size_t kept = t_ScrollbackLinesKept(window);
  const long long wanted = static_cast<long long>(linesBack_) + lines;
  linesBack_ =
      static_cast<std::size_t>(std::clamp<long long>(wanted, 0, static_cast<long long>(kept)));
  update();
  return true;
}

void GraphicView::keyPressEvent(QKeyEvent* event) {
  if (isModifierKey(event->key())) {
    viewFlagsChanged(modifierFlagsAfter(event->key(), true, event->modifiers()));
    return;
  }
  // Page Up and Page Down leaf through the past where the program offers
  // one; any other key comes back to the live screen and is typed.
  const bool pageKey = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
  if (pageKey && event->modifiers() == Qt::NoModifier) {
    const int page = t_ScrollbackPageLines(static_cast<std::uint8_t>(window_));
    if (scrollPast(event->key() == Qt::Key_PageUp ? page : -page)) return;
  }
  if (linesBack_ > 0) {
    linesBack_ = 0;
    update();
  }
  ToolboxKey key = toolboxKeyOf(event->key(), event->modifiers(), event->text());
  if (key.typesNothing) return QWidget::keyPressEvent(event);
  viewKeyDown(static_cast<std::uint8_t>(window_), key.code, key.characters, key.flags);
}

void GraphicView::keyReleaseEvent(QKeyEvent* event) {
  if (isModifierKey(event->key())) {
    viewFlagsChanged(modifierFlagsAfter(event->key(), false, event->modifiers()));
    return;
  }
  QWidget::keyReleaseEvent(event);
  viewKeyUp(static_cast<std::uint8_t>(window_));
}

// Tab and Shift-Tab are keys of the program, not focus moves.
bool GraphicView::focusNextPrevChild(bool) {
  return false;
}
