// The diagnostic log: one line per message, on the standard output unless the
// run sends it to a file (LogFile.h). Lines from several threads never
// interleave; each call writes one whole line and flushes.
#pragma once

#include <string>
#include <string_view>

// Writes message followed by a line end. message should not contain a line end.
void logLine(std::string_view message);

// Sends every later line to the file at path (created or emptied). False, with
// the reason in error, when the file cannot be opened; the log then stays
// where it was.
bool logToFile(const std::string& path, std::string& error);
// Sends every later line to the standard output again (and closes a log file).
void logToStandardOutput();
