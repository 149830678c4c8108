#include "host/qt/CommandLine.h"

#include <charconv>

namespace {
constexpr int kLastGraphicWindow = 7;

bool takeValue(const std::vector<std::string>& arguments, std::size_t& index, std::string& value,
               CommandLine& line) {
  if (index + 1 >= arguments.size()) {
    line.error = arguments[index] + " needs a value";
    return false;
  }
  value = arguments[++index];
  return true;
}
}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t index = 0; index < arguments.size() && line.error.empty(); ++index) {
    const std::string& argument = arguments[index];
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--headless") {
      line.headless = true;
    } else if (argument == "--terminal") {
      line.terminal = true;
    } else if (argument == "--bundle") {
      takeValue(arguments, index, line.bundle, line);
    } else if (argument == "--keys") {
      takeValue(arguments, index, line.keysFile, line);
    } else if (argument == "--dump-text") {
      takeValue(arguments, index, line.dumpTextFile, line);
    } else if (argument == "--dump-window") {
      std::string number;
      if (!takeValue(arguments, index, number, line)) break;
      int window = -1;
      auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), window);
      if (failure != std::errc() || end != number.data() + number.size() || window < 0 ||
          window > kLastGraphicWindow) {
        line.error = "--dump-window needs a window number from 0 to 7, not \"" + number + "\"";
        break;
      }
      line.dumpWindow = window;
      takeValue(arguments, index, line.dumpWindowFile, line);
    } else if (argument.size() > 1 && argument[0] == '-') {
      line.error = "unknown option " + argument;
    } else {
      line.documents.push_back(argument);
    }
  }
  if (line.error.empty() && line.terminal &&
      (line.headless || !line.keysFile.empty() || !line.dumpTextFile.empty() ||
       line.dumpWindow >= 0)) {
    line.error =
        "--terminal plays with a person at the keyboard; it does not go with "
        "--headless, --keys or --dump-*";
  }
  return line;
}

std::string commandLineHelp() {
  return R"(Usage: velmorat [OPTIONS] [FILE...]

Plays Velmorat, a German graphic text adventure. FILEs are opened as documents
(they become file events of the toolbox). The diagnostic log goes to standard
output; Qt's own messages go to standard error. Without a reachable display
(no DISPLAY or WAYLAND_DISPLAY that answers: a server, a container, an SSH
session) the game is played in the terminal, as with --terminal.

Options:
  --bundle DIR          play the application bundle at DIR (DIR/Contents/Resources
                        with the fonts, sysbeep.aif and Data/) instead of the one
                        around this program
  --headless            run without a screen (Qt's offscreen platform); the run
                        ends with status 0 when the program has ended, or when
                        all keys are typed and the program waits for another key
  --terminal            play in the terminal: text in the window's colours, the
                        picture beside or above it (or on F8), function keys
                        for the menu actions (F1 lists them), Ctrl-C to quit.
                        The log then goes to $XDG_STATE_HOME/velmorat/velmorat.log
                        (~/.local/state/...) when standard output is the terminal.
                        Pictures as sixels, kitty or iTerm2 images when the
                        terminal shows them, else as coloured block symbols;
                        VELMORAT_PICTURES=symbols|sixels|kitty|iterm2|none chooses
  --keys FILE           type the keys of FILE into the text window, one after
                        another as the program takes them. FILE is UTF-8 text;
                        a line end is Return; special keys in braces: {Return}
                        {Esc} {Tab} {Backspace} {Delete} {Left} {Right} {Up}
                        {Down} {Home} {End} {PageUp} {PageDown} {F1}..{F12}
                        {Ctrl-A}..{Ctrl-Z} {Ctrl-^}; "{{" types a brace
  --dump-text FILE      when the run ends, write the text window's screen to
                        FILE (UTF-8, one line per screen line, trailing blanks cut)
  --dump-window N FILE.png
                        when the run ends, write graphic window N's image (0..7)
                        to FILE.png (8-bit RGB)
  --help                show this text

Example (scripted play):
  velmorat --headless --keys walk.keys --dump-text screen.txt --dump-window 1 picture.png
)";
}
