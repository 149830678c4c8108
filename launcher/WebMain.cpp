// velmorat in a web browser: main runs on a thread of its own (the page's
// thread must never wait), which becomes the host's main thread; the game
// runs on the program thread as on the desktop. The page has put the game's
// resources at kBundle and the browser's storage at kStorage before main.
#include <cstdlib>
#include <string>

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
