// Transcript tests of a game project (velmorat-tool test): every
// tests/NAME.keys is played headless by the velmorat program and what the
// text window showed is compared with tests/NAME.expected.
//
// A test fails on a transcript that differs, on a "***" script message, on
// keys left unused or typed at a wait they do not fit, and on a game that does
// not end at the text of a "# ends: TEXT" line of its key file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace transcripttest {

// What a key file's comment lines ask of the run.
struct KeyFileNotes {
  std::string ends;  // "# ends: Du hast ... gewonnen." (empty: no such line)
};
KeyFileNotes readNotes(std::string_view keyFile);

// Whether text stands in the transcript after its last command prompt: the
// answer to the last command, where a game ends.
bool endsAt(std::string_view transcript, std::string_view text);

struct TestResult {
  std::string name;
  std::vector<std::string> failures;  // one line each; empty: passed
  std::string diff;                   // unified diff expected -> actual
  double seconds = 0;
  bool passed() const { return failures.empty(); }
};

struct TestRun {
  std::string program;  // the velmorat program
  std::string bundle;   // the built game
  std::string project;  // with tests/
  std::string work;     // where transcripts, logs and state of the runs go
  bool bless = false;   // store the transcripts as the expected ones
};

// The test names of the project: tests/*.keys without ".keys", sorted.
std::vector<std::string> testNames(const std::string& project);

// Plays the named tests, several at once, and judges them.
std::vector<TestResult> runTests(const TestRun& run, const std::vector<std::string>& names);

// JUnit XML of the results, for CI.
std::string junitXml(const std::string& suite, const std::vector<TestResult>& results);

}  // namespace transcripttest
