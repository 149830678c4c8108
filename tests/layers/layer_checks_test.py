#!/usr/bin/env python3
"""The layer checks see each way an upward use could hide: angle and relative
includes, files in subfolders, a tool including a desktop host, a wrong root,
hosts using the game, and uses of weak definitions."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import check_link_layers  # noqa: E402
import mutable_globals  # noqa: E402
from layer_map import BELOW, OPTIONAL  # noqa: E402


def run_include_check(files, folders=None):
    """Exit status and output of check_layers.py on a tree of the given files."""
    with tempfile.TemporaryDirectory() as root:
        for folder in BELOW if folders is None else folders:
            (pathlib.Path(root) / folder).mkdir(parents=True, exist_ok=True)
        for path, text in files.items():
            (pathlib.Path(root) / path).parent.mkdir(parents=True, exist_ok=True)
            (pathlib.Path(root) / path).write_text(text)
        done = subprocess.run([sys.executable, str(HERE / "check_layers.py"), root],
                              capture_output=True, text=True)
        return done.returncode, done.stdout


class IncludeCheck(unittest.TestCase):
    def test_each_way_of_including(self):
        game = {"adventure/GameState.h": "", "host/qt/QtHost.h": "", "host/fake/FakeHost.h": ""}
        cases = [  # (file, its text, upward?)
            ("toolbox/core/A.cpp", '#include "adventure/GameState.h"\n', True),
            ("toolbox/core/A.cpp", "#include <adventure/GameState.h>\n", True),
            ("toolbox/core/A.cpp", '#include "../../adventure/GameState.h"\n', True),
            ("toolbox/core/private/A.cpp", '#include "adventure/GameState.h"\n', True),
            ("tools/A.cpp", '#include "host/qt/QtHost.h"\n', True),
            ("host/qt/A.cpp", '#include "adventure/GameState.h"\n', True),
            ("host/qt/A.cpp", '#include "host/fake/FakeHost.h"\n', True),
            ("toolbox/A.cpp", "", True),  # a file of no layer
            ("tools/A.cpp", '#include "host/fake/FakeHost.h"\n', False),
            ("launcher/A.cpp", '#include "host/qt/QtHost.h"\n#include "app/Main.h"\n', False),
            ("adventure/A.cpp", '#include "GameState.h"\n#include <vector>\n', False),
            ("host/qt/A.cpp", "#include <QWidget>\n#include \"toolbox/core/Window.h\"\n", False),
        ]
        for path, text, upward in cases:
            with self.subTest(path=path, text=text):
                status, output = run_include_check({**game, path: text})
                self.assertEqual(status, 1 if upward else 0, output)

    def test_a_wrong_root_fails(self):
        status, output = run_include_check({}, folders=["support"])
        self.assertEqual(status, 2, output)
        status, output = run_include_check({}, folders=set(BELOW) - OPTIONAL)
        self.assertEqual(status, 0, output)


def nm_lines(undefined=(), defined=(), kind="T"):
    return "\n".join([f"{name} U" for name in undefined] +
                     [f"{name} {kind} 0 0" for name in defined])


class LinkCheck(unittest.TestCase):
    def tables(self, layers):
        return {folder: check_link_layers.parse_nm(text) for folder, text in layers.items()}

    def test_uses_across_the_map(self):
        uses_f = nm_lines(undefined=["f"])
        cases = [  # (user's symbols, user, definer, kind of the definer's f, upward?)
            (uses_f, "toolbox/core", "adventure", "T", True),
            (uses_f, "toolbox/core", "adventure", "W", True),  # an inline or template definition
            (uses_f, "toolbox/core", "adventure", "V", True),  # a vtable
            (uses_f, "host/qt", "app", "T", True),
            (uses_f, "host/terminal", "host/qt", "T", True),
            (uses_f, "tools", "host/qt", "T", True),
            (uses_f, "tools", "host/fake", "T", False),
            (uses_f, "launcher", "host/qt", "T", False),
            (uses_f, "adventure", "toolbox/core", "W", False),
            # one file uses what another file of the same layer defines weakly
            (uses_f + "\n" + nm_lines(defined=["f"], kind="W"), "toolbox/core", "adventure", "W",
             False),
        ]
        for text, user, definer, kind, upward in cases:
            with self.subTest(user=user, definer=definer, kind=kind):
                found = check_link_layers.upward_uses(self.tables({
                    user: text, definer: nm_lines(defined=["f"], kind=kind)}))
                self.assertEqual(bool(found), upward, found)


class MutableGlobals(unittest.TestCase):
    def test_what_counts(self):
        cases = [  # (objdump -t line, counted?)
            ("0000 l     O .bss\t0008 _ZN12_GLOBAL__N_15countE", True),
            ("0000 g     O .data\t0004 KeyDown", True),
            ("0000 l       .tbss\t0004 _ZN12_GLOBAL__N_16numberE", True),  # thread-local
            ("0000 l     O .bss._ZN4name\t0008 _ZN4name", True),  # a section per object
            ("0000 u     O .rodata\t0030 Palette16", False),
            ("0000 w     O .data.rel.ro\t0018 _ZTI4Host", False),
            ("0000 l     O .bss\t0040 __asan_gen_", False),
            ("0000 g     F .text\t0026 _Z12threadnumberv", False),
        ]
        for line, counted in cases:
            with self.subTest(line=line):
                self.assertEqual(bool(mutable_globals.writable_objects(line)), counted)
        for name, ours in [("(anonymous namespace)::lock", True), ("ShiftDown", True),
                           ("(anonymous namespace)::kInk", False), ("guard variable for x", False),
                           ("typeinfo for Host", False), ("std::__ioinit", False),
                           ("CLI::detail::x", False), ("qt_version_tag_use", False)]:
            self.assertEqual(mutable_globals.is_ours(name), ours, name)


if __name__ == "__main__":
    unittest.main()
