// check-script: every fault of a game's scripts that can be found before
// play, with the file, its 1-based line and the line index that the log shows
// ("#006"). Errors are faults the game will show or suffer; warnings are
// likely mistakes that the game survives. Messages are English, like the rest
// of velmorat-tool; where the game would show a "*** " message, it is quoted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace adventure {

enum class FindingSeverity { Warning, Error };

struct ScriptFinding {
  FindingSeverity severity = FindingSeverity::Error;
  std::string file;  // "DATA001.txt", "DATA001.word", or the folder
  int line = 0;      // 1-based line of file; 0 for the whole file
  int index = -1;    // the line's index in the log (#nnn); -1 for the whole file
  std::string message;

  // "DATA001.txt:7: error: message (#006)"; without an index "DATA001.txt:7: error:
  // message", and "FILE: error: message" for the whole file.
  std::string text() const;
};

// A file shows at most this many findings, then one that counts the rest: a
// file of a million faulty lines (a wrong file named like a script) would
// flood the terminal.
inline constexpr std::size_t kMaxFindingsPerFile = 100;

struct ScriptCheck {
  std::vector<ScriptFinding> findings;  // by file, then by line
  // Findings beyond kMaxFindingsPerFile, counted by errors() and warnings().
  std::size_t omittedErrors = 0;
  std::size_t omittedWarnings = 0;
  std::size_t errors() const;
  std::size_t warnings() const;
};

// Checks the scripts of a data folder (DATAnnn.word) or of a source folder
// (scripts/DATAnnn.txt, or DATAnnn.txt; pictures in pictures/).
ScriptCheck checkScripts(const std::string& folder);

// The findings of checkScripts as text() lines.
std::vector<std::string> checkScriptFolder(const std::string& folder);

}  // namespace adventure
