#include "adventure/ScriptCheck.h"

#include <algorithm>
#include <unordered_map>

#include "adventure/AuthorWords.h"
#include "adventure/DataFile.h"
#include "adventure/Pictures.h"
#include "adventure/ScriptFlow.h"
#include "adventure/ScriptSources.h"
#include "adventure/Statements.h"
#include "adventure/TextBuild.h"
#include "support/qbtools.h"

namespace adventure {

namespace {

// The text window's columns: a longer output line wraps.
constexpr std::size_t kTextWindowColumns = 78;

const char* const kTableNames[kTableKinds] = {"SCENES", "ITEMS", "FLAGS"};

// The largest number a table of this size holds: scenes 0 .. n-1, items 1 .. n,
// flags 0 .. n; a table not made yet (-1) holds none.
int largestNumberIn(TableKind kind, int size) {
  if (size < 0) return -2;
  return kind == kSceneTable ? size - 1 : size;
}

bool isStatementLine(const Text& line) {
  const Statement* statement = VelmoratStatementOf(line);
  if (statement == nullptr) return true;
  const std::string_view keyword = statement->keyword;
  return !(keyword.empty() || keyword == "LABEL" || keyword == "REM" || keyword == "//" ||
           keyword == "'");
}

class FolderChecker {
 public:
  explicit FolderChecker(const std::string& folder) : folder_(loadScriptFolder(folder)) {}

  ScriptCheck run() {
    if (!folder_.missingFolder.empty()) {
      add(FindingSeverity::Error, folder_.folder, -1, folder_.missingFolder);
      return {std::move(findings_)};
    }
    if (folder_.scriptOf(0) == nullptr) {
      add(FindingSeverity::Error, folder_.folder, -1,
          (folder_.isSource ? std::string("DATA000.txt") : VelmoratDataFileName(0)) +
              " is missing: no game starts");
    }
    for (const LoadedScript& script : folder_.scripts) {
      graphs_.push_back(buildScriptGraph(script.lines));
    }
    collectDefinitions();
    flow_ = analyseDimensions(folder_, graphs_);
    for (std::size_t s = 0; s < folder_.scripts.size(); ++s) checkScript(s);
    return {std::move(findings_)};
  }

 private:
  void add(FindingSeverity severity, const std::string& file, int index, const std::string& message,
           const LoadedScript* script = nullptr) {
    ScriptFinding finding{severity, file, 0, index, message};
    if (script != nullptr && index >= 0) finding.line = script->fileLineNumber[index];
    findings_.push_back(std::move(finding));
  }
  void error(std::size_t index, const std::string& message) {
    add(FindingSeverity::Error, script_->fileName, int(index), message, script_);
  }
  void warning(std::size_t index, const std::string& message) {
    add(FindingSeverity::Warning, script_->fileName, int(index), message, script_);
  }

  // Item names compare the way the game will compare them: folded when the
  // game declares WORDS FOLD anywhere.
  Text itemKey(const Text& name) const { return VelmoratComparisonKey(name, words_); }

  void collectDefinitions() {
    for (const LoadedScript& script : folder_.scripts) {
      for (const Text& line : script.lines) {
        if (startsWith(line, "WORDS") && equals(argumentsAfter(line, "WORDS"), "FOLD")) {
          words_.foldUmlauts = true;
        }
      }
    }
    for (const LoadedScript& script : folder_.scripts) {
      for (const Text& line : script.lines) {
        Text define = argumentsAfter(line, "DEFINE");
        if (startsWith(line, "DEFINE") && startsWith(define, "ITEM")) {
          Text t = argumentsAfter(define, "ITEM");
          int p = position(t, Text::fromBytes("NAME"), 1);
          if (p >= 1) {
            int& number = definedItems_[itemKey(texttrim(textfrom(t, p + 4)))];
            number = std::max(number, scriptNumber(textleft(t, p - 1)));
          }
        }
        Text dimension = argumentsAfter(line, "DIMENSION");
        if (startsWith(line, "DIMENSION") && startsWith(dimension, "FLAGS")) {
          largestFlag_ = std::max(largestFlag_, scriptNumber(argumentsAfter(dimension, "FLAGS")));
        }
      }
    }
  }

