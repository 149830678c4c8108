#include "host/qt/ScriptedPlay.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/ProgramThread.h"
#include "host/qt/Windows.h"
#include "support/Utf8.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Refresh.h"

namespace {
constexpr auto kPollInterval = std::chrono::milliseconds(2);
// The program looks at the key queue every 10 ms; a wait that lasts three of
// its looks is a real one, not the moment between taking a key and acting on it.
constexpr auto kSteadyWait = std::chrono::milliseconds(30);
// A program that polls for a key (INKEY, every 100 ms) sleeps without using
// the processor: after this long it gets the next key...
constexpr auto kSleepBeforeKey = std::chrono::milliseconds(20);
// ...and after this long, with no key left, the run is over. Longer than the
// poll, so that a short pause of the program does not end it.
constexpr auto kSleepBeforeEnd = std::chrono::milliseconds(300);

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
                           std::vector<ScriptKey> keys, bool endWhenDone)
    : view_(view),
      chooseMenuItem_(std::move(chooseMenuItem)),
      keys_(std::move(keys)),
      endWhenDone_(endWhenDone) {
  timer_.setInterval(kPollInterval);
  connect(&timer_, &QTimer::timeout, this, &ScriptedPlay::poll);
}

void ScriptedPlay::start() {
  timer_.start();
}

bool ScriptedPlay::programThreadSleeps() {
  int id = ProgramThreadKernelId;
  std::ifstream stat("/proc/self/task/" + std::to_string(id) + "/stat");
  std::string line;
  if (id == 0 || !std::getline(stat, line)) return false;
  // "tid (name) S ppid ..." with utime and stime the 14th and 15th fields; the
  // name may hold blanks and parentheses, so count from the last ")".
  std::istringstream fields(line.substr(line.rfind(')') + 1));
  std::string state;
  fields >> state;
  std::string skipped;
  for (int field = 4; field <= 13; ++field) fields >> skipped;
  long long userTicks = 0;
  long long systemTicks = 0;
  fields >> userTicks >> systemTicks;
  long long ticks = userTicks + systemTicks;
  bool unchanged = ticks == lastCpuTicks_;
  lastCpuTicks_ = ticks;
  return state == "S" && unchanged;
}

void ScriptedPlay::observeProgram() {
  now_ = std::chrono::steady_clock::now();
  bool keyWaiting = KeyWaiting && !KeyAvailable;
  bool sleeping = programThreadSleeps() && !KeyAvailable;
  if (keyWaiting && !keyWaiting_) keyWaitingSince_ = now_;
  if (sleeping && !sleeping_) sleepingSince_ = now_;
  keyWaiting_ = keyWaiting;
  sleeping_ = sleeping;
}

std::chrono::steady_clock::duration ScriptedPlay::keyWaitingFor() const {
  return keyWaiting_ ? now_ - keyWaitingSince_ : std::chrono::steady_clock::duration(-1);
}

std::chrono::steady_clock::duration ScriptedPlay::sleepingFor() const {
  return sleeping_ ? now_ - sleepingSince_ : std::chrono::steady_clock::duration(-1);
}

void ScriptedPlay::poll() {
  if (ProgramThreadsRunning > 0) programSeen_ = true;
  if (programSeen_ && ProgramThreadsRunning == 0) {
    timer_.stop();
    if (endWhenDone_) QCoreApplication::exit(0);
    return;
  }
  observeProgram();
  if (next_ < keys_.size()) {
    if (keyWaitingFor() >= std::chrono::steady_clock::duration::zero() ||
        sleepingFor() >= kSleepBeforeKey) {
      const ScriptKey& key = keys_[next_++];
      if (key.kind == ScriptKeyKind::Menu) {
        chooseMenuItem_(static_cast<int>(key.character));
      } else {
        typeScriptKey(view_, key);
      }
      keyWaiting_ = false;
      sleeping_ = false;
    }
    return;
  }
  if (!endWhenDone_) {
    timer_.stop();  // on the desktop the application stays open for the player
    return;
  }
  if (keyWaitingFor() >= kSteadyWait || sleepingFor() >= kSleepBeforeEnd) {
    timer_.stop();
    QCoreApplication::exit(0);
  }
}

bool writeDumps(const CommandLine& line) {
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
  if (line.dumpWindow >= 0) {
    host::ArgbImage image = t_WindowImage(static_cast<std::uint8_t>(line.dumpWindow));
    if (image.width == 0 || image.bytes.empty()) {
      std::fprintf(stderr, "velmorat: window %d has no image (not set up or hidden)\n",
                   line.dumpWindow);
      return false;
    }
    QImage picture;
    copyArgbImage(image, picture);
    picture.convertTo(QImage::Format_RGB888);
    if (!picture.save(QString::fromStdString(line.dumpWindowFile), "PNG")) {
      std::fprintf(stderr, "velmorat: cannot write %s\n", line.dumpWindowFile.c_str());
      complete = false;
    }
  }
  return complete;
}
