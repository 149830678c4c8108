#include "host/qt/Narrator.h"

#include <QLocale>
#include <QTextToSpeech>

namespace {

class QtSpeechEngine : public SpeechEngine {
 public:
  QtSpeechEngine() {
    if (QTextToSpeech::availableEngines().isEmpty())
      reason_ = QStringLiteral("keine Sprachausgabe installiert");
  }
  QString unavailableReason() const override { return reason_; }
  void say(const QString& text) override {
    if (!reason_.isEmpty() || !start()) return;
    saying_ = true;
    speech_->say(text);
  }
  void stop() override {
    saying_ = false;
    if (speech_) speech_->stop();
  }

 private:
  // The engine starts at the first line to speak: a player who never asks
  // for speech never waits for speech-dispatcher.
  bool start() {
    if (speech_) return true;
    speech_ = std::make_unique<QTextToSpeech>();
    if (speech_->state() == QTextToSpeech::Error) {
      reason_ = QStringLiteral("die Sprachausgabe antwortet nicht");
      speech_.reset();
      return false;
    }
    for (const QLocale& locale : speech_->availableLocales()) {
      if (locale.language() == QLocale::German) {
        speech_->setLocale(locale);
        break;
      }
    }
    QObject::connect(speech_.get(), &QTextToSpeech::stateChanged,
                     [this](QTextToSpeech::State state) {
                       if (state == QTextToSpeech::Ready && saying_) {
                         saying_ = false;
                         if (finished) finished();
                       }
                     });
    return true;
  }

  std::unique_ptr<QTextToSpeech> speech_;
  QString reason_;
  bool saying_ = false;
};

}  // namespace

std::unique_ptr<SpeechEngine> makeQtSpeechEngine() {
  return std::make_unique<QtSpeechEngine>();
}

Narrator::Narrator(std::unique_ptr<SpeechEngine> engine) : engine_(std::move(engine)) {
  engine_->finished = [this] {
    speaking_ = false;
    sayNext();
  };
}

void Narrator::setEnabled(bool enabled) {
  enabled_ = enabled && available();
  if (!enabled_) interrupt();
}

void Narrator::speak(const QStringList& lines) {
  if (lines.isEmpty()) return;
  if (answerEnded_) lastAnswer_.clear();
  answerEnded_ = false;
  lastAnswer_ += lines;
  while (lastAnswer_.size() > static_cast<qsizetype>(kMaxQueuedLines)) lastAnswer_.removeFirst();
  if (!enabled_) return;
  for (const QString& line : lines) queue_.push_back(line);
  while (queue_.size() > kMaxQueuedLines) queue_.pop_front();
  if (!speaking_) sayNext();
}

void Narrator::interrupt() {
  queue_.clear();
  answerEnded_ = true;
  if (speaking_) {
    speaking_ = false;
    engine_->stop();
  }
}

void Narrator::repeatLast() {
  if (!available()) return;
  queue_.clear();
  for (const QString& line : lastAnswer_) queue_.push_back(line);
  if (speaking_) engine_->stop();
  speaking_ = false;
  sayNext();
}

void Narrator::sayNext() {
  if (queue_.empty()) return;
  speaking_ = true;
  const QString line = queue_.front();
  queue_.pop_front();
  engine_->say(line);
}
