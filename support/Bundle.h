// Where the program's resources are. The program finds them from its own
// executable: in the build tree it runs inside an application bundle
// (…/Velmorat.app/Contents/MacOS/velmorat, resources in …/Contents/Resources/),
// installed it runs as P/bin/velmorat with its resources in P/share/velmorat/.
// Authors, tests and velmorat-tool may point it at another bundle.
#pragma once

#include <string>
#include <vector>

// The bundle folder, e.g. "/home/me/velmorat/build/Velmorat.app" (no final
// "/"); for an installed program its resource folder, e.g. "/usr/share/velmorat".
std::string bundlePath();
// Chooses the bundle at path; its resources are path + "/Contents/Resources/",
// or path + "/" for a folder that holds Data/ itself (an installed game).
void setBundlePath(const std::string& path);
// The resource folder with a final "/": the bundle's "/Contents/Resources/",
// or the installed resource folder.
std::string resourcesPath();
// resourcesPath() + "Data/"
std::string dataPath();

// The first of resources (paths below resourcesPath()) that is not a regular
// file, as a full path; empty when all are there.
std::string firstMissingResource(const std::vector<std::string>& resources);
