#include "host/qt/LineEnds.h"

namespace {
std::string withLineEnd(const std::string& text, char lineEnd) {
  std::string converted;
  converted.reserve(text.size());
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char character = text[index];
    if (character == '\r' || character == '\n') {
      converted.push_back(lineEnd);
      // CR LF is one line end
      if (character == '\r' && index + 1 < text.size() && text[index + 1] == '\n') ++index;
    } else {
      converted.push_back(character);
    }
  }
  return converted;
}
}  // namespace

std::string toPlatformLineEnds(const std::string& text) {
  return withLineEnd(text, '\n');
}

std::string toToolboxLineEnds(const std::string& text) {
  return withLineEnd(text, '\r');
}