  void checkScript(std::size_t s) {
    script_ = &folder_.scripts[s];
    scriptIndex_ = s;
    const std::size_t firstFinding = findings_.size();
    for (const ScriptFault& fault : script_->faults) {
      findings_.push_back(
          {FindingSeverity::Error, script_->fileName, fault.line, -1, fault.message});
    }
    if (script_->lines.empty()) return;
    const std::vector<bool>& reachedFromStart = flow_.reached[s];
    if (script_->scene != 0 &&
        std::none_of(reachedFromStart.begin(), reachedFromStart.end(), [](bool r) { return r; })) {
      add(FindingSeverity::Warning, script_->fileName, -1,
          "no GOTO SCENE or exit on a path from scene 0 leads to this file; its tables are "
          "not checked");
    }
    const std::vector<bool> reachable = reachableLines(graphs_[s]);
    checkUnreachable(reachable);
    for (const EndlessLoop& loop : endlessLoops(graphs_[s], reachable)) {
      error(loop.firstLine, "endless loop: lines " +
                                std::to_string(script_->fileLineNumber[loop.firstLine]) + " to " +
                                std::to_string(script_->fileLineNumber[loop.lastLine]) +
                                " repeat without INPUT, INKEY, QUIT or GOTO SCENE");
    }
    checkLabelsDefinedOnce();
    for (std::size_t i = 0; i < script_->lines.size(); ++i) checkLine(i);
    std::stable_sort(
        findings_.begin() + std::ptrdiff_t(firstFinding), findings_.end(),
        [](const ScriptFinding& a, const ScriptFinding& b) { return a.line < b.line; });
  }

  void checkUnreachable(const std::vector<bool>& reachable) {
    const std::vector<Text>& lines = script_->lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (reachable[i] || !isStatementLine(lines[i])) continue;
      std::size_t last = i;
      while (last + 1 < lines.size() && !reachable[last + 1]) ++last;
      warning(i,
              "never runs: no path from the file's first line leads here" +
                  (last > i ? " (up to line " + std::to_string(script_->fileLineNumber[last]) + ")"
                            : std::string()));
      i = last;
    }
  }

  void checkLabelsDefinedOnce() {
    std::unordered_map<Text, std::size_t>& first = labels_;
    first.clear();
    for (std::size_t i = 0; i < script_->lines.size(); ++i) {
      if (!startsWith(script_->lines[i], "LABEL")) continue;
      auto [found, isNew] = first.emplace(argumentsAfter(script_->lines[i], 5), i);
      if (!isNew) {
        warning(i, "label '" + textforlog(found->first) + "' is defined again (first on line " +
                       std::to_string(script_->fileLineNumber[found->second]) +
                       "); jumps go to the first");
      }
    }
  }

  // The table sizes where line index runs, nullptr where no path from scene 0 gets.
  const TableSizes* sizesAt(std::size_t index) const {
    return flow_.reached[scriptIndex_][index] ? &flow_.before[scriptIndex_][index] : nullptr;
  }

  // number must lie within the table where the line runs, on every path.
  void checkTableUse(std::size_t index, TableKind kind, int number, const std::string& what) {
    const TableSizes* sizes = sizesAt(index);
    if (sizes == nullptr) return;
    const SizeRange range = sizes->tables[kind];
    const std::string table = std::string("DIMENSION ") + kTableNames[kind];
    const std::string guess = " on some paths from scene 0";
    if (number < (kind == kItemTable ? 1 : 0)) {
      error(index, what + " lies outside every " + table);
    } else if (range.largest < 0) {
      error(index, what + " runs before " + table + " on every path from scene 0");
    } else if (number > largestNumberIn(kind, range.largest)) {
      error(index, what + " lies beyond " + table + " " + std::to_string(range.largest));
    } else if (range.smallest < 0) {
      warning(index, what + " runs before " + table + guess + " (a guess: every exit and " +
                         "restart is taken as possible)");
    } else if (number > largestNumberIn(kind, range.smallest)) {
      warning(index, what + " lies beyond " + table + " " + std::to_string(range.smallest) + guess +
                         " (a guess: every exit and restart is taken as possible)");
    }
  }

  void checkScene(std::size_t index, int scene, const char* how) {
    if (scene >= 0 && folder_.scriptOf(scene) == nullptr) {
      error(index, std::string(how) + " scene " + std::to_string(scene) + ", but its file " +
                       VelmoratDataFileName(scene) + " is missing");
    }
  }

