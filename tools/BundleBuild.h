// Building a game project into a playable bundle: the sources of DIR
//   game.ini, scripts/DATAnnn.txt, pictures/NAME.svg and NAME.png
// become DIR/build/<id>.app/Contents/Resources/ with game.ini, the engine's
// fonts and beep, and Data/ with DATAnnn.word and NAME.gr. Only what is older
// than its source is made again; outputs whose source is gone are removed.
// The scripts must pass check-script without errors.
#pragma once

#include <string>
#include <vector>

#include "adventure/GameInfo.h"

namespace bundlebuild {

struct BuildResult {
  bool built = false;  // the bundle is complete and passes the checks
  std::string bundle;  // the bundle folder
  adventure::GameInfo info;
  int filesMade = 0;  // outputs made anew (0: nothing had changed)
  // "FILE:LINE: ..." lines: faults of game.ini, the scripts, the pictures and
  // the errors check-script finds.
  std::vector<std::string> faults;
  std::vector<std::string> warnings;  // check-script's warnings: printed, not fatal
};

// The bundle folder a project builds to by default: DIR/build/<id>.app.
std::string defaultBundlePath(const std::string& project, const adventure::GameInfo& info);

// out empty: the default bundle path.
BuildResult buildBundle(const std::string& project, const std::string& out);

// The project's build with its faults on standard error and a one-line
// report on standard output unless quiet; the result as buildBundle's.
BuildResult buildAndReport(const std::string& project, const std::string& out, bool quiet);

}  // namespace bundlebuild
