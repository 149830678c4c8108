#include "adventure/Progress.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "adventure/DataFile.h"
#include "adventure/GameInfo.h"
#include "adventure/Interpreter.h"
#include "adventure/MenuTags.h"
#include "adventure/SaveGame.h"
#include "adventure/Session.h"
#include "adventure/TextBuild.h"
#include "port/Panels.h"
#include "support/AtomicFile.h"
#include "support/Log.h"
#include "support/StateFolder.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/Scrollback.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/SystemWindows.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

constexpr int kMenuItemKind = 3;
constexpr int kOpenedFile = -1;  // a request that is no menu item
constexpr int kIsAFile = 1;      // fileexists
constexpr const char* kAutosaveName = "Letzter Stand.velmorat";
constexpr const char* kTranscriptName = "Velmorat-Protokoll.txt";

using Request = SessionProgress::Request;
using Step = SessionProgress::Step;

SessionProgress& progressOf(const GameState& game) {
  return game.session->progress;
}

bool isProgramTag(int tag) {
  return tag == kMenuLoadGame || tag == kMenuSaveGame ||
         (tag >= kMenuTakeBackMove && tag <= kMenuShowTranscript);
}

// The game's identity: its scripts, and its id and version when the bundle
// has a game.ini beside the data folder.
const SaveIdentity& dataIdentity(const GameState& game) {
  SessionProgress& progress = progressOf(game);
  if (progress.identityOf != game.DataFolder || progress.identity.data.empty()) {
    progress.identity = SaveIdentity(VelmoratDataIdentity(game.DataFolder));
    const std::string ini = game.DataFolder + "../" + adventure::kGameInfoFileName;
    if (fileexists(ini) == kIsAFile) {
      const adventure::GameInfoReading reading = adventure::readGameInfo(ini);
      if (reading.faults.empty()) {
        progress.identity.gameId = reading.info.id;
        progress.identity.version = reading.info.version;
      }
    }
    progress.identityOf = game.DataFolder;
  }
  return progress.identity;
}

// The tables that the first scene of the current scripts makes (its
// DIMENSION and DEFINE ITEM lines run on an empty game), for a save of
// another version of the game.
GameState currentTables(const GameState& game) {
  GameState tables;
  for (const Text& line : VelmoratLoadData(game.DataFolder, 0)) {
    if (adventure::startsWith(line, "DIMENSION") || adventure::startsWith(line, "DEFINE ITEM"))
      VelmoratExecuteLine(tables, line);
  }
  return tables;
}

// The path a panel entry stored, empty when its panel was cancelled.
std::string panelPath(int tag) {
  for (const t_MenuAction& entry : MenuActionTableCopy()) {
    if (entry.Tag == tag) return entry.FilePath;
  }
  return {};
}

// Runs on a worker for every chosen item without a built-in action. The
// program takes its own items when it next waits for a command; the handler
// only says so in the log, and beeps for items that nothing answers.
void programMenuHandler(Session& session) {
  std::lock_guard guard(session.menuNoticesLock);
  for (const t_MenuEvent& event : MenuEventQueueCopyFrom(session.menuNoticesSeen)) {
    ++session.menuNoticesSeen;
    if (isProgramTag(event.ItemAction)) {
      logLine("VelmoratMenu: \"" + event.ItemTitle + "\" (" + std::to_string(event.ItemAction) +
              ") waits for the program's next command prompt.");
    } else if (event.Kind == kMenuItemKind) {
      logLine("VelmoratMenu: No action for tag " + std::to_string(event.ItemAction) + ".");
      beep();
    }
  }
}

// One entry per tag, also when the main routine runs again in one process.
void addPanelEntry(int tag, const std::string& title, const std::string& note,
                   const std::string& fileName) {
  if (t_MenuActionSetPanel(tag, title, note, fileName, kSaveFileType)) return;
  t_MenuActionAdd(tag);
  t_MenuActionSetPanel(tag, title, note, fileName, kSaveFileType);
}

// --- Replacing the game ---------------------------------------------------------

// Takes over saved progress; the session's parts stay. The saved scene's
// file starts from its first line, as after a move.
void takeOver(GameState& game, GameState saved) {
  saved.DataFolder = game.DataFolder;
  saved.RegularFont = std::move(game.RegularFont);
  saved.BoldFont = std::move(game.BoldFont);
  saved.ScenePicture = std::move(game.ScenePicture);
  saved.Diagnostics = std::move(game.Diagnostics);  // the run's, not the saved game's
  saved.session = game.session;
  saved.ScriptLines = VelmoratLoadData(saved.DataFolder, saved.CurrentScene);
  saved.ProgramCounter = -1;
  saved.ScriptError = false;
  saved.QuitRequested = false;
  game = std::move(saved);
}

