#include "launcher/CommandLine.h"

#include "support/CommandLineParser.h"

namespace {
constexpr int kLastGraphicWindow = 7;

constexpr const char* kDescription =
    R"(Plays Velmorat, a German graphic text adventure. FILEs are opened as documents
(they become file events of the toolbox): a saved game (FILE.velmorat) is
played instead of a new one. Without a reachable display (no DISPLAY or
WAYLAND_DISPLAY that answers: a server, a container, an SSH session) the game
is played in the terminal, as with --terminal.

A player's run from a terminal keeps the diagnostic log in
$XDG_STATE_HOME/velmorat/velmorat.log (~/.local/state/...; the last five runs
are kept as velmorat.log.1 .. .4); with --headless, --log, or when standard
output is a pipe or a file, the log goes to standard output. Errors go to
standard error. A bundle without the game is an error (status 1).)";

constexpr const char* kKeysHelp =
    R"(type the keys of FILE into the text window, one after another as the program
takes them. FILE is UTF-8 text; a line end is Return; special keys in braces:
{Return} {Esc} {Tab} {Backspace} {Delete} {Left} {Right} {Up} {Down} {Home}
{End} {PageUp} {PageDown} {F1}..{F12} {Ctrl-A}..{Ctrl-Z} {Ctrl-^}; "{{" types
a brace. {Menu N} chooses the menu item with tag N as a click would (100 Spiel
laden, 101 Spiel sichern, 300 Zug zurücknehmen, 301 Letzten Stand laden,
302 Protokoll sichern, 303 Verlauf))";

constexpr const char* kTerminalHelp =
    R"(play in the terminal: text in the window's colours, the picture beside or
above it (or on F8), function keys for the menu actions (F1 lists them), Ctrl-C
to quit. The log then goes to $XDG_STATE_HOME/velmorat/velmorat.log
(~/.local/state/...) when standard output is the terminal. Pictures as sixels,
kitty or iTerm2 images when the terminal shows them, else as coloured block
symbols; VELMORAT_PICTURES=symbols|sixels|kitty|iterm2|none chooses)";

constexpr const char* kPlainHelp =
    R"(play in the terminal line by line, for screen readers and braille displays:
the story's lines in order as plain text, the prompt as an ordinary line input,
pictures as their captions ("Bild: ..."), no cursor movement and no colours.
The menu actions are typed as words at the prompt: tasten, sichern, laden,
zurücknehmen, letzter stand, protokoll, verlauf, bild, menü, beenden.
Implies --terminal; VELMORAT_PLAIN=1 does the same)";

constexpr const char* kExample = R"(Examples (scripted play):
  velmorat --headless --keys walk.keys --dump-text screen.txt --dump-window 1 picture.png
  velmorat --headless --keys more.keys --panel-answer game.velmorat game.velmorat)";

