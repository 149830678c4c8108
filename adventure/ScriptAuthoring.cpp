#include "adventure/ScriptAuthoring.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>

#include "adventure/AuthorWords.h"
#include "adventure/DataFile.h"
#include "adventure/Statements.h"
#include "adventure/TextBuild.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

namespace adventure {

namespace {

constexpr std::size_t kMaxCheckedFiles = 10000;

std::string where(const std::string& file, std::size_t lineIndex) {
  return file + ":" + std::to_string(lineIndex + 1) + ": ";
}

}  // namespace

PackedScript packScriptSource(const std::string& utf8Source, const std::string& sourceName) {
  PackedScript result;
  Text latin;
  std::size_t lineIndex = 0;
  for (std::size_t start = 0; start < utf8Source.size(); ++lineIndex) {
    std::size_t end = std::min(utf8Source.find('\n', start), utf8Source.size() - 1) + 1;
    std::string_view line = std::string_view(utf8Source).substr(start, end - start);
    start = end;
    if (!isValidUtf8(line)) {
      result.errors.push_back(where(sourceName, lineIndex) + "broken UTF-8");
      continue;
    }
    for (char32_t scalar : utf8ToScalars(line)) {
      if (scalar > 0xFF) {
        result.errors.push_back(where(sourceName, lineIndex) + "character U+" +
                                hexbyte(scalar >> 8) + hexbyte(scalar & 0xFF) + " is not Latin-1");
      } else {
        latin.Elements.push_back(static_cast<std::uint8_t>(scalar));
      }
    }
  }
  if (!result.errors.empty()) return result;
  std::vector<Text> lines = textlines(latin);
  while (!lines.empty() && texttrim(lines.back()).empty()) lines.pop_back();
  if (lines.empty() || !equals(lines.back(), "@END")) {
    result.warnings.push_back(sourceName + ": warning: the last line is not \"@END\"; the game " +
                              "will not load this file");
  }
  result.stored = lzw::packStoredBlock(latin.Elements);
  return result;
}

std::string unpackScript(const std::vector<std::uint8_t>& stored) {
  return texttostring(Text(VelmoratDecodeStoredScript(stored, "the data file")));
}

namespace {

struct ScriptFile {
  std::string name;
  std::vector<Text> lines;
  // The label names, collected once: looking each jump up with
  // VelmoratFindLabel would scan the file for every jump.
  std::unordered_set<Text> labels;
};

std::unordered_set<Text> labelNames(const std::vector<Text>& lines) {
  std::unordered_set<Text> names;
  for (const Text& line : lines) {
    if (startsWith(line, "LABEL")) names.insert(argumentsAfter(line, 5));
  }
  return names;
}

class FolderChecker {
 public:
  explicit FolderChecker(std::string folder) : folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  }

  std::vector<std::string> run() {
    loadFiles();
    collectDefinitions();
    for (const ScriptFile& file : files_) {
      for (std::size_t i = 0; i < file.lines.size(); ++i) checkLine(file, i);
    }
    return findings_;
  }

 private:
  void loadFiles() {
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
      std::string name = entry.path().filename().string();
      if (name.size() > 9 && name.rfind("DATA", 0) == 0 && name.ends_with(".word")) {
        names.push_back(name);
      }
      if (names.size() >= kMaxCheckedFiles) break;
    }
    if (error) findings_.push_back(folder_ + ": cannot read the folder: " + error.message());
    std::sort(names.begin(), names.end());
    if (std::find(names.begin(), names.end(), VelmoratDataFileName(0)) == names.end()) {
      findings_.push_back(folder_ + ": " + VelmoratDataFileName(0) + " is missing: no game starts");
    }
    for (const std::string& name : names) {
      std::vector<std::uint8_t> stored = gettextfromfile(folder_ + name);
      std::vector<Text> lines = VelmoratScriptLinesFromStored(stored, name);
      if (lines.empty()) {
        findings_.push_back(name + ": does not load (unreadable, empty or without \"@END\")");
      }
      std::unordered_set<Text> labels = labelNames(lines);
      files_.push_back({name, std::move(lines), std::move(labels)});
    }
  }

  // Item names compare the way the game will compare them: folded when the
  // game declares WORDS FOLD anywhere.
  Text itemKey(const Text& name) const { return VelmoratComparisonKey(name, words_); }

  void collectDefinitions() {
    for (const ScriptFile& file : files_) {
      for (const Text& line : file.lines) {
        if (startsWith(line, "WORDS") && equals(argumentsAfter(line, "WORDS"), "FOLD")) {
          words_.foldUmlauts = true;
        }
      }
    }
    for (const ScriptFile& file : files_) {
      for (const Text& line : file.lines) {
        Text define = argumentsAfter(line, "DEFINE");
        if (startsWith(line, "DEFINE") && startsWith(define, "ITEM")) {
          Text t = argumentsAfter(define, "ITEM");
          int p = position(t, Text::fromBytes("NAME"), 1);
          if (p >= 1) definedItems_.insert(itemKey(texttrim(textfrom(t, p + 4))));
        }
        Text dimension = argumentsAfter(line, "DIMENSION");
        if (startsWith(line, "DIMENSION") && startsWith(dimension, "FLAGS")) {
          largestFlag_ = std::max(largestFlag_, scriptNumber(argumentsAfter(dimension, "FLAGS")));
        }
      }
    }
  }

