#!/usr/bin/env python3
"""Debian's GTK SciTE, driven natively by scripts/scite_run.py as a user drives it, with the Linux
package unpacked into ~/.local/share of a HOME of its own: each row is one SciTE with one document
and Ctrl+Shift+W pressed, then what the output pane said, what address (if any) reached xdg-open,
and what the tool left in the temp folder (TMPDIR, where SciTE and the tool make their FIFOs).

    real_scite_gtk_test.py <build-dir> <package: the tar.gz, or the folder holding scite-websearch/>
                           <the folder holding the .deb>

As root it also installs the .deb with dpkg -i (alone on the machine, under the GTK runs' lock),
presses the key with no user options at all, and purges the .deb, which must leave none of its
files behind.
"""
import os
import subprocess
import re
import shutil
import sys
import time
import unittest
import urllib.parse
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
from scite_run import Case, GtkDebSciTE, GtkSciTE, poll_until, run  # noqa: E402
from shared import (DDG, MDN, PY, SO, Row, check_rows, check_run, common_rows,  # noqa: E402
                    engine_key_lines, kept_history)

ENGINES = "\n".join([f"websearch.engine.MDN={MDN}{{query}}",
                     f"websearch.engine.SO={SO}{{query}}", "websearch.engines=MDN SO"])
# SciTE's own FIFOs: its request FIFO and its notify pipes. Anything else there is the tool's.
SCITE_OWN = re.compile(r"SciTE\.\d+\.(in|\d+\.out)")
# The tool's lines begin so; SciTE's ">Exit code:" line ends every run.
OURS = (">> ", "-> [", "+> ", "!> ", ">Exit code:")
TOO_LONG = "!> The selection is too long for SciTE's director pipe: select less and try again."


# A program named in websearch.browser: a copy of the recording xdg-open in a folder with a blank
# in its name, appending its arguments to "opened" beside itself. A row's program: the lines it
# must have appended.
BROWSER = Path("my browser") / "browser"


def hostile(marker: Path) -> str:
    """A selection that would run `touch <marker>` if it reached a shell or SciTE's director
    unescaped: a line break then a director command (also as a backslash escape, which SciTE reads
    in every command), shell separators and substitutions, quotes, and text that is not ASCII."""
    touch = f"os.execute('touch {marker}')"
    return (f"a\nextender:dostring {touch}\nb\\nextender:dostring {touch}"
            f"; touch {marker} `touch {marker}` $(touch {marker}) \"q\" 'q' Grüße 日本")


def search_address(text: str) -> str:
    """The address for a selection: runs of blanks, tabs and line breaks one blank, none at either
    end, then every byte of its UTF-8 but the unreserved ones percent-encoded."""
    words = re.sub(r"[ \t\n\v\f\r]+", " ", text).strip(" ")
    return DDG + urllib.parse.quote(words, safe="")


