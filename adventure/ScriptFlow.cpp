#include "adventure/ScriptFlow.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <string_view>
#include <unordered_map>

#include "adventure/DataFile.h"
#include "adventure/Statements.h"
#include "adventure/TableLimits.h"
#include "adventure/TextBuild.h"

namespace adventure {

namespace {

std::string_view keywordOf(const Text& line) {
  const Statement* statement = VelmoratStatementOf(line);
  return statement != nullptr ? statement->keyword : std::string_view("?unknown");
}

bool isExitKeyword(std::string_view keyword) {
  for (const char* exit : {"FORWARD", "BACKWARD", "LEFT", "RIGHT", "UP", "DOWN"}) {
    if (keyword == exit) return true;
  }
  return false;
}

std::unordered_map<Text, int> firstLabels(const std::vector<Text>& lines) {
  std::unordered_map<Text, int> labels;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (startsWith(lines[i], "LABEL")) labels.emplace(argumentsAfter(lines[i], 5), int(i));
  }
  return labels;
}

// The table a DIMENSION line makes and its size; false for a line that makes none.
bool dimensionOf(const Text& line, TableKind& kind, int& size) {
  const Text r = VelmoratStatementArguments(line);
  struct Table {
    const char* word;
    TableKind kind;
    int largest;
  };
  for (const Table& table :
       {Table{"SCENES", kSceneTable, kMaxScenes}, Table{"ITEMS", kItemTable, kMaxItems},
        Table{"FLAGS", kFlagTable, kMaxFlags}}) {
    if (!startsWith(r, table.word)) continue;
    const Text number = argumentsAfter(r, table.word);
    if (number.empty() || (number.Elements[0] != '-' && !std::isdigit(number.Elements[0])))
      return false;  // DIMENSION SCENES (a CLEAR) or no number
    size = scriptNumber(number);
    kind = table.kind;
    return size >= 0 && size <= table.largest;
  }
  return false;
}

}  // namespace

ScriptGraph buildScriptGraph(const std::vector<Text>& lines) {
  ScriptGraph graph;
  graph.lines.resize(lines.size());
  const std::unordered_map<Text, int> labels = firstLabels(lines);
  auto labelLine = [&labels](const Text& name) {
    auto found = labels.find(name);
    return found == labels.end() ? kNoLine : found->second;
  };
  const int count = static_cast<int>(lines.size());
  for (int i = 0; i < count; ++i) {
    LineFlow& flow = graph.lines[i];
    const std::string_view keyword = keywordOf(lines[i]);
    const Text r = VelmoratStatementArguments(lines[i]);
    const int next = i + 1 < count ? i + 1 : kNoLine;
    flow.fallThrough = next;
    if (keyword == "GOTO" && startsWith(r, "SCENE")) {
      flow.fallThrough = kNoLine;
      flow.scene = scriptNumber(argumentsAfter(r, "SCENE"));
      flow.waits = true;
    } else if (keyword == "GOTO") {
      flow.fallThrough = kNoLine;
      flow.jump = labelLine(r);
      // A missing label is an error: the player is asked for a key.
      flow.waits = flow.jump == kNoLine;
    } else if (keyword == "IF") {
      if (startsWith(r, "EQUAL")) {
        flow.jump = labelLine(argumentsAfter(r, "EQUAL"));
        flow.waits = flow.jump == kNoLine;  // an error when the condition holds
      } else {
        flow.fallThrough = kNoLine;
        flow.waits = true;  // an error
      }
    } else if (keyword == "QUIT") {
      flow.fallThrough = kNoLine;
      flow.waits = true;
    } else if (keyword == "INPUT") {
      flow.restarts = true;
      flow.waits = true;
    } else if (keyword == "INKEY") {
      flow.waits = true;
    } else if (isExitKeyword(keyword)) {
      if (int scene = scriptNumber(r); scene >= 0) graph.exitScenes.push_back(scene);
    }
    // Running off the last line ends the game; only GOTO label leaves it otherwise.
    if (next == kNoLine && !(keyword == "GOTO" && flow.jump != kNoLine)) flow.waits = true;
  }
  std::sort(graph.exitScenes.begin(), graph.exitScenes.end());
  graph.exitScenes.erase(std::unique(graph.exitScenes.begin(), graph.exitScenes.end()),
                         graph.exitScenes.end());
  return graph;
}

