// Codec and drawing throughput. Every figure is also given as a ratio to a
// baseline measured in the same run: a memcpy of the same number of output
// bytes, or libpng decoding the same picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/graphics/RunLength.h"
#include "tools/Png.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kPictureWidth = 1280;
constexpr int kPictureHeight = 800;
constexpr std::size_t kTextBytes = std::size_t{16} << 20;
constexpr std::size_t kRandomBytes = std::size_t{4} << 20;

// German-looking sentences from a small vocabulary, like the game's scripts.
const Bytes& textBytes() {
  static const Bytes text = [] {
    const char* words[] = {"Du ",     "stehst ",  "vor ", "dem ",   "alten ",  "Tor ",
                           "von ",    "Velmorat", ". ",   "Eine ",  "Treppe ", "führt ",
                           "nach ",   "unten",    ", ",   "und ",   "der ",    "Wind ",
                           "pfeift ", "durch ",   "die ", "Mauern", "\n",      "Schlüssel "};
    std::mt19937 random(1);
    std::string out;
    while (out.size() < kTextBytes) out += words[random() % std::size(words)];
    out.resize(kTextBytes);
    return Bytes(out.begin(), out.end());
  }();
  return text;
}

// Gradients with a little noise, as a rendered scene with texture looks.
const Bytes& photoPixels() {
  static const Bytes pixels = [] {
    std::mt19937 random(2);
    Bytes rgb;
    rgb.reserve(std::size_t(kPictureWidth) * kPictureHeight * 3);
    for (int y = 0; y < kPictureHeight; ++y) {
      for (int x = 0; x < kPictureWidth; ++x) {
        const int noise = int(random() % 9) - 4;
        const int channels[3] = {x * 255 / kPictureWidth, y * 255 / kPictureHeight,
                                 (x + y) * 255 / (kPictureWidth + kPictureHeight)};
        for (int c : channels) rgb.push_back(std::uint8_t(std::clamp(c + noise, 0, 255)));
      }
    }
    return rgb;
  }();
  return pixels;
}

const Bytes& randomBytes() {
  static const Bytes bytes = [] {
    std::mt19937 random(3);
    Bytes out(kRandomBytes);
    for (auto& byte : out) byte = std::uint8_t(random());
    return out;
  }();
  return bytes;
}

const Bytes& sample(int which) {
  return which == 0 ? textBytes() : which == 1 ? photoPixels() : randomBytes();
}
const char* sampleName(int which) {
  return which == 0 ? "text" : which == 1 ? "photo" : "random";
}

// The machine is shared: times are the thread's processor time, for the
// baselines as for the code measured.
double cpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Best time of several runs of body.
template <typename Body>
double bestSeconds(int runs, Body body) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    const double start = cpuSeconds();
    body();
    best = std::min(best, cpuSeconds() - start);
  }
  return best;
}

// One memcpy of n bytes, the common baseline.
double memcpySeconds(std::size_t n) {
  static Bytes source(kTextBytes, 1);
  static Bytes target(kTextBytes, 2);
  return bestSeconds(20, [&] {
    std::memcpy(target.data(), source.data(), n);
    benchmark::DoNotOptimize(target.data());
  });
}

// Runs body once per iteration and sets the throughput and the ratio of its
// time to the baseline's.
template <typename Body>
void measure(benchmark::State& state, std::size_t outputBytes, double baselineSeconds,
             const char* baselineName, Body body) {
  double total = 0;
  for (auto _ : state) {
    const double start = cpuSeconds();
    body();
    total += cpuSeconds() - start;
  }
  state.SetBytesProcessed(std::int64_t(state.iterations() * outputBytes));
  state.counters[std::string("x_") + baselineName] = total / state.iterations() / baselineSeconds;
}

