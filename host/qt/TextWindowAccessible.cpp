#include "host/qt/TextWindowAccessible.h"

#include <QAccessibleWidget>
#include <utility>
#include <vector>

#include "host/qt/StoryAnnouncer.h"
#include "host/qt/Windows.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/WindowDescription.h"

namespace {

constexpr int kTextWindow = 0;
constexpr int kPictureWindow = 1;

class TextWindowAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TextWindowAccessible(GraphicView* view)
      : QAccessibleWidget(view, QAccessible::Terminal, QStringLiteral("Textfenster")) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return QStringLiteral("Textfenster");
    if (kind == QAccessible::Description)
      return QStringLiteral("Die Geschichte und die Eingabe nach \u00BB>>> Befehl ?\u00AB");
    if (kind == QAccessible::Value) return textWindowScreen();
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.selectableText = true;
    state.focusable = true;
    return state;
  }

  // --- Selection: kept here, for review; the game's text is never changed.
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index >= 0 && index < static_cast<int>(selections_.size()))
      std::tie(*start, *end) = selections_[static_cast<std::size_t>(index)];
  }
  int selectionCount() const override { return static_cast<int>(selections_.size()); }
  void addSelection(int start, int end) override {
    selections_.emplace_back(clamped(start), clamped(end));
  }
  void removeSelection(int index) override {
    if (index >= 0 && index < selectionCount()) selections_.erase(selections_.begin() + index);
  }
  void setSelection(int index, int start, int end) override {
    if (index >= 0 && index < selectionCount())
      selections_[static_cast<std::size_t>(index)] = {clamped(start), clamped(end)};
    else if (index == selectionCount())
      addSelection(start, end);
  }

  int cursorPosition() const override {
    const StoryAnnouncer* announcer = StoryAnnouncer::current();
    return announcer != nullptr ? announcer->caretOffset() : characterCount();
  }
  // The caret is the program's: a reader reviews with its own cursor.
  void setCursorPosition(int) override {}

  QString text(int start, int end) const override {
    const QString screen = textWindowScreen();
    if (end < 0 || end > screen.size()) end = static_cast<int>(screen.size());
    start = std::clamp(start, 0, end);
    return screen.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(textWindowScreen().size()); }

  // Cells are equal parts of the view: the screen's lines and columns.
  QRect characterRect(int offset) const override {
    const QString screen = textWindowScreen();
    const auto [column, line] = cellOf(screen, offset);
    const QRect cell = cellRect(column, line);
    return QRect(widget()->mapToGlobal(cell.topLeft()), cell.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const auto [columns, lines] = gridSize();
    if (columns == 0) return -1;
    const QPoint local = widget()->mapFromGlobal(point);
    const int column = local.x() * columns / std::max(widget()->width(), 1) + 1;
    const int line = local.y() * lines / std::max(widget()->height(), 1) + 1;
    return textWindowOffset(textWindowScreen(), column, line);
  }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return {};
  }

 private:
  int clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
  static std::pair<int, int> gridSize() {
    if (!MemoryReady.load()) return {0, 0};
    const t_Window& w = WindowTable[kTextWindow];
    return {w.TextWidth, w.TextHeight};
  }
  static std::pair<int, int> cellOf(const QString& screen, int offset) {
    const QString before = screen.left(std::max(offset, 0));
    const int line = static_cast<int>(before.count(QLatin1Char('\n'))) + 1;
    const int column = static_cast<int>(before.size() - before.lastIndexOf(QLatin1Char('\n')));
    return {column, line};
  }
  QRect cellRect(int column, int line) const {
    const auto [columns, lines] = gridSize();
    if (columns == 0) return {};
    const int width = widget()->width() / columns;
    const int height = widget()->height() / std::max(lines, 1);
    return QRect((column - 1) * width, (line - 1) * height, width, height);
  }

  std::vector<std::pair<int, int>> selections_;
};

class PictureWindowAccessible : public QAccessibleWidget {
 public:
  explicit PictureWindowAccessible(GraphicView* view)
      : QAccessibleWidget(view, QAccessible::Graphic, QStringLiteral("Bildfenster")) {}
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return QStringLiteral("Bildfenster");
    if (kind == QAccessible::Description)
      return QString::fromStdString(t_WindowDescription(kPictureWindow));
    return QAccessibleWidget::text(kind);
  }
};

}  // namespace

QAccessibleInterface* velmoratAccessibleFactory(const QString&, QObject* object) {
  auto* view = dynamic_cast<GraphicView*>(object);
  if (view == nullptr) return nullptr;
  if (view->windowNumber() == kTextWindow) return new TextWindowAccessible(view);
  if (view->windowNumber() == kPictureWindow) return new PictureWindowAccessible(view);
  return nullptr;
}
