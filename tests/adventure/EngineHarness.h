// A small data folder made by a test, and a run of the game's main routine on
// a thread of its own that the test drives key by key, the way a player
// would: wait until the program says it waits for input, look, type.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/Main.h"
#include "toolbox/graphics/Graphic.h"

namespace testing_engine {

// A bundle folder with the two fonts and an empty Data/ folder.
class TestBundle {
 public:
  explicit TestBundle(const std::string& name);
  ~TestBundle();
  TestBundle(const TestBundle&) = delete;
  TestBundle& operator=(const TestBundle&) = delete;
  // Packs a UTF-8 script source (lines joined with "\n") as DATAnnn.word.
  void addScript(int scene, const std::string& source);
  // Writes DATAnnn.word with these stored bytes as they are.
  void addRawDataFile(int scene, const std::vector<std::uint8_t>& bytes);
  // A plain RGB picture of one colour (0xRRGGBB): width x height picture
  // pixels, each drawn as pixelSize x pixelSize screen pixels.
  void addPicture(const std::string& fileName, int width, int height, std::uint32_t rgb,
                  int pixelSize = 1);
  std::string bundlePath() const { return bundle_.string(); }
  std::string dataFolder() const { return (bundle_ / "Contents/Resources/Data/").string(); }

 private:
  std::filesystem::path bundle_;
};

// Installs the screenless host and makes bundle the one the program plays,
// for tests that call the toolbox on their own thread.
void useBundle(const TestBundle& bundle);

// One run of VelmoratMain against a bundle, in a session of its own or in
// session (which must outlive the run). Only one at a time per process.
class GameRun {
 public:
  explicit GameRun(const TestBundle& bundle, const VelmoratOptions& options = {},
                   Session* session = nullptr);
  ~GameRun();
  // Waits until the program waits for input with no key queued, or has
  // ended, and returns window 0's text, lines joined with "\n", trailing
  // blanks trimmed.
  std::string screen();
  // Posts keys ("\r" is Return) and waits until the program has taken them.
  void type(const std::string& keys);
  // Runs post, which hands the program something other than keys (a menu
  // choice, an opened file), and returns the screen (as screen()) once the
  // program has answered it and waits again, or has ended.
  std::string screenAfter(const std::function<void()>& post);
  // Waits for the program thread to end; false after timeoutMs.
  bool waitForEnd(int timeoutMs = 5000);
  bool ended() const { return ended_.load(); }
  Session& session() { return session_; }
  // The diagnostic log of the run (standard output is captured from the
  // start); the first call ends the capture, so call it once the run has ended.
  std::string log();

 private:
  // newerThan: see awaitInputWait.
  void waitIdle(std::uint64_t newerThan = 0);
  // Window 0's text as screen() returns it, without waiting.
  std::string trimmedScreen();

  Session ownSession_;
  Session& session_;
  std::mutex endLock_;
  std::condition_variable endCondition_;
  std::atomic<bool> ended_{false};
  std::thread thread_;
  std::string log_;
  bool capturing_ = false;
};

// Scene 0 of a small world: four scenes, items Lampe, Münze and Kiste, nine
// flags; the lamp and two coins lie in scene 1, where it goes on.
extern const char* const kSmallWorld;

// The text after the last prompt that has an answer below it.
std::string lastAnswer(const std::string& screen);

// Types a command and returns the screen from its echo on: the answer to it.
std::string answerTo(GameRun& run, const std::string& command);

// The packed colour of window 1 at (x, y) as 0xRRGGBB.
std::uint32_t picturePixel(int x, int y);

}  // namespace testing_engine
