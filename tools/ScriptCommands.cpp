// pack-script, unpack-script and check-script: the authoring commands for
// adventure data files.
#include <cstdio>
#include <string>
#include <vector>

#include "adventure/ScriptAuthoring.h"
#include "adventure/ScriptCheck.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

class PackScript final : public ToolCommand {
 public:
  PackScript()
      : ToolCommand("pack-script", "UTF-8 script source to a stored data file (.word)",
                    "Converts the UTF-8 script IN.txt to Latin-1 and stores it LZW-compressed as\n"
                    "OUT.word. A byte order mark at the start is skipped. A character outside\n"
                    "Latin-1 is an error (file and line are named), and so is a last line other\n"
                    "than \"@END\", since the game would not load the file.") {}
  void declare(CLI::App& command) override {
    command.add_option("IN.txt", in_, "script source (UTF-8)")->required();
    command.add_option("OUT.word", out_, "data file to write")->required();
    command.add_flag("--fix-typography", options_.fixTypography,
                     "turn typographic quotes into \" and ', dashes into - and --, and the "
                     "ellipsis into ...");
    command.add_flag("--allow-missing-end", options_.allowMissingEnd,
                     "pack a script without \"@END\" (a warning instead of an error)");
  }
  int run() override {
    const auto source = toolfiles::readNonEmptyInputFile(in_);
    if (!source) return 1;
    adventure::PackedScript packed =
        adventure::packScriptSource(std::string(source->begin(), source->end()), in_, options_);
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
  adventure::PackOptions options_;
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
            "check-script", "report faults in the scripts of a data or source folder",
            "Reads every DATAnnn.word of DIR, or every DATAnnn.txt of DIR/scripts (a source\n"
            "folder, pictures in DIR/pictures), and reports each fault as FILE:LINE: error:\n"
            "or warning: with the line's index in the log (#nnn). Errors: unknown statements,\n"
            "missing labels, scene files and pictures, undefined items, tables used before\n"
            "or beyond their DIMENSION on the paths from scene 0, loops without INPUT, INKEY,\n"
            "QUIT or GOTO SCENE, files that do not load. Warnings: missing ITEMnnn.gr, labels\n"
            "defined twice, lines that never run, output lines that wrap, guesses of the path\n"
            "analysis. Messages are in English. Exit status 1 when it found an error (or a\n"
            "warning, with --werror).") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "data folder or source folder")->required();
    command.add_flag("--werror", warningsAreErrors_, "exit with status 1 on warnings too");
  }
  int run() override {
    const adventure::ScriptCheck check = adventure::checkScripts(folder_);
    for (const adventure::ScriptFinding& finding : check.findings) {
      std::printf("%s\n", finding.text().c_str());
    }
    std::printf("%zu error(s), %zu warning(s)\n", check.errors(), check.warnings());
    const bool failed = check.errors() > 0 || (warningsAreErrors_ && check.warnings() > 0);
    return failed ? 1 : 0;
  }

 private:
  std::string folder_;
  bool warningsAreErrors_ = false;
};

PackScript packScript;
UnpackScript unpackScript;
CheckScript checkScript;

}  // namespace
