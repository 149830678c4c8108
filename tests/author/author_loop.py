#!/usr/bin/env python3
"""An author's loop with velmorat-tool, as a new author goes it:
new -> build -> test -> edit -> test (diff) -> bless -> run --watch --headless
(edit, the session replayed) -> export --folder; a save that survives a
new version of the game; and the headless exit
statuses of velmorat on the new game (3 for a "***" message, 4 for keys left
unused or typed at a key wait).

Usage: author_loop.py VELMORAT_TOOL VELMORAT WORK_DIR
"""
import json
import os
import queue
import shutil
import subprocess
import sys
import threading
import time

from checks import check, finish, run_tool

TOOL, VELMORAT, WORK = sys.argv[1:4]
PROJECT = os.path.join(WORK, "Die Truhe")


def tool(*arguments):
    return run_tool(TOOL, *arguments)


def velmorat(*arguments):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                       XDG_STATE_HOME=os.path.join(WORK, "state"))
    return subprocess.run([VELMORAT, "--headless", *arguments], capture_output=True, text=True,
                          timeout=300, env=environment)


def path(*parts):
    return os.path.join(PROJECT, *parts)


def replace_in(file, old, new):
    """Saved as an editor does: whole, through a temporary file beside it."""
    with open(file, encoding="utf-8") as source:
        text = source.read()
    with open(file + ".tmp", "w", encoding="utf-8") as target:
        target.write(text.replace(old, new))
    os.replace(file + ".tmp", file)


def line_reader(process):
    """A queue that a thread fills with the process's lines of output."""
    lines = queue.Queue()

    def read():
        for line in process.stdout:
            lines.put(line)
        lines.put("")

    threading.Thread(target=read, daemon=True).start()
    return lines


def read_until_replayed(lines, seconds):
    """The output up to and including the next "replayed" line and its diff."""
    deadline = time.monotonic() + seconds
    taken = []
    try:
        while True:
            line = lines.get(timeout=max(0.01, deadline - time.monotonic()))
            if line == "":
                return None
            taken.append(line)
            if "replayed" in line:
                break
        # The diff follows at once; take what comes within a moment.
        while True:
            taken.append(lines.get(timeout=0.5))
    except queue.Empty:
        return "".join(taken) if any("replayed" in line for line in taken) else None


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# new: a project that builds, with a passing walkthrough.
made = tool("new", PROJECT, "--title", "Die Truhe")
check(made.returncode == 0, "new failed", made.stdout + made.stderr)
check(os.path.isfile(path("tests", "walkthrough.expected")), "new stored no transcript")
check(tool("new", PROJECT).returncode != 0, "new wrote into a folder that is not empty")

# build: the second build has nothing to do.
again = tool("build", PROJECT)
check(again.returncode == 0 and ": 0 file(s) made" in again.stdout,
      "a second build made files again", again.stdout + again.stderr)

# test: passes; an edited answer gives a diff and status 1; --bless accepts it.
passed = tool("test", PROJECT, "--junit", os.path.join(WORK, "junit.xml"))
check(passed.returncode == 0, "the new game's test failed", passed.stdout + passed.stderr)
replace_in(path("scripts", "DATA001.txt"), "einen kleinen Schlüssel", "einen rostigen Schlüssel")
changed = tool("test", PROJECT)
check(changed.returncode == 1 and "+Unter dem Teppich findest Du einen rostigen Schlüssel." in
      changed.stdout, "an edited scene gave no diff", changed.stdout + changed.stderr)
check(tool("test", PROJECT, "--bless").returncode == 0, "--bless failed")
check(tool("test", PROJECT).returncode == 0, "the blessed transcript does not pass")

# A broken build names file and line and keeps the old bundle's test alive.
replace_in(path("scripts", "DATA002.txt"), "GOTO eingabe\nLABEL truhe", "GOTO nirgends\nLABEL truhe")
broken = tool("build", PROJECT)
check(broken.returncode == 1 and "DATA002" in broken.stderr, "a jump to a missing label built",
      broken.stdout + broken.stderr)
replace_in(path("scripts", "DATA002.txt"), "GOTO nirgends\nLABEL truhe", "GOTO eingabe\nLABEL truhe")

# game.ini faults name file, line and field.
replace_in(path("game.ini"), "version = 0.1", "version = eins")
faulty = tool("build", PROJECT)
check(faulty.returncode == 1 and "game.ini:" in faulty.stderr and "'version'" in faulty.stderr,
      "a broken version was not named", faulty.stderr)
