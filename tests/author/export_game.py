#!/usr/bin/env python3
"""A new game exported as an author gives it away, one case a run:
- deb: two new games as Debian packages, lintian clean (export runs it), that
  share no installed file;
- web: the game as a static site from the browser build of `make web` (a
  clear message without it; a non-empty OUT only with --force) whose
  walkthrough Chromium plays to its end (tests/web's harness), also by a
  velmorat-tool installed from BUILD_DIR, which knows no source folder.
Exit status 77 (skipped) when the case's outside tools or build are missing.

Usage: export_game.py deb|web VELMORAT_TOOL WORK_DIR BUILD_DIR
"""
import os
import shutil
import subprocess
import sys

from checks import check, finish, run_tool

CASE, TOOL, WORK, BUILD = sys.argv[1:5]


def tool(*arguments):
    return run_tool(TOOL, *arguments)


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(77)


def new_game(title):
    project = os.path.join(WORK, title)
    made = tool("new", project, "--title", title)
    if not check(made.returncode == 0, "new " + title + " failed", made.stdout + made.stderr):
        finish("export " + CASE)
    return project


def installed_files(deb):
    """The files and links a package installs (not the folders it shares)."""
    listing = subprocess.run(["dpkg-deb", "--contents", deb], capture_output=True, text=True,
                             check=True).stdout
    return {line.split()[5].removeprefix(".") for line in listing.splitlines()
            if not line.startswith("d")}


def deb():
    for program in ("dpkg-deb", "dpkg-shlibdeps", "lintian"):
        if shutil.which(program) is None:
            skip(program + " is missing (apt-get install dpkg-dev lintian)")
    packages = {}
    for title, id in (("Die Truhe", "de.example.dietruhe"), ("Der Keller", "de.example.derkeller")):
        out = os.path.join(WORK, "deb", id)
        exported = tool("export", new_game(title), "--deb", out)
        check(exported.returncode == 0 and "lintian found" not in exported.stderr,
              "export --deb of " + title + " failed or is not lintian clean",
              exported.stdout + exported.stderr)
        debs = [name for name in os.listdir(out) if name.endswith(".deb")] if os.path.isdir(out) \
            else []
        if not check(len(debs) == 1, "export --deb wrote no single package for " + title):
            continue
        files = installed_files(os.path.join(out, debs[0]))
        package = id.replace("_", "-")
        for path in ("/usr/games/" + package, "/usr/share/" + id + "/Data/DATA000.word",
                     "/usr/share/applications/" + id + ".desktop",
                     "/usr/share/icons/hicolor/256x256/apps/" + id + ".png"):
            check(path in files, title + "'s package lacks " + path, "\n".join(sorted(files)))
        packages[title] = files
    if len(packages) == 2:
        shared = set.intersection(*packages.values())
        check(not shared, "two games' packages share files", "\n".join(sorted(shared)))


def check_site(site, title):
    for name in ("index.html", "velmorat.js", "velmorat.wasm", "velmorat.worker.js",
                 "velmorat-sw.js", "game-data.data", "game-data.js"):
        check(os.path.isfile(os.path.join(site, name)), "the site lacks " + name)
    with open(os.path.join(site, "index.html"), encoding="utf-8") as page:
        check("<title>%s</title>" % title in page.read(), "the page is not titled with the game")
    with open(os.path.join(site, "game-data.js"), encoding="utf-8") as loader:
        text = loader.read()
        check("DATA002.word" in text and "game.ini" in text, "the site does not carry the game")


def play_in_chromium(site, keys):
    harness = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web",
                           "site_test.mjs")
    played = subprocess.run(["node", harness, "exported", site, os.path.join(WORK, "chromium"),
                             keys], capture_output=True, text=True, timeout=300)
    if played.returncode == 77:
        print("not played in Chromium: " + played.stdout.strip())
        return
    check(played.returncode == 0, "the exported site's walkthrough did not win in Chromium",
          played.stdout + played.stderr)


def web_of_installed_tool(web_build):
    """The installed tool says what to do without a browser build, and makes
    the site from the installed page and script with --web-build naming a
    copy of the browser program."""
    prefix = os.path.join(WORK, "installed")
    subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True,
                   capture_output=True, timeout=300)
    installed = os.path.join(prefix, "bin", "velmorat-tool")
    project = new_game("Der Keller")
    environment = {key: value for key, value in os.environ.items() if key != "VELMORAT_PROGRAM"}
    missing = subprocess.run([installed, "export", project, "--web", os.path.join(WORK, "none")],
                             capture_output=True, text=True, timeout=300, env=environment)
    check(missing.returncode == 1 and "--web-build" in missing.stderr and
          "make web" in missing.stderr and len(missing.stderr.strip().splitlines()) == 1,
          "the installed tool does not say in one line what to do without a browser build",
          missing.stderr)
    # Only the program, as an author copies it: no build files beside it.
    copied = os.path.join(WORK, "copied-web-build", "launcher")
    os.makedirs(copied)
    for part in ("velmorat.js", "velmorat.wasm", "velmorat.worker.js"):
        shutil.copy(os.path.join(web_build, "launcher", part), copied)
    site = os.path.join(WORK, "installed-site")
    made = subprocess.run([installed, "export", project, "--web", site, "--web-build",
                           os.path.dirname(copied)],
                          capture_output=True, text=True, timeout=300, env=environment)
    check(made.returncode == 0, "the installed tool's export --web failed",
          made.stdout + made.stderr)
    check_site(site, "Der Keller")


def web():
    project = new_game("Die Truhe")
    missing = tool("export", project, "--web", os.path.join(WORK, "nowhere"), "--web-build",
                   os.path.join(WORK, "no-web-build"))
    check(missing.returncode == 1 and "make web" in missing.stderr,
          "a missing browser build does not say make web", missing.stderr)
    site = os.path.join(WORK, "site")
    exported = tool("export", project, "--web", site)
    if exported.returncode != 0 and "make web" in exported.stderr:
        skip("no browser build (make web builds it)")
    check(exported.returncode == 0, "export --web failed", exported.stdout + exported.stderr)
    check_site(site, "Die Truhe")
    play_in_chromium(site, os.path.join(project, "tests", "walkthrough.keys"))
    again = tool("export", project, "--web", site)
    check(again.returncode == 1 and "--force" in again.stderr, "export --web overwrote a site")
    check(tool("export", project, "--web", site, "--force").returncode == 0,
          "export --web --force did not write into the site")
    web_of_installed_tool(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                       "build-web"))


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
{"deb": deb, "web": web}[CASE]()
finish("export " + CASE)
