#!/usr/bin/env python3
"""The terminal host played as a person would, in tmux: keys typed with
send-keys, the screen read with capture-pane.

- the walkthrough reaches the winning text, and at several points on the way
  the terminal shows the same text as the headless program's --dump-text
  after the same keys;
- umlauts and ß typed in the terminal appear on the screen;
- below 80x24 a message asks for a larger terminal; at 200x60 the key bar
  stands on the last row; back at 80x24 the game's screen returns unchanged;
- Ctrl-C asks before quitting;
- a file panel opened by a key file shows over the replay;
- the terminal settings (stty -a) are the same before and after, also when the
  program thread crashes (SIGSEGV, SIGABRT) or the program is killed (SIGTERM).

With "plain" after the arguments it plays the walkthrough with --plain
instead: the terminal receives not a single escape sequence, and its lines
are the game's transcript line by line (with each place's status line and
picture caption among them), each line once.

Usage: tmux_play.py VELMORAT BUNDLE KEYS_FILE WORK_DIR [plain]
Exit 77 (skipped) when tmux or the game's data are missing.
"""
import ctypes
import os
import re
import shutil
import subprocess
import sys

# The transcript of a headless run, shared with the other ways to play.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from headless_transcript import headless_transcript  # noqa: E402
from tmux_harness import (SOCKETS, clean_shell, fail, open_session, screen, skip,  # noqa: E402
                          tmux, to_first_prompt, type_line, wait_for, within_timeout)

VELMORAT, BUNDLE, KEYS_FILE, WORK = sys.argv[1:5]
# Key-file lines after which the screens are compared (the walkthrough's
# title screen, first scenes, a scene with an opened door, the end).
CHECKPOINTS = [2, 6, 20, 40]
SYS_TGKILL = 234  # x86-64


def text_of_terminal(captured):
    """The text window's lines from an 80x24 pane: one margin column cut."""
    lines = [line[1:79].rstrip() for line in captured.split("\n")[:24]]
    while lines and not lines[-1]:
        lines.pop()
    return lines


def text_of_dump(path):
    # The dump keeps the program's codes: the rule under the title (156) is
    # the terminal's light horizontal line, other control codes blanks.
    with open(path, encoding="utf-8") as dump:
        text = dump.read().replace("\u009c", "\u2500").replace("\u00a0", " ")
    text = re.sub("[\u0000-\u0009\u000b-\u001f]", " ", text)
    lines = [line.rstrip() for line in text.split("\n")]
    while lines and not lines[-1]:
        lines.pop()
    return lines


def headless_dump(key_lines, name):
    keys = os.path.join(WORK, name + ".keys")
    dump = os.path.join(WORK, name + ".txt")
    with open(keys, "w", encoding="utf-8") as file:
        file.write("".join(line + "\n" for line in key_lines))
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    subprocess.run([VELMORAT, "--headless", "--bundle", BUNDLE, "--keys", keys,
                    "--dump-text", dump], env=environment, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=600, check=True)
    return text_of_dump(dump)


def start_session(name, extra_environment="", mode="", first="Ausgänge", raw=None):
    """A fresh 80x24 tmux window whose shell records stty -a, runs the game,
    records its exit status and stty -a again. raw: a file that receives
    every byte the pane's programs write."""
    open_session(name, WORK, clean_shell(WORK))
    if raw is not None:
        tmux("pipe-pane", "-t", "play", "-o", "cat > %s" % raw)
    before = os.path.join(WORK, name + ".stty-before")
    after = os.path.join(WORK, name + ".stty-after")
    status = os.path.join(WORK, name + ".status")
    for path in (before, after, status):
        if os.path.exists(path):
            os.remove(path)
    # A state folder per session, empty at its start: a session must not be
    # asked whether to continue where an earlier one (of this run or the last
    # run in this folder) left off.
    shutil.rmtree(os.path.join(WORK, "state-" + name), ignore_errors=True)
    command = ("stty -a > %s; %s XDG_STATE_HOME=%s/state-%s VELMORAT_PICTURES=symbols %s "
               "--terminal %s --bundle %s; echo $? > %s; stty -a > %s" % (
                   before, extra_environment, WORK, name, VELMORAT, mode, BUNDLE, status, after))
    tmux("send-keys", "-t", "play", "-l", command)
    tmux("send-keys", "-t", "play", "Enter")
    wait_for(lambda: first in screen(), "the first screen of the game")
    return before, after, status


