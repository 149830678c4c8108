#include "tools/GameExport.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

#include "support/AtomicFile.h"
#include "support/qbtools.h"
#include "tools/ChildProcess.h"
#include "tools/MarkupText.h"
#include "tools/Png.h"

namespace gameexport {
namespace {

namespace fs = std::filesystem;

constexpr int kIconSide = 256;
constexpr const char* kLicenceNames[] = {"LICENCE", "LICENSE", "COPYING", "LICENCE.md",
                                         "LICENSE.md"};
// The browser build's program, the same for every game (make web).
constexpr const char* kWebProgramParts[] = {"velmorat.js", "velmorat.wasm", "velmorat.worker.js"};
// The page's own name for the game, in its title and its toolbar.
constexpr std::string_view kPageGameName = ">Velmorat<";

bool fail(const std::string& message) {
  std::fprintf(stderr, "velmorat-tool: %s\n", message.c_str());
  return false;
}

bool writeText(const fs::path& path, const std::string& text, bool executable = false) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::string failure;
  if (!writeFileAtomically(path.string(), text, failure))
    return fail(path.string() + ": " + failure);
  if (executable) {
    fs::permissions(path,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    error);
  }
  return true;
}

bool copyTree(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
  return !error ||
         fail("cannot copy " + from.string() + " to " + to.string() + ": " + error.message());
}

std::optional<fs::path> licenceFile(const std::string& project) {
  for (const char* name : kLicenceNames) {
    std::error_code error;
    if (fs::is_regular_file(fs::path(project) / name, error)) return fs::path(project) / name;
  }
  return std::nullopt;
}

std::string readText(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = getbinaryfromfile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

// The game's licence: its own file, or the licence named in game.ini.
std::string licenceText(const ExportSource& source) {
  if (const auto file = licenceFile(source.project)) return readText(*file);
  return source.info.title + " by " + source.info.author + " is published under the licence " +
         source.info.licence + " (game.ini).\n";
}

std::string lastLabel(const std::string& id) {
  std::string name = id.substr(id.rfind('.') + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

// "Erika Muster <erika@example.org>" stays; a bare name gets an address of the
// id's domain, which Debian requires.
std::string maintainer(const adventure::GameInfo& info) {
  if (info.author.find('<') != std::string::npos) return info.author;
  std::string domain;
  std::string rest = info.id.substr(0, info.id.rfind('.'));
  while (!rest.empty()) {
    const std::size_t dot = rest.rfind('.');
    domain += (domain.empty() ? "" : ".") + rest.substr(dot == std::string::npos ? 0 : dot + 1);
    rest = dot == std::string::npos ? "" : rest.substr(0, dot);
  }
  return info.author + " <games@" + domain + ">";
}

// The game's icon: pictures/icon.*, else its first scene picture, cut to a
// square from the middle and scaled to 256 pixels by nearest neighbours.
bool writeIcon(const ExportSource& source, const fs::path& icon) {
  const fs::path pictures = fs::path(source.project) / "pictures";
  const fs::path rendered = fs::path(source.project) / "build" / "pictures";
  std::vector<fs::path> candidates{pictures / "icon.png", rendered / "icon.png"};
  std::vector<fs::path> scenes;
  std::error_code error;
  for (const fs::path& folder : {pictures, rendered}) {
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() == ".png" && !name.starts_with("ITEM"))
        scenes.push_back(entry.path());
    }
  }
  std::sort(scenes.begin(), scenes.end());
  candidates.insert(candidates.end(), scenes.begin(), scenes.end());
  for (const fs::path& candidate : candidates) {
    std::string failure;
    const std::optional<png::RgbaImage> image = png::readFile(candidate.string(), failure);
    if (!image || image->width == 0 || image->height == 0) continue;
    const int side = std::min(image->width, image->height);
    const int left = (image->width - side) / 2, top = (image->height - side) / 2;
    std::vector<std::uint8_t> rgb(kIconSide * kIconSide * 3);
    for (int y = 0; y < kIconSide; ++y) {
      for (int x = 0; x < kIconSide; ++x) {
        const std::size_t from =
            (static_cast<std::size_t>(top + y * side / kIconSide) * image->width +
             static_cast<std::size_t>(left + x * side / kIconSide)) *
            4;
        std::copy_n(&image->rgba[from], 3, &rgb[(static_cast<std::size_t>(y) * kIconSide + x) * 3]);
      }
    }
    fs::create_directories(icon.parent_path(), error);
    return png::writeRgbFile(icon.string(), kIconSide, kIconSide, rgb) ||
           fail(icon.string() + ": cannot be written");
  }
  return fail("no picture of the game for its icon (pictures/icon.png or a scene picture)");
}

std::string commandOutput(const std::vector<std::string>& arguments, const fs::path& work) {
  const fs::path output = work / "output.txt";
  toolprocess::ChildOptions options;
  options.standardOutput = output.string();
  options.workingFolder = work.string();
  if (toolprocess::runProgram(arguments, options) != 0) return {};
  std::string text = readText(output);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string today() {
  char date[64];
  const std::time_t now = std::time(nullptr);
  std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S +0000", std::gmtime(&now));
  return date;
}

// A text as the continuation lines of a Debian control field: each line
// indented by a blank, an empty line as " .".
std::string debianIndented(const std::string& text) {
  std::string indented;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    indented += line.empty() ? " .\n" : " " + line + "\n";
    start = end + 1;
  }
  return indented;
}

std::uintmax_t folderKilobytes(const fs::path& folder) {
  std::uintmax_t bytes = 0;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
    if (entry.is_regular_file(error)) bytes += entry.file_size(error);
  }
  return (bytes + 1023) / 1024;
}

}  // namespace

