// A seed played in a child process of its own: a crash, a sanitizer report
// or a kill ends only the child, and the parent reads what it wrote.
#pragma once

#include <sys/types.h>

#include "soak/SeedRun.h"

namespace soak {

// Forks; the child plays the seed with the diagnostic log thrown away (it
// holds every script line), writes its result and ends. Call it from a
// process that runs no other threads.
pid_t startSeedProcess(const SeedOptions& options);

struct SeedOutcome {
  int status = 0;     // as waitpid gives it
  SeedResult result;  // as far as the child wrote it
  bool passed() const;
};

// Waits for the child and reads its result.
SeedOutcome finishSeedProcess(pid_t child, const SeedOptions& options);

}  // namespace soak
