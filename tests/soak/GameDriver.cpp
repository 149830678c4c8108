#include "soak/GameDriver.h"

#include <array>
#include <limits>

#include "app/Main.h"
#include "host/fake/FakeHost.h"
#include "support/Bundle.h"
#include "support/Utf8.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/KeyTranslation.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/ProgramThread.h"

namespace soak {
namespace {

// F1 to F12 in the key table's numbering.
constexpr std::array<int, 12> kFunctionCodes = {keycode::kF1, 120, 99,  118, 96,  97,
                                                98,           100, 101, 109, 103, 111};
constexpr char32_t kBackspaceCharacter = 0x7F;
constexpr char32_t kEscapeCharacter = 0x1B;
constexpr char32_t kControlOffset = 0x40;  // Ctrl-A is 1, Ctrl-^ is 0x1E

struct KeyPress {
  int code;
  char32_t character;
  std::uint32_t flags = 0;
};

KeyPress pressOf(const ScriptKey& key) {
  switch (key.kind) {
    case ScriptKeyKind::Return:
      return {keycode::kReturn, U'\r'};
    case ScriptKeyKind::Escape:
      return {keycode::kEscape, kEscapeCharacter};
    case ScriptKeyKind::Tab:
      return {keycode::kTab, U'\t'};
    case ScriptKeyKind::Backspace:
      return {keycode::kDelete, kBackspaceCharacter};
    case ScriptKeyKind::ForwardDelete:
      return {keycode::kForwardDelete, keycode::kForwardDeleteCharacter};
    case ScriptKeyKind::Left:
      return {keycode::kLeftArrow, keycode::kLeftArrowCharacter};
    case ScriptKeyKind::Right:
      return {keycode::kRightArrow, keycode::kRightArrowCharacter};
    case ScriptKeyKind::Up:
      return {keycode::kUpArrow, keycode::kUpArrowCharacter};
    case ScriptKeyKind::Down:
      return {keycode::kDownArrow, keycode::kDownArrowCharacter};
    case ScriptKeyKind::Home:
      return {keycode::kHome, keycode::kHomeCharacter};
    case ScriptKeyKind::End:
      return {keycode::kEnd, keycode::kEndCharacter};
    case ScriptKeyKind::PageUp:
      return {keycode::kPageUp, keycode::kPageUpCharacter};
    case ScriptKeyKind::PageDown:
      return {keycode::kPageDown, keycode::kPageDownCharacter};
    case ScriptKeyKind::Function:
      return {kFunctionCodes.at(key.character - 1),
              keycode::kFunctionKeyCharacterBase + key.character - 1};
    case ScriptKeyKind::Control:
      return {keycode::kOther, key.character - kControlOffset, kModifierControl};
    case ScriptKeyKind::Character:
    case ScriptKeyKind::Menu:
      break;
  }
  return {keycode::kOther, key.character};
}

// startprocess counts its thread before it returns, so 0 means ended.
bool programEnded() {
  return ProgramThreadsRunning.load() == 0;
}

host::FakeHost& screenless() {
  static host::FakeHost host;
  return host;
}

}  // namespace

GameDriver::GameDriver(const std::string& bundlePath, const std::string& panelPath)
    : panelPath_(panelPath) {
  host::install(&screenless());
  screenless().savePanelAnswer = panelPath;
  screenless().openPanelAnswer = {panelPath};
  setBundlePath(bundlePath);
  applicationWillFinishLaunching();
}

bool GameDriver::start(std::chrono::milliseconds bound) {
  applicationDidFinishLaunching([this] { VelmoratMain(session_); });
  return awaitWait(0, bound);
}

bool GameDriver::awaitWait(std::uint64_t newerThan, std::chrono::milliseconds bound) {
  return awaitInputWait(programEnded, bound, newerThan).kind != InputWaitKind::None;
}

bool GameDriver::press(const ScriptKey& key, std::chrono::milliseconds bound) {
  const std::uint64_t answered = currentInputWait().serial;
  if (key.kind == ScriptKeyKind::Menu) {
    t_MenuEventHandler(MenuSender{true, "Ablage", "", "", 0, static_cast<int>(key.character)});
  } else {
    const KeyPress press = pressOf(key);
    std::string characters;
    appendUtf8(characters, press.character);
    viewKeyDown(0, press.code, characters, press.flags);
    viewKeyUp(0);
    // A key outside the 8-bit character set (the euro sign) types nothing:
    // the program goes on waiting where it was.
    if (!keys::translateKey(press.code, press.character, false, press.flags).value) return true;
  }
  return awaitWait(answered, bound);
}

InputWaitKind GameDriver::waitKind() const {
  return currentInputWait().kind;
}

std::string GameDriver::screen() const {
  return t_GetScreen(0, "\n");
}

bool GameDriver::transcriptFull() const {
  return session_.transcriptLineCount() >= kMaxTranscriptLines;
}

bool GameDriver::stop(std::chrono::milliseconds bound) {
  t_RequestProgramEnd();
  // No wait counts: the program's waits end it now, without a new one.
  awaitInputWait(programEnded, bound, std::numeric_limits<std::uint64_t>::max());
  return programEnded();
}

}  // namespace soak
