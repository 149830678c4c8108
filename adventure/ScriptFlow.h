// Where control goes in a script, as far as its text shows, for check-script:
// the lines that never run, loops that never wait for the player, and the
// sizes the tables have (DIMENSION) wherever a line runs.
//
// A file always starts at line 0 (a GOTO SCENE, a move, the restart after a
// take, drop or look, the reload after an error), so what line 0 cannot reach
// never runs. After INPUT the analysis assumes that any of these may happen:
// the next line, the file's own restart, or a move through any exit that the
// file sets. That is a guess on the safe side: a path it follows may be one
// that no player can take.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "adventure/ScriptSources.h"
#include "support/Text.h"

namespace adventure {

inline constexpr int kNoLine = -1;
inline constexpr int kNoScene = INT_MIN;

// The ways out of one line.
struct LineFlow {
  int fallThrough = kNoLine;  // the next line, when control can go on to it
  int jump = kNoLine;         // the target of GOTO label or IF EQUAL label
  int scene = kNoScene;       // GOTO SCENE n
  bool restarts = false;      // INPUT: the parser may start the file anew
  // The run waits, leaves or ends here: INPUT, INKEY, QUIT, GOTO SCENE, a
  // jump to a missing label (an error, which waits for a key), the last line.
  bool waits = false;
};

struct ScriptGraph {
  std::vector<LineFlow> lines;
  std::vector<int> exitScenes;  // scenes named by the file's exits (FORWARD ... DOWN)
};

ScriptGraph buildScriptGraph(const std::vector<Text>& lines);

// Lines that run when the file starts at line 0.
std::vector<bool> reachableLines(const ScriptGraph& graph);

// A group of lines that loop without INPUT, INKEY, QUIT or GOTO SCENE and
// cannot leave the loop: the interpreter would run them for ever.
struct EndlessLoop {
  int firstLine;
  int lastLine;
};
std::vector<EndlessLoop> endlessLoops(const ScriptGraph& graph, const std::vector<bool>& reachable);

// The sizes a table may have where a line runs: from smallest to largest over
// every path from scene 0; -1 stands for "not made yet" (before DIMENSION).
struct SizeRange {
  int smallest = -1;
  int largest = -1;
  bool operator==(const SizeRange&) const = default;
};
enum TableKind { kSceneTable = 0, kItemTable = 1, kFlagTable = 2, kTableKinds = 3 };
struct TableSizes {
  SizeRange tables[kTableKinds];
  bool operator==(const TableSizes&) const = default;
};

// For each script of folder (in its order) and each of its lines, the table
// sizes before the line runs; reached[s][i] is false for lines that no path
// from the first line of scene 0 reaches.
struct DimensionFlow {
  std::vector<std::vector<TableSizes>> before;
  std::vector<std::vector<bool>> reached;
};
DimensionFlow analyseDimensions(const ScriptFolder& folder, const std::vector<ScriptGraph>& graphs);

}  // namespace adventure