def check_terminal_restored(before, after, status, what):
    wait_for(lambda: os.path.exists(after) and os.path.getsize(after) > 0,
             "the shell after the game (%s)" % what)
    with open(before) as first, open(after) as second:
        if first.read() != second.read():
            fail("stty -a differs after %s" % what)
    with open(status) as code:
        return int(code.read().strip() or "-1")


def game_pid():
    shell = int(tmux("display-message", "-p", "-t", "play", "#{pane_pid}").strip())
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == shell:
            return int(entry)
    fail("the game's process was not found")


def walkthrough(key_lines):
    before, after, status = start_session("walk")
    typed = 0
    for checkpoint in CHECKPOINTS:
        for line in key_lines[typed:checkpoint]:
            type_line(line)
        typed = checkpoint
        expected = headless_dump(key_lines[:checkpoint], "walk-%d" % checkpoint)
        shown = []

        def shows_expected():
            shown[:] = text_of_terminal(screen())
            return shown == expected

        if not within_timeout(shows_expected):
            fail("after %d key lines the terminal shows\n%s\nbut the headless dump is\n%s" % (
                checkpoint, "\n".join(shown), "\n".join(expected)))
        print("same text as headless after %d key lines" % checkpoint)
    for line in key_lines[typed:-1]:
        type_line(line)
    wait_for(lambda: "Du hast Velmorat gewonnen." in screen(), "the winning text")
    print("walkthrough won")
    type_line(key_lines[-1])  # no more games
    wait_for(lambda: "Eine Taste beendet Velmorat" in screen(), "the end of the program")
    tmux("send-keys", "-t", "play", "x")
    if check_terminal_restored(before, after, status, "the end of the game") != 0:
        fail("the game ended with a non-zero status")


def replay_asks_and_records():
    """A file panel that a key file opens shows over the replay, which shows
    only its end otherwise. A record file that cannot be written is named
    before the screen is taken."""
    keys = os.path.join(WORK, "panel.keys")
    with open(keys, "w", encoding="utf-8") as file:
        file.write("\n\n{Menu 101}\n")
    before, after, status = start_session("panel", mode="--keys " + keys, first="Sichern")
    tmux("send-keys", "-t", "play", "Escape")
    wait_for(lambda: "Sichern" not in screen(), "the panel to close")
    tmux("send-keys", "-t", "play", "C-c")
    wait_for(lambda: "Velmorat beenden?" in screen(), "the quit question")
    tmux("send-keys", "-t", "play", "j")
    check_terminal_restored(before, after, status, "a file panel of a replay")
    print("a file panel opened by a replay shows")
    unwritable = os.path.join(WORK, "nirgends", "commands.keys")
    before, after, status = start_session("record", mode="--record-keys " + unwritable,
                                          first="velmorat: cannot write")
    if check_terminal_restored(before, after, status, "an unwritable record file") != 2:
        fail("an unwritable record file did not end with status 2 (usage)")
    print("an unwritable record file is named")