  void checkItem(std::size_t index, const Text& name, const std::string& statement) {
    auto found = definedItems_.find(itemKey(name));
    if (found == definedItems_.end()) {
      error(index, "item '" + textforlog(name) + "' is never defined (DEFINE ITEM)");
      return;
    }
    checkTableUse(index, kItemTable, found->second, statement);
  }

  void checkFlag(std::size_t index, const Text& arguments) {
    int flag = scriptNumber(argumentsAfter(arguments, "FLAG"));
    if (sizesAt(index) != nullptr) {
      checkTableUse(index, kFlagTable, flag, "flag " + std::to_string(flag));
    } else if (flag < 0 || flag > largestFlag_) {
      error(index, "flag " + std::to_string(flag) + " is outside DIMENSION FLAGS (0 to " +
                       std::to_string(largestFlag_) + ")");
    }
  }

  void checkLabel(std::size_t index, const Text& label) {
    if (!labels_.contains(label)) error(index, "jump to missing label '" + textforlog(label) + "'");
  }

  void checkDefine(std::size_t index, const Text& r) {
    if (startsWith(r, "ITEM")) {
      Text t = argumentsAfter(r, "ITEM");
      int p = position(t, Text::fromBytes("NAME"), 1);
      if (p < 1) return;
      int item = scriptNumber(textleft(t, p - 1));
      checkTableUse(index, kItemTable, item, "DEFINE ITEM " + std::to_string(item));
      const std::string picture = VelmoratItemPictureName(item);
      if (item >= 1 && !folder_.hasPicture(picture.substr(0, picture.size() - 3))) {
        // A warning: the game shows "*** Item Grafik" only when the item is looked at.
        warning(index, "the picture of item " + std::to_string(item) + ", " +
                           VelmoratItemPictureName(item) + ", is missing (looking at the item " +
                           "shows \"*** Item Grafik '" + picture +
                           "' konnte nicht geladen werden.\")");
      }
      return;
    }
    if (!startsWith(r, "SCENE")) return;
    Text t = argumentsAfter(r, "SCENE");
    int p = position(t, Text::fromBytes("ITEM"), 1);
    if (p < 1) return;
    int scene = scriptNumber(textleft(t, p - 1));
    checkTableUse(index, kSceneTable, scene, "DEFINE SCENE " + std::to_string(scene));
    Text u = texttrim(textfrom(t, p + 4));
    int q = position(u, Text::fromBytes("COUNT"), 1);
    checkItem(index, q < 1 ? u : texttrim(textleft(u, q - 1)), "DEFINE SCENE ... ITEM");
  }

  void checkOutput(std::size_t index, const Text& line) {
    const std::size_t printed = line.size() - 1;
    if (printed > kTextWindowColumns) {
      warning(index, "the text is " + std::to_string(printed) + " characters long and wraps in " +
                         "the text window of " + std::to_string(kTextWindowColumns) + " columns");
    }
  }

  // Declarations are made where every game starts; elsewhere they would only
  // hold once the player has passed that scene.
  void checkWords(std::size_t index, const Text& line) {
    bool isDeclaration = false;
    std::string fault = VelmoratWordsFault(line, isDeclaration);
    if (!fault.empty()) {
      error(index, fault);
    } else if (isDeclaration && script_->scene != 0) {
      warning(index, "WORDS declarations belong in scene 0 (DATA000)");
    } else if (std::string caption = VelmoratCaptionFault(line); !caption.empty()) {
      warning(index, caption);
    }
  }

