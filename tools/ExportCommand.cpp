// export: a built game as something to give away.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/BundleBuild.h"
#include "tools/EngineFiles.h"
#include "tools/GameExport.h"
#include "tools/ToolCommand.h"

namespace {

namespace fs = std::filesystem;

class ExportProject final : public ToolCommand {
 public:
  ExportProject()
      : ToolCommand(
            "export", "a built game as a portable folder, a Debian package or a static site",
            "Builds DIR, then writes one of:\n"
            "  --folder OUT  OUT/<id>.app (the game with the velmorat program inside), a starter\n"
            "                script named after the game, README.md and LICENCE;\n"
            "  --deb OUT     OUT/<id>_<version>_<arch>.deb: the game as /usr/games/<id>, its\n"
            "                data in /usr/share/<id>/, its own desktop entry and an icon cut\n"
            "                from its pictures (pictures/icon.png, else the first scene picture),\n"
            "                depending on the engine's runtime libraries; checked with lintian.\n"
            "  --web OUT     the game as a static site (index.html and its files, for any web\n"
            "                server or games portal): the browser build of `make web` with the\n"
            "                game's data; --web-build DIR names a browser build elsewhere (an\n"
            "                installed velmorat-tool needs it unless one was put into\n"
            "                share/velmorat/web/launcher/).\n"
            "Two exported games never share a file. OUT must be empty or new unless --force.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "the game project")->required();
    CLI::Option* folder =
        command.add_option("--folder", folderOut_, "a portable folder")->option_text("OUT");
    CLI::Option* deb = command.add_option("--deb", debOut_, "a Debian package")
                           ->option_text("OUT")
                           ->excludes(folder);
    command.add_option("--web", webOut_, "a static site")
        ->option_text("OUT")
        ->excludes(folder)
        ->excludes(deb);
    command
        .add_option("--web-build", webBuild_,
                    "the browser build (default: make web's, or the installation's)")
        ->option_text("DIR");
    command.add_flag("--force", force_, "write into an OUT that is not empty");
  }
  int run() override {
    const std::string out = !folderOut_.empty() ? folderOut_ : !debOut_.empty() ? debOut_ : webOut_;
    if (out.empty()) {
      std::fprintf(stderr, "velmorat-tool: export needs --folder OUT, --deb OUT or --web OUT\n");
      return commandline::kUsageStatus;
    }
    std::error_code error;
    if (!force_ && fs::exists(out, error) && !fs::is_empty(out, error)) {
      std::fprintf(stderr, "velmorat-tool: %s is not empty (--force writes into it)\n",
                   out.c_str());
      return 1;
    }
    const bundlebuild::BuildResult built = bundlebuild::buildAndReport(folder_, {}, true);
    if (!built.built) return 1;
    const enginefiles::Engine engine = enginefiles::findEngine();
    if (engine.program.empty()) return 1;
    if (!webOut_.empty()) {
      const gameexport::ExportSource source{folder_, built.bundle, engine.program, built.info};
      return gameexport::exportWeb(source, webBuild_, engine.resources, out) ? 0 : 1;
    }
    const gameexport::ExportSource source{folder_, built.bundle, engine.program, built.info};
    const bool done = !folderOut_.empty() ? gameexport::exportFolder(source, out)
                                          : gameexport::exportDebian(source, out);
    if (done && !folderOut_.empty()) std::printf("%s\n", out.c_str());
    return done ? 0 : 1;
  }

 private:
  std::string folder_;
  std::string folderOut_;
  std::string debOut_;
  std::string webOut_;
  std::string webBuild_;
  bool force_ = false;
};

ExportProject exportProject;

}  // namespace
