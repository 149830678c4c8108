#include "launcher/RunOutcome.h"

int headlessExitStatus(int status, const HeadlessRun& run, const std::string& keysFile,
                       std::vector<std::string>& messages) {
  for (const std::string& misfit : run.misfits) messages.push_back(keysFile + ": " + misfit);
  if (run.firstUnusedLine > 0) {
    messages.push_back(keysFile + ": the keys from line " + std::to_string(run.firstUnusedLine) +
                       " on were left unused (the program ended before)");
  }
  if (run.scriptMessages > 0) {
    messages.push_back("the game showed " + std::to_string(run.scriptMessages) +
                       " \"***\" script message(s)");
  }
  if (status != 0) return status;
  if (run.scriptMessages > 0) return kExitScriptMessage;
  if (run.firstUnusedLine > 0 || !run.misfits.empty()) return kExitKeysUnused;
  return 0;
}
