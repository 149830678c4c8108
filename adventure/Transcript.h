// The session's transcript: every line the text window's text area has shown,
// oldest first, with the player's commands after the prompt as typed. Lines
// that scroll out of the area are kept here; the lines still on screen are
// read from the window, so the transcript and the screen never disagree. The
// status line above the area is not part of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The oldest lines go beyond this (about 8 MB of text, days of play).
inline constexpr std::size_t kMaxTranscriptLines = 100000;

// The toolbox's scrolled-line handler: keeps the lines of the text window.
// Program thread.
void VelmoratKeepScrolledLine(std::uint8_t window, const std::string& lineUtf8);
// UTF-8, each line ended by a line feed; the empty lines at the end of the
// screen are left out. Any thread.
std::string VelmoratTranscript();
// The lines kept so far (scrolled out of the area), for the host's view of
// the past: their number, and count of them from index first (0 = oldest).
// Any thread.
std::size_t VelmoratTranscriptLineCount();
std::vector<std::string> VelmoratTranscriptLines(std::size_t first, std::size_t count);
// Forgets the kept lines (a test's fresh start).
void VelmoratClearTranscript();
