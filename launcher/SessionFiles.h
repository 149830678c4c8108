// The files that let velmorat-tool run --watch follow a session: the commands
// given at the prompt (--record-keys), the transcript (--dump-transcript), and
// how a replayed transcript differs from the one before (--show-changes), and
// what the watcher has to say while the game runs in the terminal (--show-notes).
#pragma once

#include <string>

#include "adventure/Session.h"

// From now on each command given at the prompt is appended to path as a line
// of a key file ("{" doubled), flushed at once so that a watcher reads every
// command typed so far. False, after a message on standard error, when path
// cannot be written.
bool recordCommandsTo(Session& session, const std::string& path);

// The session's transcript written to path (replacing it whole); false after
// a message on standard error.
bool writeTranscript(const Session& session, const std::string& path);

// Shows on the virtual printer's page, brought to the front, the lines in
// which the transcript now differs from the one in earlierPath, as a unified
// diff ("Keine Änderung." when none). Main thread.
void showTranscriptChanges(const Session& session, const std::string& earlierPath);

// Shows the text on the virtual printer's page, brought to the front. Main thread.
void showOnPrinterPage(const std::string& textUtf8);