std::string packageName(const std::string& id) {
  std::string name;
  for (char c : id)
    name += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

bool exportFolder(const ExportSource& source, const std::string& out) {
  const fs::path root(out);
  const fs::path bundle = root / (source.info.id + ".app");
  if (!copyTree(source.bundle, bundle)) return false;
  std::error_code error;
  fs::create_directories(bundle / "Contents" / "MacOS", error);
  fs::copy_file(source.program, bundle / "Contents" / "MacOS" / "velmorat",
                fs::copy_options::overwrite_existing, error);
  if (error) return fail("cannot copy the velmorat program: " + error.message());
  const std::string starter = "#!/bin/sh\n# Plays " + source.info.title +
                              "; the program finds the game in the bundle around it.\n"
                              "exec \"$(dirname \"$0\")/" +
                              source.info.id + ".app/Contents/MacOS/velmorat\" \"$@\"\n";
  if (!writeText(root / lastLabel(source.info.id), starter, true)) return false;
  const fs::path readme = fs::path(source.project) / "README.md";
  if (fs::is_regular_file(readme, error) && !writeText(root / "README.md", readText(readme)))
    return false;
  return writeText(root / "LICENCE", licenceText(source));
}

bool exportDebian(const ExportSource& source, const std::string& out) {
  const adventure::GameInfo& info = source.info;
  const std::string package = packageName(info.id);
  const fs::path work = fs::path(source.project) / "build" / "deb";
  const fs::path stage = work / package;
  std::error_code error;
  fs::remove_all(work, error);
  const fs::path program = stage / "usr" / "lib" / package / "velmorat";
  const fs::path resources = stage / "usr" / "share" / info.id;
  if (!copyTree(fs::path(source.bundle) / "Contents" / "Resources", resources)) return false;
  fs::create_directories(program.parent_path(), error);
  fs::copy_file(source.program, program, error);
  if (error) return fail("cannot copy the velmorat program: " + error.message());
  const std::string strip = toolprocess::findOnPath("strip");
  if (!strip.empty())
    toolprocess::runProgram({strip, "--strip-unneeded", "--remove-section=.comment",
                             "--remove-section=.note", program.string()});
  fs::permissions(resources,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec,
                  error);
  const std::string starter = "#!/bin/sh\nexec /usr/lib/" + package +
                              "/velmorat --bundle /usr/share/" + info.id + " \"$@\"\n";
  const std::string comment = info.description.empty() ? info.title : info.description;
  const std::string desktop = "[Desktop Entry]\nType=Application\nName=" + info.title +
                              "\nComment=" + comment + "\nExec=" + package + "\nIcon=" + info.id +
                              "\nTerminal=false\nCategories=Game;AdventureGame;\n";
  const fs::path doc = stage / "usr" / "share" / "doc" / package;
  const std::string copyright =
      "Format: "
      "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\nUpstream-Name: " +
      info.title + "\n\nFiles: *\nCopyright: " + info.author + "\nLicense: " + info.licence + "\n" +
      debianIndented(licenceText(source));
  const std::string changelog =
      package + " (" + info.version +
      ") unstable; urgency=medium\n\n  * Made by velmorat-tool export.\n\n -- " + maintainer(info) +
      "  " + today() + "\n";
  if (!writeText(stage / "usr" / "games" / package, starter, true) ||
      !writeText(stage / "usr" / "share" / "applications" / (info.id + ".desktop"), desktop) ||
      !writeText(doc / "copyright", copyright) || !writeText(doc / "changelog", changelog) ||
      !writeIcon(source, stage / "usr" / "share" / "icons" / "hicolor" / "256x256" / "apps" /
                             (info.id + ".png"))) {
    return false;
  }
  toolprocess::runProgram({"gzip", "-9n", (doc / "changelog").string()});

  // dpkg-shlibdeps reads the libraries the program needs; it wants a
  // debian/control beside it.
  if (!writeText(work / "debian" / "control",
                 "Source: " + package + "\n\nPackage: " + package + "\nArchitecture: any\n"))
    return false;
  const std::string shlibs =
      commandOutput({"dpkg-shlibdeps", "-O", "-e" + fs::relative(program, work).string()}, work);
  const std::string depends = shlibs.substr(std::min(shlibs.size(), shlibs.find('=') + 1));
  const std::string architecture = commandOutput({"dpkg", "--print-architecture"}, work);
  if (architecture.empty()) return fail("dpkg --print-architecture gave nothing");
  fs::remove_all(work / "debian", error);
  fs::remove(work / "output.txt", error);
  std::string control = "Package: " + package + "\nVersion: " + info.version +
                        "\nArchitecture: " + architecture + "\nMaintainer: " + maintainer(info) +
                        "\nInstalled-Size: " + std::to_string(folderKilobytes(stage)) +
                        "\nSection: games\nPriority: optional\n";
  if (!depends.empty()) control += "Depends: " + depends + "\n";
  if (!info.homepage.empty()) control += "Homepage: " + info.homepage + "\n";
  control += "Description: " + info.title + ", a graphic text adventure\n " + comment + "\n";
  if (!writeText(stage / "DEBIAN" / "control", control)) return false;
  const fs::path deb = fs::path(out) / (package + "_" + info.version + "_" + architecture + ".deb");
  fs::create_directories(out, error);
  if (toolprocess::runProgram(
          {"dpkg-deb", "--root-owner-group", "-Zxz", "--build", stage.string(), deb.string()}) != 0)
    return fail("dpkg-deb could not build " + deb.string());
  std::printf("%s\n", deb.string().c_str());
  const std::string lintian = toolprocess::findOnPath("lintian");
  if (lintian.empty()) return true;
  return toolprocess::runProgram({lintian, "--fail-on", "error", deb.string()}) == 0 ||
         fail("lintian found errors in " + deb.string());
}

bool exportWeb(const ExportSource& source, const std::string& webBuild,
               const std::string& engineResources, const std::string& out) {
  std::error_code error;
  const fs::path installed = fs::path(engineResources) / "web";
  const bool isInstalled = fs::is_regular_file(installed / "web-site.sh", error);
  const fs::path script = isInstalled ? installed / "web-site.sh"
                                      : fs::path(VELMORAT_SOURCE_DIR) / "scripts" / "web-site.sh";
  if (!fs::is_regular_file(script, error))
    return fail(script.string() +
                " is missing: install Velmorat again, or export from the "
                "velmorat-tool of a build of Velmorat's sources");
  const std::string browserBuild =
      !webBuild.empty()
          ? webBuild
          : (isInstalled ? installed : fs::path(VELMORAT_SOURCE_DIR) / "build-web").string();
  for (const char* part : kWebProgramParts) {
    if (fs::is_regular_file(fs::path(browserBuild) / "launcher" / part, error)) continue;
    if (isInstalled && webBuild.empty())
      return fail(
          "this installation has no browser build of Velmorat: run `make web` in "
          "Velmorat's source folder and name its build-web folder with --web-build DIR");
    return fail("the browser build is missing: " + browserBuild + "/launcher/" + part +
                " is not there; `make web` in Velmorat's source folder builds it "
                "(--web-build DIR names another build)");
  }
  // Put together beside the bundle first: the script empties its target,
  // which must never be the author's OUT.
  const fs::path build = fs::path(source.project) / "build";
  const fs::path stage = build / "site";
  toolprocess::ChildOptions options;
  options.standardOutput = (build / "site.log").string();
  if (toolprocess::runProgram({"sh", script.string(), browserBuild, source.bundle, stage.string()},
                              options) != 0)
    return fail("the site could not be put together (" + script.string() + ")");
  const fs::path page = stage / "index.html";
  std::string html = readText(page);
  const std::string named = ">" + markuptext::escaped(source.info.title) + "<";
  for (std::size_t at = html.find(kPageGameName); at != std::string::npos;
       at = html.find(kPageGameName, at + named.size()))
    html.replace(at, kPageGameName.size(), named);
  if (!writeText(page, html) || !copyTree(stage, out)) return false;
  std::printf("%s\n", out.c_str());
  return true;
}

}  // namespace gameexport
