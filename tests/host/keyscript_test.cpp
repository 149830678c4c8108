#include <gtest/gtest.h>

#include "launcher/CommandLine.h"
#include "launcher/KeyScript.h"
#include "launcher/RunOutcome.h"
#include "launcher/TerminalScriptedPlay.h"

namespace {
ScriptKey character(char32_t scalar) {
  return {ScriptKeyKind::Character, scalar};
}
}  // namespace

TEST(KeyScript, TypesUtf8TextAndLineEndsAsReturn) {
  KeyScript script = parseKeyScript("nimm ä\r\nß\n");
  ASSERT_TRUE(script.error.empty()) << script.error;
  std::vector<ScriptKey> expected = {character('n'),
                                     character('i'),
                                     character('m'),
                                     character('m'),
                                     character(' '),
                                     character(U'ä'),
                                     {ScriptKeyKind::Return, 0},
                                     character(U'ß'),
                                     {ScriptKeyKind::Return, 0}};
  EXPECT_EQ(script.keys, expected);
}

TEST(KeyScript, NamesSpecialKeysInBraces) {
  KeyScript script = parseKeyScript("{Esc}{F12}{Ctrl-S}{Ctrl-^}{PageDown}{Delete}{Backspace}");
  ASSERT_TRUE(script.error.empty()) << script.error;
  std::vector<ScriptKey> expected = {
      {ScriptKeyKind::Escape, 0},    {ScriptKeyKind::Function, 12},
      {ScriptKeyKind::Control, 'S'}, {ScriptKeyKind::Control, '^'},
      {ScriptKeyKind::PageDown, 0},  {ScriptKeyKind::ForwardDelete, 0},
      {ScriptKeyKind::Backspace, 0}};
  EXPECT_EQ(script.keys, expected);
}

TEST(KeyScript, MenuNamesAChoiceByTagBetweenKeys) {
  KeyScript script = parseKeyScript("v\n{Menu 101}{Menu 99999}");
  ASSERT_TRUE(script.error.empty()) << script.error;
  std::vector<ScriptKey> expected = {character('v'),
                                     {ScriptKeyKind::Return, 0},
                                     {ScriptKeyKind::Menu, 101},
                                     {ScriptKeyKind::Menu, 99999}};
  EXPECT_EQ(script.keys, expected);
  // Tag 0 never matches an item; signs, blanks and numbers beyond the limit are faults.
  for (const char* text : {"{Menu 0}", "{Menu}", "{Menu }", "{Menu -1}", "{Menu 1 }",
                           "{Menu 100000}", "{Menu 4294967397}", "{menu 101}"}) {
    EXPECT_FALSE(parseKeyScript(text).error.empty()) << text;
  }
}

TEST(KeyScript, DoubleBraceIsOneBraceAndClosingBraceIsPlain) {
  KeyScript script = parseKeyScript("{{x}");
  ASSERT_TRUE(script.error.empty()) << script.error;
  std::vector<ScriptKey> expected = {character('{'), character('x'), character('}')};
  EXPECT_EQ(script.keys, expected);
}

TEST(KeyScript, RejectsUnknownNamesWithTheirLine) {
  // F0, F13 and lower-case ctrl letters are not keys; the line number counts line ends.
  for (const char* text : {"a\n{F13}", "a\n{F0}", "a\n{Ctrl-a}", "a\n{Enter}"}) {
    KeyScript script = parseKeyScript(text);
    EXPECT_EQ(script.error.rfind("line 2:", 0), 0u) << text << ": " << script.error;
    EXPECT_EQ(script.keys.size(), 2u) << text;  // what came before the fault
  }
}

TEST(KeyScript, RejectsUnclosedBraceAndBrokenUtf8) {
  EXPECT_FALSE(parseKeyScript("ab{Return").error.empty());
  EXPECT_FALSE(parseKeyScript("{ThisNameIsFarTooLongForAKey}").error.empty());
  EXPECT_FALSE(parseKeyScript("\xC3(").error.empty());
}

TEST(KeyScript, ReportsMissingFile) {
  EXPECT_FALSE(readKeyScript("/nonexistent/keys.txt").error.empty());
}

TEST(CommandLine, ReadsEveryOption) {
  CommandLine line =
      parseCommandLine({"--bundle", "/b", "--headless", "--keys", "k.txt", "--dump-text", "t.txt",
                        "--dump-window", "1", "w.png", "--dump-window", "0", "t.png", "--log",
                        "--panel-answer", "/s/a b.velmorat", "doc.txt"});
  ASSERT_TRUE(line.error.empty()) << line.error;
  EXPECT_EQ(line.bundle, "/b");
  EXPECT_TRUE(line.headless);
  EXPECT_EQ(line.keysFile, "k.txt");
  EXPECT_EQ(line.dumpTextFile, "t.txt");
  ASSERT_EQ(line.windowDumps.size(), 2u);
  EXPECT_EQ(line.windowDumps[0].window, 1);
  EXPECT_EQ(line.windowDumps[0].file, "w.png");
  EXPECT_EQ(line.windowDumps[1].window, 0);
  EXPECT_EQ(line.windowDumps[1].file, "t.png");
  EXPECT_TRUE(line.log);
  EXPECT_EQ(line.panelAnswer, "/s/a b.velmorat");
  EXPECT_EQ(line.documents, std::vector<std::string>{"doc.txt"});
}

