#include "host/qt/Sound.h"

#include <sndfile.h>

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <vector>

namespace {
// A beep is a fraction of a second; a longer file is cut here rather than held
// in memory whole.
constexpr sf_count_t kMaxSoundFrames = 48000 * 5;
constexpr int kMaxChannels = 2;
}  // namespace

SoundPlayer::SoundPlayer() = default;
SoundPlayer::~SoundPlayer() = default;

bool SoundPlayer::load(const std::string& path) {
  if (path == loadedPath_ && !samples_.isEmpty()) return true;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return false;
  bool usable = info.channels >= 1 && info.channels <= kMaxChannels && info.samplerate > 0;
  std::vector<short> samples;
  if (usable) {
    sf_count_t frames = std::min(info.frames, kMaxSoundFrames);
    samples.resize(static_cast<std::size_t>(frames * info.channels));
    sf_count_t read = sf_readf_short(file, samples.data(), frames);
    samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(read, 0) * info.channels));
    usable = !samples.empty();
  }
  sf_close(file);
  if (!usable) return false;
  samples_ = QByteArray(reinterpret_cast<const char*>(samples.data()),
                        static_cast<qsizetype>(samples.size() * sizeof(short)));
  format_.setSampleRate(info.samplerate);
  format_.setChannelCount(info.channels);
  format_.setSampleFormat(QAudioFormat::Int16);
  loadedPath_ = path;
  sink_.reset();
  return true;
}

bool SoundPlayer::play(const std::string& path) {
  QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull() || !load(path) || !device.isFormatSupported(format_)) return false;
  if (sink_ && sink_->state() == QAudio::ActiveState) return true;
  if (!sink_) sink_ = std::make_unique<QAudioSink>(device, format_);
  sink_->stop();
  buffer_.close();
  buffer_.setData(samples_);
  buffer_.open(QIODevice::ReadOnly);
  sink_->start(&buffer_);
  return sink_->error() == QAudio::NoError;
}
