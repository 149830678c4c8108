// new, build and test: a game project from its first files to a bundle whose
// transcript tests pass.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/AtomicFile.h"
#include "tools/BundleBuild.h"
#include "tools/EngineFiles.h"
#include "tools/ProjectTemplate.h"
#include "tools/ToolCommand.h"
#include "tools/TranscriptTest.h"

namespace {

namespace fs = std::filesystem;

bool folderHasFiles(const fs::path& folder) {
  std::error_code error;
  return fs::exists(folder, error) && !fs::is_empty(folder, error);
}

// Builds and tests; the exit status of test.
// bundle empty: build the project and test what it built.
int buildAndTest(const std::string& project, const std::string& bundle,
                 const std::vector<std::string>& chosen, bool bless, const std::string& junit) {
  bundlebuild::BuildResult built;
  if (bundle.empty()) {
    built = bundlebuild::buildAndReport(project, {}, true);
    if (!built.built) return 1;
  } else {
    built.bundle = bundle;
    built.info =
        adventure::readGameInfo((fs::path(project) / adventure::kGameInfoFileName).string()).info;
  }
  const enginefiles::Engine engine = enginefiles::findEngine();
  if (engine.program.empty()) return 1;
  const std::vector<std::string> names =
      chosen.empty() ? transcripttest::testNames(project) : chosen;
  if (names.empty()) {
    std::fprintf(stderr, "velmorat-tool: %s/tests holds no NAME.keys\n", project.c_str());
    return 1;
  }
  // Beside the bundle: a project's build/ folder, or the build tree of a
  // bundle made elsewhere.
  const std::string work = (fs::path(built.bundle).parent_path() / "transcripts").string();
  const transcripttest::TestRun run{engine.program, built.bundle, project, work, bless};
  const std::vector<transcripttest::TestResult> results = transcripttest::runTests(run, names);
  int failed = 0;
  for (const transcripttest::TestResult& result : results) {
    std::printf("%s %s (%.2f s)\n", result.passed() ? (bless ? "blessed" : "passed ") : "FAILED ",
                result.name.c_str(), result.seconds);
    for (const std::string& line : result.failures) std::printf("  %s\n", line.c_str());
    std::fputs(result.diff.c_str(), stdout);
    if (!result.passed()) ++failed;
  }
  std::printf("%zu test(s), %d failed\n", results.size(), failed);
  if (!junit.empty()) {
    std::string failure;
    if (!writeFileAtomically(junit, transcripttest::junitXml(built.info.id, results), failure)) {
      std::fprintf(stderr, "velmorat-tool: %s: %s\n", junit.c_str(), failure.c_str());
      return 1;
    }
  }
  return failed == 0 ? 0 : 1;
}

class NewProject final : public ToolCommand {
 public:
  NewProject()
      : ToolCommand(
            "new", "make a game project that builds and can be won at once",
            "Writes a small German game into DIR (which must be empty or new): game.ini,\n"
            "scripts/DATA000.txt (the prologue: tables, items, words) to DATA002.txt (two\n"
            "scenes and a win), pictures/ (a scene and an item picture as SVG, an item\n"
            "picture as PNG), tests/walkthrough.keys and a README.md for the author; then\n"
            "builds it and stores the walkthrough's transcript as tests/walkthrough.expected.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "the new project's folder")->required();
    command.add_option("--title", title_, "the game's title (default: the folder's name)");
  }
  int run() override {
    if (folderHasFiles(folder_)) {
      std::fprintf(stderr, "velmorat-tool: %s is not empty; new writes only into a new folder\n",
                   folder_.c_str());
      return 1;
    }
    const std::string title =
        title_.empty() ? fs::absolute(folder_).lexically_normal().filename().string() : title_;
    for (const projecttemplate::TemplateFile& file :
         projecttemplate::projectFiles(title, projecttemplate::idForTitle(title))) {
      const fs::path path = fs::path(folder_) / file.path;
      std::error_code error;
      fs::create_directories(path.parent_path(), error);
      std::string failure;
      if (!writeFileAtomically(path.string(), file.bytes, failure)) {
        std::fprintf(stderr, "velmorat-tool: %s: %s\n", path.string().c_str(), failure.c_str());
        return 1;
      }
    }
    std::printf("%s: a new game \"%s\"\n", folder_.c_str(), title.c_str());
    return buildAndTest(folder_, {}, {"walkthrough"}, true, {});
  }

 private:
  std::string folder_;
  std::string title_;
};

class BuildProject final : public ToolCommand {
 public:
  BuildProject()
      : ToolCommand(
            "build", "make a game project's playable bundle (only what changed)",
            "Packs every scripts/DATAnnn.txt, renders every pictures/*.svg (rsvg-convert) and\n"
            "converts it and every pictures/*.png with the automatic format choice, copies\n"
            "game.ini and the engine's fonts and beep into BUNDLE (default\n"
            "DIR/build/<id>.app). Only files older than their source are made again, and\n"
            "files whose source is gone are removed. Stops with status 1 on a fault of\n"
            "game.ini, a script or a picture, and on the faults check-script finds.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "the game project")->required();
    command.add_option("--out", out_, "the bundle to make")->option_text("BUNDLE");
  }
  int run() override { return bundlebuild::buildAndReport(folder_, out_, false).built ? 0 : 1; }

 private:
  std::string folder_;
  std::string out_;
};

class TestProject final : public ToolCommand {
 public:
  TestProject()
      : ToolCommand(
            "test", "replay a project's key files and compare the transcripts",
            "Builds DIR, then plays every DIR/tests/NAME.keys (or the NAMEs given) headless\n"
            "and compares what the text window showed with DIR/tests/NAME.expected, printing\n"
            "a unified diff for each that differs. A test also fails on a \"***\" script\n"
            "message, on keys left unused or typed at a wait they do not fit, and when a\n"
            "\"# ends: TEXT\" line of the key file names a text that does not follow the last\n"
            "command. Lines of a key file are typed at the prompt; \"Weiter...\" is answered\n"
            "with Return first. --bless stores the transcripts as the expected ones. Exit\n"
            "status 0 only when all pass.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "the game project")->required();
    command.add_option("NAME", names_, "tests to run (default: all)");
    command.add_flag("--bless", bless_, "store this run's transcripts as the expected ones");
    command.add_option("--bundle", bundle_, "test this built bundle instead of building DIR")
        ->option_text("BUNDLE");
    command.add_option("--junit", junit_, "write JUnit XML of the results to FILE")
        ->option_text("FILE");
  }
  int run() override { return buildAndTest(folder_, bundle_, names_, bless_, junit_); }

 private:
  std::string folder_;
  std::vector<std::string> names_;
  std::string bundle_;
  bool bless_ = false;
  std::string junit_;
};

NewProject newProject;
BuildProject buildProject;
TestProject testProject;

}  // namespace
