#include "port/FixedWindows.h"

#include "port/Host.h"

namespace host {

const char* fixedWindowTitle(int number) {
  switch (number) {
    case kPasteboardWindow:
      return "Zwischenablage";
    case kVirtualPrinterWindow:
      return "Virtueller Drucker";
    case kSystemConsoleWindow:
      return "Systemkonsole";
    case kPreferencesWindow:
      return "Einstellungen";
    default:
      return "Velmorat";
  }
}

}  // namespace host
