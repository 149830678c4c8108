// Plays a short sound file (the beep) without blocking the main thread.
#pragma once

#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <memory>
#include <string>

class QAudioSink;

class SoundPlayer {
 public:
  SoundPlayer();
  ~SoundPlayer();
  // Starts the sound unless it is already playing. False when it cannot be
  // played: no audio output device, or the file is missing or unreadable.
  // Main thread.
  bool play(const std::string& path);

 private:
  bool load(const std::string& path);

  std::string loadedPath_;
  QByteArray samples_;  // 16-bit native-endian PCM
  QAudioFormat format_;
  QBuffer buffer_;
  std::unique_ptr<QAudioSink> sink_;
};
