// The terminal itself: opened through ncurses in raw mode on the alternate
// screen, and always given back as it was found. The saved settings and the
// sequences that undo ours are kept where a signal handler can use them, so
// the terminal is restored on a normal exit, on SIGTERM, SIGHUP, SIGINT and
// SIGQUIT, and when any thread crashes (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT); the signal then takes its previous course.
#pragma once

#include <string>
#include <string_view>

namespace terminal {

struct TerminalSize {
  int columns = 0;
  int rows = 0;
  // A cell in pixels, when the terminal tells (0 otherwise).
  int cellPixelWidth = 0;
  int cellPixelHeight = 0;
};

// Screen: ncurses on the alternate screen, drawn in place. Lines: the
// terminal stays as it is, only its input is taken key by key (no echo, no
// line editing of its own); output is plain text written after what was
// there, without a single escape sequence.
enum class DeviceMode { Screen, Lines };

class TerminalDevice {
 public:
  TerminalDevice() = default;
  ~TerminalDevice();
  TerminalDevice(const TerminalDevice&) = delete;
  TerminalDevice& operator=(const TerminalDevice&) = delete;

  // Opens the controlling terminal (standard input and output when there is
  // none) and takes it over. False, with the reason in error, when there is no
  // terminal to take.
  bool open(std::string& error, DeviceMode mode = DeviceMode::Screen);
  // Gives the terminal back; also done by the destructor.
  void close();
  bool isOpen() const { return open_; }

  int inputDescriptor() const { return input_; }
  // Reads what the terminal sent; 0 when nothing (or it is gone: see hungUp).
  std::size_t read(char* buffer, std::size_t size);
  bool hungUp() const { return hungUp_; }
  // Writes bytes past ncurses (pictures, clipboard, bell) after its output.
  void writeRaw(std::string_view bytes);
  // The size now, and tells ncurses about it.
  TerminalSize updateSize();
  // Colours the terminal offers (0 for none).
  int colourCount() const;

 private:
  bool openLines(std::string& error);
  void takeOver();
  bool open_ = false;
  DeviceMode mode_ = DeviceMode::Screen;
  bool hungUp_ = false;
  int input_ = -1;
  int output_ = -1;
  bool ownDescriptors_ = false;
};

// Async-signal-safe: puts the terminal back as it was found. Does nothing
// when no terminal is taken over or it was restored already.
void restoreTerminalNow();

// What the terminal shows after a crash, once it is restored (where the log
// is, for example). Longer notes are cut. Call it before the program runs.
void setCrashNote(std::string_view note);

}  // namespace terminal