  void checkLine(std::size_t index) {
    const Text& line = script_->lines[index];
    const Statement* statement = VelmoratStatementOf(line);
    if (statement == nullptr) {
      error(index, "unknown statement '" + textforlog(line) + "'");
      return;
    }
    const Text r = VelmoratStatementArguments(line);
    switch (statement->check) {
      case StatementCheck::None:
        break;
      case StatementCheck::ExitScene:
        checkScene(index, scriptNumber(r), "an exit names");
        break;
      case StatementCheck::GotoTarget:
        if (startsWith(r, "SCENE")) {
          checkScene(index, scriptNumber(argumentsAfter(r, "SCENE")), "GOTO SCENE names");
        } else {
          checkLabel(index, r);
        }
        break;
      case StatementCheck::IfTarget:
        if (startsWith(r, "EQUAL")) checkLabel(index, argumentsAfter(r, "EQUAL"));
        break;
      case StatementCheck::Picture:
        if (!folder_.hasPicture(texttostring(r))) {
          error(index, "picture " + texttostring(r) + ".gr is missing");
        }
        break;
      case StatementCheck::InventoryItem:
        if (startsWith(r, "HERE")) {
          checkItem(index, argumentsAfter(r, "HERE"), std::string(statement->keyword) + " HERE");
        }
        if (startsWith(r, "INVENTORY")) {
          checkItem(index, argumentsAfter(r, "INVENTORY"),
                    std::string(statement->keyword) + " INVENTORY");
        }
        break;
      case StatementCheck::SceneItem:
        checkDefine(index, r);
        break;
      case StatementCheck::Flag:
        if (startsWith(r, "FLAG")) checkFlag(index, r);
        break;
      case StatementCheck::Words:
        checkWords(index, line);
        break;
      case StatementCheck::OutputLine:
        checkOutput(index, line);
        break;
    }
  }

  ScriptFolder folder_;
  std::vector<ScriptGraph> graphs_;
  DimensionFlow flow_;
  const LoadedScript* script_ = nullptr;
  std::size_t scriptIndex_ = 0;
  std::unordered_map<Text, std::size_t> labels_;  // label -> its first line
  std::unordered_map<Text, int> definedItems_;    // item key -> largest number defined with it
  int largestFlag_ = -1;
  AuthorWords words_;
  std::vector<ScriptFinding> findings_;
};

// The findings with each file's beyond kMaxFindingsPerFile replaced by one
// that counts them, as severe as the worst of them.
ScriptCheck limitedPerFile(std::vector<ScriptFinding> all) {
  ScriptCheck check;
  std::size_t shownInFile = 0;
  std::size_t leftErrors = 0;
  std::size_t leftWarnings = 0;
  const auto closeFile = [&](const std::string& file) {
    if (leftErrors + leftWarnings == 0) return;
    const bool anError = leftErrors > 0;
    check.findings.push_back({anError ? FindingSeverity::Error : FindingSeverity::Warning, file, 0,
                              -1,
                              std::to_string(leftErrors + leftWarnings) +
                                  " more findings left out (" + std::to_string(leftErrors) +
                                  " errors, " + std::to_string(leftWarnings) + " warnings)"});
    // The summary stands for one of them.
    check.omittedErrors += anError ? leftErrors - 1 : 0;
    check.omittedWarnings += anError ? leftWarnings : leftWarnings - 1;
    leftErrors = leftWarnings = 0;
  };
  std::string file;
  for (ScriptFinding& finding : all) {
    if (finding.file != file) {
      closeFile(file);
      file = finding.file;
      shownInFile = 0;
    }
    if (shownInFile++ < kMaxFindingsPerFile) {
      check.findings.push_back(std::move(finding));
    } else {
      ++(finding.severity == FindingSeverity::Error ? leftErrors : leftWarnings);
    }
  }
  closeFile(file);
  return check;
}

}  // namespace

std::string ScriptFinding::text() const {
  const char* kind = severity == FindingSeverity::Error ? "error" : "warning";
  if (index < 0) {
    return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + kind + ": " +
           message;
  }
  return file + ":" + std::to_string(line) + ": " + kind + ": " + message + " (#" +
         formatnumber(index, '0', 3, false) + ")";
}

std::size_t ScriptCheck::errors() const {
  return omittedErrors +
         static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(), [](auto& f) {
           return f.severity == FindingSeverity::Error;
         }));
}

std::size_t ScriptCheck::warnings() const {
  return omittedWarnings + findings.size() - (errors() - omittedErrors);
}

ScriptCheck checkScripts(const std::string& folder) {
  return limitedPerFile(FolderChecker(folder).run().findings);
}

std::vector<std::string> checkScriptFolder(const std::string& folder) {
  std::vector<std::string> lines;
  for (const ScriptFinding& finding : checkScripts(folder).findings)
    lines.push_back(finding.text());
  return lines;
}

}  // namespace adventure
