// What the author's test runner reads of a test: the key file (its keys and
// its "# ends:" line) and the transcripts it compares. The input is the key
// file, then after a zero byte the expected transcript, then after another
// the transcript of the run. The diff of two transcripts is empty exactly
// when they have the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launcher/KeyScript.h"
#include "support/LineDiff.h"
#include "tools/TranscriptTest.h"

namespace {
// The next part of the input up to a zero byte (or its end).
std::string_view nextPart(std::string_view& rest) {
  const std::size_t end = rest.find('\0');
  const std::string_view part = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return part;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view keyFile = nextPart(rest);
  const std::string_view expected = nextPart(rest);
  const std::string_view actual = nextPart(rest);
  parseKeyScript(keyFile);
  const transcripttest::KeyFileNotes notes = transcripttest::readNotes(keyFile);
  transcripttest::endsAt(actual, notes.ends);
  const auto withLineEnd = [](std::string_view text) {
    return text.empty() || text.back() == '\n' ? std::string(text) : std::string(text) + '\n';
  };
  const bool equal = withLineEnd(expected) == withLineEnd(actual);
  if (linediff::unifiedDiff(expected, actual, "expected", "this run").empty() != equal)
    std::abort();
  return 0;
}
