#!/usr/bin/env python3
"""The editors' definitions on the game's scripts: no line of them is marked as
an error by KDE's highlighter, by Vim or by the TextMate grammar, while a line
that begins with no statement is (so that the check cannot pass by seeing
nothing). Usage: highlight_test.py SOURCE_DIR"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]
SCRIPTS = sorted(glob.glob(os.path.join(SOURCE, "game", "scripts", "DATA*.txt")))
# Each a mistake the game reports as an unknown statement.
BAD_LINES = ["rem klein geschrieben", "DRAW ", "NIMM lampe"]


def kate_errors(folder, files):
    """Lines of files shown in the Error format by kate-syntax-highlighter."""
    data = os.path.join(folder, "org.kde.syntax-highlighting", "syntax")
    os.makedirs(data)
    shutil.copy(os.path.join(SOURCE, "editors", "kde", "velmorat.xml"), data)
    env = dict(os.environ, XDG_DATA_HOME=folder, QT_QPA_PLATFORM="offscreen")
    errors = []
    for path in files:
        traced = subprocess.run(
            ["kate-syntax-highlighter", "-s", "Velmorat", "-f", "ansi", "--syntax-trace=format", path],
            env=env, capture_output=True, text=True, check=True).stdout
        # Each source line is followed by trace lines; the format name stands in reverse video.
        source_line = 0
        for line in traced.splitlines():
            plain = re.sub(r"\x1b\[[0-9;]*[mK]", "", line)
            if "\x1b[7m" not in line and not set(plain) <= set(" |"):
                source_line += 1
            if "\x1b[7mError" in line:
                errors.append(f"{path}:{source_line}")
    return errors


def vim_errors(folder, files):
    """Lines of files whose first character Vim shows in the Error group."""
    out = os.path.join(folder, "vim-errors.txt")
    script = os.path.join(folder, "check.vim")
    with open(script, "w", encoding="utf-8") as f:
        f.write(f"""set nomore
syntax on
let s:bad = []
for s:file in argv()
  execute 'edit ' . fnameescape(s:file)
  set filetype=velmorat
  for s:line in range(1, line('$'))
    if getline(s:line) !=# '' && synIDattr(synIDtrans(synID(s:line, 1, 1)), 'name') ==# 'Error'
      call add(s:bad, s:file . ':' . s:line)
    endif
  endfor
endfor
call writefile(s:bad, '{out}')
qall!
""")
    subprocess.run(["vim", "-Nu", "NONE", "-i", "NONE", "-es", "--cmd",
                    "set rtp^=" + os.path.join(SOURCE, "editors", "vim"), "-S", script] + files,
                   check=False, stdin=subprocess.DEVNULL)
    with open(out, encoding="utf-8") as f:
        return f.read().split()


def textmate_errors(files):
    """Lines whose line-start pattern in the grammar (the first that matches,
    as a TextMate engine takes them) is the invalid one."""
    with open(os.path.join(SOURCE, "editors", "textmate", "velmorat.tmLanguage.json"), encoding="utf-8") as f:
        grammar = json.load(f)
    starts = [(re.compile(p["match"]), p.get("name", "")) for p in grammar["patterns"]
              if p["match"].startswith("^")]
    errors = []
    for path in files:
        with open(path, encoding="utf-8-sig") as f:
            for number, line in enumerate(f.read().splitlines(), 1):
                scope = next((name for pattern, name in starts if pattern.match(line)), "")
                if scope.startswith("invalid"):
                    errors.append(f"{path}:{number}")
    return errors


def main():
    if not SCRIPTS:
        print("no game scripts under", SOURCE)
        return 1
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        bad = os.path.join(folder, "DATA999.txt")
        with open(bad, "w", encoding="utf-8") as f:
            f.write("REM DATA999\n" + "\n".join(BAD_LINES) + "\n@END\n")
        expected_bad = [f"{bad}:{n}" for n in range(2, 2 + len(BAD_LINES))]
        for name, check in (("kate-syntax-highlighter", lambda fs: kate_errors(os.path.join(folder, "kate"), fs)),
                            ("vim", lambda fs: vim_errors(folder, fs)),
                            ("the TextMate grammar", textmate_errors)):
            found = check(SCRIPTS + [bad])
            wrong = [e for e in found if not e.startswith(bad)]
            missed = [e for e in expected_bad if e not in found]
            if wrong or missed:
                failed = True
                print(f"{name}: error tokens in the game's scripts: {wrong}; bad lines not marked: {missed}")
            else:
                print(f"{name}: {len(SCRIPTS)} scripts without an error token, the bad lines marked")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