replace_in(path("game.ini"), "version = eins", "version = 0.1")

# Exit statuses of the headless program.
bundle = path("build", "de.example.dietruhe.app")
keys = os.path.join(WORK, "more.keys")
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\nnimm schlüssel\nv\nöffne truhe\nn\nnimm kerze\n")
check(velmorat("--bundle", bundle, "--keys", keys).returncode == 4, "keys left unused: not status 4")
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\nnimm schlüssel\nv\nöffne truhe\nnein danke\n")
check(velmorat("--bundle", bundle, "--keys", keys).returncode == 4,
      "a line typed at the replay question: not status 4")
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\n")
check(velmorat("--bundle", bundle, "--keys", keys).returncode == 0, "keys ran out: not status 0")
# A script error that only shows in play (packed past the build's checks): 3.
broken_bundle = os.path.join(WORK, "broken.app")
shutil.copytree(bundle, broken_bundle)
broken_source = os.path.join(WORK, "DATA001.txt")
with open(path("scripts", "DATA001.txt"), encoding="utf-8") as file:
    text = file.read().replace("TITLE Die Halle\n", "TITLE Die Halle\nADD INVENTORY Leiter\n")
with open(broken_source, "w", encoding="utf-8") as file:
    file.write(text)
tool("pack-script", broken_source,
     os.path.join(broken_bundle, "Contents", "Resources", "Data", "DATA001.word"))
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\n")
status = velmorat("--bundle", broken_bundle, "--keys", keys)
check(status.returncode == 3, "a *** message: not status 3", status.stderr)

# A save of version 0.1 loads into version 0.2, whose scene texts changed.
saved = os.path.join(WORK, "truhe.velmorat")
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\nnimm schlüssel\n{Menu 101}")
velmorat("--bundle", bundle, "--keys", keys, "--panel-answer", saved)
check(os.path.isfile(saved), "no save was written")
replace_in(path("scripts", "DATA002.txt"), "Eine enge Kammer.", "Eine sehr enge Kammer.")
replace_in(path("game.ini"), "version = 0.1", "version = 0.2")
check(tool("build", PROJECT).returncode == 0, "version 0.2 did not build")
transcript = os.path.join(WORK, "loaded.txt")
with open(keys, "w", encoding="utf-8") as file:
    file.write("v\nöffne truhe\nn\n")
loaded = velmorat("--bundle", bundle, "--keys", keys, "--dump-transcript", transcript, saved)
with open(transcript, encoding="utf-8") as file:
    text = file.read()
check(loaded.returncode == 0 and "Der Spielstand stammt von Version 0.1 des Spiels." in text and
      "Eine sehr enge Kammer." in text and "Du hast Die Truhe gewonnen." in text,
      "the save of version 0.1 did not continue in version 0.2", text + loaded.stderr)
tool("test", PROJECT, "--bless")

# run --watch --headless: an edit rebuilds, replays, and prints what changed.
dump = os.path.join(WORK, "screen.txt")
watch_keys = os.path.join(WORK, "watch.keys")
with open(watch_keys, "w", encoding="utf-8") as file:
    file.write("such teppich\n")
watcher = subprocess.Popen([TOOL, "run", PROJECT, "--watch", "--headless", "--keys", watch_keys,
                            "--dump-text", dump], stdout=subprocess.PIPE, text=True,
                           env=dict(os.environ, XDG_STATE_HOME=os.path.join(WORK, "state")))
lines = line_reader(watcher)
try:
    first = read_until_replayed(lines, 60)
    check(first is not None, "run --watch did not replay at start")
    replace_in(path("scripts", "DATA001.txt"), "einen rostigen Schlüssel", "einen goldenen Schlüssel")
    second = read_until_replayed(lines, 60)
    check(second is not None and "+Unter dem Teppich findest Du einen goldenen Schlüssel." in second,
          "the replay after an edit shows no diff", second or "")
    with open(dump, encoding="utf-8") as file:
        check("goldenen Schlüssel" in file.read(), "the dump was not written anew")
    replace_in(path("scripts", "DATA001.txt"), "GOTO eingabe\n@END", "GOTO nirgends\n@END")
    third = read_until_replayed(lines, 5)
    check(third is None, "a broken build replayed", third or "")
