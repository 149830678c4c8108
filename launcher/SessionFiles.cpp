#include "launcher/SessionFiles.h"

#include <cstdio>
#include <vector>

#include "adventure/CommandPrompt.h"
#include "adventure/Session.h"
#include "port/Host.h"
#include "support/AtomicFile.h"
#include "support/LineDiff.h"
#include "support/qbtools.h"
#include "toolbox/windows/WindowManagement.h"

namespace {
// "{" starts a key name in a key file; a typed brace is written twice.
std::string asKeyFileLine(const std::string& command) {
  std::string line;
  for (char c : command) {
    line += c;
    if (c == '{') line += c;
  }
  return line + "\n";
}
}  // namespace

bool recordCommandsTo(Session& session, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "velmorat: cannot write %s\n", path.c_str());
    return false;
  }
  // The file stays open for the rest of the process, which ends without
  // destructors; every line is flushed as it is written.
  session.setCommandListener([file](const std::string& command) {
    const std::string line = asKeyFileLine(command);
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
  });
  return true;
}

bool writeTranscript(const Session& session, const std::string& path) {
  std::string failure;
  if (writeFileAtomically(path, session.transcript(), failure)) return true;
  std::fprintf(stderr, "velmorat: cannot write %s: %s\n", path.c_str(), failure.c_str());
  return false;
}

void showTranscriptChanges(const Session& session, const std::string& earlierPath) {
  const std::vector<std::uint8_t> earlier = getbinaryfromfile(earlierPath);
  std::string changes = linediff::unifiedDiff(std::string(earlier.begin(), earlier.end()),
                                              session.transcript(), "vorher", "jetzt");
  if (changes.empty()) changes = "Keine Änderung.\n";
  showOnPrinterPage(changes);
}

void showOnPrinterPage(const std::string& textUtf8) {
  host::Host& desktop = host::current();
  if (!desktop.hasTextView(host::kVirtualPrinterWindow)) return;
  desktop.setTextViewString(host::kVirtualPrinterWindow, textUtf8);
  t_WindowVisible(host::kVirtualPrinterWindow, true);
  t_WindowFront(host::kVirtualPrinterWindow);
}