def umlauts_resize_and_quit():
    before, after, status = start_session("keys")
    to_first_prompt()
    tmux("send-keys", "-t", "play", "-l", "öffne tür ÄÖÜ ß")
    wait_for(lambda: "öffne tür ÄÖÜ ß" in screen(), "the umlauts on the screen")
    print("umlauts typed and shown")
    # The program waits for the next key: nothing else changes the screen.
    game_screen = screen()
    tmux("resize-window", "-t", "play", "-x", "60", "-y", "20")
    wait_for(lambda: "zu klein" in screen(), "the message for a small terminal")
    if "Befehl" in screen():
        fail("the game's text is drawn into a terminal that is too small", screen())
    # Keys typed blind are not passed to the game. The host takes keys in the
    # order typed: once the quit question that Ctrl-C asks after them shows,
    # they have been handled.
    tmux("send-keys", "-t", "play", "-l", "xyz")
    tmux("send-keys", "-t", "play", "C-c")
    wait_for(lambda: "Velmorat beenden?" in screen(), "the quit question in a small terminal")
    tmux("send-keys", "-t", "play", "n")
    wait_for(lambda: "beenden?" not in screen() and "zu klein" in screen(),
             "the small terminal's message after declining to quit")
    tmux("resize-window", "-t", "play", "-x", "80", "-y", "24")
    wait_for(lambda: screen() == game_screen, "the game's screen after the resize")
    print("resized to 60x20 and back")
    # A large terminal: the picture beside the text, the key bar on its last row.
    tmux("resize-window", "-t", "play", "-x", "200", "-y", "60")
    wait_for(lambda: "F9 Men\u00fc" in screen().split("\n")[59] and "Befehl" in screen(),
             "the key bar on the last row of a 200x60 terminal")
    if any("F9 Men\u00fc" in line for line in screen().split("\n")[:59]):
        fail("the key bar stands above the last row", screen())
    tmux("resize-window", "-t", "play", "-x", "80", "-y", "24")
    wait_for(lambda: screen() == game_screen, "the game's screen after 200x60")
    print("resized to 200x60 and back")
    # F9 opens the menu; its ninth entry copies the text through OSC 52,
    # which tmux (set-clipboard on) keeps as its buffer.
    tmux("set-option", "-s", "set-clipboard", "on")
    tmux("send-keys", "-t", "play", "F9")
    wait_for(lambda: "Text kopieren" in screen(), "the menu")
    tmux("send-keys", "-t", "play", *(["Down"] * 8), "Enter")
    wait_for(lambda: screen() == game_screen, "the game after the menu")
    wait_for(lambda: "Vor dem Tor" in tmux("show-buffer", check=False), "the copied text")
    if "\r" in tmux("show-buffer"):
        fail("the clipboard's lines end with CR")
    print("text copied to the clipboard (OSC 52)")
    tmux("send-keys", "-t", "play", "C-c")
    wait_for(lambda: "Velmorat beenden?" in screen(), "the quit question")
    tmux("send-keys", "-t", "play", "n")
    wait_for(lambda: screen() == game_screen, "the game after declining to quit")
    tmux("send-keys", "-t", "play", "C-c")
    wait_for(lambda: "Velmorat beenden?" in screen(), "the quit question")
    tmux("send-keys", "-t", "play", "j")
    check_terminal_restored(before, after, status, "Ctrl-C")
    print("Ctrl-C asked and quit; terminal restored")


def thread_named(pid, name):
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/comm" % (pid, task)) as comm:
            if comm.read().strip() == name:
                return int(task)
    fail("no thread named %s" % name)


def ended_by_signal(signal_number, name, thread=None):
    """The signal sent to the process, or to one of its threads (a crash of
    that thread)."""
    before, after, status = start_session(name)
    to_first_prompt()
    pid = game_pid()
    if thread is None:
        os.kill(pid, signal_number)
    else:
        libc = ctypes.CDLL(None, use_errno=True)
        if libc.syscall(SYS_TGKILL, pid, thread_named(pid, thread), signal_number) != 0:
            fail("tgkill failed")
    code = check_terminal_restored(before, after, status, name)
    # A sanitizer build reports a crash itself and ends with its own status.
    if code == 0 or (thread is None and code != 128 + signal_number):
        fail("%s: exit status %d" % (name, code))
    print("terminal restored after %s" % name)


def bytes_since(path, start):
    with open(path, "rb") as file:
        file.seek(start)
        return file.read()


