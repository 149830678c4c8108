// Where velmorat-tool finds the engine that plays an author's game: the
// velmorat program and its resources (the fonts and the beep every bundle
// gets). In the build tree they are build/Velmorat.app beside build/tools;
// installed, the program is P/bin/velmorat or P/games/velmorat (Debian keeps
// games there) and the resources P/share/velmorat. VELMORAT_PROGRAM names
// another program; its resources are then found from its place the same way.
#pragma once

#include <string>
#include <vector>

namespace enginefiles {

struct Engine {
  std::string program;    // the velmorat program
  std::string resources;  // its resource folder, with a final "/"
};

// Empty fields, after a message on standard error, when none is found.
Engine findEngine();

// The engine files every bundle gets, names relative to the resource folder.
const std::vector<std::string>& sharedResourceNames();

}  // namespace enginefiles
