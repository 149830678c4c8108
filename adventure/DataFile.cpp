#include "adventure/DataFile.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

namespace {
constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;

// Padding bits of the stored form decode to empty lines or lines that begin
// with the byte 0 after "@END".
bool isTrailingPadding(const Text& line) {
  return line.empty() || line.Elements[0] == 0;
}

// Nothing when the text decodes beyond kMaxScriptBytes (after the log line).
std::optional<std::vector<std::uint8_t>> decodeWithinBound(const std::vector<std::uint8_t>& stored,
                                                           const std::string& fileName) {
  // One byte beyond the limit tells a file of exactly kMaxScriptBytes from a longer one.
  std::vector<std::uint8_t> decoded = lzw::unpackStoredBlock(stored, kMaxScriptBytes + 1);
  if (decoded.size() > kMaxScriptBytes) {
    logLine("VelmoratLoadData: " + fileName + " is larger than " + std::to_string(kMaxScriptBytes) +
            " bytes.");
    return std::nullopt;
  }
  return decoded;
}

}  // namespace

std::string VelmoratDataFileName(int scene) {
  return "DATA" + formatnumber(scene, '0', 3, false) + ".word";
}

std::vector<Text> VelmoratScriptLinesFromText(const Text& scriptText) {
  const std::size_t lineEnds = static_cast<std::size_t>(std::count_if(
      scriptText.Elements.begin(), scriptText.Elements.end(),
      [](std::uint8_t byte) { return byte == kCarriageReturn || byte == kLineFeed; }));
  if (lineEnds >= kMaxScriptLineEnds) {
    logLine("VelmoratLoadData: More than " + std::to_string(kMaxScriptLineEnds) + " line ends.");
    return {};
  }
  std::vector<Text> lines = textlines(scriptText);
  while (!lines.empty() && isTrailingPadding(lines.back())) lines.pop_back();
  if (lines.empty() || !adventure::equals(lines.back(), "@END")) {
    logLine("VelmoratLoadData: @END not found.");
    return {};
  }
  lines.pop_back();
  return lines;
}

std::vector<std::uint8_t> VelmoratDecodeStoredScript(const std::vector<std::uint8_t>& stored,
                                                     const std::string& fileName) {
  return decodeWithinBound(stored, fileName).value_or(std::vector<std::uint8_t>());
}

std::vector<Text> VelmoratScriptLinesFromStored(const std::vector<std::uint8_t>& stored,
                                                const std::string& fileName) {
  if (stored.empty()) return {};
  std::optional<std::vector<std::uint8_t>> decoded = decodeWithinBound(stored, fileName);
  if (!decoded) return {};
  return VelmoratScriptLinesFromText(Text(std::move(*decoded)));
}

std::vector<Text> VelmoratLoadData(const std::string& dataFolder, int scene) {
  const std::string fileName = VelmoratDataFileName(scene);
  return VelmoratScriptLinesFromStored(gettextfromfile(dataFolder + fileName), fileName);
}

int VelmoratFindLabel(const std::vector<Text>& lines, const Text& name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (adventure::startsWith(lines[i], "LABEL") &&
        adventure::argumentsAfter(lines[i], 5) == name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}
