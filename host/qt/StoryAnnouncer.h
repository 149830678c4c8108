// The story told to assistive technology: every line the game finishes is
// announced once, in order, as text inserted into the text window's
// accessible text (AT-SPI "text-changed:insert", which Orca speaks and a
// braille display shows), and handed to the narrator; the place and the
// picture's caption when they change; what the player types as insertions
// and deletions at the caret, as a line edit reports it.
//
// It looks when a line is finished (told from the printing thread), when the
// toolbox marks the text or picture window changed, and when the program
// begins to wait for the player, which a thread of its own waits for (no
// polling). Main thread, apart from those notices.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "toolbox/windows/TextFollower.h"

class GraphicView;
class QAccessibleEvent;
class Narrator;

class StoryAnnouncer : public QObject {
 public:
  // postToMain runs work on the main thread later: the host's own queue,
  // whose hand-over ThreadSanitizer can follow (Qt's queued calls it cannot).
  using PostToMain = std::function<void(std::function<void()>)>;
  StoryAnnouncer(GraphicView* textView, GraphicView* pictureView, Narrator* narrator,
                 PostToMain postToMain);
  ~StoryAnnouncer() override;
  StoryAnnouncer(const StoryAnnouncer&) = delete;
  StoryAnnouncer& operator=(const StoryAnnouncer&) = delete;

  // Announces what is new since the last look.
  void update();
  // Where the text window's caret stands in its accessible text: at the
  // input cursor while the program waits for the player, else at the end.
  int caretOffset() const;

  // Where the events go: by default to QAccessible, and only while assistive
  // technology listens (QAccessible::isActive); tests take them here.
  void setEventSink(std::function<void(QAccessibleEvent&)> sink) { sink_ = std::move(sink); }

  // The newest one alive (the application's), for the accessible text window;
  // nullptr when none.
  static StoryAnnouncer* current();

 protected:
  // A key stops the narrator: the player has read enough.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool eventsWanted() const;
  void send(QAccessibleEvent& event) const;
  void announce(const QString& text, QStringList& spoken);
  void followTyping(const FollowedText& followed);
  void watchWaits();
  // Any thread: an update on the main thread soon, one for many notices.
  void updateSoon();

  std::function<void(QAccessibleEvent&)> sink_;
  PostToMain postToMain_;
  // False once this one is gone, for updates still queued then (main thread).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  GraphicView* textView_;
  GraphicView* pictureView_;
  Narrator* narrator_;
  TextFollower follower_;
  FollowedText last_;
  QString typed_;                       // what the player has typed of the present line
  QString keyPrompt_;                   // the question of the last wait for a single key
  StoryAnnouncer* previous_ = nullptr;  // current() again once this one is gone
  std::atomic<bool> stopping_{false};
  std::atomic<bool> updateQueued_{false};
  int lineListener_ = 0;
  std::thread watcher_;
};

// The text window's screen as the accessible text: each of its lines with
// the blanks at its end cut and a line feed after it, as --dump-text writes it.
QString textWindowScreen();
// The offset of cell (column, line) (1-based) in that text, the column cut
// to its line's length.
int textWindowOffset(const QString& screen, int column, int line);
