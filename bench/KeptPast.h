// A text window's past as the transcript keeps it at its bound: 100,000 full
// lines, installed as the window's scrollback source for the benchmarks of
// leafing through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "toolbox/text/Scrollback.h"

inline constexpr std::size_t kKeptPastLines = 100000;

inline void installKeptPast(std::uint8_t window) {
  static const std::deque<std::string> past = [] {
    std::deque<std::string> lines;
    for (std::size_t line = 0; line < kKeptPastLines; ++line) {
      lines.push_back("Zeile " + std::to_string(line) + " " + std::string(70, 'x'));
    }
    return lines;
  }();
  t_SetScrollbackSource(window, {[] { return past.size(); },
                                 [](std::size_t first, std::size_t count) {
                                   return std::vector<std::string>(
                                       past.begin() + static_cast<std::ptrdiff_t>(first),
                                       past.begin() + static_cast<std::ptrdiff_t>(first + count));
                                 }});
}
