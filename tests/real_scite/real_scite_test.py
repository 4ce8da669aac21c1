#!/usr/bin/env python3
"""The real SciTE, driven by scripts/scite_run.py as a user drives it, with the release zip
installed in its folder: each row is one SciTE with one document and the tool started (and the
row's keys pressed in SciTE's list at the caret, if it has any), then what the output pane said
and what address (if any) Wine's shell handed to the browser, or what arguments a program named
in a websearch.browser key got.

    real_scite_test.py <build-dir> <unpacked release zip (the folder holding websearch/)>
"""
import dataclasses
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
from scite_run import Case, poll_until, run  # noqa: E402
from shared import DDG, MDN, PY, SO, Row, check_rows, common_rows, kept_history  # noqa: E402

# The longest address the companion may hand to the shell: 900 under Wine before 8.17, whose
# shell breaks on longer ones (this machine's Wine is 8.0).
MAX_ADDRESS = 900
BAD_TEMPLATE = "url= must begin with http:// or https:// and contain {query}."
NOTHING = "Nothing to search: select some text, or put the caret in a word."
GROSSE = f"{DDG}Gr%C3%B6%C3%9Fe%20caf%C3%A9"
NIHONGO = f"{DDG}%E8%A1%A8%E7%A4%BA%E3%81%AE%E6%97%A5%E6%9C%AC%E8%AA%9E"
# Three engines, offered out of alphabetical order: the list must keep the order given.
ENGINES = (f"websearch.engine.DDG={DDG}{{query}}\nwebsearch.engine.MDN={MDN}{{query}}\n"
           f"websearch.engine.SO={SO}{{query}}\n")
# A tool 35 of the user's own, as README.txt describes the clash: it keeps its name and command
# and takes the keys it does not set from the zip's websearch.properties, Ctrl+Shift+W among them.
OWN_TOOL = "command.name.35.*=Own Tool\ncommand.35.*=cmd /c echo own tool 35\n"
# README.txt's lines that move the search to tool 36 and give tool 35 back to the user.
MOVED = OWN_TOOL + """command.shortcut.35.*=
command.mode.35.*=
command.save.before.35.*=
command.name.36.*=Search the Web for Selection
command.36.*="$(SciteDefaultHome)\\websearch\\launcher.exe"
command.subsystem.36.*=0
command.save.before.36.*=2
command.mode.36.*=subsystem:console,savebefore:no
command.shortcut.36.*=Ctrl+Shift+W
"""


@dataclasses.dataclass
class Cut:
    """A row's address: one search address that starts so and has at most MAX_ADDRESS
    characters."""
    start: str

    def check(self, test, result):
        """Called by check_opened for a row whose address is a Cut."""
        opened = result.opened
        first = opened[0] if opened else ""
        test.assertTrue(len(opened) == 1 and len(first) <= MAX_ADDRESS
                        and first.startswith(self.start),
                        f"expected one search address of at most {MAX_ADDRESS} characters, got "
                        f"{len(opened)} (the first {len(first)} characters long): {first[:200]}; "
                        "the pane ends:\n"
                        + "\n".join(line[:200] for line in result.pane.splitlines()[-2:]))


# Programs named in websearch.browser keys: copies of the recording argument_recorder.exe, in a
# folder with a blank in its name, each writing the arguments it got to <its name>.args.
PROGRAMS = "Fox Browser"


@dataclasses.dataclass
class Program:
    """A row's program: a recorder named in a browser key, which the address went to instead of
    the shell, and the arguments it must get."""
    name: str
    arguments: list[str]


def windows_path(path: Path) -> str:
    """A path of this machine as Wine's programs write it (drive Z: is the root)."""
    return "Z:" + str(path).replace("/", "\\")


def rows(out: Path) -> list[Row]:
    """The table; programs named by their path under <out>."""
    fox = windows_path(out / PROGRAMS / "fox.exe")
    zeal = windows_path(out / PROGRAMS / "zeal.exe")
    missing = windows_path(out / PROGRAMS / "missing.exe")
    so_own = ENGINES + f'websearch.engines=MDN SO DDG\nwebsearch.browser.SO="{zeal}"'
    return common_rows(ENGINES, "DDG", alone=True) + ROWS + [
        # A program with an argument of its own; the address comes last.
        Row(Case("named_program", "search the web", "notes.txt",
                 props=f'websearch.browser="{fox}" -private-window'),
            f"+> Opened with: {fox}", None,
            Program("fox.exe", ["-private-window", f"{DDG}search%20the%20web"])),
        # The engine picked has its own program; the other one keeps the default browser.
        Row(Case("engine_own_program", "fetch", "notes.txt", keys=["Down", "Return"],
                 props=so_own),
            f"+> Opened with: {zeal}", None, Program("zeal.exe", [f"{SO}fetch"])),
        # A program that cannot be started is named; nothing else opens.
        Row(Case("missing_program", "search the web", "notes.txt",
                 props=f'websearch.browser="{missing}"'),
            f"!> Could not start {missing} (websearch.browser): *. Nothing opened.", None),
        Row(Case("engine_default_browser", "fetch", "notes.txt", keys=["Return"], props=so_own),
            f"+> Search: {MDN}fetch", f"{MDN}fetch"),
        kept_history(),
    ]


def recorded(file: Path) -> list[str] | None:
    """The arguments a recorder wrote (UTF-16, each ended by a NUL), once it has; it is started
    and left to run, so it may write after SciTE's run has ended."""
    if not poll_until(file.exists, 10, 0.05):
        return None
    return file.read_bytes().decode("utf-16-le").split("\0")[:-1]