std::vector<bool> reachableLines(const ScriptGraph& graph) {
  std::vector<bool> reached(graph.lines.size(), false);
  if (graph.lines.empty()) return reached;
  std::vector<int> pending{0};
  reached[0] = true;
  auto visit = [&](int line) {
    if (line != kNoLine && !reached[line]) {
      reached[line] = true;
      pending.push_back(line);
    }
  };
  while (!pending.empty()) {
    const LineFlow& flow = graph.lines[pending.back()];
    pending.pop_back();
    visit(flow.fallThrough);
    visit(flow.jump);
  }
  return reached;
}

std::vector<EndlessLoop> endlessLoops(const ScriptGraph& graph,
                                      const std::vector<bool>& reachable) {
  const int count = static_cast<int>(graph.lines.size());
  // Lines from which the run can stop or leave: the waiting lines and every
  // line that can get to one of them.
  std::vector<std::vector<int>> predecessors(count);
  for (int i = 0; i < count; ++i) {
    for (int to : {graph.lines[i].fallThrough, graph.lines[i].jump}) {
      if (to != kNoLine) predecessors[to].push_back(i);
    }
  }
  std::vector<bool> canStop(count, false);
  std::vector<int> pending;
  for (int i = 0; i < count; ++i) {
    if (graph.lines[i].waits) {
      canStop[i] = true;
      pending.push_back(i);
    }
  }
  while (!pending.empty()) {
    int line = pending.back();
    pending.pop_back();
    for (int from : predecessors[line]) {
      if (!canStop[from]) {
        canStop[from] = true;
        pending.push_back(from);
      }
    }
  }
  std::vector<EndlessLoop> loops;
  std::vector<bool> covered(count, false);
  for (int i = 0; i < count; ++i) {
    if (!reachable[i] || canStop[i] || covered[i]) continue;
    EndlessLoop loop{i, i};
    std::vector<int> stack{i};
    covered[i] = true;
    while (!stack.empty()) {
      const LineFlow& flow = graph.lines[stack.back()];
      stack.pop_back();
      for (int to : {flow.fallThrough, flow.jump}) {
        if (to == kNoLine || covered[to]) continue;
        covered[to] = true;
        loop.firstLine = std::min(loop.firstLine, to);
        loop.lastLine = std::max(loop.lastLine, to);
        stack.push_back(to);
      }
    }
    loops.push_back(loop);
  }
  return loops;
}

DimensionFlow analyseDimensions(const ScriptFolder& folder,
                                const std::vector<ScriptGraph>& graphs) {
  DimensionFlow flow;
  const std::size_t scripts = folder.scripts.size();
  flow.before.resize(scripts);
  flow.reached.resize(scripts);
  for (std::size_t s = 0; s < scripts; ++s) {
    flow.before[s].resize(graphs[s].lines.size());
    flow.reached[s].assign(graphs[s].lines.size(), false);
  }
  auto scriptIndex = [&folder](int scene) {
    const LoadedScript* script = folder.scriptOf(scene);
    return script == nullptr ? -1 : int(script - folder.scripts.data());
  };
  struct Point {
    int script;
    int line;
  };
  std::deque<Point> pending;
  auto arrive = [&](int script, int line, const TableSizes& sizes) {
    if (script < 0 || line == kNoLine || graphs[script].lines.empty()) return;
    TableSizes& known = flow.before[script][line];
    if (!flow.reached[script][line]) {
      flow.reached[script][line] = true;
      known = sizes;
      pending.push_back({script, line});
      return;
    }
    TableSizes joined = known;
    for (int t = 0; t < kTableKinds; ++t) {
      joined.tables[t].smallest = std::min(known.tables[t].smallest, sizes.tables[t].smallest);
      joined.tables[t].largest = std::max(known.tables[t].largest, sizes.tables[t].largest);
    }
    if (joined == known) return;
    known = joined;
    pending.push_back({script, line});
  };
  arrive(scriptIndex(0), 0, TableSizes{});
  while (!pending.empty()) {
    const Point point = pending.front();
    pending.pop_front();
    const ScriptGraph& graph = graphs[point.script];
    const LineFlow& line = graph.lines[point.line];
    TableSizes after = flow.before[point.script][point.line];
    TableKind kind;
    int size;
    const Text& text = folder.scripts[point.script].lines[point.line];
    if (startsWith(text, "DIMENSION") && dimensionOf(text, kind, size)) {
      after.tables[kind] = {size, size};
    }
    arrive(point.script, line.fallThrough, after);
    arrive(point.script, line.jump, after);
    if (line.scene != kNoScene) arrive(scriptIndex(line.scene), 0, after);
    if (line.restarts) {
      arrive(point.script, 0, after);
      for (int scene : graph.exitScenes) arrive(scriptIndex(scene), 0, after);
    }
  }
  return flow;
}

}  // namespace adventure
