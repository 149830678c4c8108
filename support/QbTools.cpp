// Start-up of qbtools.
#include <atomic>
#include <cstdlib>
#include <ctime>

#include "support/Log.h"
#include "support/qbtools.h"

namespace {
std::atomic<bool> initialized{false};
}

void initqbtools() {
  logLine("initqbtools: Start.");
  threadnumber();  // the main thread asks first and so becomes number 1
  std::srand(static_cast<unsigned>(std::time(nullptr) & 0x7FFFFFFF));
  initialized.store(true, std::memory_order_release);
  logLine("initqbtools: End.");
}

bool qbtoolsInitialized() {
  return initialized.load(std::memory_order_acquire);
}
