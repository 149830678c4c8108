#include "tools/TranscriptTest.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "adventure/CommandPrompt.h"
#include "support/AtomicFile.h"
#include "support/LineDiff.h"
#include "support/qbtools.h"
#include "tools/ChildProcess.h"
#include "tools/MarkupText.h"

namespace transcripttest {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEndsNote = "# ends:";
// The exit statuses of velmorat --headless that name a fault of the run.
constexpr int kStatusScriptMessage = 3;
constexpr int kStatusKeysUnused = 4;

std::string readText(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return {};
  const std::vector<std::uint8_t> bytes = getbinaryfromfile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

// The lines of text that contain what, for a failure message.
std::vector<std::string> linesWith(std::string_view text, std::string_view what) {
  std::vector<std::string> found;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (line.find(what) != std::string_view::npos) found.emplace_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return found;
}

struct Started {
  std::string name;
  toolprocess::Child child;
  std::chrono::steady_clock::time_point start;
};

std::uintmax_t keyFileBytes(const TestRun& run, const std::string& name) {
  std::error_code error;
  const std::uintmax_t bytes =
      fs::file_size(fs::path(run.project) / "tests" / (name + ".keys"), error);
  return error ? 0 : bytes;
}

fs::path transcriptPath(const TestRun& run, const std::string& name) {
  return fs::path(run.work) / (name + ".transcript");
}

Started startTest(const TestRun& run, const std::string& name) {
  const fs::path work(run.work);
  std::error_code error;
  fs::remove_all(work / (name + ".state"), error);
  fs::remove(transcriptPath(run, name), error);
  toolprocess::ChildOptions options;
  // Each run keeps its autosave and log apart from the player's and the other runs'.
  options.environment = {{"XDG_STATE_HOME", (work / (name + ".state")).string()},
                         {"QT_QPA_PLATFORM", "offscreen"}};
  options.standardOutput = (work / (name + ".log")).string();
  options.standardError = (work / (name + ".errors")).string();
  const std::string keys = (fs::path(run.project) / "tests" / (name + ".keys")).string();
  return {name,
          toolprocess::Child({run.program, "--headless", "--bundle", run.bundle, "--keys", keys,
                              "--dump-transcript", transcriptPath(run, name).string()},
                             options),
          std::chrono::steady_clock::now()};
}

TestResult judge(const TestRun& run, Started& started) {
  TestResult result;
  result.name = started.name;
  const int status = started.child.wait();
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started.start).count();
  const fs::path tests = fs::path(run.project) / "tests";
  const std::string transcript = readText(transcriptPath(run, started.name));
  const std::string errors = readText(fs::path(run.work) / (started.name + ".errors"));
  auto fail = [&](const std::string& line) { result.failures.push_back(line); };
  if (status == kStatusScriptMessage) {
    fail("a \"***\" script message was shown");
    for (const std::string& line : linesWith(transcript, "***")) fail("  " + line);
  } else if (status == kStatusKeysUnused) {
    fail("keys were left unused or typed at a wait they do not fit");
  } else if (status != 0) {
    fail("velmorat ended with status " + std::to_string(status));
  }
  for (const std::string& line : linesWith(errors, "velmorat:")) fail("  " + line);
  const KeyFileNotes notes = readNotes(readText(tests / (started.name + ".keys")));
  if (!notes.ends.empty() && !endsAt(transcript, notes.ends))
    fail("the game does not end at \"" + notes.ends + "\"");
  const fs::path expectedPath = tests / (started.name + ".expected");
  if (run.bless) {
    std::string failure;
    if (!writeFileAtomically(expectedPath.string(), transcript, failure))
      fail(expectedPath.string() + ": " + failure);
    return result;
  }
  std::error_code error;
  if (!fs::is_regular_file(expectedPath, error)) {
    fail(expectedPath.string() + " is missing (velmorat-tool test --bless stores it)");
    return result;
  }
  result.diff =
      linediff::unifiedDiff(readText(expectedPath), transcript, expectedPath.string(), "this run");
  if (!result.diff.empty()) fail("the transcript differs from " + expectedPath.string());
  return result;
}

}  // namespace

KeyFileNotes readNotes(std::string_view keyFile) {
  KeyFileNotes notes;
  while (!keyFile.empty()) {
    const std::size_t end = keyFile.find('\n');
    const std::string_view line = keyFile.substr(0, end);
    if (line.starts_with(kEndsNote)) notes.ends = trimmed(line.substr(kEndsNote.size()));
    keyFile = end == std::string_view::npos ? std::string_view() : keyFile.substr(end + 1);
  }
  return notes;
}

bool endsAt(std::string_view transcript, std::string_view text) {
  const std::size_t prompt = transcript.rfind(kCommandPrompt);
  const std::string_view answer =
      prompt == std::string_view::npos ? transcript : transcript.substr(prompt);
  const std::size_t lineEnd = answer.find('\n');
  return lineEnd != std::string_view::npos &&
         answer.substr(lineEnd).find(text) != std::string_view::npos;
}

std::vector<std::string> testNames(const std::string& project) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(project) / "tests", error)) {
    if (entry.path().extension() == ".keys") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<TestResult> runTests(const TestRun& run, const std::vector<std::string>& names) {
  std::error_code error;
  fs::create_directories(run.work, error);
  // As many games at once as there are processors: each is one busy thread.
  // The longest key files start first and a game that ends makes room at
  // once, so a long test runs beside all the short ones (our game: 2.1 s
  // instead of 2.7 s on two processors).
  const std::size_t parallel = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::string> queued = names;
  std::stable_sort(queued.begin(), queued.end(), [&](const std::string& a, const std::string& b) {
    return keyFileBytes(run, a) > keyFileBytes(run, b);
  });
  std::vector<TestResult> results;
  std::vector<Started> running;
  for (std::size_t next = 0; next < queued.size() || !running.empty();) {
    while (next < queued.size() && running.size() < parallel)
      running.push_back(startTest(run, queued[next++]));
    const pid_t ended = toolprocess::waitForAnyEnd();
    auto done = std::find_if(running.begin(), running.end(),
                             [&](const Started& started) { return started.child.pid() == ended; });
    if (done == running.end()) done = running.begin();
    results.push_back(judge(run, *done));
    running.erase(done);
  }
  // Reported in the order of the names, whatever order they ended in.
  std::sort(results.begin(), results.end(), [&](const TestResult& a, const TestResult& b) {
    return std::find(names.begin(), names.end(), a.name) <
           std::find(names.begin(), names.end(), b.name);
  });
  return results;
}

std::string junitXml(const std::string& suite, const std::vector<TestResult>& results) {
  const auto failed = std::count_if(results.begin(), results.end(),
                                    [](const TestResult& result) { return !result.passed(); });
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite name=\"" +
                    markuptext::escaped(suite) + "\" tests=\"" + std::to_string(results.size()) +
                    "\" failures=\"" + std::to_string(failed) + "\">\n";
  for (const TestResult& result : results) {
    xml += "  <testcase classname=\"" + markuptext::escaped(suite) + "\" name=\"" +
           markuptext::escaped(result.name) + "\" time=\"" + std::to_string(result.seconds) + "\"";
    if (result.passed()) {
      xml += "/>\n";
      continue;
    }
    std::string message;
    for (const std::string& line : result.failures) message += line + "\n";
    xml += ">\n    <failure message=\"" + markuptext::escaped(result.failures.front()) + "\">" +
           markuptext::escaped(message + result.diff) + "</failure>\n  </testcase>\n";
  }
  return xml + "</testsuite>\n";
}

}  // namespace transcripttest
