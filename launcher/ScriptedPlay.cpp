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
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/Refresh.h"

namespace {
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
      endWhenDone_(endWhenDone),
      replay_(std::move(script),
              {.typeKey = [this](const ScriptKey& key) { typeScriptKey(view_, key); },
               .chooseMenuItem = std::move(chooseMenuItem),
               .runAfter =
                   [this](std::chrono::milliseconds delay, std::function<void()> work) {
                     QTimer::singleShot(delay, this, std::move(work));
                   },
               .finished = [this] { finish(); }}) {}

ScriptedPlay::~ScriptedPlay() {
  setInputWaitListener({});
}

void ScriptedPlay::start() {
  // Notices come from the program thread; the keys are typed on this one.
  setInputWaitListener(
      [this](InputWaitState) { notices_.post([this] { replay_.programChanged(); }); });
  replay_.programChanged();  // a wait that began before the listener was there
}

void ScriptedPlay::finish() {
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
