#!/usr/bin/env python3
"""Drives a real SciTE as a user does: the release zip installed in SciTE's folder, a document
open with some text selected, the tool started by its key (or SciTE's Tools command, or another
tool's key that starts it); then it
waits for SciTE's ">Exit code:" line and collects what the output pane said and what address
reached the browser (a recording xdg-open, called by Wine's shell or, natively, by the tool).
Everything it starts it stops.

    scite_run.py [--gtk|--deb] [--build DIR] [--package PACKAGE] [--out DIR] CASE...
    scite_run.py [--gtk|--deb] [--build DIR] [--package PACKAGE] --bench N [--floor FLOOR] CASE.json

--gtk drives Debian's GTK SciTE natively instead (GtkSciTE), with the Linux package (the tar.gz,
or a folder holding scite-websearch/) unpacked into ~/.local/share of a HOME of its own.
--deb drives it with the .deb installed by dpkg -i (GtkDebSciTE: root only; purged at the end).
Each SciTE has its driver in scite_drivers/ (wine.py, gtk.py), both of the shape of
scite_drivers/driver.py's Driver.

A CASE.json holds a Case or a list of them; results go to <out>/<case>/ (the fields of Result).
A case with keys presses them once SciTE's list shows at the caret (the engine list the tool
offers) or its user strip has the keyboard focus, then waits for ">Exit code:" as any case does. A case with a picture takes a screenshot
of SciTE's window into <out>/<picture>: while the list is open for a case with keys, else once
the tool has ended.
--bench presses the key N times in one SciTE per case and prints medians: for a case without
keys, the press to the address at the shell; for one with keys, the press to the list shown (or
the strip's field focused) and the last key to the address at the shell. --floor (cases without
keys) also times the yardstick FLOOR against the package's tool, alternating, with the key pressed
through libXtst, 3 N times each in the GTK SciTE (FLOOR is gtk-floor), N times each under Wine
(FLOOR is a folder with the floor chain's launcher.exe and websearch.exe), and prints the ratio.
--trace (cases without keys) prints where a press's milliseconds go, from the trace the programs
write (the companion's, and under Wine the launcher's trace build in the package's place).
Exit codes: 0 every case ran to its end, 1 one did not, 2 set-up failed.
Tests import it and call run().
"""

import argparse
import contextlib
import dataclasses
import json
import shutil
import statistics
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ beside the drivers in the source tree
from scite_drivers.driver import (KEY, SCRIPTS, WINDOW, CaseFailed, Display,  # noqa: E402
                                  Driver, SetupFailed, poll_until)
from scite_drivers.gtk import GtkDebSciTE, GtkSciTE  # noqa: E402
from scite_drivers.wine import WineSciTE  # noqa: E402


@dataclasses.dataclass
class Case:
    name: str
    text: str = ""
    document: str = "document.txt"
    # The document's bytes: the text in this encoding, where a lone surrogate U+DC80..U+DCFF
    # stands for the byte 0x80..0xFF itself (a lead byte alone, say).
    encoding: str = "utf-8"
    select: tuple[int, int] | None = None  # anchor and caret in bytes; None: all of the text
    ini: str | None = None  # websearch.ini for this case; None: the zip's own
    props: str = ""  # more lines for the user's options file
    # The lines the package's README has the user add go first in the user's options (SciTE for
    # Windows: the tool's lines; the tar.gz: its import line). False: none, SciTE finds the tool by
    # itself (the zip's websearch.properties in its folder, the .deb's); no user options file at
    # all when props is empty too.
    paste: bool = True
    start: str = "key"  # "key": the tool's key; "tools": SciTE's Tools command via the director
    key: str = KEY  # the key that starts the tool, as xdotool names it
    # Keys pressed one after the other once the run before has ended, each starting a run of its
    # own (the pane emptied first); the panes of all the runs are the result's, joined.
    again: list[str] = dataclasses.field(default_factory=list)
    # Text put in SciTE's output pane (lines without a backslash) and, for a key, selected there
    # with the keyboard focus before it; "": the pane emptied and focused; None: left as it is.
    output: str | None = None
    # Instead of a key: a right click on a byte of "editor" or "output", outside its selection,
    # with the editor focused before it, then the context menu's last item (Up, Return).
    menu: tuple[str, int] | None = None
    front: str = "scite"  # "other": another window is in front when the tool starts
    limit: int = 30  # seconds for the list to show, and for the ">Exit code:" line
    keys: list[str] = dataclasses.field(default_factory=list)  # xdotool names, once the list shows
    # Keys pressed before the tool's key, such as ctrl+f for SciTE's find strip.
    first: list[str] = dataclasses.field(default_factory=list)
    beside: bool = False  # a second SciTE with the same document runs beside it (GTK only)
    picture: str = ""  # a screenshot's file under the output folder; "": none