void lzwDecode(benchmark::State& state) {
  const Bytes& input = sample(int(state.range(0)));
  state.SetLabel(sampleName(int(state.range(0))));
  const Bytes block = lzw::packStoredBlock(input);
  measure(state, input.size(), memcpySeconds(input.size()), "memcpy", [&] {
    Bytes out = lzw::unpackStoredBlock(block);
    benchmark::DoNotOptimize(out.data());
  });
  state.counters["ratio"] = double(block.size()) / double(input.size());
}
BENCHMARK(lzwDecode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void lzwEncode(benchmark::State& state) {
  const Bytes& input = sample(int(state.range(0)));
  state.SetLabel(sampleName(int(state.range(0))));
  measure(state, input.size(), memcpySeconds(input.size()), "memcpy", [&] {
    Bytes block = lzw::packStoredBlock(input);
    benchmark::DoNotOptimize(block.data());
  });
}
BENCHMARK(lzwEncode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A 4-bit picture of flat areas (one byte per pixel) and the photo in
// three-byte units: the two kinds of run-length layer the game uses.
void runLengthDecode(benchmark::State& state) {
  const int unitBytes = int(state.range(0));
  Bytes plain;
  if (unitBytes == 1) {
    for (int y = 0; y < kPictureHeight; ++y) {
      for (int x = 0; x < kPictureWidth; ++x) plain.push_back(std::uint8_t((x / 40 + y / 25) % 16));
    }
  } else {
    plain = photoPixels();
  }
  const Bytes stream = picture::runLengthEncode(plain, unitBytes);
  state.SetLabel(unitBytes == 1 ? "rletobinary8 flat 4-bit" : "rletobinary24 photo");
  measure(state, plain.size(), memcpySeconds(plain.size()), "memcpy", [&] {
    Bytes out = unitBytes == 1 ? rletobinary8(stream) : rletobinary24(stream);
    benchmark::DoNotOptimize(out.data());
  });
}
BENCHMARK(runLengthDecode)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// Window 1 as the game sets it up: 1280 x 800 at 24 bits, its block ending
// shift bytes below the top of the video memory.
void setUpPictureWindow(std::int64_t shift = 0) {
  static Bytes memory(kVideoMemorySize);
  VideoMemory = memory.data();
  MemoryReady = true;
  t_Window& window = windowRecord(1);
  window.Initialized = true;
  window.BitDepth = 24;
  window.Width = kPictureWidth;
  window.Height = kPictureHeight;
  window.MemoryEnd = kVideoMemoryTop - shift;
  window.MemoryStart = window.MemoryEnd + 1 - std::int64_t(kPictureWidth) * kPictureHeight * 3;
}

t_Graphic plainPhoto() {
  t_Graphic picture;
  picture.Format = kPlainRgb;
  picture.Width = kPictureWidth;
  picture.Height = kPictureHeight;
  picture.PixelWidth = 1;
  picture.PixelHeight = 1;
  picture.Data = photoPixels();
  return picture;
}

// Row copies: memcpy can be slow when target and source lie at certain
// distances modulo 4 KiB, so the window's block is moved to make the distance
// from the picture's data to it the argument.
void drawPlainPicture(benchmark::State& state) {
  const t_Graphic picture = plainPhoto();
  setUpPictureWindow(0);
  constexpr std::int64_t kPage = 4096;
  const auto target = reinterpret_cast<std::uintptr_t>(VideoMemory + windowRecord(1).MemoryStart);
  const auto source = reinterpret_cast<std::uintptr_t>(picture.Data.data());
  const std::int64_t distance = std::int64_t((target - source) % kPage);
  setUpPictureWindow(((distance - state.range(0)) % kPage + kPage) % kPage);
  measure(state, picture.Data.size(), memcpySeconds(picture.Data.size()), "memcpy",
          [&] { g_Draw(1, picture, 0, 0, 1, -1); });
}
BENCHMARK(drawPlainPicture)
    ->Arg(0)
    ->Arg(1)
    ->Arg(16)
    ->Arg(63)
    ->Arg(2048)
    ->Arg(4095)
    ->Unit(benchmark::kMillisecond);

double libpngSeconds(const Bytes& pngBytes) {
  return bestSeconds(5, [&] {
    std::string error;
    auto image = png::readMemory(pngBytes, error);
    benchmark::DoNotOptimize(image);
  });
}

void loadAndDrawFormat123(benchmark::State& state) {
  setUpPictureWindow();
  const t_Graphic stored = *picture::encodePicture(plainPhoto(), 123);
  const std::string path = "/tmp/velmorat_graphics_bench_123.gr";
  const Bytes file = picture::fileBytes(stored);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  const Bytes pngBytes = png::encodeRgb(kPictureWidth, kPictureHeight, photoPixels());
  state.counters["gr_bytes"] = double(file.size());
  state.counters["png_bytes"] = double(pngBytes.size());
  measure(state, photoPixels().size(), libpngSeconds(pngBytes), "libpng",
          [&] { g_Draw(1, g_LoadGraphic(path), 0, 0, 1, -1); });
  std::remove(path.c_str());
}
BENCHMARK(loadAndDrawFormat123)->Unit(benchmark::kMillisecond);

void libpngDecode(benchmark::State& state) {
  const Bytes pngBytes = png::encodeRgb(kPictureWidth, kPictureHeight, photoPixels());
  measure(state, photoPixels().size(), memcpySeconds(photoPixels().size()), "memcpy", [&] {
    std::string error;
    auto image = png::readMemory(pngBytes, error);
    benchmark::DoNotOptimize(image);
  });
}
BENCHMARK(libpngDecode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