void rememberStep(GameState& game, const std::string& label) {
  SessionProgress& progress = progressOf(game);
  progress.steps.push_back({VelmoratProgressOf(game), label});
  if (progress.steps.size() > kUndoSteps) progress.steps.pop_front();
}

// --- The requests ------------------------------------------------------------------

// An answer as one line, or, with a long file name, broken between words
// rather than inside one.
void printWrapped(const std::string& utf8Line) {
  const std::uint8_t window = VelmoratTextWindow();
  const int lastColumn = windowRecord(window).TextLastColumn;
  const std::u32string text = utf8ToScalars(utf8Line);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(U' ', start + 1);
    if (end == std::u32string::npos) end = text.size();
    const std::u32string word = text.substr(start, end - start);
    if (start > 0 && t_Hpos(window) + static_cast<int>(word.size()) > lastColumn) {
      t_Cr(window);
      t_Print(window, scalarsToUtf8(word.substr(1)));
    } else {
      t_Print(window, scalarsToUtf8(word));
    }
    start = end;
  }
  t_Cr(window);
}

// Prints the answers, making room for them before the first.
struct Answer {
  const std::function<void()>& beforeFirstLine;
  bool said = false;
  void operator()(const std::string& utf8Line) {
    if (!said) beforeFirstLine();
    said = true;
    printWrapped(utf8Line);
  }
};

bool load(GameState& game, bool gameRunning, const std::string& path, const std::string& label,
          Answer& answer) {
  const std::string name = filenamefrompath(path);
  DecodedSave decoded;
  if (fileexists(path) != kIsAFile) {
    decoded.refusal = SaveRefusal::Unreadable;
    decoded.detail = "no file";
  } else {
    const std::vector<std::uint8_t> bytes = getbinaryfromfile(path);
    const GameState tables = currentTables(game);
    decoded = VelmoratDecodeSave(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        dataIdentity(game), &tables);
  }
  if (decoded.refusal == SaveRefusal::None &&
      VelmoratLoadData(game.DataFolder, decoded.game.CurrentScene).empty()) {
    decoded.refusal = SaveRefusal::OutOfRange;
    decoded.detail = "scene " + std::to_string(decoded.game.CurrentScene) + " has no data file";
  }
  if (decoded.refusal != SaveRefusal::None) {
    logLine("VelmoratLoadGame: " + path + ": " + decoded.detail);
    answer("Spielstand nicht geladen: " + name + " " + VelmoratRefusalReason(decoded.refusal) +
           ".");
    return false;
  }
  if (gameRunning) rememberStep(game, label);
  if (!decoded.fromVersion.empty())
    answer("Der Spielstand stammt von Version " + decoded.fromVersion + " des Spiels.");
  takeOver(game, std::move(decoded.game));
  progressOf(game).commandSinceAutosave = false;
  logLine("VelmoratLoadGame: " + path + ": scene " + std::to_string(game.CurrentScene));
  return true;
}

bool loadLastState(GameState& game, bool gameRunning, Answer& answer) {
  const std::string path = VelmoratAutosavePath(*game.session);
  if (path.empty() || fileexists(path) != kIsAFile) {
    answer("Es gibt noch keinen letzten Stand.");
    return false;
  }
  if (!load(game, gameRunning, path, "Letzten Stand laden", answer)) return false;
  answer("Letzter Stand geladen.");
  return true;
}

void save(GameState& game, bool gameRunning, const std::string& path, Answer& answer) {
  const std::string name = filenamefrompath(path);
  if (!gameRunning) {
    answer("Das Spiel ist zu Ende: es gibt keinen Stand zu sichern.");
    return;
  }
  std::string failure;
  if (!writeFileAtomically(path, VelmoratEncodeSave(game, dataIdentity(game)), failure)) {
    logLine("VelmoratSaveGame: " + path + ": " + failure);
    answer("Spielstand nicht gesichert: " + name + " kann nicht geschrieben werden.");
    return;
  }
  logLine("VelmoratSaveGame: " + path);
  answer("Spielstand gesichert: " + name);
}

