// The toolbox ends lines with a carriage return, as the desktop it was made
// on; Linux programs expect a line feed, and a text with carriage returns
// alone pastes as one line. The host converts where text crosses to the
// desktop (clipboard, system text views); the toolbox's strings stay its own.
#pragma once

#include <string>

// CR LF and CR become LF.
std::string toPlatformLineEnds(const std::string& text);
// CR LF and LF become CR.
std::string toToolboxLineEnds(const std::string& text);
