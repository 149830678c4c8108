// pack-script, unpack-script and check-script: the authoring commands for
// adventure data files.
#include <cstdio>
#include <string>
#include <vector>

#include "adventure/ScriptAuthoring.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

int packScript(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: velmorat-tool pack-script IN.txt OUT.word\n");
    return 2;
  }
  const std::vector<std::uint8_t> source = toolfiles::readInputFile(args[0]);
  if (source.empty()) return 1;
  adventure::PackedScript packed =
      adventure::packScriptSource(std::string(source.begin(), source.end()), args[0]);
  for (const std::string& error : packed.errors) std::fprintf(stderr, "%s\n", error.c_str());
  for (const std::string& warning : packed.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  if (!packed.errors.empty()) return 1;
  return toolfiles::writeOutputFile(args[1], packed.stored) ? 0 : 1;
}

int unpackScript(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: velmorat-tool unpack-script IN.word OUT.txt\n");
    return 2;
  }
  const std::vector<std::uint8_t> stored = toolfiles::readInputFile(args[0]);
  if (stored.empty()) return 1;
  std::string source = adventure::unpackScript(stored);
  if (source.empty()) {
    std::fprintf(stderr, "%s: the file does not decode\n", args[0].c_str());
    return 1;
  }
  return toolfiles::writeOutputFile(args[1], source) ? 0 : 1;
}

int checkScript(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: velmorat-tool check-script DIR\n");
    return 2;
  }
  std::vector<std::string> findings = adventure::checkScriptFolder(args[0]);
  for (const std::string& finding : findings) std::printf("%s\n", finding.c_str());
  std::printf("%zu problem(s) found\n", findings.size());
  return findings.empty() ? 0 : 1;
}

const ToolCommandRegistration packRegistration({
    "pack-script",
    "UTF-8 script source to a stored data file (.word)",
    "velmorat-tool pack-script IN.txt OUT.word\n"
    "  Converts the UTF-8 script IN.txt to Latin-1 and stores it LZW-compressed as OUT.word.\n"
    "  A character outside Latin-1 is an error (file and line are named); a last line other\n"
    "  than \"@END\" is a warning, since the game would not load the file.",
    packScript,
});

const ToolCommandRegistration unpackRegistration({
    "unpack-script",
    "stored data file (.word) back to UTF-8 source",
    "velmorat-tool unpack-script IN.word OUT.txt\n"
    "  Decodes the data file IN.word and writes its script text as UTF-8 to OUT.txt.",
    unpackScript,
});

const ToolCommandRegistration checkRegistration({
    "check-script",
    "report faults in the data files of a data folder",
    "velmorat-tool check-script DIR\n"
    "  Loads every DATAnnn.word in DIR and reports, with file and line: unknown statements,\n"
    "  jumps to missing labels, scenes named by GOTO SCENE or an exit without a data file,\n"
    "  USE of missing pictures, items used but never defined, flag numbers outside\n"
    "  DIMENSION FLAGS, and files that do not load. Exit status 1 when it found any.",
    checkScript,
});

}  // namespace
