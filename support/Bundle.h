// Where the application bundle is. The program finds it from its own
// executable (…/Velmorat.app/Contents/MacOS/velmorat); authors, tests and
// velmorat-tool may point it elsewhere.
#pragma once

#include <string>
#include <vector>

// The bundle folder, e.g. "/home/me/velmorat/build/Velmorat.app" (no final "/").
std::string bundlePath();
void setBundlePath(const std::string& path);
// bundlePath() + "/Contents/Resources/"
std::string resourcesPath();
// resourcesPath() + "Data/"
std::string dataPath();

// The first of resources (paths below resourcesPath()) that is not a regular
// file, as a full path; empty when all are there.
std::string firstMissingResource(const std::vector<std::string>& resources);
