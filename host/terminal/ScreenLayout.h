// Where the text window, the picture and the key hints go on a terminal of a
// given size. The text window needs its cells plus one blank column on each
// side; the picture goes beside the text when the terminal is wide enough,
// above it when it is tall enough (whichever shows it larger), and otherwise
// only on demand, filling the terminal in place of the text.
#pragma once

namespace terminal {

// A rectangle of terminal cells, 0-based from the top left.
struct CellRect {
  int column = 0;
  int row = 0;
  int columns = 0;
  int rows = 0;
  bool empty() const { return columns <= 0 || rows <= 0; }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

enum class PicturePlace { Beside, Above, OnDemand };

struct ScreenLayout {
  bool tooSmall = false;  // the text window does not fit: show only a message
  int minimumColumns = 0;
  int minimumRows = 0;
  PicturePlace place = PicturePlace::OnDemand;
  CellRect text;     // the text window's cells; empty while the picture is shown on demand
  CellRect picture;  // the box the picture is fitted into; empty when not shown
  CellRect hints;    // one line of key hints; empty when there is no room
  friend bool operator==(const ScreenLayout&, const ScreenLayout&) = default;
};

struct LayoutRequest {
  int terminalColumns = 0;
  int terminalRows = 0;
  int textColumns = 78;
  int textRows = 24;
  // The picture's width divided by its height, in pixels.
  double pictureAspect = 1.6;
  // A cell's width divided by its height, in pixels (0.5 on most terminals).
  double cellAspect = 0.5;
  // The player asked to see the picture in place of the text (on demand).
  bool pictureOnDemand = false;
};

// A picture beside or above the text must be at least this many cells high,
// or it is shown on demand only.
inline constexpr int kSmallestPictureRows = 8;

ScreenLayout layoutScreen(const LayoutRequest& request);

}  // namespace terminal
