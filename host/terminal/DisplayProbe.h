// Whether a graphical display can be reached, so that the program can choose
// between the desktop and the terminal by itself: a Wayland socket, or the X
// display that DISPLAY names (a local socket, or a TCP port 6000 + n for a
// display forwarded over SSH). Nothing is drawn: the probe only connects.
#pragma once

#include <string>

namespace terminal {

struct XDisplayAddress {
  bool valid = false;
  std::string host;  // empty or "unix": the local socket
  int number = 0;
};

// "host:n.s", ":n", "unix:n"; invalid for anything else.
XDisplayAddress parseXDisplay(const std::string& display);

// The environment's display, tried for real. socketFolder holds the local X
// sockets ("X0", "X1", ...).
bool displayReachable(const std::string& socketFolder = "/tmp/.X11-unix");

}  // namespace terminal
