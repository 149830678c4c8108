// The scripts that check-script reads: a data folder of DATAnnn.word files as
// the game loads them, or a source folder of UTF-8 DATAnnn.txt files as an
// author writes them (DIR/scripts/, pictures in DIR/pictures/ as .svg, .png
// or .gr). Each script keeps, for every line index the log shows (#nnn), the
// 1-based line of its file, which differ when a source has CR LF line ends.
#pragma once

#include <string>
#include <vector>

#include "support/Text.h"

namespace adventure {

// Why a file would not load or convert: line is its 1-based line, 0 for the whole file.
struct ScriptFault {
  int line = 0;
  std::string message;
};

struct LoadedScript {
  int scene = 0;
  std::string fileName;             // "DATA001.txt" or "DATA001.word"
  std::vector<Text> lines;          // as the loader gives them, without "@END"
  std::vector<int> fileLineNumber;  // 1-based line of the file for each line index
  std::vector<ScriptFault> faults;  // empty when sound
};

struct ScriptFolder {
  bool isSource = false;
  std::string folder;                 // what was asked for, ending with "/"
  std::string pictureFolder;          // where pictures lie, ending with "/"
  std::string missingFolder;          // non-empty: the folder holds no scripts, and why
  std::vector<LoadedScript> scripts;  // in the order of their scene numbers

  // True when the folder has the picture name (without extension) in a form
  // that the build turns into name.gr (or name.gr itself).
  bool hasPicture(const std::string& name) const;
  // The script of a scene, nullptr when there is none.
  const LoadedScript* scriptOf(int scene) const;
};

// At most this many scripts are read from one folder.
inline constexpr std::size_t kMaxCheckedScripts = 10000;

ScriptFolder loadScriptFolder(const std::string& folder);

// The lines of a script text and the 1-based file line of each: a line ends
// at CR or LF (as the loader splits), the file's line count grows at LF and at
// a CR that no LF follows.
void splitScriptText(const Text& text, std::vector<Text>& lines, std::vector<int>& fileLineNumber);

}  // namespace adventure
