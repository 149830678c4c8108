// The one way the program starts a thread of its own: detached, with a stack
// of a chosen size. startbackground (qbtools) and startprocess (the program
// thread) both go through it.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

#include <pthread.h>

// Starts routine on a new detached thread with a stack of stackBytes (at least
// the platform minimum). Returns 0, or the error number when no thread could
// be created (routine is then dropped without running). An exception that
// leaves routine is logged with logName and ends only that thread.
int launchDetachedThread(std::function<void()> routine, std::size_t stackBytes,
                         const char* logName);
// The same on a thread that the caller joins (pthread_join) into thread, for
// a thread that must end before what it uses goes away (the refresh process).
int launchJoinableThread(std::function<void()> routine, std::size_t stackBytes, const char* logName,
                         pthread_t& thread);
// Waits until the routine of every detached thread started so far has
// returned (and what it held is destroyed), at most timeout; false when some
// still run. A host calls it before it goes away, so that no thread of the
// toolbox calls into it afterwards: it stands in for joining them. Any thread
// but one of those.
bool awaitDetachedThreads(std::chrono::milliseconds timeout);