@dataclasses.dataclass
class Result:
    status: str  # "done", or what went wrong
    pane: str = ""
    opened: list[str] = dataclasses.field(default_factory=list)
    result: str = ""
    beside: str = ""  # the second SciTE's pane, for a case with one beside


def prepare(scite: Driver, case: Case, folder: Path) -> tuple[Path, int, int]:
    """The case's document in <folder>/doc and its settings in SciTE's folder."""
    shutil.rmtree(folder, ignore_errors=True)
    (folder / "doc").mkdir(parents=True)
    document = folder / "doc" / case.document
    data = case.text.encode(case.encoding, "surrogateescape")
    document.write_bytes(data)
    scite.configure(case.ini, case.props, case.paste)
    scite.opened.write_bytes(b"")
    return document, *(case.select or (0, len(data)))


def run_case(scite: Driver, case: Case, out: Path) -> Result:
    folder = out / case.name
    document, anchor, caret = prepare(scite, case, folder)
    try:
        with scite.running(document, anchor, caret):
            if case.beside:
                if not scite.runs_beside:
                    raise CaseFailed("a second SciTE beside is a case for the GTK SciTE only")
                scite.start_beside(document)
            if case.front == "other":
                scite.other_in_front(case.limit + 20)
            else:
                scite.front()
            scite.press_keys(case.first)
            if case.output is not None:
                # One director command with the text in Lua long strings: the command ends at a
                # line break, and SciTE reads backslash escapes in it.
                if any(bad in case.output for bad in ("\\", "\r", "]==]")):
                    raise CaseFailed("the output pane's text holds \\, a CR or ]==]")
                lines = "]==] .. string.char(10) .. [==[".join(case.output.split("\n"))
                scite.dostring(f"output:SetText([==[{lines}]==]) " + (
                    "output:SetSel(0, 0) editor:GrabFocus()" if case.menu else
                    "output:SetSel(0, output.Length) output:GrabFocus()"))
            if case.menu:
                right_click(scite, *case.menu, (anchor, caret))
                time.sleep(MENU_SHOWS)
                scite.press_keys(["Up", "Return"])
            elif case.start == "key":
                scite.press_key(case.key)
            else:
                scite.tools_command()
            # Without the list the keys are not pressed: the pane then shows what came instead.
            if case.keys and scite.wait_list(case.limit) is not None:
                if case.picture:
                    scite.display.screenshot(out / case.picture)
                scite.press_keys(case.keys)
            pane = scite.wait_exit_line(case.limit)
            scite.wait_tool_gone()
            for key in case.again:
                scite.clear_pane()
                scite.wait_tool_gone()  # and the pane emptied before the key
                scite.press_key(key)
                pane += scite.wait_exit_line(case.limit)
                scite.wait_tool_gone()
            result = Result("done", pane, scite.opened.read_text(encoding="utf-8").splitlines(),
                            scite.ask("extender.result"),
                            scite.beside_pane() if case.beside else "")
            if case.picture and not case.keys:
                scite.display.screenshot(out / case.picture)
    except CaseFailed as failure:
        result = Result(str(failure))
    for name, value in dataclasses.asdict(result).items():
        text = value if isinstance(value, str) else "".join(line + "\n" for line in value)
        (folder / name).write_text(text, encoding="utf-8")
    return result


