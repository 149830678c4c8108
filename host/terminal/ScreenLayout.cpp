#include "host/terminal/ScreenLayout.h"

#include <algorithm>
#include <cmath>

namespace terminal {
namespace {

// Rows of a picture `columns` cells wide, and columns of one `rows` high.
int fittedRows(const LayoutRequest& request, int columns) {
  return static_cast<int>(std::floor(columns * request.cellAspect / request.pictureAspect));
}
int fittedColumns(const LayoutRequest& request, int rows) {
  return static_cast<int>(std::floor(rows * request.pictureAspect / request.cellAspect));
}

// The largest picture of the request's aspect inside a box of cells.
CellRect fitPicture(const LayoutRequest& request, int boxColumns, int boxRows) {
  CellRect picture;
  picture.rows = std::clamp(fittedRows(request, boxColumns), 0, boxRows);
  picture.columns = std::clamp(fittedColumns(request, picture.rows), 0, boxColumns);
  return picture;
}

}  // namespace

ScreenLayout layoutScreen(const LayoutRequest& request) {
  ScreenLayout layout;
  layout.minimumColumns = request.textColumns + 2;  // a blank column on each side
  layout.minimumRows = request.textRows;
  const int columns = request.terminalColumns;
  const int rows = request.terminalRows;
  if (columns < layout.minimumColumns || rows < layout.minimumRows || request.cellAspect <= 0 ||
      request.pictureAspect <= 0) {
    layout.tooSmall = true;
    return layout;
  }
  const bool hintRoom = rows > request.textRows;

  if (request.pictureOnDemand) {
    const int boxRows = rows - (hintRoom ? 1 : 0);
    layout.picture = fitPicture(request, columns, boxRows);
    layout.picture.column = (columns - layout.picture.columns) / 2;
    layout.picture.row = (boxRows - layout.picture.rows) / 2;
    if (hintRoom) layout.hints = {0, rows - 1, columns, 1};
    return layout;
  }

  // One row stays free for the hints below the picture.
  const CellRect beside =
      fitPicture(request, columns - layout.minimumColumns, rows - (hintRoom ? 1 : 0));
  const CellRect above = fitPicture(request, columns, rows - request.textRows - 1);
  const bool besideFits = beside.rows >= kSmallestPictureRows;
  const bool aboveFits = above.rows >= kSmallestPictureRows;

  if (besideFits && (!aboveFits || beside.rows >= above.rows)) {
    layout.place = PicturePlace::Beside;
    const int left = (columns - beside.columns - layout.minimumColumns) / 2;
    layout.picture = {left, 0, beside.columns, beside.rows};
    layout.text = {left + beside.columns + 1, 0, request.textColumns, request.textRows};
  } else if (aboveFits) {
    layout.place = PicturePlace::Above;
    layout.picture = {(columns - above.columns) / 2, 0, above.columns, above.rows};
    layout.text = {(columns - layout.minimumColumns) / 2 + 1, above.rows, request.textColumns,
                   request.textRows};
  } else {
    layout.place = PicturePlace::OnDemand;
    layout.text = {(columns - layout.minimumColumns) / 2 + 1, 0, request.textColumns,
                   request.textRows};
  }
  // The key bar stands on the terminal's last row, where players look for
  // it, also when picture and text leave rows free above it.
  if (hintRoom) layout.hints = {0, rows - 1, columns, 1};
  return layout;
}

}  // namespace terminal
