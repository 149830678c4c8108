#include "host/web/PageCalls.h"

#include <emscripten/threading.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace web::page {
namespace {

// A copy on the heap that the page frees once it has read it.
char* handOver(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The log's lines wait here for the next flush: a walkthrough command writes
// 20 to 45 of them, and each call costs the page's thread as much as the
// line.
std::mutex consoleLock;
std::string consoleLines;
std::size_t consoleLineCount = 0;
constexpr std::size_t kConsoleLinesPerFlush = 200;

}  // namespace

// In the calls below the page reads each string with UTF8ToString and frees it.

void addMenuItem(int tag, const std::string& titleUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.addMenuItem($0, UTF8ToString($1));
        _free($1);
      },
      tag, handOver(titleUtf8));
}

void setTitle(const std::string& titleUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.setTitle(UTF8ToString($0));
        _free($0);
      },
      handOver(titleUtf8));
}

void useSaveFolder(const std::string& path) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.useSaveFolder(UTF8ToString($0));
        _free($0);
      },
      handOver(path));
}

void showFrame(int view, const FrameBand& band) {
  // The copy leaves the shared memory, which ImageData cannot take.
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        const pixels = new Uint8ClampedArray(HEAPU8.slice($1, $1 + $2 * $5 * 4).buffer);
        _free($1);
        VelmoratPage.showFrame($0, pixels, $2, $3, $4, $5, $6, $7, $8);
        _web_frame_shown($0);
      },
      view, band.rgba, band.width, band.height, band.top, band.rows, band.moveTop, band.moveRows,
      band.moveBy);
}

void setScreenText(const std::string& textUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.setScreenText(UTF8ToString($0));
        _free($0);
      },
      handOver(textUtf8));
}

void setWaiting(int kind, int inputSeen) {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.setWaiting($0, $1); }, kind, inputSeen);
}

void showPast(const std::string& markUtf8, const std::string& linesUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.showPast(UTF8ToString($0), UTF8ToString($1).split("\n").slice(0, -1));
        _free($0);
        _free($1);
      },
      handOver(markUtf8), handOver(linesUtf8));
}

void hidePast() {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.hidePast(); });
}

void addTranscriptLines(const std::vector<std::string>& linesUtf8) {
  if (linesUtf8.empty()) return;
  std::string joined;
  for (const std::string& line : linesUtf8) joined += line + "\n";
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.addLog(UTF8ToString($0).split("\n").slice(0, -1));
        _free($0);
      },
      handOver(joined));
}

void openPanel(int id, bool saving, const std::string& title, const std::string& message,
               const std::string& proposedName, const std::string& allowedTypes) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.openPanel($0, $1 != 0, UTF8ToString($2), UTF8ToString($3), UTF8ToString($4),
                               UTF8ToString($5));
        _free($2);
        _free($3);
        _free($4);
        _free($5);
      },
      id, saving ? 1 : 0, handOver(title), handOver(message), handOver(proposedName),
      handOver(allowedTypes));
}

void offerDownload(const std::string& path) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.offerDownload(UTF8ToString($0));
        _free($0);
      },
      handOver(path));
}

void syncStorage() {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.syncStorage(); });
}

void showTextView(int window, const std::string& titleUtf8, const std::string& textUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.showTextView($0, UTF8ToString($1), UTF8ToString($2));
        _free($1);
        _free($2);
      },
      window, handOver(titleUtf8), handOver(textUtf8));
}

void hideTextView(int window) {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.hideTextView($0); }, window);
}

void copyText(const std::string& textUtf8) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        VelmoratPage.copyText(UTF8ToString($0));
        _free($0);
      },
      handOver(textUtf8));
}

void beep() {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.beep(); });
}

void consoleLine(const std::string& lineUtf8) {
  bool first = false;
  bool full = false;
  {
    std::lock_guard guard(consoleLock);
    first = consoleLines.empty();
    consoleLines += lineUtf8;
    consoleLines += '\n';
    full = ++consoleLineCount >= kConsoleLinesPerFlush;
  }
  if (full) {
    flushConsole();
  } else if (first) {
    // A program that traps or never waits again would keep the lines: the
    // page fetches them a little later unless a wait has sent them.
    MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.flushConsoleSoon(); });
  }
}

void flushConsole() {
  std::string lines;
  {
    std::lock_guard guard(consoleLock);
    if (consoleLines.empty()) return;
    lines.swap(consoleLines);
    consoleLineCount = 0;
  }
  lines.pop_back();  // console.log ends the last line itself
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        console.log(UTF8ToString($0));
        _free($0);
      },
      handOver(lines));
}

void programEnded() {
  MAIN_THREAD_ASYNC_EM_ASM({ VelmoratPage.programEnded(); });
}

}  // namespace web::page
