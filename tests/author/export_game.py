#!/usr/bin/env python3
"""A new game exported as an author gives it away, one case a run:
- deb: two new games as Debian packages, lintian clean (export runs it), that
  share no installed file;
- web: the game as a static site from the browser build of `make web` (a
  clear message without it; a non-empty OUT only with --force).
Exit status 77 (skipped) when the case's outside tools or build are missing.

Usage: export_game.py deb|web VELMORAT_TOOL WORK_DIR
"""
import os
import shutil
import subprocess
import sys

from checks import check, finish, run_tool

CASE, TOOL, WORK = sys.argv[1:4]


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
    for name in ("index.html", "velmorat.js", "velmorat.wasm", "velmorat.worker.js",
                 "velmorat-sw.js", "game-data.data", "game-data.js"):
        check(os.path.isfile(os.path.join(site, name)), "the site lacks " + name)
    with open(os.path.join(site, "index.html"), encoding="utf-8") as page:
        check("<title>Die Truhe</title>" in page.read(), "the page is not titled with the game")
    with open(os.path.join(site, "game-data.js"), encoding="utf-8") as loader:
        text = loader.read()
        check("DATA002.word" in text and "game.ini" in text, "the site does not carry the game")
    again = tool("export", project, "--web", site)
    check(again.returncode == 1 and "--force" in again.stderr, "export --web overwrote a site")
    check(tool("export", project, "--web", site, "--force").returncode == 0,
          "export --web --force did not write into the site")


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
{"deb": deb, "web": web}[CASE]()
finish("export " + CASE)
