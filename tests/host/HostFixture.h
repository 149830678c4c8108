// What the Qt host tests share: the one application and host of the test
// program, and a way to run toolbox code on a program thread while the main
// thread serves the event loop, as in the application.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/qt/QtHost.h"

QtHost& testHost();

// Runs work on a thread of its own and serves the main thread's events until
// it has returned.
void onProgramThread(const std::function<void()>& work);
// Serves events until done() or the time is up; returns done().
bool serveEventsUntil(const std::function<bool()>& done, int milliseconds);

// A graphic window n of width x height pixels at 24 bits, without a font,
// shown, with the given border; set up on a program thread.
void setUpGraphicWindow(int n, int width, int height, int border, bool autoUpdate = false);
// The text window 0 with the game's font, 20 columns x 4 lines; false when the
// font is not in the bundle.
bool setUpTextWindow();

// Log lines written while work runs.
std::string capturedLog(const std::function<void()>& work);
