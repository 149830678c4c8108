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
    } else if (argument == "--bundle") {
      takeValue(arguments, index, line.bundle, line);
    } else if (argument == "--keys") {
      takeValue(arguments, index, line.keysFile, line);
    } else if (argument == "--panel-answer") {
      takeValue(arguments, index, line.panelAnswer, line);
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
  return line;
}

std::string commandLineHelp() {
  return R"(Usage: velmorat [OPTIONS] [FILE...]

Plays Velmorat, a German graphic text adventure. FILEs are opened as documents
(they become file events of the toolbox): a saved game (FILE.velmorat) is
loaded when the game first asks for a command. The diagnostic log goes to
standard output; Qt's own messages go to standard error.

Options:
  --bundle DIR          play the application bundle at DIR (DIR/Contents/Resources
                        with the fonts, sysbeep.aif and Data/) instead of the one
                        around this program
  --headless            run without a screen (Qt's offscreen platform); the run
                        ends with status 0 when the program has ended, or when
                        all keys are typed and the program waits for another key
  --keys FILE           type the keys of FILE into the text window, one after
                        another as the program takes them. FILE is UTF-8 text;
                        a line end is Return; special keys in braces: {Return}
                        {Esc} {Tab} {Backspace} {Delete} {Left} {Right} {Up}
                        {Down} {Home} {End} {PageUp} {PageDown} {F1}..{F12}
                        {Ctrl-A}..{Ctrl-Z} {Ctrl-^}; "{{" types a brace;
                        {Menu N} chooses the menu item with tag N as a click
                        would (100 Spiel laden, 101 Spiel sichern, 300 Zug
                        zurücknehmen, 301 Letzten Stand laden, 302 Protokoll
                        sichern, 303 Verlauf)
  --panel-answer PATH   every open or save panel answers PATH at once instead
                        of asking (for scripted runs with --headless)
  --dump-text FILE      when the run ends, write the text window's screen to
                        FILE (UTF-8, one line per screen line, trailing blanks cut)
  --dump-window N FILE.png
                        when the run ends, write graphic window N's image (0..7)
                        to FILE.png (8-bit RGB)
  --help                show this text

Examples (scripted play):
  velmorat --headless --keys walk.keys --dump-text screen.txt --dump-window 1 picture.png
  velmorat --headless --keys more.keys --panel-answer game.velmorat game.velmorat
)";
}
