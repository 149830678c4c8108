// Writes the beep sound at build time: a short, soft two-tone chime (a fifth,
// A5 and E6) with a quick attack and an exponential fade, 16-bit mono AIFF.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSampleRate = 44100;
constexpr double kDurationSeconds = 0.18;
constexpr double kAttackSeconds = 0.004;
constexpr double kDecayPerSecond = 22.0;
constexpr double kLowHz = 880.0;
constexpr double kHighHz = 1318.5;
constexpr double kPeak = 0.35 * 32767;
constexpr double kPi = 3.14159265358979323846;
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.aif\n", argv[0]);
    return 2;
  }
  int frames = static_cast<int>(kSampleRate * kDurationSeconds);
  std::vector<short> samples(static_cast<std::size_t>(frames));
  for (int index = 0; index < frames; ++index) {
    double t = static_cast<double>(index) / kSampleRate;
    double envelope = std::min(1.0, t / kAttackSeconds) * std::exp(-kDecayPerSecond * t);
    double tone = 0.6 * std::sin(2 * kPi * kLowHz * t) + 0.4 * std::sin(2 * kPi * kHighHz * t);
    samples[static_cast<std::size_t>(index)] = static_cast<short>(kPeak * envelope * tone);
  }
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
  if (file == nullptr) {
    std::fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  bool complete = sf_writef_short(file, samples.data(), frames) == frames;
  sf_close(file);
  return complete ? 0 : 1;
}
