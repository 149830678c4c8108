// Speech on request (Fenster > Vorlesen): each new line of the story is read
// aloud, one after the other; the next key the player types stops it, and
// Ctrl+Shift+V reads the last answer again. The lines wait in a bounded queue
// on the main thread; speaking never blocks the program thread.
//
// The engine behind it is a seam: Qt TextToSpeech on the desktop, a recorder
// in the tests.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Empty when the engine can speak; else why not, for the menu item.
  virtual QString unavailableReason() const = 0;
  // Starts speaking text, ending what is being spoken; finished() runs when
  // it has been spoken (not when it was stopped).
  virtual void say(const QString& text) = 0;
  virtual void stop() = 0;
  std::function<void()> finished;
};

// Qt TextToSpeech with the platform's default engine (speech-dispatcher or
// flite on Debian), a German voice where there is one.
std::unique_ptr<SpeechEngine> makeQtSpeechEngine();

class Narrator {
 public:
  // Lines beyond this wait no longer: a very long output keeps its newest.
  static constexpr std::size_t kMaxQueuedLines = 500;

  explicit Narrator(std::unique_ptr<SpeechEngine> engine);
  bool available() const { return engine_->unavailableReason().isEmpty(); }
  QString unavailableReason() const { return engine_->unavailableReason(); }
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

  // The lines of one answer of the game; the next answer begins after a key.
  void speak(const QStringList& lines);
  // A key: what is spoken and queued is dropped, and the next lines start the
  // next answer.
  void interrupt();
  // Ctrl+Shift+V: the last answer once more, also when speech is off.
  void repeatLast();

 private:
  void sayNext();

  std::unique_ptr<SpeechEngine> engine_;
  bool enabled_ = false;
  bool speaking_ = false;
  bool answerEnded_ = true;
  std::deque<QString> queue_;
  QStringList lastAnswer_;
};
