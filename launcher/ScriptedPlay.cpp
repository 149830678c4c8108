#include "launcher/ScriptedPlay.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>

#include "host/qt/Windows.h"
#include "launcher/SessionFiles.h"
#include "support/Utf8.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"

namespace {
// Time the program gets to take a chosen menu item before the wait it left
// alone gets the next key; it answers within milliseconds.
constexpr int kMenuAnswerTime = 200;

struct QtKey {
  int key;
  Qt::KeyboardModifiers modifiers;
  QString text;
};

QtKey qtKeyOf(const ScriptKey& scriptKey) {
  switch (scriptKey.kind) {
    case ScriptKeyKind::Return:
      return {Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")};
    case ScriptKeyKind::Escape:
      return {Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b")};
    case ScriptKeyKind::Tab:
      return {Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")};
    case ScriptKeyKind::Backspace:
      return {Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")};
    case ScriptKeyKind::ForwardDelete:
      return {Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f")};
    case ScriptKeyKind::Left:
      return {Qt::Key_Left, Qt::NoModifier, {}};
    case ScriptKeyKind::Right:
      return {Qt::Key_Right, Qt::NoModifier, {}};
    case ScriptKeyKind::Up:
      return {Qt::Key_Up, Qt::NoModifier, {}};
    case ScriptKeyKind::Down:
      return {Qt::Key_Down, Qt::NoModifier, {}};
    case ScriptKeyKind::Home:
      return {Qt::Key_Home, Qt::NoModifier, {}};
    case ScriptKeyKind::End:
      return {Qt::Key_End, Qt::NoModifier, {}};
    case ScriptKeyKind::PageUp:
      return {Qt::Key_PageUp, Qt::NoModifier, {}};
    case ScriptKeyKind::PageDown:
      return {Qt::Key_PageDown, Qt::NoModifier, {}};
    case ScriptKeyKind::Function:
      return {Qt::Key_F1 + static_cast<int>(scriptKey.character) - 1, Qt::NoModifier, {}};
    case ScriptKeyKind::Control: {
      char32_t letter = scriptKey.character;
      int key =
          letter == U'^' ? int{Qt::Key_AsciiCircum} : Qt::Key_A + static_cast<int>(letter - U'A');
      char32_t control = letter == U'^' ? 0x1E : letter - U'A' + 1;
      return {key, Qt::ControlModifier, QString::fromUcs4(&control, 1)};
    }
    case ScriptKeyKind::Character:
    case ScriptKeyKind::Menu:  // chosen, not typed
      break;
  }
  char32_t character = scriptKey.character;
  QString text = QString::fromUcs4(&character, 1);
  // Qt names a character key by its upper-case character; Shift types the capitals.
  QString upper = text.toUpper();
  bool shifted = text != text.toLower() && text == upper;
  int key = upper.size() == 1 ? int{upper.at(0).unicode()} : int{Qt::Key_unknown};
  return {key, shifted ? Qt::ShiftModifier : Qt::NoModifier, text};
}

std::string trimTrailingBlanks(std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}
}  // namespace

void typeScriptKey(QWidget* view, const ScriptKey& key) {
  QtKey qtKey = qtKeyOf(key);
  QKeyEvent press(QEvent::KeyPress, qtKey.key, qtKey.modifiers, qtKey.text);
  QCoreApplication::sendEvent(view, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey.key, qtKey.modifiers, qtKey.text);
  QCoreApplication::sendEvent(view, &release);
}

ScriptedPlay::ScriptedPlay(QWidget* view, std::function<void(int tag)> chooseMenuItem,
                           KeyScript script, bool endWhenDone)
    : view_(view),
      chooseMenuItem_(std::move(chooseMenuItem)),
      keys_(std::move(script.keys)),
      lines_(std::move(script.lines)),
      endWhenDone_(endWhenDone) {}

int ScriptedPlay::firstUnusedLine() const {
  for (std::size_t index = next_; index < keys_.size(); ++index) {
    if (keys_[index].kind != ScriptKeyKind::Return)
      return index < lines_.size() ? lines_[index] : 0;
  }
  return 0;
}

bool ScriptedPlay::answerKeyWait(InputWaitKind kind) {
  static const ScriptKey kReturn{ScriptKeyKind::Return, 0};
  if (next_ >= keys_.size()) return false;
  if (kind == InputWaitKind::Poll) {
    // "Weiter...": the file's own Return (a blank line) or one of ours.
    if (keys_[next_].kind == ScriptKeyKind::Return) ++next_;
    typeScriptKey(view_, kReturn);
    return true;
  }
  const std::size_t answer = next_++;
  typeScriptKey(view_, keys_[answer]);
  // "nimm lampe" at "noch einmal spielen?" would answer with its "n" and type
  // the rest into the next wait.
  if (keys_[answer].kind == ScriptKeyKind::Character && next_ < keys_.size() &&
      keys_[next_].kind == ScriptKeyKind::Character && answer < lines_.size()) {
    misfits_.push_back("line " + std::to_string(lines_[answer]) +
                       ": more than one key typed where the program waited for one key");
  }
  return true;
}

ScriptedPlay::~ScriptedPlay() {
  setInputWaitListener({});
}

void ScriptedPlay::start() {
  // Notices come from the program thread; the keys are typed on this one.
  setInputWaitListener([this](InputWaitState) { notices_.post([this] { programChanged(); }); });
  programChanged();  // a wait that began before the listener was there
}

void ScriptedPlay::programChanged() {
  if (finished_) return;
  if (ProgramThreadsRunning == 0) {
    finish();
    return;
  }
  const InputWaitState wait = currentInputWait();
  if (wait.kind == InputWaitKind::None || KeyAvailable || wait.serial == servedWait_) return;
  servedWait_ = wait.serial;
  // A menu choice at a key wait is made below, as at a line input.
  const bool menuNext = next_ < keys_.size() && keys_[next_].kind == ScriptKeyKind::Menu;
  if ((wait.kind == InputWaitKind::Poll || wait.kind == InputWaitKind::Key) && !menuNext) {
    if (!answerKeyWait(wait.kind)) finish();
    return;
  }
  while (next_ < keys_.size()) {
    const ScriptKey& key = keys_[next_++];
    if (key.kind == ScriptKeyKind::Menu) {
      chooseMenuItem_(static_cast<int>(key.character));
      // The program answers a menu choice in a wait of its own. A wait that
      // leaves menu items for later (a plain key wait) gets the next key
      // once it has clearly stayed.
      QTimer::singleShot(kMenuAnswerTime, this, [this, wait] {
        if (currentInputWait().serial != wait.serial) return;
        servedWait_ = 0;
        programChanged();
      });
      return;
    }
    typeScriptKey(view_, key);
    // A key that queues nothing (a character outside Latin-1, a keypad
    // redirect) leaves the program in the same wait: the next key serves it.
    const InputWaitState after = currentInputWait();
    if (KeyAvailable || after.serial != wait.serial || after.kind == InputWaitKind::None) return;
  }
  finish();
}

void ScriptedPlay::finish() {
  finished_ = true;
  setInputWaitListener({});
  if (whenDone_) whenDone_();
  // On the desktop the application stays open for the player.
  if (endWhenDone_) QCoreApplication::exit(0);
}

bool writeDumps(const CommandLine& line, const Session& session) {
  bool complete = true;
  if (!line.dumpTextFile.empty()) {
    std::ofstream file(line.dumpTextFile, std::ios::binary);
    std::string screen = t_GetScreen(0, "\n");
    std::size_t start = 0;
    while (start <= screen.size() && !screen.empty()) {
      std::size_t end = screen.find('\n', start);
      if (end == std::string::npos) end = screen.size();
      file << trimTrailingBlanks(screen.substr(start, end - start)) << '\n';
      start = end + 1;
    }
    if (!file) {
      std::fprintf(stderr, "velmorat: cannot write %s\n", line.dumpTextFile.c_str());
      complete = false;
    }
  }
  if (!line.dumpTranscriptFile.empty() && !writeTranscript(session, line.dumpTranscriptFile))
    complete = false;
  for (const WindowDump& dump : line.windowDumps) {
    host::ArgbImage image = t_WindowImage(static_cast<std::uint8_t>(dump.window));
    if (image.width == 0 || image.bytes.empty()) {
      std::fprintf(stderr, "velmorat: window %d has no image (not set up or hidden)\n",
                   dump.window);
      complete = false;
      continue;
    }
    QImage picture;
    copyArgbImage(image, picture);
    picture.convertTo(QImage::Format_RGB888);
    if (!picture.save(QString::fromStdString(dump.file), "PNG")) {
      std::fprintf(stderr, "velmorat: cannot write %s\n", dump.file.c_str());
      complete = false;
    }
  }
  return complete;
}
