// Writing a whole file so that readers only ever see the old file or the new
// one: the bytes go to a temporary file next to it, are flushed to the disk,
// and the temporary file is renamed over the old one. A full disk or a
// failing write leaves the old file as it was and no temporary file behind;
// a process killed in the middle leaves a temporary file, which the next
// write of the same file (or removeLeftTemporaryFiles) removes.
#pragma once

#include <string>
#include <string_view>

// True on success; otherwise false with failure saying why (for the log and
// a message to the player, e.g. "No space left on device"). Any thread.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& failure);

// Removes the temporary files that writers of path killed before their
// rename left beside it; those of writers still running stay. Any thread.
void removeLeftTemporaryFiles(const std::string& path);
