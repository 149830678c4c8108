#!/usr/bin/env python3
"""run --watch --terminal in tmux, as an author uses it: the game plays in the
terminal; a saved edit of a script replaces it with a fresh game that replays
the commands typed so far and shows the transcript's changes over the game; a
build that fails shows its faults there and leaves the game as it was; a
command typed after a replay is replayed after the next edit.

Usage: watch_terminal.py VELMORAT_TOOL VELMORAT WORK_DIR
Exit 77 (skipped) when tmux is missing.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "terminal"))
from tmux_harness import (SOCKETS, clean_shell, open_session, screen, skip,  # noqa: E402
                          tmux, to_first_prompt, type_line, wait_for)

TOOL, VELMORAT, WORK = sys.argv[1:4]
PROJECT = os.path.join(WORK, "Probe")
SCENE = os.path.join(PROJECT, "scripts", "DATA001.txt")
STATUS = os.path.join(WORK, "status")


def save_as_an_editor_does(old, new):
    """A temporary file beside the script, then renamed over it."""
    with open(SCENE, encoding="utf-8") as source:
        text = source.read()
    assert old in text, old
    with open(SCENE + ".tmp", "w", encoding="utf-8") as temporary:
        temporary.write(text.replace(old, new))
    os.replace(SCENE + ".tmp", SCENE)


def close_window():
    tmux("send-keys", "-t", "play", "Escape")
    wait_for(lambda: "Virtueller Drucker" not in screen(), "the window over the game to close")


def main():
    if shutil.which("tmux") is None:
        skip("tmux is not installed (apt-get install tmux)")
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    subprocess.run([TOOL, "new", PROJECT, "--title", "Die Probe"], check=True,
                   capture_output=True, timeout=300)
    open_session("watch", WORK, clean_shell(WORK))
    tmux("send-keys", "-t", "play", "-l",
         "XDG_STATE_HOME=%s/state VELMORAT_PICTURES=symbols VELMORAT_PROGRAM=%s %s run %s "
         "--watch --terminal; echo $? > %s" % (WORK, VELMORAT, TOOL, PROJECT, STATUS))
    tmux("send-keys", "-t", "play", "Enter")
    to_first_prompt()
    type_line("such teppich")
    wait_for(lambda: "einen kleinen Schlüssel" in screen(), "the answer to the first command")

    save_as_an_editor_does("einen kleinen Schlüssel", "einen rostigen Schlüssel")
    wait_for(lambda: "+Unter dem Teppich findest Du einen rostigen" in screen() and
             "-Unter dem Teppich findest Du einen kleinen" in screen(),
             "the transcript's changes over the replayed game")
    close_window()
    wait_for(lambda: "einen rostigen Schlüssel" in screen(), "the changed scene, replayed")
    print("an edit replayed the session and showed the changes")
    type_line("nimm schlüssel")
    wait_for(lambda: "Befehl ? nimm schlüssel" in screen(), "the second command")

    save_as_an_editor_does("@END", "GOTO nirgends\n@END")
    wait_for(lambda: "fault(s)" in screen() and "nirgends" in screen(),
             "the failed build's faults over the game")
    close_window()
    wait_for(lambda: "Befehl ? nimm schlüssel" in screen(), "the game as it was")
    print("a failed build showed its faults and kept the game")

    save_as_an_editor_does("GOTO nirgends\n", "")
    save_as_an_editor_does("einen rostigen Schlüssel", "einen goldenen Schlüssel")
    wait_for(lambda: "+Unter dem Teppich findest Du einen goldenen" in screen() and
             "Befehl ? nimm schlüssel" in screen(),
             "the changes of a session that includes the command typed after a replay")
    close_window()
    print("the command typed after a replay was replayed too")

    tmux("send-keys", "-t", "play", "C-c")
    wait_for(lambda: "beenden?" in screen(), "the quit question")
    tmux("send-keys", "-t", "play", "j")
    wait_for(lambda: os.path.exists(STATUS) and os.path.getsize(STATUS) > 0, "the tool's end")
    with open(STATUS) as status:
        code = status.read().strip()
    if code != "0":
        print("FAILED: run --watch --terminal ended with status", code)
        sys.exit(1)
    print("watch_terminal: passed")


try:
    main()
finally:
    if SOCKETS:
        tmux("kill-server", check=False)
