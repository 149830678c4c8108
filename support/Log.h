// The diagnostic log: one line per message on the standard output. Lines from
// several threads never interleave; each call writes one whole line and flushes.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

// Writes message followed by a line end. message should not contain a line end.
// When the log cannot be written (a full disk), one line on standard error
// says so, the first time.
void logLine(std::string_view message);

// The standard output is a log file of ours (LogFile.h): from now on it keeps
// its first headBytes and its last tailBytes of lines, with one line between
// them that counts the lines left out (BoundedLogFile.h).
void boundLogFile(std::size_t headBytes, std::size_t tailBytes);

// From now on every line goes to sink instead (without its line end), called
// under the log's lock so that lines stay whole and in order; the sink answers
// whether it took the line. For a host whose standard output is costly to
// reach: in a browser every write to it waits for the page's thread.
void setLogSink(std::function<bool(std::string_view line)> sink);
