#include "host/qt/StoryAnnouncer.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QKeyEvent>
#include <chrono>

#include "host/qt/Narrator.h"
#include "host/qt/Windows.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/InputWait.h"

namespace {

constexpr std::uint8_t kTextWindow = 0;
constexpr std::uint8_t kPictureWindow = 1;
// Only bounds each wait of the watcher; a new wait or the end wakes it.
constexpr std::chrono::milliseconds kWatchBound{60000};

StoryAnnouncer* theAnnouncer = nullptr;

QString fromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

QString textWindowScreen() {
  if (!MemoryReady.load() || !windowRecord(kTextWindow).Initialized) return {};
  const QStringList lines = fromUtf8(t_GetScreen(kTextWindow, "\n")).split(QLatin1Char('\n'));
  QString screen;
  for (const QString& line : lines) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == QLatin1Char(' ')) --end;
    screen += line.left(end) + QLatin1Char('\n');
  }
  return screen;
}

int textWindowOffset(const QString& screen, int column, int line) {
  qsizetype start = 0;
  for (int row = 1; row < line; ++row) {
    const qsizetype end = screen.indexOf(QLatin1Char('\n'), start);
    if (end < 0) return static_cast<int>(screen.size());
    start = end + 1;
  }
  qsizetype end = screen.indexOf(QLatin1Char('\n'), start);
  if (end < 0) end = screen.size();
  return static_cast<int>(std::min(start + std::max(column - 1, 0), end));
}

StoryAnnouncer::StoryAnnouncer(GraphicView* textView, GraphicView* pictureView, Narrator* narrator,
                               PostToMain postToMain)
    : postToMain_(std::move(postToMain)),
      textView_(textView),
      pictureView_(pictureView),
      narrator_(narrator),
      follower_(kTextWindow, kPictureWindow, outputlines::newestLineNumber()) {
  previous_ = theAnnouncer;
  theAnnouncer = this;
  textView_->installEventFilter(this);
  pictureView_->installEventFilter(this);
  lineListener_ = outputlines::addLineListener([this] { updateSoon(); });
  watcher_ = std::thread([this] { watchWaits(); });
}

StoryAnnouncer::~StoryAnnouncer() {
  outputlines::removeLineListener(lineListener_);
  stopping_ = true;
  notifyInputObservers();
  watcher_.join();
  *alive_ = false;
  if (theAnnouncer == this) theAnnouncer = previous_;
}

StoryAnnouncer* StoryAnnouncer::current() {
  return theAnnouncer;
}

void StoryAnnouncer::watchWaits() {
  std::uint64_t seen = 0;
  while (!stopping_) {
    const InputWaitState wait =
        awaitInputWait([this] { return stopping_.load(); }, kWatchBound, seen);
    if (wait.kind == InputWaitKind::None) continue;
    seen = wait.serial;
    updateSoon();
  }
}

void StoryAnnouncer::updateSoon() {
  if (updateQueued_.exchange(true)) return;
  postToMain_([this, alive = alive_] {
    if (!*alive) return;
    updateQueued_ = false;
    update();
  });
}

bool StoryAnnouncer::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::KeyPress && narrator_ != nullptr) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+Shift+V asks for the last answer again: no interruption.
    if (!(key->key() == Qt::Key_V && key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)))
      narrator_->interrupt();
  }
  return false;
}

bool StoryAnnouncer::eventsWanted() const {
  return sink_ || QAccessible::isActive();
}

void StoryAnnouncer::send(QAccessibleEvent& event) const {
  if (sink_) {
    sink_(event);
  } else {
    QAccessible::updateAccessibility(&event);
  }
}

void StoryAnnouncer::announce(const QString& text, QStringList& spoken) {
  spoken << text;
  if (!eventsWanted()) return;
  const QString screen = textWindowScreen();
  qsizetype offset = screen.lastIndexOf(text + QLatin1Char('\n'));
  if (offset < 0) offset = screen.size();
  QAccessibleTextInsertEvent inserted(textView_, static_cast<int>(offset),
                                      text + QLatin1Char('\n'));
  send(inserted);
}

void StoryAnnouncer::update() {
  FollowedText followed = follower_.follow();
  QStringList spoken;
  // The caption is told where the picture changed among the lines.
  bool pictureToTell = followed.pictureChanged;
  const auto tellPicture = [&] {
    if (!pictureToTell) return;
    pictureToTell = false;
    announce(QStringLiteral("Bild: ") + fromUtf8(followed.pictureUtf8), spoken);
    QAccessibleEvent described(pictureView_, QAccessible::DescriptionChanged);
    send(described);
  };
  for (const outputlines::FinishedLine& line : followed.lines) {
    if (line.number > followed.pictureAfterLine) tellPicture();
    // A typed line was reported key by key as it was typed.
    if (line.typed) {
      typed_.clear();
      continue;
    }
    // Empty lines and rules say nothing.
    if (outputlines::holdsWords(line.textUtf8)) announce(fromUtf8(line.textUtf8), spoken);
    keyPrompt_.clear();
  }
  tellPicture();
  // The place is read at a wait, after all that was printed before it.
  if (followed.statusChanged) announce(fromUtf8(followed.statusUtf8), spoken);
  if (followed.waiting && !followed.lineInput) {
    // A question answered with one key ("Weiter...", "noch einmal?"): said once.
    const QString prompt = fromUtf8(followed.pendingUtf8).trimmed();
    if (!prompt.isEmpty() && prompt != keyPrompt_) announce(prompt, spoken);
    keyPrompt_ = prompt;
  }
  if (followed.waiting && followed.lineInput) followTyping(followed);
  if (narrator_ != nullptr) narrator_->speak(spoken);
  const bool waiting = followed.waiting;
  last_ = std::move(followed);
  if (waiting && eventsWanted()) {
    QAccessibleTextCursorEvent moved(textView_, caretOffset());
    send(moved);
  }
}

void StoryAnnouncer::followTyping(const FollowedText& followed) {
  const QString pending = fromUtf8(followed.pendingUtf8);
  QString typed = pending.mid(followed.typedFrom);
  while (typed.endsWith(QLatin1Char(' ')) && typed.size() > followed.caret - followed.typedFrom)
    typed.chop(1);
  qsizetype common = 0;
  while (common < typed.size() && common < typed_.size() && typed[common] == typed_[common])
    ++common;
  const QString removed = typed_.mid(common);
  const QString added = typed.mid(common);
  typed_ = typed;
  if (!eventsWanted() || (removed.isEmpty() && added.isEmpty())) return;
  const t_Window& w = windowRecord(kTextWindow);
  const int at = textWindowOffset(textWindowScreen(),
                                  w.TextFirstColumn + followed.typedFrom + static_cast<int>(common),
                                  w.TextVpos);
  if (!removed.isEmpty()) {
    QAccessibleTextRemoveEvent event(textView_, at, removed);
    send(event);
  }
  if (!added.isEmpty()) {
    QAccessibleTextInsertEvent event(textView_, at, added);
    send(event);
  }
}

int StoryAnnouncer::caretOffset() const {
  const QString screen = textWindowScreen();
  if (!last_.waiting || !MemoryReady.load()) return static_cast<int>(screen.size());
  const t_Window& w = windowRecord(kTextWindow);
  return textWindowOffset(screen, w.TextFirstColumn + last_.caret, w.TextVpos);
}
