#include "adventure/ScriptSources.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "adventure/DataFile.h"
#include "adventure/ScriptAuthoring.h"
#include "adventure/TextBuild.h"
#include "support/qbtools.h"

namespace adventure {

namespace {

constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;
// What the build turns into NAME.gr (game/pictures.cmake), and NAME.gr itself.
constexpr std::array<const char*, 3> kSourcePictureExtensions = {".svg", ".png", ".gr"};

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The scene of "DATAnnn" + extension, -1 for any other name.
int sceneOfName(const std::string& name, const std::string& extension) {
  if (!name.starts_with("DATA") || !name.ends_with(extension)) return -1;
  const std::string digits = name.substr(4, name.size() - 4 - extension.size());
  if (digits.size() < 3 || digits.size() > 6 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return -1;
  }
  return std::stoi(digits);
}

struct NamedScene {
  int scene;
  std::string name;
};

std::vector<NamedScene> scriptsIn(const std::string& folder, const std::string& extension) {
  std::vector<NamedScene> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (int scene = sceneOfName(name, extension); scene >= 0) found.push_back({scene, name});
    if (found.size() >= kMaxCheckedScripts) break;
  }
  std::sort(found.begin(), found.end(),
            [](const NamedScene& a, const NamedScene& b) { return a.scene < b.scene; });
  return found;
}

bool isDirectory(const std::string& path) {
  return fileexists(path) == 2;
}

// The loader's end rule: padding after "@END" is dropped, "@END" itself too.
void dropEndMark(LoadedScript& script) {
  while (!script.lines.empty() &&
         (script.lines.back().empty() || script.lines.back().Elements[0] == 0)) {
    script.lines.pop_back();
  }
  if (script.lines.empty() || !equals(script.lines.back(), "@END")) {
    script.faults.push_back({0, "the last line is not \"@END\": the game cannot load this file"});
    return;
  }
  script.lines.pop_back();
}

void takeText(LoadedScript& script, const Text& text) {
  std::size_t lineEnds = static_cast<std::size_t>(
      std::count_if(text.Elements.begin(), text.Elements.end(),
                    [](std::uint8_t b) { return b == kCarriageReturn || b == kLineFeed; }));
  if (lineEnds >= kMaxScriptLineEnds) {
    script.faults.push_back({0, "has more than " + std::to_string(kMaxScriptLineEnds) +
                                    " line ends: the game refuses it"});
    return;
  }
  splitScriptText(text, script.lines, script.fileLineNumber);
  dropEndMark(script);
}

LoadedScript loadDataFile(const std::string& folder, const NamedScene& named) {
  LoadedScript script{named.scene, named.name, {}, {}, {}};
  const std::vector<std::uint8_t> stored = gettextfromfile(folder + named.name);
  const std::vector<std::uint8_t> decoded =
      stored.empty() ? stored : VelmoratDecodeStoredScript(stored, named.name);
  if (decoded.empty()) {
    script.faults.push_back(
        {0, "does not load (unreadable, empty, not an LZW block or too large)"});
    return script;
  }
  takeText(script, Text(decoded));
  return script;
}

// A packing error "NAME:LINE: message" (or "NAME: message") as a fault of its line.
ScriptFault faultOf(const std::string& error, const NamedScene& named) {
  std::string rest = error.substr(std::min(error.size(), named.name.size() + 1));
  const std::size_t digits = rest.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string::npos || rest[digits] != ':') {
    return {0, rest.substr(rest.starts_with(" ") ? 1 : 0)};
  }
  return {std::stoi(rest.substr(0, digits)), rest.substr(digits + 2)};
}

LoadedScript loadSourceFile(const std::string& folder, const NamedScene& named) {
  LoadedScript script{named.scene, named.name, {}, {}, {}};
  const std::vector<std::uint8_t> bytes = gettextfromfile(folder + named.name);
  if (bytes.empty()) {
    script.faults.push_back({0, "is empty or cannot be read"});
    return script;
  }
  if (bytes.size() > kMaxScriptBytes) {
    script.faults.push_back(
        {0, "is larger than " + std::to_string(kMaxScriptBytes) + " bytes: the game refuses it"});
    return script;
  }
  // A picture or other binary named like a script: one line, not one per line.
  if (const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
      zero != bytes.end()) {
    const int line = 1 + static_cast<int>(std::count(bytes.begin(), zero, kLineFeed));
    script.faults.push_back({line, "holds binary data (a zero byte), not UTF-8 text"});
    return script;
  }
  PackedScript packed =
      convertScriptSource(std::string(bytes.begin(), bytes.end()), named.name,
                          PackOptions{.fixTypography = false, .allowMissingEnd = true});
  if (!packed.errors.empty()) {
    // The text is not what the game would get: its lines are not checked.
    for (const std::string& error : packed.errors) script.faults.push_back(faultOf(error, named));
    return script;
  }
  takeText(script, packed.latin1);
  return script;
}

}  // namespace

void splitScriptText(const Text& text, std::vector<Text>& lines, std::vector<int>& fileLineNumber) {
  const std::vector<std::uint8_t>& bytes = text.Elements;
  int fileLine = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= bytes.size(); ++i) {
    const bool end = i == bytes.size();
    if (!end && bytes[i] != kCarriageReturn && bytes[i] != kLineFeed) continue;
    if (end && start == bytes.size()) break;  // a last line end adds no empty line
    lines.push_back(Text(std::vector<std::uint8_t>(bytes.begin() + start, bytes.begin() + i)));
    fileLineNumber.push_back(fileLine);
    if (!end && (bytes[i] == kLineFeed || i + 1 == bytes.size() || bytes[i + 1] != kLineFeed)) {
      ++fileLine;
    }
    start = i + 1;
  }
}

bool ScriptFolder::hasPicture(const std::string& name) const {
  if (!isSource) return fileexists(pictureFolder + name + ".gr") == 1;
  return std::any_of(
      kSourcePictureExtensions.begin(), kSourcePictureExtensions.end(),
      [&](const char* extension) { return fileexists(pictureFolder + name + extension) == 1; });
}

const LoadedScript* ScriptFolder::scriptOf(int scene) const {
  auto found = std::lower_bound(scripts.begin(), scripts.end(), scene,
                                [](const LoadedScript& s, int wanted) { return s.scene < wanted; });
  return found != scripts.end() && found->scene == scene ? &*found : nullptr;
}

ScriptFolder loadScriptFolder(const std::string& folder) {
  ScriptFolder result;
  result.folder = withSlash(folder);
  if (!isDirectory(result.folder)) {
    result.missingFolder = "is not a folder";
    return result;
  }
  std::string scriptFolder = result.folder;
  std::vector<NamedScene> names = scriptsIn(scriptFolder, ".word");
  result.pictureFolder = result.folder;
  if (names.empty()) {
    result.isSource = true;
    if (isDirectory(result.folder + "scripts/")) scriptFolder = result.folder + "scripts/";
    names = scriptsIn(scriptFolder, ".txt");
    const std::string beside = scriptFolder + "../pictures/";
    result.pictureFolder = isDirectory(result.folder + "pictures/") ? result.folder + "pictures/"
                           : isDirectory(beside)                    ? beside
                                                                    : scriptFolder;
  }
  if (names.empty()) {
    result.missingFolder =
        "holds no scripts (neither DATAnnn.word nor scripts/DATAnnn.txt nor DATAnnn.txt)";
    return result;
  }
  for (const NamedScene& named : names) {
    result.scripts.push_back(result.isSource ? loadSourceFile(scriptFolder, named)
                                             : loadDataFile(scriptFolder, named));
  }
  return result;
}

}  // namespace adventure
