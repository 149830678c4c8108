#include "adventure/ScriptAuthoring.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "adventure/DataFile.h"
#include "adventure/TextBuild.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

namespace adventure {

namespace {

std::string where(const std::string& file, std::size_t lineIndex) {
  return file + ":" + std::to_string(lineIndex + 1) + ": ";
}

struct StandIn {
  char32_t character;
  const char* replacement;
};

// Typographic characters that editors put in for plain ones, and what the
// game's Latin-1 text uses in their place.
constexpr StandIn kTypographicStandIns[] = {
    {U'\u201E', "\""}, {U'\u201C', "\""}, {U'\u201D', "\""}, {U'\u201A', "'"},   {U'\u2018', "'"},
    {U'\u2019', "'"},  {U'\u2013', "-"},  {U'\u2014', "--"}, {U'\u2026', "..."},
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// "U+1F33A": the whole code point in at least four hexadecimal digits.
std::string codePointName(char32_t character) {
  std::string digits;
  for (char32_t rest = character; rest != 0 || digits.size() < 4; rest >>= 4) {
    digits.insert(digits.begin(), "0123456789ABCDEF"[rest & 0xF]);
  }
  return "U+" + digits;
}

}  // namespace

const char* typographicStandIn(char32_t character) {
  for (const StandIn& standIn : kTypographicStandIns) {
    if (standIn.character == character) return standIn.replacement;
  }
  return nullptr;
}

PackedScript convertScriptSource(const std::string& utf8Source, const std::string& sourceName,
                                 const PackOptions& options) {
  PackedScript result;
  Text& latin = result.latin1;
  std::size_t errorCount = 0;
  auto error = [&](std::size_t lineIndex, const std::string& message) {
    if (++errorCount <= kMaxListedPackErrors) {
      result.errors.push_back(where(sourceName, lineIndex) + message);
    }
  };
  std::string_view source(utf8Source);
  if (source.starts_with(kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
  std::size_t lineIndex = 0;
  for (std::size_t start = 0; start < source.size(); ++lineIndex) {
    std::size_t end = std::min(source.find('\n', start), source.size() - 1) + 1;
    std::string_view line = source.substr(start, end - start);
    start = end;
    if (!isValidUtf8(line)) {
      error(lineIndex, "broken UTF-8 (the file must be UTF-8 text)");
      continue;
    }
    for (char32_t scalar : utf8ToScalars(line)) {
      const char* standIn = typographicStandIn(scalar);
      if (scalar <= 0xFF) {
        latin.Elements.push_back(static_cast<std::uint8_t>(scalar));
      } else if (standIn != nullptr && options.fixTypography) {
        for (const char* c = standIn; *c != '\0'; ++c) latin.Elements.push_back(*c);
      } else {
        error(lineIndex,
              "character " + codePointName(scalar) + " is not Latin-1" +
                  (standIn != nullptr ? " (pack-script --fix-typography replaces it)" : ""));
      }
    }
  }
  if (errorCount > kMaxListedPackErrors) {
    result.errors.push_back(sourceName + ": " + std::to_string(errorCount - kMaxListedPackErrors) +
                            " more error(s) of this kind");
  }
  std::vector<Text> lines = textlines(latin);
  while (!lines.empty() && texttrim(lines.back()).empty()) lines.pop_back();
  if (lines.empty() || !equals(lines.back(), "@END")) {
    std::string message =
        sourceName + ": the last line is not \"@END\"; the game will not load " + "this file";
    if (options.allowMissingEnd) {
      result.warnings.push_back(sourceName + ": warning: " + message.substr(sourceName.size() + 2));
    } else {
      result.errors.push_back(message + " (--allow-missing-end packs it all the same)");
    }
  }
  return result;
}

PackedScript packScriptSource(const std::string& utf8Source, const std::string& sourceName,
                              const PackOptions& options) {
  PackedScript result = convertScriptSource(utf8Source, sourceName, options);
  if (result.errors.empty()) result.stored = lzw::packStoredBlock(result.latin1.Elements);
  return result;
}

std::string unpackScript(const std::vector<std::uint8_t>& stored) {
  return texttostring(Text(VelmoratDecodeStoredScript(stored, "the data file")));
}

}  // namespace adventure