ROWS = [
    # The zip unzipped into SciTE's folder and nothing else: no user options file at all.
    Row(Case("zip_alone", "Select a phrase\nsearch the web", "notes.txt", select=(16, 30),
             paste=False),
        "*Running: C:\\Program Files\\SciTE\\websearch\\launcher.exe", f"{DDG}search%20the%20web"),
    Row(Case("own_tool_35", "search the web", "notes.txt", paste=False, props=OWN_TOOL),
        "own tool 35", None),
    Row(Case("moved_to_36", "search the web", "notes.txt", paste=False, props=MOVED),
        f"+> Search: {DDG}search%20the%20web", f"{DDG}search%20the%20web"),
    Row(Case("file_type", "open", "script.py", ini=f"url={DDG}{{query}}\nurl.py={PY}{{query}}\n"),
        f"+> Search: {PY}open", f"{PY}open"),
    Row(Case("bad_template", "foo", "notes.txt", ini="url=ftp://x\n"),
        f"!> *websearch.ini, line 1: {BAD_TEMPLATE}", None),
    Row(Case("long_selection", "word " * 8000, "notes.txt"),  # 40,000 characters
        f"+> Search: {DDG}word%20word*", Cut(f"{DDG}word%20word")),
    # SciTE's Tools command while another window is in front.
    Row(Case("tools_command_behind_another_window", "foo", "notes.txt", start="tools",
             front="other"), f"!> {NOTHING}", None),
    # SciTE's list at the caret offers the engines; Down and Return take the second.
    Row(Case("engine_list_second", "fetch", "notes.txt", keys=["Down", "Return"],
             props=ENGINES + "websearch.engines=MDN SO DDG"),
        f"+> Search: {SO}fetch", f"{SO}fetch"),
    Row(Case("engine_list_escape", "fetch", "notes.txt", keys=["Escape"],
             props=ENGINES + "websearch.engines=MDN SO DDG"),
        "+> No engine chosen: nothing opened.", None),
    # SciTE's user strip (websearch.ask=1): the query field has the focus at once, its caret
    # after the selection's text; words typed at once and Return search the edited text.
    Row(Case("strip_typed", "fetch", "notes.txt", props="websearch.ask=1",
             keys=["space", "a", "b", "o", "r", "t", "Return"]),
        f"+> Search: {DDG}fetch%20abort", f"{DDG}fetch%20abort"),
    # Alt+G reaches the engine field; the engine typed there is used. Wine's menu bar then waits
    # for keys, as after any Alt+letter that names no menu (Windows beeps and waits for nothing):
    # Escape ends that wait and leaves the strip as it is.
    Row(Case("strip_engine", "fetch", "notes.txt",
             props=ENGINES + "websearch.engines=DDG MDN SO\nwebsearch.ask=1",
             keys=["alt+g", "Escape", "End", "BackSpace", "BackSpace", "BackSpace", "S", "O",
                   "Return"]),
        f"+> Search: {SO}fetch", f"{SO}fetch"),
    # One engine is used at once: a list would wait for keys that never come.
    Row(Case("one_engine", "fetch", "notes.txt", props=ENGINES + "websearch.engines=MDN"),
        f"+> Search: {MDN}fetch", f"{MDN}fetch"),
    # SciTE's default settings: an 8-bit document drawn in Windows-1252. The launcher's own echo
    # of it is mangled by its converter; the companion fetches the bytes again.
    Row(Case("windows_1252", "Größe café", "notes.txt", encoding="cp1252"),
        f"+> Search: {GROSSE}", GROSSE),
    # 表 is 0x95 0x5C: its trail byte is a backslash.
    Row(Case("shift_jis", "表示の日本語", "notes.txt", encoding="shift_jis", props="code.page=932"),
        f"+> Search: {NIHONGO}", NIHONGO),
    Row(Case("lone_lead_byte", "表示の日本語\udc96", "notes.txt", encoding="shift_jis",
             props="code.page=932"),
        "!> The selection is not valid code page 932 text: nothing opened.", None),
]


class RealSciTE(unittest.TestCase):
    build: Path
    package: Path

    @classmethod
    def setUpClass(cls):
        out = cls.build / "real-scite-test"
        cls.programs = out / PROGRAMS
        shutil.rmtree(cls.programs, ignore_errors=True)
        cls.programs.mkdir(parents=True)
        cls.rows = rows(out)
        for program in {row.program.name for row in cls.rows if row.program}:
            shutil.copy(cls.build / "bin" / "argument_recorder.exe",
                        cls.programs / program)
        started = time.monotonic()
        cls.results = run([row.case for row in cls.rows], cls.build, cls.package, out)
        print(f"real_scite: {len(cls.rows)} cases in {time.monotonic() - started:.0f} s")

    def test_rows(self):
        check_rows(self, self.rows, self.results, self.check_program)

    def check_program(self, row: Row, result):
        """The address went to the row's program, if it names one, and else to no program."""
        if row.program:
            self.assertEqual(recorded(self.programs / f"{row.program.name}.args"),
                             row.program.arguments)
        else:
            self.assertNotIn("+> Opened with:", result.pane)

    def test_searches_kept_only_where_find_strings_are(self):
        # SciTE's user folder is wherever the prefix's environment puts it: every file written.
        drive = self.build / "wine-scite" / "prefix" / "drive_c"
        kept = [path.read_text(encoding="utf-8") for path in drive.rglob("websearch.history")]
        self.assertEqual(kept, ["kept search\n"])


if __name__ == "__main__":
    RealSciTE.build, RealSciTE.package = (Path(arg).resolve() for arg in sys.argv[1:3])
    unittest.main(argv=sys.argv[:1], verbosity=2)