finally:
    watcher.terminate()
    watcher.wait(10)
replace_in(path("scripts", "DATA001.txt"), "GOTO nirgends\n@END", "GOTO eingabe\n@END")

# run --watch --terminal with a stand-in for the game (stand_in_game.py): a game
# stopped during its replay keeps the whole replay and the transcript to
# compare with; a note that cannot be written goes to the games' log.
stand_in = os.path.join(WORK, "StandIn.app", "Contents")
os.makedirs(os.path.join(stand_in, "MacOS"))
os.symlink(os.path.join(os.path.dirname(os.path.abspath(VELMORAT)), "..", "Resources"),
           os.path.join(stand_in, "Resources"))
shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "stand_in_game.py"),
            os.path.join(stand_in, "MacOS", "velmorat"))
os.chmod(os.path.join(stand_in, "MacOS", "velmorat"), 0o755)
plan, notes = os.path.join(WORK, "plan"), os.path.join(WORK, "games")
with open(plan, "w") as file:
    file.write("finish eins\nfinish zwei\ncut\nfinish drei\nend\n")
watcher = subprocess.Popen([TOOL, "run", PROJECT, "--watch", "--terminal"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           env=dict(os.environ, STAND_IN_PLAN=plan, STAND_IN_NOTES=notes,
                                    VELMORAT_PROGRAM=os.path.join(stand_in, "MacOS", "velmorat")))


def games_started(count):
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and (count == 5 or watcher.poll() is None):
        if os.path.exists(notes) and sum(1 for _ in open(notes)) >= count:
            return True
        time.sleep(0.1)
    return check(False, "game %d of run --watch did not start" % count)


session = path("build", "session")
game_log = os.path.join(session, "game.log")
try:
    edits = [("einen goldenen", "einen blanken"), ("einen blanken", "einen matten"),
             ("einen matten", "einen kleinen")]
    for count, (old, new) in enumerate(edits, 1):
        if games_started(count):
            replace_in(path("scripts", "DATA001.txt"), old, new)
    if games_started(4):
        os.makedirs(os.path.join(session, "notes.txt", "in the way"))
        replace_in(path("scripts", "DATA001.txt"), "GOTO eingabe\n@END", "GOTO nirgends\n@END")
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and "cannot write" not in open(game_log).read():
            time.sleep(0.1)
        replace_in(path("scripts", "DATA001.txt"), "GOTO nirgends\n@END", "GOTO eingabe\n@END")
    games_started(5)
    check(watcher.wait(60) == 0, "run --watch did not end with its game")
finally:
    watcher.kill()
games = []
if os.path.exists(notes):
    with open(notes) as file:
        games = [json.loads(line) for line in file]
expected = [(None, None), ("eins\n", "transcript 0\n"), ("eins\nzwei\n", "transcript 1\n"),
            ("eins\nzwei\n", "transcript 1\n"), ("eins\nzwei\ndrei\n", "transcript 3\n")]
check([(game["keys"], game["changes"]) for game in games] == expected and
      not any(game["transcript there"] for game in games),
      "run --watch replayed or compared with the wrong files", "\n".join(map(str, games)))
with open(game_log) as file:
    log = file.read()
check("cannot write" in log and "nirgends" in log, "the unwritable note is not in the games' log",
      log)

# export --folder: a folder that plays; a non-empty OUT is refused.
out = os.path.join(WORK, "export")
exported = tool("export", PROJECT, "--folder", out)
check(exported.returncode == 0, "export --folder failed", exported.stdout + exported.stderr)
check(os.access(os.path.join(out, "dietruhe"), os.X_OK), "the folder has no starter script")
check(os.path.isfile(os.path.join(out, "LICENCE")), "the folder has no licence")
check(tool("export", PROJECT, "--folder", out).returncode == 1, "export overwrote a full folder")
with open(keys, "w", encoding="utf-8") as file:
    file.write("such teppich\nnimm schlüssel\nv\nöffne truhe\nn\n")
played = subprocess.run([os.path.join(out, "dietruhe"), "--headless", "--keys", keys, "--dump-text",
                         dump], capture_output=True, text=True, timeout=120,
                        env=dict(os.environ, QT_QPA_PLATFORM="offscreen",
                                 XDG_STATE_HOME=os.path.join(WORK, "state")))
check(played.returncode == 0, "the exported game does not play", played.stderr)

finish("author loop")