  bool sceneHasFile(int scene) const {
    return fileexists(folder_ + VelmoratDataFileName(scene)) == 1;
  }

  void report(const ScriptFile& file, std::size_t index, const std::string& message) {
    findings_.push_back(where(file.name, index) + message);
  }

  void checkScene(const ScriptFile& file, std::size_t index, int scene, const char* how) {
    if (scene >= 0 && !sceneHasFile(scene)) {
      report(file, index,
             std::string(how) + " scene " + std::to_string(scene) + ", but " +
                 VelmoratDataFileName(scene) + " is missing");
    }
  }

  void checkItem(const ScriptFile& file, std::size_t index, const Text& name) {
    if (!definedItems_.contains(itemKey(name))) {
      report(file, index, "item '" + textforlog(name) + "' is never defined (DEFINE ITEM)");
    }
  }

  void checkFlag(const ScriptFile& file, std::size_t index, const Text& arguments) {
    int flag = scriptNumber(argumentsAfter(arguments, "FLAG"));
    if (flag < 0 || flag > largestFlag_) {
      report(file, index,
             "flag " + std::to_string(flag) + " is outside DIMENSION FLAGS (0 to " +
                 std::to_string(largestFlag_) + ")");
    }
  }

  void checkLabel(const ScriptFile& file, std::size_t index, const Text& label) {
    if (!file.labels.contains(label)) {
      report(file, index, "jump to missing label '" + textforlog(label) + "'");
    }
  }

  void checkDefineScene(const ScriptFile& file, std::size_t index, const Text& arguments) {
    Text t = argumentsAfter(arguments, "SCENE");
    int p = position(t, Text::fromBytes("ITEM"), 1);
    if (p < 1) return;
    Text u = texttrim(textfrom(t, p + 4));
    int q = position(u, Text::fromBytes("COUNT"), 1);
    checkItem(file, index, q < 1 ? u : texttrim(textleft(u, q - 1)));
  }

  void checkLine(const ScriptFile& file, std::size_t index) {
    const Text& line = file.lines[index];
    const Statement* statement = VelmoratStatementOf(line);
    if (statement == nullptr) {
      report(file, index, "unknown statement '" + textforlog(line) + "'");
      return;
    }
    const Text r = VelmoratStatementArguments(line);
    switch (statement->check) {
      case StatementCheck::None:
        break;
      case StatementCheck::ExitScene:
        checkScene(file, index, scriptNumber(r), "an exit names");
        break;
      case StatementCheck::GotoTarget:
        if (startsWith(r, "SCENE")) {
          checkScene(file, index, scriptNumber(argumentsAfter(r, "SCENE")), "GOTO SCENE names");
        } else {
          checkLabel(file, index, r);
        }
        break;
      case StatementCheck::IfTarget:
        if (startsWith(r, "EQUAL")) checkLabel(file, index, argumentsAfter(r, "EQUAL"));
        break;
      case StatementCheck::Picture:
        checkPicture(file, index, texttostring(r) + ".gr");
        break;
      case StatementCheck::InventoryItem:
        if (startsWith(r, "INVENTORY")) checkItem(file, index, argumentsAfter(r, "INVENTORY"));
        if (startsWith(r, "HERE")) checkItem(file, index, argumentsAfter(r, "HERE"));
        break;
      case StatementCheck::SceneItem:
        if (startsWith(r, "SCENE")) checkDefineScene(file, index, r);
        break;
      case StatementCheck::Flag:
        if (startsWith(r, "FLAG")) checkFlag(file, index, r);
        break;
      case StatementCheck::Words:
        checkWords(file, index, line);
        break;
    }
  }

  void checkPicture(const ScriptFile& file, std::size_t index, const std::string& picture) {
    if (fileexists(folder_ + picture) != 1)
      report(file, index, "picture " + picture + " is missing");
  }

  // Declarations are made where every game starts; elsewhere they would only
  // hold once the player has passed that scene.
  void checkWords(const ScriptFile& file, std::size_t index, const Text& line) {
    bool isDeclaration = false;
    std::string fault = VelmoratWordsFault(line, isDeclaration);
    if (!fault.empty()) {
      report(file, index, fault);
    } else if (isDeclaration && file.name != VelmoratDataFileName(0)) {
      report(file, index, "WORDS declarations belong in " + VelmoratDataFileName(0));
    }
  }

  std::string folder_;
  std::vector<ScriptFile> files_;
  std::set<Text, bool (*)(const Text&, const Text&)> definedItems_{
      [](const Text& a, const Text& b) { return a.Elements < b.Elements; }};
  int largestFlag_ = -1;
  AuthorWords words_;
  std::vector<std::string> findings_;
};

}  // namespace

std::vector<std::string> checkScriptFolder(const std::string& folder) {
  return FolderChecker(folder).run();
}

}  // namespace adventure
