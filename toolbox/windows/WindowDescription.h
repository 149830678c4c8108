// What a graphic window shows, in words: the program describes a picture it
// draws ("Ein schmiedeeisernes Tor im Nebel"), and hosts give the words to
// whoever does not see the pixels (a screen reader's description of the
// picture window, the plain terminal's "Bild:" line). Empty until set.
#pragma once

#include <cstdint>
#include <string>

// Any thread. Marks the window changed, so that hosts look again. Windows
// above 7 are ignored.
void t_SetWindowDescription(std::uint8_t window, const std::string& descriptionUtf8);
// Any thread. `afterLine`, when given, receives the number of the newest
// finished output line when the description was set: a host that reads the
// story as a stream tells the picture in its place among the lines, however
// late it looks.
std::string t_WindowDescription(std::uint8_t window, std::uint64_t* afterLine = nullptr);
