#include "toolbox/windows/SystemWindows.h"

#include "port/Host.h"
#include "port/Panels.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"

namespace {
constexpr const char* kPasteboardFontFamily = "Menlo";
constexpr int kPasteboardFontPoints = 12;

// The window's name in the "... window is nil" lines.
std::string systemWindowName(std::uint8_t n) {
  if (n == host::kPasteboardWindow) return "Pasteboard";
  if (n == host::kVirtualPrinterWindow) return "Virtual printer";
  return "System console";
}
}  // namespace

namespace systemtext {
bool isSystemTextWindow(std::uint8_t n) {
  return n == host::kPasteboardWindow || n == host::kVirtualPrinterWindow ||
         n == host::kSystemConsoleWindow;
}

void logMissingTextView(const char* routineName, std::uint8_t n) {
  logLine(std::string(routineName) + ": " + systemWindowName(n) +
          " window is nil, resource undefined.");
}

host::Rect scrollViewFrame(std::uint8_t n, double width, double height, double titleBar) {
  if (n == host::kPasteboardWindow) return {10, 10, width - 20, height - 20 - titleBar};
  // the printer and the console leave room for the ruler below the text
  return {20, 20, width - 40, height - 40 - titleBar - 15};
}

double rulerWidth(double width) {
  return width - 40 - 8;
}
}  // namespace systemtext

using systemtext::isSystemTextWindow;

bool t_WindowTextView(std::uint8_t n) {
  if (!isSystemTextWindow(n)) return false;
  return onMainThread([n] { return host::current().hasTextView(n); });
}

void t_PasteboardPrepare() {
  onMainThread([] {
    host::Host& desktop = host::current();
    if (!desktop.hasTextView(host::kPasteboardWindow)) return;
    desktop.setUpPlainTextView(host::kPasteboardWindow, kPasteboardFontFamily,
                               kPasteboardFontPoints);
    desktop.setTextViewString(host::kPasteboardWindow, "");
  });
}

void t_SystemTextClear(std::uint8_t n, const char* routineName) {
  const bool missing = onMainThread([n] {
    host::Host& desktop = host::current();
    if (!isSystemTextWindow(n) || !desktop.hasTextView(n)) return true;
    desktop.setTextViewString(n, "");
    return false;
  });
  if (missing) {
    systemtext::logMissingTextView(routineName, n);
    beep();
  }
}

std::string t_TextToPlain(const std::string& textUtf8) {
  std::string plain;
  plain.reserve(textUtf8.size());
  for (char32_t scalar : utf8ToScalars(textUtf8)) {
    switch (scalar) {
      case 127:
      case 129:
        plain += '#';
        break;
      case 128:
        plain += '*';
        break;
      case 130:
        plain += '<';
        break;
      case 131:
      case 159:
        plain += '=';
        break;
      case 132:
        plain += '>';
        break;
      case 133:
        plain += 'O';
        break;
      case 138:
      case 139:
      case 157:
        plain += '|';
        break;
      // 156 is the font's horizontal rule (t_TextLine): a copied title screen
      // must show a line of dashes, not a row of bars.
      case 140:
      case 141:
      case 154:
      case 155:
      case 156:
        plain += '-';
        break;
      case 160:
        appendUtf8(plain, U'\u02FD');
        break;
      default:
        if ((scalar >= 134 && scalar <= 137) || (scalar >= 142 && scalar <= 153) || scalar == 158) {
          plain += '+';
        } else if (isUnicodeScalar(scalar)) {
          appendUtf8(plain, scalar);
        } else {
          plain += '\0';
        }
    }
  }
  return plain;
}