TEST(CommandLine, RejectsBadWindowNumbersMissingValuesAndUnknownOptions) {
  EXPECT_FALSE(parseCommandLine({"--dump-window", "8", "w.png"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--dump-window", "1x", "w.png"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--dump-window", "1"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--keys"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--panel-answer"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--terminal", "--panel-answer", "a.velmorat"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--terminal", "--dump-text", "t.txt"}).error.empty());
  EXPECT_FALSE(parseCommandLine({"--show-notes", "n.txt"}).error.empty());  // desktop
  EXPECT_FALSE(parseCommandLine({"--fast"}).error.empty());
  EXPECT_TRUE(parseCommandLine({"--help"}).help);
}

// What velmorat-tool run --watch --terminal hands the game it replaces.
TEST(CommandLine, TerminalTakesTheWatchersKeysTranscriptAndNotes) {
  const CommandLine line =
      parseCommandLine({"--terminal", "--keys", "k", "--record-keys", "r", "--dump-transcript", "t",
                        "--show-changes", "c", "--show-notes", "n"});
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.showNotesFile, "n");
}

// The terminal gets a key file's keys as its decoder would give them; Ctrl
// keys as their control characters, as a terminal sends them.
TEST(KeyScript, TerminalKeysAreThoseTheTerminalDecodes) {
  using terminal::InputKind;
  using terminal::NamedKey;
  struct Row {
    ScriptKey key;
    InputKind kind;
    char32_t character;
    NamedKey named;
    int function;
    bool control;
  };
  const Row rows[] = {
      {{ScriptKeyKind::Character, U'\u00E4'},
       InputKind::Character,
       U'\u00E4',
       NamedKey::Up,
       0,
       false},
      {{ScriptKeyKind::Return, 0}, InputKind::Named, 0, NamedKey::Return, 0, false},
      {{ScriptKeyKind::ForwardDelete, 0}, InputKind::Named, 0, NamedKey::Delete, 0, false},
      {{ScriptKeyKind::PageDown, 0}, InputKind::Named, 0, NamedKey::PageDown, 0, false},
      {{ScriptKeyKind::Function, 12}, InputKind::Function, 0, NamedKey::Up, 12, false},
      {{ScriptKeyKind::Control, U'S'}, InputKind::Character, 0x13, NamedKey::Up, 0, true},
      {{ScriptKeyKind::Control, U'^'}, InputKind::Character, 0x1E, NamedKey::Up, 0, true},
  };
  for (const Row& row : rows) {
    const terminal::InputEvent event = terminalKeyOf(row.key);
    SCOPED_TRACE(static_cast<int>(row.key.kind));
    EXPECT_EQ(event.kind, row.kind);
    EXPECT_EQ(event.character, row.character);
    if (row.kind == InputKind::Named) {
      EXPECT_EQ(event.key, row.named);
    }
    EXPECT_EQ(event.functionNumber, row.function);
    EXPECT_EQ(event.control, row.control);
  }
}

// Comment lines are not typed, and every key knows its line for messages.
TEST(KeyScript, SkipsCommentLinesAndKeepsLineNumbers) {
  KeyScript script = parseKeyScript("# ends: gewonnen\r\nv\n#x\n\nn");
  ASSERT_TRUE(script.error.empty()) << script.error;
  std::vector<ScriptKey> expected = {
      character('v'), {ScriptKeyKind::Return, 0}, {ScriptKeyKind::Return, 0}, character('n')};
  EXPECT_EQ(script.keys, expected);
  EXPECT_EQ(script.lines, (std::vector<int>{2, 2, 4, 5}));
  EXPECT_TRUE(parseKeyScript("#").keys.empty());
  EXPECT_EQ(parseKeyScript("a#b\n").keys.size(), 4u);  // "#" inside a line is typed
}

TEST(HeadlessStatus, AScriptMessageComesBeforeKeysLeftOver) {
  const struct {
    int status;
    HeadlessRun run;
    int expected;
    std::size_t messages;
  } cases[] = {
      {0, {}, 0, 0},
      {0, {0, 7, {}}, kExitKeysUnused, 1},
      {0, {0, 0, {"line 3: more than one key"}}, kExitKeysUnused, 1},
      {0, {2, 7, {}}, kExitScriptMessage, 2},
      {1, {2, 7, {}}, 1, 2},  // a dump that failed stays the reason
  };
  for (const auto& [status, run, expected, messageCount] : cases) {
    std::vector<std::string> messages;
    EXPECT_EQ(headlessExitStatus(status, run, "walk.keys", messages), expected);
    EXPECT_EQ(messages.size(), messageCount);
  }
  std::vector<std::string> messages;
  headlessExitStatus(0, {0, 7, {}}, "walk.keys", messages);
  EXPECT_EQ(messages.front(),
            "walk.keys: the keys from line 7 on were left unused (the program ended before)");
}
