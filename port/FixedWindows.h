// The titles of the fixed windows, the same in every host.
#pragma once

namespace host {

// The title every host gives a fixed window ("Zwischenablage", ...): the
// application's name for the main window and any other number.
const char* fixedWindowTitle(int number);

}  // namespace host
