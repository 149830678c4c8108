// Giving a built game away (velmorat-tool export): a portable folder, a
// Debian package under the game's own name and id, or a static site. Two exported games never
// share a file: every path they install carries the id.
#pragma once

#include <string>

#include "adventure/GameInfo.h"

namespace gameexport {

struct ExportSource {
  std::string project;  // the game project (README.md, LICENCE, pictures/)
  std::string bundle;   // its built bundle
  std::string program;  // the velmorat program
  adventure::GameInfo info;
};

// The Debian package name of an id: lower case, "_" as "-".
std::string packageName(const std::string& id);

// OUT/<id>.app (the bundle with the program inside), OUT/<name> (a starter
// script), README.md and LICENCE. False after messages on standard error.
bool exportFolder(const ExportSource& source, const std::string& out);

// OUT/<package>_<version>_<arch>.deb, checked with lintian when it is there.
bool exportDebian(const ExportSource& source, const std::string& out);

// OUT as a static site: the browser build's program (the same for every game)
// and the game's resources, put together by web-site.sh, the page titled with
// the game's title. An installed tool takes the script and the page from
// engineResources/web (the install puts them there) and a browser build put
// into its launcher/; the tool in its build tree takes them from the source
// folder and its build-web/ (make web). webBuild, when not empty, names the
// browser build instead.
bool exportWeb(const ExportSource& source, const std::string& webBuild,
               const std::string& engineResources, const std::string& out);

}  // namespace gameexport
