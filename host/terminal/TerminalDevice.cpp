#include "host/terminal/TerminalDevice.h"

#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/terminal/MainLoop.h"

// term.h names terminfo capabilities as macros; these two clash with fields.
#undef columns
#undef lines

namespace terminal {
namespace {

// What a signal handler needs to give the terminal back: plain data set up
// before the handlers are installed.
struct RestoreState {
  std::atomic<bool> active{false};
  int descriptor = -1;
  termios saved{};
  std::array<char, 512> undo{};  // sequences that undo ours
  std::size_t undoLength = 0;
  std::array<char, 512> crashNote{};
  std::size_t crashNoteLength = 0;
};
RestoreState restore;

// Bracketed paste: the terminal marks pasted text, which then arrives as one
// paste rather than as typed keys (a pasted line end would send a command).
constexpr std::string_view kPasteOn = "\x1b[?2004h";
constexpr std::string_view kPasteOff = "\x1b[?2004l";
// Mouse reports (buttons, SGR form) for the wheel, which leafs through the
// story's past. Shift with the mouse still selects text in common terminals.
constexpr std::string_view kMouseOn = "\x1b[?1000h\x1b[?1006h";
constexpr std::string_view kMouseOff = "\x1b[?1006l\x1b[?1000l";
// A line-mode terminal that does not tell its size is taken to be this.
constexpr int kUsualColumns = 80;
constexpr int kUsualRows = 24;

constexpr std::array<int, 4> kEndingSignals = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
constexpr std::array<int, 5> kCrashSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
std::array<struct sigaction, 32> previousActions{};

void writeAll(int descriptor, const char* bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(descriptor, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
}

void appendUndo(const char* sequence) {
  if (sequence == nullptr || sequence == reinterpret_cast<const char*>(-1)) return;
  const std::size_t length = std::strlen(sequence);
  if (restore.undoLength + length > restore.undo.size()) return;
  std::memcpy(restore.undo.data() + restore.undoLength, sequence, length);
  restore.undoLength += length;
}

bool isCrash(int signalNumber) {
  for (int crash : kCrashSignals) {
    if (crash == signalNumber) return true;
  }
  return false;
}

void onEndingOrCrash(int signalNumber) {
  const int descriptor = restore.descriptor;
  const bool wasActive = restore.active;
  restoreTerminalNow();
  if (wasActive && isCrash(signalNumber))
    writeAll(descriptor, restore.crashNote.data(), restore.crashNoteLength);
  // The signal takes its previous course (default: end the process, with a
  // core for crashes; or a sanitizer's report) once this handler returns.
  sigaction(signalNumber, &previousActions[static_cast<std::size_t>(signalNumber)], nullptr);
  raise(signalNumber);
}

void onWindowChange(int) {
  MainLoop::wakeFromSignal();
}

// The actions before ncurses came: it installs handlers of its own for some
// of these signals, which would end the process with another status.
void rememberPreviousActions() {
  for (int signalNumber : kEndingSignals)
    sigaction(signalNumber, nullptr, &previousActions[static_cast<std::size_t>(signalNumber)]);
  for (int signalNumber : kCrashSignals)
    sigaction(signalNumber, nullptr, &previousActions[static_cast<std::size_t>(signalNumber)]);
}

void installHandler(int signalNumber, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signalNumber, &action, nullptr);
}

// ncurses writes wide characters in the character set of LC_CTYPE. Only that
// category is taken from the environment (numbers keep the "C" format the log
// relies on); a locale without UTF-8, common in containers, gives way to
// C.UTF-8, since terminals of this century speak UTF-8.
void chooseUtf8CharacterSet() {
  const char* chosen = std::setlocale(LC_CTYPE, "");
  if (chosen != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace

void restoreTerminalNow() {
  if (!restore.active.exchange(false)) return;
  writeAll(restore.descriptor, restore.undo.data(), restore.undoLength);
  tcsetattr(restore.descriptor, TCSAFLUSH, &restore.saved);
}

void setCrashNote(std::string_view note) {
  restore.crashNoteLength = std::min(note.size(), restore.crashNote.size());
  std::memcpy(restore.crashNote.data(), note.data(), restore.crashNoteLength);
}

TerminalDevice::~TerminalDevice() {
  close();
}

bool TerminalDevice::open(std::string& error, DeviceMode mode) {
  int descriptor = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (descriptor >= 0) {
    input_ = descriptor;
    output_ = descriptor;
    ownDescriptors_ = true;
  } else if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    input_ = STDIN_FILENO;
    output_ = STDOUT_FILENO;
  } else {
    error = "no terminal (neither /dev/tty nor standard input and output)";
    return false;
  }
  if (tcgetattr(input_, &restore.saved) != 0) {
    error = std::string("cannot read the terminal's settings: ") + std::strerror(errno);
    close();
    return false;
  }
  chooseUtf8CharacterSet();
  rememberPreviousActions();
  mode_ = mode;
  if (mode == DeviceMode::Lines) return openLines(error);
  FILE* output = fdopen(dup(output_), "w");
  FILE* input = fdopen(dup(input_), "r");
  SCREEN* screen = output && input ? newterm(nullptr, output, input) : nullptr;
  if (screen == nullptr) {
    const char* type = std::getenv("TERM");
    error = std::string("the terminal type \"") + (type ? type : "") + "\" is unknown";
    if (output) fclose(output);
    if (input) fclose(input);
    close();
    return false;
  }
  raw();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, FALSE);  // this host decodes the keys itself
  if (has_colors()) {
    start_color();
    use_default_colors();
  }
  restore.descriptor = output_;
  restore.undoLength = 0;
  appendUndo(tigetstr("sgr0"));
  appendUndo(tigetstr("cnorm"));
  appendUndo(kPasteOff.data());
  appendUndo(kMouseOff.data());
  appendUndo(tigetstr("rmcup"));
  takeOver();
  writeRaw(kPasteOn);
  writeRaw(kMouseOn);
  return true;
}

// Keys one by one without echo; Ctrl-C and Ctrl-Z arrive as keys, as in the
// screen mode. Output goes out as written: the lines end in CR LF already.
bool TerminalDevice::openLines(std::string& error) {
  termios keys = restore.saved;
  keys.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
  keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
  keys.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  keys.c_cc[VMIN] = 1;
  keys.c_cc[VTIME] = 0;
  if (tcsetattr(input_, TCSAFLUSH, &keys) != 0) {
    error = std::string("cannot set the terminal's settings: ") + std::strerror(errno);
    close();
    return false;
  }
  restore.descriptor = output_;
  restore.undoLength = 0;
  takeOver();
  return true;
}

void TerminalDevice::takeOver() {
  restore.active = true;
  for (int signalNumber : kEndingSignals) installHandler(signalNumber, onEndingOrCrash);
  for (int signalNumber : kCrashSignals) installHandler(signalNumber, onEndingOrCrash);
  installHandler(SIGWINCH, onWindowChange);
  open_ = true;
}

void TerminalDevice::close() {
  if (open_) {
    if (mode_ == DeviceMode::Screen) endwin();
    restoreTerminalNow();
    for (int signalNumber : kEndingSignals)
      sigaction(signalNumber, &previousActions[static_cast<std::size_t>(signalNumber)], nullptr);
    for (int signalNumber : kCrashSignals)
      sigaction(signalNumber, &previousActions[static_cast<std::size_t>(signalNumber)], nullptr);
    open_ = false;
  }
  if (ownDescriptors_ && input_ >= 0) ::close(input_);
  input_ = output_ = -1;
  ownDescriptors_ = false;
}

std::size_t TerminalDevice::read(char* buffer, std::size_t size) {
  const ssize_t count = ::read(input_, buffer, size);
  if (count > 0) return static_cast<std::size_t>(count);
  if (count == 0 || (errno != EINTR && errno != EAGAIN)) hungUp_ = true;
  return 0;
}

void TerminalDevice::writeRaw(std::string_view bytes) {
  if (!open_) return;
  std::fflush(nullptr);
  writeAll(output_, bytes.data(), bytes.size());
}

TerminalSize TerminalDevice::updateSize() {
  TerminalSize size;
  winsize window{};
  if (ioctl(output_, TIOCGWINSZ, &window) == 0 && window.ws_col > 0 && window.ws_row > 0) {
    size.columns = window.ws_col;
    size.rows = window.ws_row;
    size.cellPixelWidth = window.ws_xpixel / window.ws_col;
    size.cellPixelHeight = window.ws_ypixel / window.ws_row;
    if (mode_ == DeviceMode::Screen && (size.columns != COLS || size.rows != LINES))
      resizeterm(size.rows, size.columns);
  } else if (mode_ == DeviceMode::Lines) {
    size.columns = kUsualColumns;
    size.rows = kUsualRows;
  } else {
    size.columns = COLS;
    size.rows = LINES;
  }
  return size;
}

int TerminalDevice::colourCount() const {
  if (mode_ == DeviceMode::Lines) return 0;
  return has_colors() ? COLORS : 0;
}

}  // namespace terminal
