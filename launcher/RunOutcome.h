// The exit status of a headless run, from how the run went. Free of Qt so
// that it can be tested on its own.
//
//   0  the program ended, or the keys ran out while it waited for input
//   1  a dump could not be written, or the bundle holds no game
//   2  the command line or the key file was not understood
//   3  a "***" script message was shown
//   4  keys were left unused, or a line was typed at a wait it does not fit
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kExitScriptMessage = 3;
inline constexpr int kExitKeysUnused = 4;

struct HeadlessRun {
  std::uint64_t scriptMessages = 0;
  int firstUnusedLine = 0;           // of the key file; 0 when every key was typed
  std::vector<std::string> misfits;  // "line N: ..."
};

// The status for a run that ended with status (0 when nothing else failed);
// each reason goes to messages as one line for standard error. A script
// message comes first: it usually is why the keys went astray.
int headlessExitStatus(int status, const HeadlessRun& run, const std::string& keysFile,
                       std::vector<std::string>& messages);