# Seconds for a pane's caret to follow a click, and for the context menu to show after one: SciTE
# takes both from its main loop, and nothing it can be asked tells that the menu is up.
CLICKED, MENU_SHOWS = 0.3, 1.0
# Screen points on the text of each pane's first lines, SciTE's window being at the screen's top
# left (WINDOW): a few characters in from the editor's margins, and just inside the top of the
# output pane (150 pixels high, at the bottom). A click past the end of a line or of the text
# would leave the caret away from it.
PANE_POINT = {"editor": (60, WINDOW[1] // 3), "output": (60, WINDOW[1] - 140)}


def caret_point(scite: Driver, pane: str, position: int | None = None) -> tuple[int, ...]:
    """The pane's client point of a position (None: its caret) and its line height, and whether it
    has the focus."""
    at = f"{pane}.CurrentPos" if position is None else str(position)
    scite.dostring(f"local at = {at} props['scite_run.point'] = {pane}:PointXFromPosition(at) .. "
                   f"' ' .. {pane}:PointYFromPosition(at) .. ' ' .. {pane}:TextHeight(0) .. ' ' "
                   f".. ({pane}.Focus and 1 or 0)")
    return tuple(int(value) for value in scite.ask("scite_run.point").split())


def right_click(scite: Driver, pane: str, position: int, selection: tuple[int, int]):
    """A right click on byte `position` of the pane, as a user gives it. Where the pane's text is
    on the screen is learnt first from a left click on it: the right click then lands as far
    into the position's line, and as near its character's edge, as the left one did into its
    own. The editor's selection and focus are then put back as they were."""
    x, y = PANE_POINT[pane]
    scite.display.xdotool("mousemove", str(x), str(y), "click", "1")
    time.sleep(CLICKED)
    caret_x, caret_y, height, focused = caret_point(scite, pane)
    if not focused:
        raise CaseFailed(f"a click at {x},{y} did not reach SciTE's {pane}")
    left, top = x - caret_x, y - caret_y - height // 2
    scite.dostring(f"editor:SetSel({selection[0]}, {selection[1]}) output:SetSel(0, 0) "
                   "editor:GrabFocus()")
    # Far from the click before: two clicks on the output pane are SciTE's jump to a message.
    time.sleep(CLICKED * 2)
    to_x, to_y, height, _ = caret_point(scite, pane, position)
    scite.display.xdotool("mousemove", str(left + to_x + 2), str(top + to_y + height // 2),
                          "click", "3")


def bench(scite: Driver, case: Case, out: Path, runs: int) -> list[int]:
    """Median milliseconds, in one SciTE: from the key press to the address at the shell; for a
    case with keys, from the key press to the list shown and from the last key to the address."""
    times = []
    with scite.running(*prepare(scite, case, out / "bench" / case.name)):
        scite.front()
        for run in range(1, runs + 1):
            scite.clear_pane()
            scite.wait_tool_gone()
            scite.opened.unlink(missing_ok=True)
            pressed = time.time_ns()
            scite.press_key(case.key)
            if case.keys:
                shown = scite.wait_list(case.limit)
                if shown is None:
                    raise CaseFailed(f"run {run}: the tool ended without showing its list")
                scite.press_keys(case.keys[:-1])
                last = time.time_ns()
                scite.press_keys(case.keys[-1:])
                spans = [shown - pressed, -last]
            else:
                spans = [-pressed]
            if not poll_until(lambda: scite.opened.exists() and scite.opened.stat().st_size,
                              10, 0.005):
                raise CaseFailed(f"run {run}: no address reached the shell")
            spans[-1] += scite.opened.stat().st_mtime_ns
            times.append([span // 1_000_000 for span in spans])
            scite.wait_exit_line(30)
    return [int(statistics.median(column)) for column in zip(*times)]


# Presses of each in bench_floor per press of bench, in the GTK SciTE: one press spreads over a few
# milliseconds with SciTE's main loop, and the ratio of medians over 20 presses each moved by 0.05
# from run to run. Under Wine a press takes ten times as long, and one each is what time allows.
FLOOR_PRESSES = {"gtk": 3, "wine": 1}


def press_to_address(scite: Driver, run: int) -> tuple[int, int]:
    """One press of the tool's key through libXtst in a pane emptied first, and the times (ns
    since 1970) of the press and of the address at xdg-open; returns once the tool has ended."""
    scite.clear_pane()
    scite.wait_tool_gone()
    scite.opened.unlink(missing_ok=True)
    pressed = time.time_ns()
    scite.display.press_in_process()
    # Polled rather than read from the file's time, which the kernel keeps in ticks.
    seen = poll_until(lambda: scite.opened.exists() and scite.opened.stat().st_size and
                      time.time_ns(), 10, 0.0002)
    if not seen:
        raise CaseFailed(f"run {run}: no address reached xdg-open")
    scite.wait_exit_line(30)
    return pressed, seen


def bench_floor(scite: Driver, case: Case, out: Path, presses: int, floor: Path) -> list[float]:
    """Median milliseconds from the key press (through libXtst) to the address at xdg-open, in
    one SciTE, for the tool and for the yardstick `floor` in its place (Driver.floor_tool),
    alternating press by press (the tool's command set through the director), `presses` presses
    each; then their ratio."""
    times: dict[str, list[float]] = {"tool": [], "floor": []}
    with scite.running(*prepare(scite, case, out / "bench" / (case.name + "-floor"))):
        scite.front()
        scite.aim()
        commands = {"tool": scite.ask("command.35.*"), "floor": scite.floor_tool(floor)}
        for run in range(2 * presses + 2):  # the first of each warms up
            which = "tool" if run % 2 == 0 else "floor"
            scite.set_property("command.35.*", commands[which])
            pressed, seen = press_to_address(scite, run)
            if run >= 2:
                times[which].append((seen - pressed) / 1e6)
    tool_median, floor_median = (statistics.median(times[key]) for key in ("tool", "floor"))
    return [tool_median, floor_median, tool_median / floor_median]


def bench_links(scite: Driver, case: Case, out: Path, presses: int) -> list[float]:
    """Median milliseconds from the key press (through libXtst) to the address at xdg-open, in one
    GTK SciTE with the case's links defined, websearch.links emptied and set again press by press
    (through the director), `presses` presses each; then the difference."""
    times: dict[str, list[float]] = {"none": [], "links": []}
    with scite.running(*prepare(scite, case, out / "bench" / (case.name + "-links"))):
        scite.front()
        links = scite.ask("websearch.links")
        for run in range(2 * presses + 2):  # the first of each warms up
            which = "none" if run % 2 == 0 else "links"
            scite.send(scite.scite, f"property:websearch.links={links if which == 'links' else ''}")
            pressed, seen = press_to_address(scite, run)
            if run >= 2:
                times[which].append((seen - pressed) / 1e6)
    plain, linked = (statistics.median(times[key]) for key in ("none", "links"))
    return [plain, linked, linked - plain]


# What SciTE itself spends showing the engine list and the user strip, timed inside SciTE: the
# list as the tool shows three engines, and the strip as it lays out one engine (a label) and
# several (an engine field). Lua's os.clock counts wall time in the Windows C library only.
SHOWN_BY_SCITE = {
    "the list": ("editor:UserListShow(13, 'DDG MDN SO')", "editor:AutoCCancel()"),
    "the strip, one engine": (
        "scite.StripShow(\"'Search DDG:'{}((Search))(Co&py address)(Cancel)\")",
        "scite.StripShow('')"),
    "the strip, several engines": (
        "scite.StripShow(\"'Search:'{}'En&gine:'{}((Search))(Co&py address)(Cancel)\")",
        "scite.StripShow('')"),
}


def shown_by_scite(scite: Driver, rounds: int = 5, shows: int = 10) -> dict[str, float]:
    """Median milliseconds SciTE takes over each show of SHOWN_BY_SCITE, hidden again untimed."""
    times: dict[str, list[float]] = {name: [] for name in SHOWN_BY_SCITE}
    for _ in range(rounds):
        for name, (show, hide) in SHOWN_BY_SCITE.items():
            scite.dostring(f"local spent = 0 for i = 1, {shows} do local t = os.clock() {show} "
                           f"spent = spent + os.clock() - t {hide} end "
                           f"props['bench.shown'] = tostring(spent * 1000 / {shows})")
            times[name].append(float(scite.ask("bench.shown")))
    return {name: statistics.median(spans) for name, spans in times.items()}


def bench_strip_list(scite: Driver, case: Case, out: Path,
                     runs: int) -> tuple[list[float], dict[str, float]]:
    """Median milliseconds from the key press to SciTE's list shown and to the user strip's field
    focused, in one SciTE with the case's engines, websearch.ask turned off and on press by press,
    `runs` presses each; each left with Escape. Alternating, so that both see the same machine.
    Under Wine, also SciTE's own share of each (shown_by_scite)."""
    times: dict[str, list[float]] = {"list": [], "strip": []}
    with scite.running(*prepare(scite, case, out / "bench" / (case.name + "-strip-list"))):
        scite.front()
        own = shown_by_scite(scite) if isinstance(scite, WineSciTE) else {}
        for run in range(2 * runs + 2):  # the first of each warms up
            which = "list" if run % 2 == 0 else "strip"
            scite.dostring(f"props['websearch.ask'] = '{int(which == 'strip')}'")
            scite.clear_pane()
            scite.wait_tool_gone()
            pressed = time.time_ns()
            scite.press_key(case.key)
            shown = scite.wait_list(case.limit)
            if shown is None:
                raise CaseFailed(f"run {run}: the tool ended without showing its {which}")
            scite.press_keys(["Escape"])
            scite.wait_exit_line(30)
            if run >= 2:
                times[which].append((shown - pressed) / 1e6)
    return [statistics.median(times[key]) for key in ("list", "strip")], own


def traced_steps(text: str) -> list[tuple[str, int]]:
    """The steps of one press's trace file ("<ns> <pid> <step>" a line, each program appending its
    own), each named "<program>: <step>", the programs in the order they first wrote (the launcher,
    where it traces, then the companion); a step a program marks again gets " #2", " #3"..."""
    stamps = [line.split(" ", 2) for line in text.splitlines() if line.count(" ") >= 2]
    pids = list(dict.fromkeys(pid for _, pid, _ in stamps))
    programs = dict(zip(pids, ["launcher", "companion"][-len(pids):] if len(pids) <= 2 else pids))
    seen: dict[str, int] = {}
    steps = []
    for ns, pid, step in stamps:
        name = f"{programs[pid]}: {step}"
        seen[name] = seen.get(name, 0) + 1
        steps.append((name if seen[name] == 1 else f"{name} #{seen[name]}", int(ns)))
    return steps


def step_medians(presses: list[list[tuple[str, int]]]) -> list[tuple[str, float, float]]:
    """Per step of the presses, ordered by the median: its median milliseconds from the key press
    (each press's first step) and from the step before it in time in the same press."""
    since: dict[str, list[float]] = {}
    after: dict[str, list[float]] = {}
    for steps in presses:
        pressed = steps[0][1]
        timeline = sorted(steps, key=lambda step: step[1])
        for at, (name, ns) in enumerate(timeline):
            since.setdefault(name, []).append((ns - pressed) / 1e6)
            after.setdefault(name, []).append((ns - timeline[at - 1][1]) / 1e6 if at else 0.0)
    rows = [(name, statistics.median(since[name]), statistics.median(after[name]))
            for name in since]
    return sorted(rows, key=lambda row: row[1])


def bench_trace(scite: Driver, case: Case, out: Path, runs: int) -> list[tuple[str, float, float]]:
    """Where a press's milliseconds go, in one SciTE: `runs` presses (libXtst) of the tool, its
    programs tracing each step (WEBSEARCH_TRACE; the launcher's trace build where there is one,
    Driver.tracing); per step, in order, its median milliseconds from the key press and from the
    step before. The address at the shell is polled for, as in bench_floor."""
    folder = out / "bench" / (case.name + "-trace")
    trace = folder / "trace"
    presses = []
    scite.env["WEBSEARCH_TRACE"] = scite.native_path(trace)
    try:
        with scite.tracing(), scite.running(*prepare(scite, case, folder)):
            scite.front()
            scite.aim()
            for run in range(runs + 1):  # the first warms up
                trace.unlink(missing_ok=True)
                pressed, seen = press_to_address(scite, run)
                if run:
                    presses.append([("key pressed", pressed)] + traced_steps(trace.read_text()) +
                                   [("the address at the shell (polled)", seen)])
    finally:
        del scite.env["WEBSEARCH_TRACE"]
    return step_medians(presses)


@contextlib.contextmanager
def session(build: Path, package: Path, out: Path, screenshot=False,
            driver: type[Driver] = WineSciTE):
    """The X display, then the editor's own session with the package installed; all of it
    stopped after. The driver is the class of the editor; screenshot: whether a case takes one."""
    needs = ["Xvfb", "xdotool", "setsid", "flock"] + (["import"] if screenshot else [])
    missing = [tool for tool in needs if not shutil.which(tool)]
    if missing:
        raise SetupFailed(f"missing: {', '.join(missing)} (scripts/setup installs them)")
    if not package.exists():
        raise SetupFailed(f"no release package at {package} (build the target package first)")
    work = out / ".session"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    with Display() as display, driver(build, work, display) as scite:
        scite.install(package)
        yield scite


def run(cases: list[Case], build: Path, package: Path, out: Path,
        driver: type[Driver] = WineSciTE) -> dict[str, Result]:
    with session(build, package, out, any(case.picture for case in cases), driver) as scite:
        return {case.name: run_case(scite, case, out) for case in cases}


def main() -> int:
    parser = argparse.ArgumentParser(prog="scite_run.py", description=__doc__.split("\n")[0])
    parser.add_argument("--gtk", action="store_true", help="the GTK SciTE, natively")
    parser.add_argument("--deb", action="store_true", help="the GTK SciTE with the .deb")
    parser.add_argument("--build", type=Path)
    parser.add_argument("--package", type=Path, help="the zip or tar.gz, or a folder holding "
                        "its top folder")
    parser.add_argument("--out", type=Path)
    parser.add_argument("--bench", type=int, default=0, metavar="N")
    parser.add_argument("--floor", type=Path, help="with --bench: the yardstick to time "
                        "against, alternating (--gtk: the program gtk-floor; else a folder with "
                        "the floor chain's launcher.exe and websearch.exe)")
    parser.add_argument("--trace", action="store_true", help="with --bench: where a press's "
                        "milliseconds go, from the programs' trace")
    parser.add_argument("cases", nargs="+", type=Path)
    args = parser.parse_args()
    driver = GtkDebSciTE if args.deb else GtkSciTE if args.gtk else WineSciTE
    gtk = args.gtk or args.deb
    build = (args.build or SCRIPTS.parent / "build" / ("linux" if gtk else "windows")).resolve()
    packed = ("scite-websearch_*.deb" if args.deb else "scite-websearch-*-linux-*.tar.gz" if gtk
              else "scite-websearch-*-win64.zip")
    package = args.package or next(build.glob(packed), build / "no-package")
    out = (args.out or build / "scite-run").resolve()
    cases = []
    try:
        for file in args.cases:
            try:
                data = json.loads(file.read_text(encoding="utf-8"))
                cases += [Case(**row) for row in (data if isinstance(data, list) else [data])]
            except (OSError, ValueError, TypeError) as error:
                raise SetupFailed(f"bad case file {file}: {error}") from error
        if args.bench:
            with session(build, package.resolve(), out, driver=driver) as scite:
                medians = [bench(scite, case, out, args.bench) for case in cases]
                presses = FLOOR_PRESSES["gtk" if gtk else "wine"] * args.bench
                # The plain press against the floor and traced; one with links only against none.
                plain = [case for case in cases if not case.keys and case.key == KEY
                         and "websearch.links=" not in case.props]
                floors = [bench_floor(scite, case, out, presses, args.floor.resolve())
                          for case in plain if args.floor]
                pairs = [bench_strip_list(scite, case, out, args.bench)
                         for case in cases if case.keys and "websearch.ask=1" not in case.props]
                linked = [bench_links(scite, case, out, presses)
                          for case in cases if gtk and "websearch.links=" in case.props]
                traces = [bench_trace(scite, case, out, args.bench)
                          for case in plain if args.trace]
            editor, shell = ("the GTK SciTE", "xdg-open") if gtk else ("the real SciTE",
                                                                          "the shell")
            print(f"in {editor} (one SciTE a case, {args.bench} presses of its key):")
            for case, figures in zip(cases, medians):
                strip = "websearch.ask=1" in case.props
                press = "key press" if case.key == KEY else f"{case.key} press"
                if case.keys:
                    shown = "the strip's field focused" if strip else "the engine list shown"
                    where = "the strip" if strip else "the list"
                    labels = [f"{press} to {shown}:",
                              f"{case.keys[-1]} in {where} to the URL at {shell}:"]
                else:
                    labels = [f"{press} to the URL at {shell}:"]
                for label, median in zip(labels, figures):
                    print(f"{'median ' + label:<59}{median} ms")
            yardstick, target = ("gtk-floor", "1.15") if gtk else ("the floor chain", "1.10")
            for tool, floor, ratio in floors:
                print(f"against {yardstick}, alternating, {presses} presses each:")
                print(f"{'median press (libXtst) to ' + shell + ', the tool:':<59}{tool:.1f} ms")
                print(f"{'median press (libXtst) to ' + shell + ', ' + yardstick + ':':<59}"
                      f"{floor:.1f} ms")
                print(f"{'ratio to ' + yardstick + ' (target ' + target + ' or less):':<59}"
                      f"{ratio:.2f}")
            for plain, linked_press, more in linked:
                print(f"websearch.links emptied and set alternating, {presses} "
                      "presses each:")
                print(f"{'median press (libXtst) to xdg-open, no links:':<59}{plain:.1f} ms")
                print(f"{'median press (libXtst) to xdg-open, five links:':<59}"
                      f"{linked_press:.1f} ms")
                print(f"{'five links over none (target 2 ms or less):':<59}{more:+.1f} ms")
            for (shown, focused), own in pairs:
                print(f"the list and the strip alternating, {args.bench} presses each, the same "
                      "engines:")
                print(f"{'median key press to the engine list shown:':<59}{shown:.0f} ms")
                print(f"{'median key press to the strip field focused:':<59}"
                      f"{focused:.0f} ms")
                if own:
                    print("SciTE's own time to show them, timed inside it (os.clock), medians:")
                for name, spent in own.items():
                    print(f"{'  ' + name + ':':<59}{spent:.1f} ms")
            for steps in traces:
                traced = "the companion" if gtk else "the launcher's trace build and the companion"
                print(f"where a press's milliseconds go in {editor}, {traced} traced, "
                      f"{args.bench} presses (medians: from the press, from the step before):")
                for step, since, after in steps:
                    print(f"  {since:7.2f} ms {after:+7.2f} ms  {step}")
            return 0
        results = run(cases, build, package.resolve(), out, driver)
    except SetupFailed as failure:
        print(f"scite_run: {failure}", file=sys.stderr)
        return 2
    except CaseFailed as failure:
        print(f"scite_run: {failure}", file=sys.stderr)
        return 1
    for name, result in results.items():
        print(f"scite_run: {name}: {result.status}", file=sys.stderr)
    return 0 if all(r.status == "done" for r in results.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
