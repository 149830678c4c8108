#include "tools/BundleBuild.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>

#include "adventure/ScriptAuthoring.h"
#include "adventure/ScriptCheck.h"
#include "support/AtomicFile.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "tools/ChildProcess.h"
#include "tools/EngineFiles.h"
#include "tools/PictureConversion.h"
#include "tools/Png.h"

namespace bundlebuild {
namespace {

namespace fs = std::filesystem;

// A file the build makes from its sources when one of them is newer.
struct Step {
  std::vector<fs::path> sources;
  fs::path output;
  // Makes output; a fault line on failure, empty on success.
  std::function<std::string()> make;
};

bool isStale(const Step& step) {
  std::error_code error;
  const auto made = fs::last_write_time(step.output, error);
  if (error) return true;
  return std::any_of(step.sources.begin(), step.sources.end(), [&](const fs::path& source) {
    std::error_code sourceError;
    const auto changed = fs::last_write_time(source, sourceError);
    return sourceError || changed > made;
  });
}

std::string readText(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = getbinaryfromfile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

std::string writeBytes(const fs::path& path, std::string_view bytes) {
  std::string failure;
  if (writeFileAtomically(path.string(), bytes, failure)) return {};
  return path.string() + ": cannot be written: " + failure;
}

std::string packScript(const fs::path& source, const fs::path& output,
                       std::vector<std::string>& warnings) {
  adventure::PackedScript packed = adventure::packScriptSource(readText(source), source.string());
  warnings.insert(warnings.end(), packed.warnings.begin(), packed.warnings.end());
  if (!packed.errors.empty()) {
    std::string joined;
    for (const std::string& line : packed.errors) joined += (joined.empty() ? "" : "\n") + line;
    return joined;
  }
  return writeBytes(output, std::string_view(reinterpret_cast<const char*>(packed.stored.data()),
                                             packed.stored.size()));
}

// PNG to picture with the automatic format: the smallest file that keeps the
// image's colours.
std::string convertPng(const fs::path& png, const fs::path& source, const fs::path& output) {
  std::string error;
  const std::optional<png::RgbaImage> image = png::readFile(png.string(), error);
  if (!image) return source.string() + ": " + error;
  if (image->width > 0xFFFF || image->height > 0xFFFF)
    return source.string() + ": pictures are at most 65535 pixels wide and high";
  const t_Graphic encoded = picture::smallestEncoding(*image, 1, 1);
  const std::vector<std::uint8_t> file = picture::fileBytes(encoded);
  return writeBytes(output,
                    std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

std::string convertSvg(const fs::path& svg, const fs::path& png, const fs::path& output) {
  const std::string rsvg = toolprocess::findOnPath("rsvg-convert");
  if (rsvg.empty()) return svg.string() + ": rsvg-convert is missing (Debian: librsvg2-bin)";
  std::error_code error;
  fs::create_directories(png.parent_path(), error);
  // Run in the picture's folder: drawings refer to shared files by name.
  const std::string errors = fs::absolute(png).string() + ".errors";
  toolprocess::ChildOptions options;
  options.standardError = errors;
  options.workingFolder = svg.parent_path().string();
  const int status = toolprocess::runProgram(
      {rsvg, "--format", "png", "--output", fs::absolute(png).string(), svg.filename().string()},
      options);
  if (status != 0) {
    std::string message = readText(errors);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    return svg.string() + ": rsvg-convert failed: " + message;
  }
  fs::remove(errors, error);
  return convertPng(png, svg, output);
}

std::string copyFile(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error)
    return to.string() + ": cannot be copied from " + from.string() + ": " + error.message();
  return {};
}

// The sources below folder whose names match pattern, sorted.
std::vector<fs::path> sourcesIn(const fs::path& folder, const std::regex& pattern) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && std::regex_match(entry.path().filename().string(), pattern))
      found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Removes the files of Data/ that no source makes any more (a deleted scene
// must not stay playable).
void removeOrphans(const fs::path& data, const std::vector<Step>& steps) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(data, error)) {
    const bool made = std::any_of(steps.begin(), steps.end(),
                                  [&](const Step& step) { return step.output == entry.path(); });
    if (!made) fs::remove_all(entry.path(), error);
  }
}

}  // namespace

std::string defaultBundlePath(const std::string& project, const adventure::GameInfo& info) {
  return (fs::path(project) / "build" / (info.id + ".app")).string();
}

BuildResult buildBundle(const std::string& project, const std::string& out) {
  BuildResult result;
  const fs::path root(project);
  const adventure::GameInfoReading reading =
      adventure::readGameInfo((root / adventure::kGameInfoFileName).string());
  if (!reading.faults.empty()) {
    result.faults = reading.faults;
    return result;
  }
  result.info = reading.info;
  result.bundle = out.empty() ? defaultBundlePath(project, result.info) : out;
  const enginefiles::Engine engine = enginefiles::findEngine();
  if (engine.resources.empty()) {
    result.faults.push_back("the engine's resources were not found");
    return result;
  }
  const fs::path resources = fs::path(result.bundle) / "Contents" / "Resources";
  const fs::path data = resources / "Data";
  const fs::path intermediate = root / "build" / "pictures";
  std::error_code error;
  fs::create_directories(data, error);
  if (error) {
    result.faults.push_back(data.string() + ": cannot be made: " + error.message());
    return result;
  }

  std::vector<std::string> warnings;
  std::vector<Step> steps;
  const fs::path ini = root / adventure::kGameInfoFileName;
  steps.push_back({{ini}, resources / adventure::kGameInfoFileName, [=] {
                     return copyFile(ini, resources / adventure::kGameInfoFileName);
                   }});
  for (const std::string& name : enginefiles::sharedResourceNames()) {
    const fs::path from = fs::path(engine.resources) / name;
    steps.push_back({{from}, resources / name, [=] { return copyFile(from, resources / name); }});
  }
  for (const fs::path& script : sourcesIn(root / "scripts", std::regex("DATA[0-9]{3,}\\.txt"))) {
    const fs::path output = data / (script.stem().string() + ".word");
    steps.push_back(
        {{script}, output, [=, &warnings] { return packScript(script, output, warnings); }});
  }
  for (const fs::path& svg : sourcesIn(root / "pictures", std::regex(".+\\.svg"))) {
    const fs::path output = data / (svg.stem().string() + ".gr");
    const fs::path png = intermediate / (svg.stem().string() + ".png");
    steps.push_back({{svg}, output, [=] { return convertSvg(svg, png, output); }});
  }
  for (const fs::path& png : sourcesIn(root / "pictures", std::regex(".+\\.png"))) {
    const fs::path output = data / (png.stem().string() + ".gr");
    steps.push_back({{png}, output, [=] { return convertPng(png, png, output); }});
  }
  if (sourcesIn(root / "scripts", std::regex("DATA000\\.txt")).empty())
    result.faults.push_back((root / "scripts").string() +
                            ": DATA000.txt is missing (the first scene)");

  for (const Step& step : steps) {
    if (!isStale(step)) continue;
    const std::string fault = step.make();
    if (fault.empty()) {
      ++result.filesMade;
    } else {
      result.faults.push_back(fault);
      fs::remove(step.output, error);  // the next build tries again
    }
  }
  removeOrphans(data, steps);
  result.warnings.insert(result.warnings.end(), warnings.begin(), warnings.end());
  if (!result.faults.empty()) return result;
  // Checked at the sources, so that findings name the lines the author edits.
  for (const adventure::ScriptFinding& finding : adventure::checkScripts(project).findings) {
    (finding.severity == adventure::FindingSeverity::Error ? result.faults : result.warnings)
        .push_back(finding.text());
  }
  result.built = result.faults.empty();
  return result;
}

BuildResult buildAndReport(const std::string& project, const std::string& out, bool quiet) {
  BuildResult result = buildBundle(project, out);
  for (const std::string& warning : result.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  for (const std::string& fault : result.faults) std::fprintf(stderr, "%s\n", fault.c_str());
  if (!result.built) {
    std::fprintf(stderr, "velmorat-tool: %s was not built (%zu fault(s))\n", project.c_str(),
                 result.faults.size());
  } else if (!quiet) {
    std::printf("%s: %d file(s) made\n", result.bundle.c_str(), result.filesMade);
  }
  return result;
}

}  // namespace bundlebuild
