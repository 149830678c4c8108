// pack-script, unpack-script and check-script: the authoring commands for
// adventure data files.
#include <cstdio>
#include <string>
#include <vector>

#include "adventure/ScriptAuthoring.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

class PackScript final : public ToolCommand {
 public:
  PackScript()
      : ToolCommand("pack-script", "UTF-8 script source to a stored data file (.word)",
                    "Converts the UTF-8 script IN.txt to Latin-1 and stores it LZW-compressed as\n"
                    "OUT.word. A character outside Latin-1 is an error (file and line are named);\n"
                    "a last line other than \"@END\" is a warning, since the game would not load\n"
                    "the file.") {}
  void declare(CLI::App& command) override {
    command.add_option("IN.txt", in_, "script source (UTF-8)")->required();
    command.add_option("OUT.word", out_, "data file to write")->required();
  }
  int run() override {
    const auto source = toolfiles::readNonEmptyInputFile(in_);
    if (!source) return 1;
    adventure::PackedScript packed =
        adventure::packScriptSource(std::string(source->begin(), source->end()), in_);
    for (const std::string& error : packed.errors) std::fprintf(stderr, "%s\n", error.c_str());
    for (const std::string& warning : packed.warnings) {
      std::fprintf(stderr, "%s\n", warning.c_str());
    }
    if (!packed.errors.empty()) return 1;
    return toolfiles::writeOutputFile(out_, packed.stored) ? 0 : 1;
  }

 private:
  std::string in_;
  std::string out_;
};

class UnpackScript final : public ToolCommand {
 public:
  UnpackScript()
      : ToolCommand(
            "unpack-script", "stored data file (.word) back to UTF-8 source",
            "Decodes the data file IN.word and writes its script text as UTF-8 to OUT.txt.") {}
  void declare(CLI::App& command) override {
    command.add_option("IN.word", in_, "data file")->required();
    command.add_option("OUT.txt", out_, "script source to write (UTF-8)")->required();
  }
  int run() override {
    const auto stored = toolfiles::readNonEmptyInputFile(in_);
    if (!stored) return 1;
    std::string source = adventure::unpackScript(*stored);
    if (source.empty()) {
      std::fprintf(stderr, "%s: the file does not decode\n", in_.c_str());
      return 1;
    }
    return toolfiles::writeOutputFile(out_, source) ? 0 : 1;
  }

 private:
  std::string in_;
  std::string out_;
};

class CheckScript final : public ToolCommand {
 public:
  CheckScript()
      : ToolCommand(
            "check-script", "report faults in the data files of a data folder",
            "Loads every DATAnnn.word in DIR and reports, with file and line: unknown statements,\n"
            "jumps to missing labels, scenes named by GOTO SCENE or an exit without a data file,\n"
            "USE of missing pictures, items used but never defined, flag numbers outside\n"
            "DIMENSION FLAGS, and files that do not load. Exit status 1 when it found any.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "data folder")->required();
  }
  int run() override {
    std::vector<std::string> findings = adventure::checkScriptFolder(folder_);
    for (const std::string& finding : findings) std::printf("%s\n", finding.c_str());
    std::printf("%zu problem(s) found\n", findings.size());
    return findings.empty() ? 0 : 1;
  }

 private:
  std::string folder_;
};

PackScript packScript;
UnpackScript unpackScript;
CheckScript checkScript;

}  // namespace
