// The one way the program starts a thread of its own: detached, with a stack
// of a chosen size. startbackground (qbtools) and startprocess (the program
// thread) both go through it.
#pragma once

#include <cstddef>
#include <functional>

// Starts routine on a new detached thread with a stack of stackBytes (at least
// the platform minimum). Returns 0, or the error number when no thread could
// be created (routine is then dropped without running). An exception that
// leaves routine is logged with logName and ends only that thread.
int launchDetachedThread(std::function<void()> routine, std::size_t stackBytes,
                         const char* logName);
