#include "host/qt/CommandLine.h"

#include "support/CommandLineParser.h"

namespace {
constexpr int kLastGraphicWindow = 7;

constexpr const char* kDescription =
    R"(Plays Velmorat, a German graphic text adventure. FILEs are opened as documents
(they become file events of the toolbox). The diagnostic log goes to standard
output; Qt's own messages go to standard error.)";

constexpr const char* kKeysHelp =
    R"(type the keys of FILE into the text window, one after another as the program
takes them. FILE is UTF-8 text; a line end is Return; special keys in braces:
{Return} {Esc} {Tab} {Backspace} {Delete} {Left} {Right} {Up} {Down} {Home}
{End} {PageUp} {PageDown} {F1}..{F12} {Ctrl-A}..{Ctrl-Z} {Ctrl-^}; "{{" types
a brace)";

constexpr const char* kExample = R"(Example (scripted play):
  velmorat --headless --keys walk.keys --dump-text screen.txt --dump-window 1 picture.png)";

// Declares every option of velmorat, each bound to its field of line.
void declareOptions(CLI::App& velmorat, CommandLine& line) {
  velmorat.footer(kExample);
  velmorat
      .add_option("--bundle", line.bundle,
                  "play the application bundle at DIR (DIR/Contents/Resources with the\n"
                  "fonts, sysbeep.aif and Data/) instead of the one around this program")
      ->option_text("DIR");
  velmorat.add_flag("--headless", line.headless,
                    "run without a screen (Qt's offscreen platform); the run ends with status\n"
                    "0 when the program has ended, or when all keys are typed and the program\n"
                    "waits for another key");
  velmorat.add_option("--keys", line.keysFile, kKeysHelp)->option_text("FILE");
  velmorat
      .add_option("--dump-text", line.dumpTextFile,
                  "when the run ends, write the text window's screen to FILE (UTF-8, one\n"
                  "line per screen line, trailing blanks cut)")
      ->option_text("FILE");
  velmorat
      .add_option_function<std::pair<int, std::string>>(
          "--dump-window",
          [&line](const std::pair<int, std::string>& dump) {
            if (dump.first < 0 || dump.first > kLastGraphicWindow) {
              throw CLI::ValidationError(
                  "--dump-window",
                  "needs a window number from 0 to 7, not " + std::to_string(dump.first));
            }
            line.dumpWindow = dump.first;
            line.dumpWindowFile = dump.second;
          },
          "when the run ends, write graphic window N's image (0..7) to FILE.png (8-bit RGB)")
      ->option_text("N FILE.png");
  velmorat.add_option("FILE", line.documents, "files to open as documents");
}
}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  CLI::App velmorat(kDescription, "velmorat");
  declareOptions(velmorat, line);
  const commandline::Parsed parsed = commandline::parse(velmorat, arguments);
  line.help = parsed.help;
  line.error = parsed.error;
  return line;
}

std::string commandLineHelp() {
  CommandLine unused;
  CLI::App velmorat(kDescription, "velmorat");
  declareOptions(velmorat, unused);
  return velmorat.help();
}
