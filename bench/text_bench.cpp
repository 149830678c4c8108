// The text screen's hot paths on the game's text window (78 x 24 cells of a
// 16 x 32 font at 24 bits): drawing one glyph, printing a full screen, and
// scrolling the full-width area, each beside a memcpy of the bytes it writes;
// and one page of the window's past out of 100,000 kept lines beside reading
// the live area's lines. After the runs it prints the ratios and the glyph rate.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "bench/KeptPast.h"
#include "bench/RatioReporter.h"
#include "host/fake/FakeHost.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/WindowSetup.h"

namespace {

constexpr int kColumns = 78;
constexpr int kLines = 24;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 32;
constexpr int kBitDepth = 24;
constexpr std::size_t kGlyphBytes = std::size_t(kCellWidth) * kCellHeight * 3;
constexpr std::size_t kWindowBytes = kGlyphBytes * kColumns * kLines;
constexpr std::uint8_t kWindow = 0;

// Every coverage level appears, so the blend tables are exercised fully.
t_Font benchFont() {
  t_Font font;
  font.Format = kFontFormatGrey;
  font.End = 255;
  font.Width = kCellWidth;
  font.Height = kCellHeight;
  font.Data.resize(std::size_t(256) * kCellWidth * kCellHeight);
  for (std::size_t index = 0; index < font.Data.size(); ++index) {
    font.Data[index] = static_cast<std::uint8_t>(index * 7);
  }
  return font;
}

void setUpWindow() {
  static host::FakeHost desktop;
  host::install(&desktop);
  AutoUpdateRunning = true;  // no refresh process reading along
  if (WindowTable[kWindow].Initialized) return;
  t_InitWindow(kWindow, kBitDepth, false, kColumns * kCellWidth, kLines * kCellHeight, 0, 0,
               benchFont(), true);
}

void MemcpyOfOneGlyph(benchmark::State& state) {
  std::vector<std::uint8_t> source(kGlyphBytes, 7);
  std::vector<std::uint8_t> target(kGlyphBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kGlyphBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MemcpyOfOneGlyph);

void PrintSymbol24(benchmark::State& state) {
  setUpWindow();
  int cell = 0;
  for (auto _ : state) {
    const int column = cell % kColumns + 1;
    const int line = cell / kColumns % kLines + 1;
    t_PrintSymbol(kWindow, static_cast<std::uint8_t>(32 + cell % 224),
                  static_cast<std::uint8_t>(cell * 37), column, line);
    ++cell;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PrintSymbol24);

void MemcpyOfTheWindow(benchmark::State& state) {
  std::vector<std::uint8_t> source(kWindowBytes, 7);
  std::vector<std::uint8_t> target(kWindowBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kWindowBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(MemcpyOfTheWindow)->Unit(benchmark::kMicrosecond);

void PrintFullScreen(benchmark::State& state) {
  setUpWindow();
  std::string screen;
  for (int index = 0; index < kColumns * kLines - 1; ++index) {
    screen.push_back(static_cast<char>('A' + index % 26));
  }
  for (auto _ : state) {
    t_CursorHome(kWindow);
    t_Print(kWindow, screen);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(screen.size()));
}
BENCHMARK(PrintFullScreen)->Unit(benchmark::kMicrosecond);

void ScrollUpFullWidth(benchmark::State& state) {
  setUpWindow();
  for (auto _ : state) {
    t_ScrollUp(kWindow);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ScrollUpFullWidth)->Unit(benchmark::kMicrosecond);

void ReadLiveAreaLines(benchmark::State& state) {
  setUpWindow();
  const t_Window& window = WindowTable[kWindow];
  for (auto _ : state) {
    std::vector<std::string> lines;
    for (int line = window.TextFirstLine; line <= window.TextLastLine; ++line) {
      lines.push_back(
          t_GetScreenLine(kWindow, line, window.TextFirstColumn, window.TextLastColumn));
    }
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(ReadLiveAreaLines)->Unit(benchmark::kMicrosecond);

// Half way back, where neither end of the kept lines helps.
void ScrollbackPageOfTheMiddle(benchmark::State& state) {
  setUpWindow();
  installKeptPast(kWindow);
  for (auto _ : state) {
    ScrollbackPage page = t_ScrollbackPage(kWindow, kKeptPastLines / 2);
    benchmark::DoNotOptimize(page.lines.data());
  }
}
BENCHMARK(ScrollbackPageOfTheMiddle)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double glyphCopyNs = reporter.time("MemcpyOfOneGlyph");
  const double windowCopyUs = reporter.time("MemcpyOfTheWindow");
  const double glyphNs = reporter.time("PrintSymbol24");
  if (glyphNs > 0 && glyphCopyNs > 0) {
    std::printf(
        "\nt_PrintSymbol, 16 x 32 at 24 bits: %.0f glyphs/s (%.0f by processor time), "
        "%.2f x memcpy of its %zu bytes\n",
        1e9 / glyphNs, 1e9 / reporter.cpuTime("PrintSymbol24"), glyphNs / glyphCopyNs, kGlyphBytes);
  }
  for (const char* name : {"PrintFullScreen", "ScrollUpFullWidth"}) {
    const double time = reporter.time(name);
    if (time > 0 && windowCopyUs > 0) {
      std::printf(
          "%s: %.0f us (%.0f us processor time), %.2f x memcpy of the window's %zu "
          "pixel bytes\n",
          name, time, reporter.cpuTime(name), time / windowCopyUs, kWindowBytes);
    }
  }
  const double liveUs = reporter.time("ReadLiveAreaLines");
  const double pageUs = reporter.time("ScrollbackPageOfTheMiddle");
  if (liveUs > 0 && pageUs > 0) {
    std::printf(
        "one page of the past out of %zu lines: %.1f us (%.4f of a 16 ms frame), %.2f x "
        "reading the live area's lines\n",
        kKeptPastLines, pageUs, pageUs / 16000.0, pageUs / liveUs);
  }
  benchmark::Shutdown();
  return 0;
}