def plain_lines(data):
    """The lines a terminal shows for plain output: backspace moves back, a
    character overwrites."""
    lines = []
    for raw_line in data.decode("utf-8").split("\r\n"):
        cells, cursor = [], 0
        for character in raw_line:
            if character == "\b":
                cursor = max(cursor - 1, 0)
                continue
            if cursor < len(cells):
                cells[cursor] = character
            else:
                cells.append(character)
            cursor += 1
        lines.append("".join(cells).rstrip())
    return lines


def plain_walkthrough(key_lines):
    key_lines = [line for line in key_lines if not line.startswith("#")]  # comments
    raw = os.path.join(WORK, "plain.raw")
    before, after, status = start_session("plain", mode="--plain", first="Weiter...", raw=raw)
    start = bytes_since(raw, 0).find(b"\r\n", bytes_since(raw, 0).find(b"--plain")) + 2

    def answered(mark):
        # A line was finished since the keys, and the program waits again:
        # only a wait leaves a line unfinished.
        text = bytes_since(raw, mark)
        return b"\r\n" in text and plain_lines(text)[-1] != ""

    for line in key_lines[:-1]:
        mark = os.path.getsize(raw)
        type_line(line)
        wait_for(lambda: answered(mark), "the answer to %r" % line)
    wait_for(lambda: "Du hast Velmorat gewonnen." in screen(), "the winning text")
    type_line(key_lines[-1])  # no more games
    wait_for(lambda: "Eine Taste beendet" in screen(), "the end of the program")
    tmux("send-keys", "-t", "play", "x")
    if check_terminal_restored(before, after, status, "the end of the plain game") != 0:
        fail("the plain game ended with a non-zero status")
    output = bytes_since(raw, start)
    output = output[:output.rfind(b"Velmorat\r\nDas Programm ist beendet.")]
    if b"\x1b" in output:
        fail("an escape sequence in the plain output: %r" % output[output.find(b"\x1b") - 40:][:80])
    shown = plain_lines(output)
    story = [line for line in shown if not line.startswith("Bild: ") and "Ausgänge:" not in line]
    expected = headless_transcript(VELMORAT, BUNDLE, WORK, key_lines[:-1])
    while story and not story[-1]:
        story.pop()
    # The title page's lines stand above the transcript's first; the last
    # line, the question to play again, carries the typed answer.
    title = len(story) - len(expected)
    if (not 0 <= title <= 2 or story[title:-1] != expected[:-1]
            or not story[-1].startswith(expected[-1])):
        for number, (got, want) in enumerate(zip(story[max(title, 0):], expected)):
            if got != want:
                break
        fail("the plain output differs from the transcript at line %d:\n  %r\nnot\n  %r\n"
             "(%d lines, transcript %d)" % (number + 1, got, want, len(story), len(expected)))
    captions = sum(1 for line in shown if line.startswith("Bild: "))
    print("plain walkthrough: %d lines as in the transcript, %d captions, no escape sequence"
          % (len(story), captions))


def main():
    if shutil.which("tmux") is None:
        skip("tmux is not installed (apt-get install tmux)")
    if not os.path.exists(os.path.join(BUNDLE, "Contents/Resources/Data/DATA000.word")):
        skip("no game data in " + BUNDLE)
    os.makedirs(WORK, exist_ok=True)
    with open(KEYS_FILE, encoding="utf-8") as keys:
        key_lines = keys.read().split("\n")
    if key_lines and key_lines[-1] == "":
        key_lines.pop()
    # Comment lines ("# ends: ...") are for velmorat-tool test, not typed.
    key_lines = [line for line in key_lines if not line.startswith("#")]
    try:
        if sys.argv[5:6] == ["plain"]:
            plain_walkthrough(key_lines)
            return
        walkthrough(key_lines)
        replay_asks_and_records()
        umlauts_resize_and_quit()
        ended_by_signal(11, "crash", thread="Main Program")
        ended_by_signal(6, "abort", thread="Main Program")
        ended_by_signal(15, "sigterm")
    finally:
        if SOCKETS:
            tmux("kill-server", check=False)


main()