bool takeBack(GameState& game, Answer& answer) {
  SessionProgress& progress = progressOf(game);
  if (progress.steps.empty()) {
    answer("Es gibt keinen Zug, den Du zurücknehmen kannst.");
    return false;
  }
  Step step = std::move(progress.steps.back());
  progress.steps.pop_back();
  takeOver(game, std::move(step.before));
  progress.commandSinceAutosave = true;
  answer("Zurückgenommen: " + step.typedLine);
  return true;
}

void saveTranscript(const Session& session, Answer& answer) {
  const std::string path =
      savepanelonmain("Protokoll sichern", "Sichere den Verlauf als Text.", kTranscriptName, "txt");
  if (path.empty()) return;
  std::string failure;
  if (!writeFileAtomically(path, session.transcript(), failure)) {
    logLine("VelmoratSaveTranscript: " + path + ": " + failure);
    answer("Protokoll nicht gesichert: " + filenamefrompath(path) +
           " kann nicht geschrieben werden.");
    return;
  }
  answer("Protokoll gesichert: " + filenamefrompath(path));
}

// The transcript on the virtual printer's paper, whose text view scrolls and
// can be searched; the printer comes to the front.
void showTranscript(const Session& session) {
  const std::string transcript = session.transcript();
  const bool shown = onMainThread([&] {
    host::Host& desktop = host::current();
    if (!desktop.hasTextView(host::kVirtualPrinterWindow)) return false;
    desktop.setTextViewString(host::kVirtualPrinterWindow, transcript);
    return true;
  });
  if (!shown) {
    systemtext::logMissingTextView("VelmoratShowTranscript", host::kVirtualPrinterWindow);
    beep();
    return;
  }
  t_WindowVisible(host::kVirtualPrinterWindow, true);
  t_WindowFront(host::kVirtualPrinterWindow);
}

}  // namespace

std::string VelmoratAutosavePath(const Session& session) {
  const StateFolder kind = session.stateFolderKind();
  if (kind == StateFolder::None) return {};
  if (kind == StateFolder::Own) return session.ownStateFolder() + "/" + kAutosaveName;
  const std::string folder = stateFolderPath();
  return folder.empty() ? folder : folder + "/" + kAutosaveName;
}

bool VelmoratLastStateAvailable(GameState& game) {
  if (game.session->stateFolderKind() == StateFolder::Unchosen) return false;
  const std::string path = VelmoratAutosavePath(*game.session);
  if (path.empty() || fileexists(path) != kIsAFile) return false;
  const std::vector<std::uint8_t> bytes = getbinaryfromfile(path);
  return VelmoratDecodeSave(
             std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
             dataIdentity(game))
             .refusal == SaveRefusal::None;
}

void VelmoratPrepareProgress(Session& session) {
  // A game killed while it kept its last state left a temporary file beside it.
  const std::string autosave = VelmoratAutosavePath(session);
  if (!autosave.empty()) removeLeftTemporaryFiles(autosave);
  addPanelEntry(kMenuLoadGame, "Spiel laden", "Wähle einen Spielstand.", "");
  addPanelEntry(kMenuSaveGame, "Spiel sichern", "Sichere den Spielstand.",
                std::string("Velmorat.") + kSaveFileType);
  t_SetProgramMenuHandler([&session] { programMenuHandler(session); });
  t_SetScrolledLineHandler([&session](std::uint8_t window, const std::string& line) {
    session.keepScrolledLine(window, line);
  });
  t_SetScrollbackSource(VelmoratTextWindow(), {[&session] { return session.transcriptLineCount(); },
                                               [&session](std::size_t first, std::size_t count) {
                                                 return session.transcriptLines(first, count);
                                               }});
}

void VelmoratReleaseProgress() {
  t_SetProgramMenuHandler({});
  t_SetScrolledLineHandler({});
  t_SetScrollbackSource(VelmoratTextWindow(), {});
}

GameState VelmoratProgressOf(GameState& game) {
  // The session's parts step aside while the rest is copied.
  std::vector<Text> lines = std::move(game.ScriptLines);
  t_Graphic picture = std::move(game.ScenePicture);
  t_Font regular = std::move(game.RegularFont);
  t_Font bold = std::move(game.BoldFont);
  GameState copy = game;
  game.ScriptLines = std::move(lines);
  game.ScenePicture = std::move(picture);
  game.RegularFont = std::move(regular);
  game.BoldFont = std::move(bold);
  return copy;
}