// Declares every option of velmorat, each bound to its field of line.
void declareOptions(CLI::App& velmorat, CommandLine& line) {
  velmorat.footer(kExample);
  velmorat
      .add_option("--bundle", line.bundle,
                  "play the application bundle at DIR (DIR/Contents/Resources with the\n"
                  "fonts, sysbeep.aif and Data/) instead of the one around this program")
      ->option_text("DIR");
  velmorat.add_flag("--headless", line.headless,
                    "run without a screen (Qt's offscreen platform). The run ends as soon as\n"
                    "the program has ended or all keys are typed and it waits for another;\n"
                    "its status: 0 that way, 3 when a \"***\" script message was shown, 4 when\n"
                    "keys were left unused or a line was typed at a wait it does not fit,\n"
                    "1 when a dump could not be written or the bundle has no game, 2 for a\n"
                    "command line or key file that is not understood");
  velmorat.add_flag("--terminal", line.terminal, kTerminalHelp);
  velmorat.add_flag("--plain", line.plain, kPlainHelp);
  velmorat.add_flag("--log", line.log, "write the diagnostic log to standard output");
  velmorat.add_flag("--author", line.author,
                    "the author's run: a \"***\" message shows its data file and line, a\n"
                    "repeated error or an endless loop stops the script, and commands\n"
                    "beginning with # show and change the game's state (#zustand, #flags,\n"
                    "#gegenstände, #setze N, #lösche N, #gehe N, #hole NAME, #trace)");
  velmorat.add_option("--keys", line.keysFile, kKeysHelp)->option_text("FILE");
  velmorat
      .add_option("--panel-answer", line.panelAnswer,
                  "every open or save panel answers PATH at once instead of asking (for\n"
                  "scripted runs, with a {Menu N} of --keys)")
      ->option_text("PATH");
  velmorat
      .add_option("--state", line.stateFolder,
                  "keep the last state (\"Letzter Stand\") in DIR; without it the player's\n"
                  "state folder is used, except by --headless, --keys and --bundle runs, which\n"
                  "keep none")
      ->option_text("DIR");
  velmorat
      .add_option("--dump-text", line.dumpTextFile,
                  "when the run ends, write the text window's screen to FILE (UTF-8, one\n"
                  "line per screen line, trailing blanks cut)")
      ->option_text("FILE");
  velmorat
      .add_option("--dump-transcript", line.dumpTranscriptFile,
                  "write everything the text window showed (UTF-8, as Protokoll sichern) to\n"
                  "FILE when the keys of --keys are typed and again when the run ends (in\n"
                  "the terminal: anew at every wait after that); a game on the screen that\n"
                  "ends before its keys are typed writes none")
      ->option_text("FILE");
  velmorat
      .add_option("--record-keys", line.recordKeysFile,
                  "write each command given at the prompt to FILE as a line of a key file,\n"
                  "the keys of --keys included (velmorat-tool run replays them after a change)")
      ->option_text("FILE");
  velmorat
      .add_option("--show-changes", line.showChangesFile,
                  "once the keys of --keys are typed, show on the virtual printer's page (in\n"
                  "the terminal: over the game, Esc closes it) how the transcript differs\n"
                  "from the one in FILE (a unified diff)")
      ->option_text("FILE");
  velmorat
      .add_option("--show-notes", line.showNotesFile,
                  "with --terminal: each time the program gets the signal USR1, show the text\n"
                  "of FILE over the game (velmorat-tool run --watch shows a failed build's\n"
                  "faults so)")
      ->option_text("FILE");
  velmorat
      .add_option_function<std::vector<std::pair<int, std::string>>>(
          "--dump-window",
          [&line](const std::vector<std::pair<int, std::string>>& dumps) {
            for (const auto& [window, file] : dumps) {
              if (window < 0 || window > kLastGraphicWindow) {
                throw CLI::ValidationError(
                    "--dump-window",
                    "needs a window number from 0 to 7, not " + std::to_string(window));
              }
              line.windowDumps.push_back({window, file});
            }
          },
          "when the run ends, write graphic window N's image (0..7) to FILE.png (8-bit RGB);\n"
          "give it once per window")
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
  if (line.plain) line.terminal = true;
  // The terminal's keys, transcript and changes serve velmorat-tool run --watch;
  // the screen dumps and panel answers are the desktop's.
  if (line.error.empty() && line.terminal &&
      (line.headless || !line.dumpTextFile.empty() || !line.windowDumps.empty() ||
       !line.panelAnswer.empty())) {
    line.error =
        "--terminal plays with a person at the keyboard; it does not go with "
        "--headless, --panel-answer, --dump-text or --dump-window";
  }
  if (line.error.empty() && !line.terminal && !line.showNotesFile.empty())
    line.error = "--show-notes shows its notes in the terminal; give --terminal too";
  return line;
}

std::string commandLineHelp() {
  CommandLine unused;
  CLI::App velmorat(kDescription, "velmorat");
  declareOptions(velmorat, unused);
  return velmorat.help();
}
