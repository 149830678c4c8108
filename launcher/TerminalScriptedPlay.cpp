#include "launcher/TerminalScriptedPlay.h"

#include <signal.h>

#include <atomic>

#include "launcher/SessionFiles.h"
#include "support/Log.h"
#include "support/qbtools.h"

namespace {
// Set by the signal handler, which may touch nothing else; taken by the main thread.
std::atomic<bool> notesAsked{false};

void onNotesSignal(int) {
  notesAsked = true;
  terminal::MainLoop::wakeFromSignal();
}
}  // namespace

terminal::InputEvent terminalKeyOf(const ScriptKey& key) {
  using terminal::InputKind;
  using terminal::NamedKey;
  terminal::InputEvent event;
  const auto named = [&event](NamedKey name) {
    event.kind = InputKind::Named;
    event.key = name;
    return event;
  };
  switch (key.kind) {
    case ScriptKeyKind::Return:
      return named(NamedKey::Return);
    case ScriptKeyKind::Escape:
      return named(NamedKey::Escape);
    case ScriptKeyKind::Tab:
      return named(NamedKey::Tab);
    case ScriptKeyKind::Backspace:
      return named(NamedKey::Backspace);
    case ScriptKeyKind::ForwardDelete:
      return named(NamedKey::Delete);
    case ScriptKeyKind::Left:
      return named(NamedKey::Left);
    case ScriptKeyKind::Right:
      return named(NamedKey::Right);
    case ScriptKeyKind::Up:
      return named(NamedKey::Up);
    case ScriptKeyKind::Down:
      return named(NamedKey::Down);
    case ScriptKeyKind::Home:
      return named(NamedKey::Home);
    case ScriptKeyKind::End:
      return named(NamedKey::End);
    case ScriptKeyKind::PageUp:
      return named(NamedKey::PageUp);
    case ScriptKeyKind::PageDown:
      return named(NamedKey::PageDown);
    case ScriptKeyKind::Function:
      event.kind = InputKind::Function;
      event.functionNumber = static_cast<int>(key.character);
      return event;
    case ScriptKeyKind::Control:
      // As the terminal sends it: the control character itself (Ctrl-A is 1).
      event.character = key.character == U'^' ? char32_t{0x1E} : key.character - U'A' + 1;
      event.control = true;
      return event;
    case ScriptKeyKind::Character:
    case ScriptKeyKind::Menu:  // chosen, not typed
      break;
  }
  event.character = key.character;
  return event;
}

TerminalScriptedPlay::TerminalScriptedPlay(terminal::TerminalHost& console, Session& session,
                                           const CommandLine& line, KeyScript script)
    : console_(console),
      session_(session),
      line_(line),
      replay_(std::move(script),
              {.typeKey = [this](const ScriptKey& key) { console_.typeKey(terminalKeyOf(key)); },
               .chooseMenuItem =
                   [this](int tag) {
                     if (!console_.chooseMenuItem(tag))
                       logLine("velmorat: no menu item has the tag " + std::to_string(tag));
                   },
               .runAfter =
                   [this](std::chrono::milliseconds delay, std::function<void()> work) {
                     console_.runAfter(delay, std::move(work));
                   },
               .finished =
                   [this] {
                     console_.holdDrawing(false);
                     if (!line_.dumpTranscriptFile.empty())
                       writeTranscript(session_, line_.dumpTranscriptFile);
                     if (!line_.showChangesFile.empty())
                       showTranscriptChanges(session_, line_.showChangesFile);
                   }}) {
  if (!line_.showNotesFile.empty()) {
    // Before the game starts: the signal's default would end the game.
    console_.setSignalObserver([this] { showNotes(); });
    struct sigaction action {};
    action.sa_handler = onNotesSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &action, nullptr);
  }
}

TerminalScriptedPlay::~TerminalScriptedPlay() {
  console_.setInputWaitObserver({});
  console_.setSignalObserver({});
}

void TerminalScriptedPlay::start() {
  // The screen shows the replay's end, not each key's echo on the way.
  if (!replay_.isFinished()) console_.holdDrawing(true);
  console_.setInputWaitObserver([this] { programWaits(); });
  programWaits();  // a wait that began before the observer was there
}

void TerminalScriptedPlay::showNotes() {
  if (!notesAsked.exchange(false)) return;
  const std::vector<std::uint8_t> notes = getbinaryfromfile(line_.showNotesFile);
  showOnPrinterPage(std::string(notes.begin(), notes.end()));
}

void TerminalScriptedPlay::programWaits() {
  // The waits of a replay are not written: a durable write a key cost more
  // than the replay itself (9 s instead of 1 s for our walkthrough).
  const bool replaying = !replay_.isFinished();
  replay_.programChanged();
  if (!replaying && !line_.dumpTranscriptFile.empty())
    writeTranscript(session_, line_.dumpTranscriptFile);
}