def rows(out: Path) -> list[Row]:
    text = hostile(out / "marker")
    # Echoed in pieces (one request carries less), whole in the pane; searched for cut at the last
    # blank that fits 2,048 characters.
    long_text = " ".join(["word"] * 14000)
    # Past the largest pipe the kernel gives, SciTE's reply with the selection arrives cut.
    pipe_max = int(Path("/proc/sys/fs/pipe-max-size").read_text())
    too_long_text = " ".join(["word"] * (pipe_max // 5 + 1))
    return common_rows(ENGINES + "\n", "MDN", alone=False) + [
        # A UTF-8 document (code.page=65001), so that its non-ASCII text is what SciTE shows.
        Row(Case("hostile_selection", text, "notes.txt", props="code.page=65001"),
            f"+> Search: {search_address(text)}", search_address(text)),
        # SciTE's default settings: an 8-bit document drawn in ISO-8859-1. The launcher's echo
        # shows its bytes as they are; the address holds the characters the user sees.
        Row(Case("latin_1", "Größe café", "notes.txt", encoding="latin-1"),
            f"+> Search: {DDG}Gr%C3%B6%C3%9Fe%20caf%C3%A9", f"{DDG}Gr%C3%B6%C3%9Fe%20caf%C3%A9"),
        Row(Case("long_selection", long_text, "notes.txt"), f"+> Selection: {long_text}",
            DDG + "word%20" * 288 + "word"),
        Row(Case("selection_past_the_pipe", too_long_text, "notes.txt"), TOO_LONG, None),
        # SciTE's list at the caret, in GTK's Lua 5.3: the second engine picked.
        Row(Case("engine_list", "fetch", "notes.txt", props=ENGINES, keys=["Down", "Return"]),
            f"+> Search: {SO}fetch", f"{SO}fetch"),
        # SciTE's user strip (websearch.ask=1), in GTK's Lua 5.3: the selection's text starts
        # selected whole, so words typed at once replace it and are never glued to its front;
        # Return searches the edited text.
        Row(Case("strip_typed", "fetch", "notes.txt", props="websearch.ask=1",
                 keys=["space", "a", "b", "o", "r", "t", "Return"]),
            f"+> Search: {DDG}abort", f"{DDG}abort"),
        # Alt+G reaches the engine field; the engine typed there is used.
        Row(Case("strip_engine", "fetch", "notes.txt", props=ENGINES + "\nwebsearch.ask=1",
                 keys=["alt+g", "End", "BackSpace", "BackSpace", "BackSpace", "S", "O",
                       "Return"]),
            f"+> Search: {SO}fetch", f"{SO}fetch"),
        Row(Case("url_by_extension", "open", "script.py", props=f"websearch.url.py={PY}{{query}}"),
            f"+> Search: {PY}open", f"{PY}open"),
        # A program with an argument of its own gets the address last; xdg-open gets nothing.
        Row(Case("named_program", "search the web", "notes.txt",
                 props=f"websearch.browser='{out / BROWSER}' --new-window"),
            f"+> Opened with: {out / BROWSER}", None,
            [f"--new-window {DDG}search%20the%20web"]),
        # A program that cannot be started is named; nothing else opens.
        Row(Case("missing_program", "search the web", "notes.txt",
                 props=f"websearch.browser='{out / BROWSER.parent / 'missing'}'"),
            f"!> Could not start {out / BROWSER.parent / 'missing'} (websearch.browser): No such "
            "file or directory. Nothing opened.", None),
        # The guide's engine key pressed while a run waits in its list: SciTE refuses to start the
        # search and the key's values stay; Ctrl+Shift+W right after the list is closed takes them.
        # Here only: SciTE under Wine takes 3 s of the 5 the values count between the two runs.
        Row(Case("engine_key_left_behind", "fetch", "notes.txt",
                 props=engine_key_lines()[0] + ENGINES.replace("MDN SO", "DDG SO")
                 + f"\nwebsearch.engine.DDG={DDG}{{query}}",
                 keys=[engine_key_lines()[1], "Escape"], again=["ctrl+shift+w"]),
            f"+> Search: {MDN}fetch", [f"{MDN}fetch"]),
        # Another SciTE runs beside (started after, so it is the newer one): the tool must talk to
        # the SciTE it was started from, found up its parent chain.
        Row(Case("two_scites", "search the web", "notes.txt", beside=True),
            f"+> Search: {DDG}search%20the%20web", f"{DDG}search%20the%20web"),
        kept_history(),
    ]


def left_behind(tmp: Path) -> list[str]:
    return sorted(str(path.relative_to(tmp)) for path in tmp.rglob("*")
                  if not SCITE_OWN.fullmatch(path.name))


class RealGtkSciTE(unittest.TestCase):
    build: Path
    package: Path

    @classmethod
    def setUpClass(cls):
        cls.out = cls.build / "real-scite-gtk-test"
        (cls.out / "marker").unlink(missing_ok=True)
        cls.rows = rows(cls.out)
        browser = cls.out / BROWSER
        shutil.rmtree(browser.parent, ignore_errors=True)
        browser.parent.mkdir(parents=True)
        shutil.copy(Path(__file__).resolve().parents[1] / "support" / "xdg-open", browser)
        started = time.monotonic()
        cls.results = run([row.case for row in cls.rows], cls.build, cls.package, cls.out,
                          driver=GtkSciTE)
        print(f"real_scite_gtk: {len(cls.rows)} cases in {time.monotonic() - started:.0f} s")

    def test_rows(self):
        check_rows(self, self.rows, self.results, self.check_program_and_leftovers)

    def check_program_and_leftovers(self, row: Row, result):
        """The GTK rows' own checks: what the named program got, what the tool left in the temp
        folder, and what reached the SciTE beside."""
        if row.program:
            # Started and left to run: it may write after SciTE's run has ended.
            opened = self.out / BROWSER.parent / "opened"
            poll_until(opened.exists, 10, 0.05)
            self.assertEqual(opened.read_text().splitlines() if opened.exists() else [],
                             row.program)
        # No FIFO, folder or file of the tool's stays in the temp folder.
        self.assertEqual(left_behind(self.out / row.case.name / "tmp"), [])
        if row.case.beside:
            strays = [line for line in result.beside.splitlines()
                      if line.startswith(OURS)]
            self.assertEqual(strays, [], "the SciTE beside got lines of the tool")

    def test_searches_kept_only_where_find_strings_are(self):
        # The runner's one HOME for every case: SciTE's user folder.
        history = self.out / ".session" / "home" / ".websearch.history"
        self.assertEqual(history.read_text(encoding="utf-8") if history.exists() else None,
                         "kept search\n")

    def test_nothing_ran(self):
        self.assertFalse((self.out / "marker").exists(),
                         "the selection ran a command: the marker file exists")


# Made by the package's postinst, not shipped: SciTE reads the tool's lines through it.
POSTINST_LINK = Path("/usr/share/scite/websearch.properties")


def deb_paths(deb: Path) -> list[Path]:
    """What the .deb puts on the machine: its files and links, and the folders of its own."""
    listing = subprocess.run(["dpkg-deb", "-c", deb], capture_output=True, text=True,
                             check=True).stdout
    paths = []
    for line in listing.splitlines():
        path = Path(line.split(None, 5)[5].split(" -> ")[0].removeprefix("."))
        if not line.startswith("d") or "scite-websearch" in path.name:
            paths.append(path)
    return paths


class RealGtkSciTEDeb(unittest.TestCase):
    """The .deb as Debian and Ubuntu users install it: nothing in the user options."""
    build: Path
    deb: Path

    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("installing the .deb needs root")
        cls.out = cls.build / "real-scite-gtk-deb-test"
        cls.paths = deb_paths(cls.deb)
        cls.results = run([Case("deb_alone", "search the web", "notes.txt", paste=False)],
                          cls.build, cls.deb, cls.out, driver=GtkDebSciTE)

    def test_search_without_user_options(self):
        result = self.results["deb_alone"]
        check_run(self, result, "*Running: /usr/lib/scite-websearch/launcher")
        self.assertEqual(result.opened, [f"{DDG}search%20the%20web"])

    def test_purge_leaves_nothing(self):
        self.assertIn(Path("/usr/lib/scite-websearch/launcher"), self.paths)
        left = [path for path in self.paths + [POSTINST_LINK] if os.path.lexists(path)]
        self.assertEqual(left, [])


if __name__ == "__main__":
    RealGtkSciTE.build, RealGtkSciTE.package = (Path(arg).resolve() for arg in sys.argv[1:3])
    RealGtkSciTEDeb.build = RealGtkSciTE.build
    RealGtkSciTEDeb.deb = next(Path(sys.argv[3]).resolve().glob("scite-websearch_*.deb"),
                               Path(sys.argv[3], "no .deb"))
    unittest.main(argv=sys.argv[:1], verbosity=2)
