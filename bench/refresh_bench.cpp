// The redraw's inner loop: converting a 1280 x 800 window to a 32-bit image at
// 24, 8, 4 and 1 bits per pixel, beside a memcpy of the same output bytes.
// After the runs it prints each conversion's time as a ratio to the memcpy,
// and the share of one core that the refresh process uses while idle and
// while the program prints.
#include <benchmark/benchmark.h>
#include <pthread.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/RatioReporter.h"
#include "host/fake/FakeHost.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowSetup.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr std::size_t kImageBytes = std::size_t(kWidth) * kHeight * 4;
constexpr auto kMeasurement = std::chrono::seconds(2);
constexpr auto kGlyphTime = std::chrono::microseconds(2);

std::vector<std::uint8_t> randomBytes(std::size_t count) {
  std::mt19937 random(1280800);
  std::vector<std::uint8_t> bytes(count);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

void MemcpyOfTheImageBytes(benchmark::State& state) {
  const std::vector<std::uint8_t> source = randomBytes(kImageBytes);
  std::vector<std::uint8_t> target(kImageBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kImageBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageBytes));
}
BENCHMARK(MemcpyOfTheImageBytes)->Unit(benchmark::kMicrosecond);

void ConvertWindow(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  const std::vector<std::uint8_t> memory =
      randomBytes(static_cast<std::size_t>(pixelBlockBytes(depth, kWidth, kHeight)));
  std::vector<std::uint8_t> image(kImageBytes);
  for (auto _ : state) {
    convertPixelsToArgb(memory.data(), depth, kWidth, kHeight, image.data());
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageBytes));
}
BENCHMARK(ConvertWindow)->Arg(24)->Arg(8)->Arg(4)->Arg(1)->Unit(benchmark::kMicrosecond);

// The refresh process's CPU time, as a share of one core, while this thread
// does work for kMeasurement with window 0 set up and shown automatically (at
// most 30 redraws a second).
double refreshCoreShare(const std::function<void()>& work) {
  host::FakeHost desktop;
  host::install(&desktop);
  AutoUpdateRunning = true;  // keeps t_InitWindow from starting its own process
  t_InitWindow(0, 24, true, 64, 64, 0, 0, emptyFont(), true);
  std::thread process(t_WindowAutoUpdateProcess);
  clockid_t processClock;
  pthread_getcpuclockid(process.native_handle(), &processClock);
  timespec before{}, after{};
  clock_gettime(processClock, &before);
  work();
  clock_gettime(processClock, &after);
  // the process sleeps until a change: it must be woken to see the stop
  AutoUpdateRunning = false;
  wakeRefresh();
  process.join();
  const double used = double(after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9;
  return used / std::chrono::duration<double>(kMeasurement).count();
}

void idle() {
  std::this_thread::sleep_for(kMeasurement);
}

// Marks window 0 as printing text does, one glyph every kGlyphTime.
void printing() {
  const auto end = std::chrono::steady_clock::now() + kMeasurement;
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    markWindowChanged(0);
    while (std::chrono::steady_clock::now() < now + kGlyphTime) {
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double baseline = reporter.cpuTime("MemcpyOfTheImageBytes");
  if (baseline > 0) {
    std::printf("\nConversion of %d x %d against memcpy of the %zu image bytes:\n", kWidth, kHeight,
                kImageBytes);
    for (const char* depth : {"24", "8", "4", "1"}) {
      const double time = reporter.cpuTime(std::string("ConvertWindow/") + depth);
      if (time > 0) std::printf("  %2s bit: %.2f x memcpy\n", depth, time / baseline);
    }
  }
  std::printf(
      "Refresh process: %.2f %% of one core idle, %.2f %% while a thread prints "
      "(a glyph every %lld us, 100 %% of a core)\n",
      100.0 * refreshCoreShare(idle), 100.0 * refreshCoreShare(printing),
      static_cast<long long>(kGlyphTime.count()));
  benchmark::Shutdown();
  return 0;
}
