// velmorat in a web browser: main runs on a thread of its own (the page's
// thread must never wait), which becomes the host's main thread; the game
// runs on the program thread as on the desktop. The page has put the game's
// resources at kBundle and the browser's storage at kStorage before main.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "adventure/GameInfo.h"
#include "adventure/MenuTags.h"
#include "app/Main.h"
#include "host/web/PageCalls.h"
#include "host/web/WebHost.h"
#include "launcher/GameIdentity.h"
#include "support/Bundle.h"
#include "support/Log.h"
#include "support/StateFolder.h"
#include "toolbox/windows/ProgramThread.h"

namespace {

constexpr const char* kBundle = "/Velmorat.app";
// Kept in IndexedDB by the page: the last state and the saves, each game of
// the site in a folder of its own below these.
constexpr const char* kStateFolder = "/persist/state";
constexpr const char* kSaveFolder = "/persist/saves";

// The desktop's menu items for the game's own actions, as toolbar buttons.
std::vector<web::WebMenuItem> velmoratMenuItems() {
  return {
      {"Spiel laden\u2026", "Ablage", kMenuLoadGame, ""},
      {"Spiel sichern\u2026", "Ablage", kMenuSaveGame, "s"},
      {"Zug zur\u00FCcknehmen", "Bearbeiten", kMenuTakeBackMove, "u"},
      {"Letzten Stand laden", "Ablage", kMenuLoadLastState, "r"},
      {"Protokoll sichern\u2026", "Ablage", kMenuSaveTranscript, ""},
      {"Verlauf", "Fenster", kMenuShowTranscript, "j"},
  };
}

// A save names its game on its second line ("game ID") when the game has a
// game.ini; saves without one belong to any game.
bool savedByAnotherGame(const std::filesystem::path& file) {
  constexpr std::string_view kGameKey = "game ";
  std::ifstream in(file, std::ios::binary);
  std::string head(256, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  const std::size_t second = head.find('\n');
  if (second == std::string::npos || head.compare(second + 1, kGameKey.size(), kGameKey) != 0)
    return false;
  const std::size_t idStart = second + 1 + kGameKey.size();
  adventure::GameInfo owner;
  owner.id = head.substr(idStart, head.find('\n', idStart) - idStart);
  return adventure::stateFolderNameOf(owner) != stateFolderName();
}

// Saves from before each game of a site had a folder of its own lie at the
// top of kSaveFolder: the first game to start since takes those that do not
// name another game, so that they stay in its load panel.
void adoptEarlierSaves(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(folder, error) || !fs::create_directories(folder, error)) return;
  std::vector<fs::path> earlier;
  for (const fs::directory_entry& entry : fs::directory_iterator(kSaveFolder, error)) {
    if (entry.is_regular_file(error) && !savedByAnotherGame(entry.path()))
      earlier.push_back(entry.path());
  }
  for (const fs::path& file : earlier) {
    fs::rename(file, fs::path(folder) / file.filename(), error);
    if (error) logLine("main: " + file.string() + " stays where it is: " + error.message());
  }
  if (!earlier.empty()) web::page::syncStorage();
}

}  // namespace

int main() {
  // The standard output of a thread waits for the page's thread at every
  // line; the console takes the log's lines without a wait (a walkthrough
  // command writes 20 to 45 of them).
  setLogSink([](std::string_view line) {
    web::page::consoleLine(std::string(line));
    return true;
  });
  setenv("XDG_STATE_HOME", kStateFolder, 1);
  setBundlePath(kBundle);
  const std::string missing = firstMissingResource(VelmoratRequiredResources());
  if (!missing.empty())
    logLine("main: No game in " + bundlePath() + ": " + missing + " is missing.");
  // The page has no desktop id to give.
  adoptGameIdentity({});
  web::WebOptions options;
  options.title = VelmoratTitle() + " " + VelmoratCredit();
  options.menuItems = velmoratMenuItems();
  options.aboutLines = {VelmoratTitle(), VelmoratCredit(), "", "Ein Grafik-Textadventure."};
  options.saveFolder = std::string(kSaveFolder) + "/" + stateFolderName();
  adoptEarlierSaves(options.saveFolder);
  // The host lives as long as the page: run() never returns.
  static Session session;
  // The page's storage is the player's own: the last state kept there is
  // offered when the page opens again.
  session.useStateFolder(StateFolder::Player);
  static web::WebHost browser(options);
  host::install(&browser);
  applicationWillFinishLaunching();
  browser.run([] { applicationDidFinishLaunching([] { VelmoratMain(session); }); });
}