void VelmoratProgressNewGame(GameState& game) {
  SessionProgress& progress = progressOf(game);
  progress.steps.clear();
  progress.commandSinceAutosave = false;
}

void VelmoratProgressAtPrompt(GameState& game) {
  SessionProgress& progress = progressOf(game);
  if (!progress.commandSinceAutosave) return;
  progress.commandSinceAutosave = false;
  const std::string path = VelmoratAutosavePath(*game.session);
  if (path.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::string failure;
  if (writeFileAtomically(path, VelmoratEncodeSave(game, dataIdentity(game)), failure)) return;
  logLine("VelmoratAutosave: " + path + ": " + failure);
  if (!progress.autosaveFailureShown) {
    VelmoratPrintMessage("Der letzte Stand kann nicht gesichert werden.");
    progress.autosaveFailureShown = true;
  }
}

void VelmoratProgressCommandTaken(GameState& game, const std::string& typedLine, GameState before) {
  SessionProgress& progress = progressOf(game);
  progress.steps.push_back({std::move(before), typedLine});
  if (progress.steps.size() > kUndoSteps) progress.steps.pop_front();
  progress.commandSinceAutosave = true;
}

t_EventCounts VelmoratProgressSeen(const GameState& game) {
  return progressOf(game).seen;
}

bool VelmoratTakeProgressRequests(GameState& game) {
  SessionProgress& progress = progressOf(game);
  bool any = false;
  // Only what came since the last look: the queues keep every event.
  const std::vector<t_MenuEvent> events =
      MenuEventQueueCopyFrom(static_cast<std::size_t>(progress.seen.menuEvents));
  for (const t_MenuEvent& event : events) {
    const int tag = event.ItemAction;
    if (event.Kind != kMenuItemKind || !isProgramTag(tag)) continue;
    Request request{tag, {}};
    if (tag == kMenuLoadGame || tag == kMenuSaveGame) {
      request.path = panelPath(tag);
      if (request.path.empty()) continue;  // the panel was cancelled
    }
    progress.pending.push_back(request);
    any = true;
  }
  progress.seen.menuEvents += static_cast<int>(events.size());
  const std::vector<t_Event> files =
      FileEventQueueCopyFrom(static_cast<std::size_t>(progress.seen.fileEvents));
  for (const t_Event& file : files) {
    progress.pending.push_back({kOpenedFile, file.Description});
    any = true;
  }
  progress.seen.fileEvents += static_cast<int>(files.size());
  return any;
}

ProgressOutcome VelmoratCarryOutProgressRequests(GameState& game, bool gameRunning,
                                                 const std::function<void()>& beforeFirstLine) {
  SessionProgress& progress = progressOf(game);
  std::vector<Request> requests = std::move(progress.pending);
  progress.pending.clear();
  Answer answer{beforeFirstLine};
  bool replaced = false;
  for (const Request& request : requests) {
    switch (request.tag) {
      case kOpenedFile:
      case kMenuLoadGame:
        if (load(game, gameRunning || replaced, request.path, "Spiel laden", answer)) {
          answer("Spielstand geladen: " + filenamefrompath(request.path));
          replaced = true;
        }
        break;
      case kMenuSaveGame:
        save(game, gameRunning || replaced, request.path, answer);
        break;
      case kMenuTakeBackMove:
        replaced = takeBack(game, answer) || replaced;
        break;
      case kMenuLoadLastState:
        replaced = loadLastState(game, gameRunning || replaced, answer) || replaced;
        break;
      case kMenuSaveTranscript:
        saveTranscript(*game.session, answer);
        break;
      case kMenuShowTranscript:
        showTranscript(*game.session);
        break;
      default:
        break;
    }
  }
  return replaced ? ProgressOutcome::Replaced : ProgressOutcome::Unchanged;
}

bool VelmoratLoadLastState(GameState& game) {
  const std::function<void()> nothingBefore = [] {};
  Answer answer{nothingBefore};
  return loadLastState(game, true, answer);
}

void VelmoratQueueProgressRequest(GameState& game, int tag, const std::string& path) {
  progressOf(game).pending.push_back({tag, path});
}

void VelmoratStartAnew(GameState& game) {
  rememberStep(game, "neustart");
  GameState fresh;
  fresh.CurrentScene = 0;
  takeOver(game, std::move(fresh));
  progressOf(game).commandSinceAutosave = true;
}
