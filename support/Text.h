// Text: a byte string whose bytes are shown as Latin-1 (with the escape
// sequence ESC + four hex digits + GS for other Unicode characters).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

struct Text {
  std::vector<std::uint8_t> Elements;

  Text() = default;
  explicit Text(std::vector<std::uint8_t> elements) : Elements(std::move(elements)) {}
  // The bytes of a plain ASCII or Latin-1 byte literal, taken as they are.
  static Text fromBytes(std::string_view bytes) {
    return Text(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }

  std::size_t size() const { return Elements.size(); }
  bool empty() const { return Elements.empty(); }
  friend bool operator==(const Text&, const Text&) = default;
};

template <>
struct std::hash<Text> {
  std::size_t operator()(const Text& text) const noexcept {
    // FNV-1a over the bytes, in 64 bits also where size_t is narrower
    std::uint64_t hash = 1469598103934665603ull;
    for (std::uint8_t byte : text.Elements) hash = (hash ^ byte) * 1099511628211ull;
    return static_cast<std::size_t>(hash);
  }
};
