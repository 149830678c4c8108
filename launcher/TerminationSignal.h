// SIGTERM ends the desktop game the way its menu's quit does, so that what
// ends with the run (the dumps, the settings) is written.
#pragma once

#include <functional>

// Installs the handler; quit runs on the main thread when the signal comes.
// Call once, on the main thread, after the application object exists.
void quitOnTerminationSignal(std::function<void()> quit);
