#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Progress.h"
#include "adventure/ScriptAuthoring.h"
#include "app/Main.h"
#include "host/fake/FakeHost.h"
#include "support/Bundle.h"
#include "support/ThreadLaunch.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace testing_engine {

namespace {

// Generous, for sanitizer builds on a busy machine; an idle program answers
// long before.
constexpr auto kIdleTimeout = std::chrono::seconds(60);

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A grey 16 x 32 font whose glyphs are distinct enough to see in pixels: each
// glyph of a printable code fills its cell but the last column with ink.
t_Font testFont() {
  t_Font font;
  font.Format = 2;
  font.Start = 32;
  font.End = 255;
  font.Width = 16;
  font.Height = 32;
  font.Data.assign(256 * 16 * 32, 0);
  for (int code = 33; code < 256; ++code) {
    for (int row = 4; row < 28; ++row) {
      for (int column = 2; column < 14; ++column) font.Data[(code * 32 + row) * 16 + column] = 255;
    }
  }
  return font;
}

host::FakeHost& fakeHost() {
  static host::FakeHost screenless;
  if (!host::installed()) host::install(&screenless);
  return screenless;
}

}  // namespace

TestBundle::TestBundle(const std::string& name) {
  bundle_ = std::filesystem::temp_directory_path() /
            ("velmorat-engine-" + std::to_string(::getpid()) + "-" + name) / "Velmorat.app";
  std::filesystem::remove_all(bundle_);
  std::filesystem::create_directories(bundle_ / "Contents/Resources/Data");
  std::vector<std::uint8_t> font = glyphs::fontToBytes(testFont());
  writeBytes(bundle_ / "Contents/Resources" / kRegularFontName, font);
  writeBytes(bundle_ / "Contents/Resources" / kBoldFontName, font);
}

TestBundle::~TestBundle() {
  std::error_code ignored;
  std::filesystem::remove_all(bundle_.parent_path(), ignored);
}

void TestBundle::addScript(int scene, const std::string& source) {
  adventure::PackedScript packed =
      adventure::packScriptSource(source, "test", {.allowMissingEnd = true});
  ASSERT_TRUE(packed.errors.empty()) << packed.errors.front();
  addRawDataFile(scene, packed.stored);
}

void TestBundle::addRawDataFile(int scene, const std::vector<std::uint8_t>& bytes) {
  writeBytes(bundle_ / "Contents/Resources/Data" / VelmoratDataFileName(scene), bytes);
}

void TestBundle::addPicture(const std::string& fileName, int width, int height, std::uint32_t rgb,
                            int pixelSize) {
  t_Graphic plain;
  plain.Format = 3;
  plain.Width = width;
  plain.Height = height;
  plain.PixelWidth = pixelSize;
  plain.PixelHeight = pixelSize;
  for (int i = 0; i < width * height; ++i) {
    plain.Data.push_back(static_cast<std::uint8_t>(rgb >> 16));
    plain.Data.push_back(static_cast<std::uint8_t>(rgb >> 8));
    plain.Data.push_back(static_cast<std::uint8_t>(rgb));
  }
  plain.Size = static_cast<std::int64_t>(plain.Data.size());
  writeBytes(bundle_ / "Contents/Resources/Data" / fileName, picture::fileBytes(plain));
}

void useBundle(const TestBundle& bundle) {
  fakeHost();
  setBundlePath(bundle.bundlePath());
}

GameRun::GameRun(const TestBundle& bundle, const VelmoratOptions& options, Session* session)
    : session_(session != nullptr ? *session : ownSession_) {
  useBundle(bundle);
  KeyEventQueue.clear();
  testing::internal::CaptureStdout();
  capturing_ = true;
  thread_ = std::thread([this, options] {
    try {
      VelmoratMainWithOptions(session_, options);
    } catch (const ProgramThreadExit&) {
    }
    {
      std::lock_guard guard(endLock_);
      ended_ = true;
    }
    endCondition_.notify_all();
    notifyInputObservers();
  });
}

GameRun::~GameRun() {
  if (!waitForEnd(0)) {
    ADD_FAILURE() << "the program thread did not end";
    thread_.detach();
  } else {
    thread_.join();
  }
  stopRefreshProcess();  // the screenless host outlives no thread of the run
  // The menu handler's workers use the session, which goes with this run.
  if (!awaitDetachedThreads(std::chrono::seconds(5))) ADD_FAILURE() << "a worker did not end";
  VelmoratReleaseProgress();  // the session goes with this run
  // Failures reported during the run went to the captured output with the log.
  std::string captured = log();
  if (testing::Test::HasFailure()) std::fputs(captured.c_str(), stderr);
}

std::string GameRun::log() {
  if (capturing_) {
    log_ = testing::internal::GetCapturedStdout();
    capturing_ = false;
  }
  return log_;
}

void GameRun::waitIdle(std::uint64_t newerThan) {
  awaitInputWait([this] { return ended_.load(); }, kIdleTimeout, newerThan);
}

std::string GameRun::screen() {
  waitIdle();
  return trimmedScreen();
}

std::string GameRun::screenAfter(const std::function<void()>& post) {
  waitIdle();
  const std::uint64_t answered = currentInputWait().serial;
  post();
  waitIdle(answered);
  return trimmedScreen();
}

std::string GameRun::trimmedScreen() {
  std::string screen = t_GetScreen(0, "\n");
  std::string trimmed;
  std::size_t start = 0;
  while (start < screen.size()) {
    std::size_t end = screen.find('\n', start);
    if (end == std::string::npos) end = screen.size();
    std::string line = screen.substr(start, end - start);
    line.erase(line.find_last_not_of(' ') + 1);
    trimmed += line + (end < screen.size() ? "\n" : "");
    start = end + 1;
  }
  return trimmed;
}

void GameRun::type(const std::string& keys) {
  waitIdle();
  t_KeyPostText(keys);
  waitIdle();
}

bool GameRun::waitForEnd(int timeoutMs) {
  std::unique_lock lock(endLock_);
  return endCondition_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [this] { return ended_.load(); });
}

const char* const kSmallWorld =
    "DIMENSION SCENES 4\n"
    "DIMENSION ITEMS 5\n"
    "DIMENSION FLAGS 9\n"
    "DEFINE ITEM 1 NAME Lampe\n"
    "DEFINE ITEM 2 NAME Münze\n"
    "DEFINE ITEM 3 NAME Kiste\n"
    "CLEAR INVENTORY\n"
    "CLEAR SCENES\n"
    "DEFINE SCENE 1 ITEM Lampe\n"
    "DEFINE SCENE 1 ITEM Münze COUNT 2\n"
    "GOTO SCENE 1\n"
    "@END\n";

std::string lastAnswer(const std::string& screen) {
  std::size_t prompt = screen.rfind(">>> Befehl ?", screen.rfind(">>> Befehl ?") - 1);
  return prompt == std::string::npos ? screen : screen.substr(prompt);
}

std::string answerTo(GameRun& run, const std::string& command) {
  run.type(command + "\r");
  std::string screen = run.screen();
  std::size_t echo = screen.rfind(">>> Befehl ? " + command);
  return echo == std::string::npos ? screen : screen.substr(echo);
}

std::uint32_t picturePixel(int x, int y) {
  std::uint32_t packed = g_Scrn(kPictureWindow, x, y);
  // packed bytes from the least significant: alpha, red, green, blue
  return ((packed >> 8) & 0xFF) << 16 | ((packed >> 16) & 0xFF) << 8 | ((packed >> 24) & 0xFF);
}

}  // namespace testing_engine
