#!/usr/bin/env python3
"""Drives a real SciTE as a user does: the release zip installed in SciTE's folder, a document
open with some text selected, the tool started by its key (or SciTE's Tools command); then it
waits for SciTE's ">Exit code:" line and collects what the output pane said and what address
reached the browser (a recording xdg-open, called by Wine's shell or, natively, by the tool).
Everything it starts it stops.

    scite_run.py [--gtk] [--build DIR] [--package PACKAGE] [--out DIR] [--screenshot PNG] CASE...
    scite_run.py [--gtk] [--build DIR] [--package PACKAGE] --bench N CASE.json

--gtk drives Debian's GTK SciTE natively instead (GtkSciTE), with the Linux package (the tar.gz,
or a folder holding scite-websearch/) unpacked into ~/.local/share of a HOME of its own.

A CASE.json holds a Case or a list of them; results go to <out>/<case>/ (the fields of Result).
A case with keys presses them once SciTE's list shows at the caret (the engine list the tool
offers), then waits for ">Exit code:" as any case does.
--bench presses the key N times in one SciTE per case and prints medians: for a case without
keys, the press to the address at the shell; for one with keys, the press to the list shown and
the last key to the address at the shell.
Exit codes: 0 every case ran to its end, 1 one did not, 2 set-up failed.
Tests import it and call run().
"""

import argparse
import contextlib
import ctypes
import dataclasses
import fcntl
import json
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tarfile
import time
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
XDG_OPEN = HERE.parent / "tests" / "support" / "xdg-open"
WINDOW = (860, 470)  # SciTE's window at the screen's top left, and the screenshot's size
EXIT_LINE = ">Exit code:"


class SetupFailed(Exception):
    """The run could not begin."""


class CaseFailed(Exception):
    """A case did not run to its end; the message is its status."""


@dataclasses.dataclass
class Case:
    name: str
    text: str = ""
    document: str = "document.txt"
    select: tuple[int, int] | None = None  # anchor and caret in bytes; None: all of the text
    ini: str | None = None  # websearch.ini for this case; None: the zip's own
    props: str = ""  # more lines for the user's options file
    start: str = "key"  # "key": Ctrl+Shift+W; "tools": SciTE's Tools command via the director
    front: str = "scite"  # "other": another window is in front when the tool starts
    limit: int = 30  # seconds for the list to show, and for the ">Exit code:" line
    keys: list[str] = dataclasses.field(default_factory=list)  # xdotool names, once the list shows
    beside: bool = False  # a second SciTE with the same document runs beside it (GTK only)


@dataclasses.dataclass
class Result:
    status: str  # "done", or what went wrong
    pane: str = ""
    opened: list[str] = dataclasses.field(default_factory=list)
    result: str = ""
    beside: str = ""  # the second SciTE's pane, for a case with one beside


def run_for(args, seconds, env=None, output=None, log=None) -> int:
    """Runs a program to its end or its time limit (exit code 124). Its streams go to files, never
    a pipe: a Wine program may leave a process behind that holds a pipe open."""
    with open(output or os.devnull, "wb") as out, open(log or os.devnull, "ab") as err:
        try:
            return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=seconds).returncode
        except subprocess.TimeoutExpired:
            return 124


def die_with_parent():
    """Ends the child when the runner ends, even when it is killed outright."""
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


class Display:
    """A virtual X display of its own: Xvfb picks a free number and names it once it listens."""

    def __enter__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(write,), preexec_fn=die_with_parent)
        os.close(write)
        with os.fdopen(read, "rb") as named:
            number = named.readline().strip() if select.select([named], [], [], 10)[0] else b""
        if not number:
            self.__exit__()
            raise SetupFailed("Xvfb did not start")
        self.name = ":" + number.decode()
        return self

    def __exit__(self, *_):
        self.xvfb.terminate()
        self.xvfb.wait(10)

    def xdotool(self, *args) -> str:
        try:
            done = subprocess.run(["xdotool", *args], env={**os.environ, "DISPLAY": self.name},
                                  stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                  timeout=5)
        except subprocess.TimeoutExpired:
            return ""
        return done.stdout.strip() if done.returncode == 0 else ""

    def press(self, window: str):
        self.xdotool("windowfocus", "--sync", window)
        # Wine hands the key to SciTE only while the pointer is over SciTE's window (with the
        # pointer outside it the key was lost), as it is when a user presses it.
        self.xdotool("mousemove", str(WINDOW[0] // 2), str(WINDOW[1] // 2))
        self.xdotool("key", "--window", window, "ctrl+shift+w")

    def keys(self, keys: list[str]):
        """Real key presses to whatever has the focus: no new focus, no pointer move, which could
        close a list that is open."""
        if keys:
            self.xdotool("key", *keys)

    def screenshot(self, png: Path):
        png.parent.mkdir(parents=True, exist_ok=True)
        time.sleep(0.5)  # SciTE draws the pane asynchronously: a frame or two
        run_for(["import", "-window", "root", "-crop", "{}x{}+0+0".format(*WINDOW), "+repage",
                 png], 20, env={**os.environ, "DISPLAY": self.name})


class WineSciTE:
    """SciTE for Windows (<build>/scite/Sc1.exe) under Wine, installed where a user has it:
    C:\\Program Files\\SciTE in the runner's own prefix (<build>/wine-scite: the x11 driver and a
    virtual desktop, created once). A driver: the cases reach SciTE only through its public
    methods, so another SciTE (the GTK one, natively) is another class of the same shape."""

    def __init__(self, build: Path, work: Path, display: Display):
        self.build, self.work, self.display = build, work, display
        self.remote_exe = build / "bin" / "scite_remote.exe"
        missing = [str(f) for f in (build / "scite" / "Sc1.exe", self.remote_exe) if not f.exists()]
        if missing:
            raise SetupFailed(f"missing: {', '.join(missing)} (build the windows preset first)")
        dump = self.shell('wine_environment && wine_use_build_dir "$1" wine-scite && '
                          'printf "%s\\0" "$WINE" "$WINESERVER" && env -0', build, capture=True)
        self.wine, self.wineserver, *variables = dump.rstrip("\0").split("\0")
        self.env = dict(v.split("=", 1) for v in variables) | {"DISPLAY": display.name}
        # winebrowser inherits the Unix environment of the Windows process that started it, up to
        # SciTE (the wineserver's PATH does not count): the recording xdg-open comes first.
        (work / "xdg").mkdir(parents=True, exist_ok=True)
        shutil.copy(XDG_OPEN, work / "xdg" / "xdg-open")
        self.opened = work / "xdg" / "opened"
        self.env["PATH"] = f"{work / 'xdg'}:{os.environ['PATH']}"
        self.home = Path(self.env["WINEPREFIX"], "drive_c", "Program Files", "SciTE")
        self.scite = self.other = None

    def shell(self, code, *args, capture=False, seconds=60) -> str:
        """Runs shell code with scripts/wine-common.sh sourced: the Wine session logic is written
        once there, for the test fixtures and this runner."""
        try:
            done = subprocess.run(["bash", "-c", 'source "$0" && ' + code,
                                   HERE / "wine-common.sh", *map(str, args)],
                                  env=getattr(self, "env", None), stdin=subprocess.DEVNULL,
                                  timeout=seconds, text=True,
                                  stdout=subprocess.PIPE if capture else subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            done = None
        if done is None or done.returncode != 0:
            raise SetupFailed(f"{code.split()[0]} (scripts/wine-common.sh) failed")
        return done.stdout

    def __enter__(self):
        self.shell('wine_session_begin "$1"', os.getpid(), seconds=1600)
        try:
            self.shell("wine_ensure_prefix x11 1280x1024", seconds=300)
            log = self.work / "wine.log"
            if run_for([self.wineserver, "-p"], 30, self.env, log, log) != 0 or \
                    run_for([self.wine, "wineboot"], 60, self.env, log, log) != 0:
                raise SetupFailed(f"the Wine session did not start (see {log})")
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *_):
        self.close()
        self.shell('wine_session_end "$1"', os.getpid())

    def install(self, package: Path):
        """Sc1.exe with its .properties files, the zip unpacked as "websearch" beside them."""
        shutil.rmtree(self.home, ignore_errors=True)
        self.home.mkdir(parents=True)
        for file in (self.build / "scite").iterdir():
            shutil.copy(file, self.home)
        if package.is_dir():
            shutil.copytree(package / "websearch", self.home / "websearch")
        else:
            zipfile.ZipFile(package).extractall(self.home)
        if not (self.home / "websearch" / "launcher.exe").is_file():
            raise SetupFailed(f"{package} has no websearch/launcher.exe")
        self.packed_ini = (self.home / "websearch" / "websearch.ini").read_bytes()

    def configure(self, ini: str | None, props: str):
        """websearch.ini, and the user's options: the zip's tool lines and the case's own."""
        tool = self.home / "websearch"
        (tool / "websearch.ini").write_bytes(self.packed_ini if ini is None else ini.encode())
        lines = (tool / "scite-tool.properties").read_bytes() + props.encode() + b"\n"
        (self.home / "SciTEUser.properties").write_bytes(lines)

    def remote(self, *args, seconds=10) -> tuple[int, str]:
        out, log = self.work / "remote.out", self.work / "remote.log"
        code = run_for([self.wine, self.remote_exe, *map(str, args)], seconds, self.env, out, log)
        if code != 0:
            with open(log, "a") as note:
                print(f"scite_remote {args[0]}: exit code {code}", file=note)
        return code, out.read_bytes().decode("utf-8", "replace")

    @contextlib.contextmanager
    def running(self, document: Path, anchor: int, caret: int):
        """SciTE with the document open and the selection made, stopped again afterwards."""
        with open(self.work / "scite.log", "ab") as log:
            self.scite = subprocess.Popen(
                [self.wine, self.home / "Sc1.exe", "-technology=0", "-split.vertical=0",
                 "-position.left=0", "-position.top=0", f"-position.width={WINDOW[0]}",
                 f"-position.height={WINDOW[1]}", "-output.vertical.size=150",
                 "Z:" + str(document).replace("/", "\\")],
                env=self.env | {"SciTE_USERHOME": "C:\\Program Files\\SciTE"},
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        try:
            if self.remote("wait", 25000, seconds=30)[0]:
                if self.scite.poll() is not None:
                    raise CaseFailed(f"SciTE did not start (see {self.work / 'scite.log'})")
                raise CaseFailed("SciTE started but showed no director window within 25 s")
            if self.remote("send", f"extender:dostring editor:SetSel({anchor}, {caret})")[0]:
                raise CaseFailed("SciTE did not take the selection through its director window")
            yield self
        finally:
            self.close()

    def close(self):
        for process in (self.other, self.scite):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait()
        self.scite = self.other = None

    def front(self):
        if self.remote("front")[0]:
            raise CaseFailed("SciTE's window did not come to the front")

    def other_in_front(self, seconds: int):
        """A window of the helper's own in front of SciTE, for the given time."""
        said = self.work / "other.out"
        with open(said, "wb") as out:
            self.other = subprocess.Popen(
                [self.wine, self.remote_exe, "other", str(seconds * 1000)], env=self.env,
                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if b"front" in said.read_bytes():
                return
            time.sleep(0.1)
        raise CaseFailed("the other window did not come to the front")

    def press_key(self):
        window = self.display.xdotool("search", "--limit", "1", "--name", "Wine desktop")
        if not window:
            raise CaseFailed("no Wine desktop window to press the key in")
        self.display.press(window)

    def wait_list(self, limit: int) -> int | None:
        """When SciTE's list showed (ns since 1970), or None when the tool ended without one."""
        code, said = self.remote(
            "until", limit * 1000,
            f"editor:AutoCActive() and 'list' or output:GetText():find('{EXIT_LINE}', 1, true) "
            "and 'ended'", seconds=limit + 10)
        if code == 3:
            raise CaseFailed(f"time limit reached: SciTE's list did not show within {limit} s")
        if code != 0:
            raise CaseFailed("SciTE did not answer while the tool ran")
        seen, value = said.split()
        return int(seen) if value == "list" else None

    def press_keys(self, keys: list[str]):
        self.display.keys(keys)

    def tools_command(self):
        if self.remote("send", "menucommand:1135")[0]:
            raise CaseFailed("SciTE did not take the Tools command")

    def clear_pane(self):
        self.remote("send", "extender:dostring output:ClearAll()")

    def wait_exit_line(self, limit: int) -> str:
        """The pane once it holds SciTE's ">Exit code:" line. Reading it changes nothing, so a
        helper that died without a word (seen once in a few hundred runs) is asked once more."""
        for _ in range(2):
            code, pane = self.remote("pane", limit * 1000, EXIT_LINE, seconds=limit + 10)
            if code in (0, 1, 3):
                break
        if code == 3:
            last = "\n".join(pane.replace("\r", "").splitlines()[-2:])
            raise CaseFailed(f"time limit reached: no '{EXIT_LINE}' line in the output pane "
                             f"after {limit} s; it ends:\n{last}")
        if code != 0:
            raise CaseFailed("SciTE did not answer while the tool ran")
        return pane.replace("\r", "")

    def wait_tool_gone(self):
        """Until no program the tool started can still hand something to the shell."""
        quiet = 0
        for _ in range(100):
            # Bracketed so that the pattern does not match the shell that carries it.
            busy = self.shell("wine_prefix_pids '[l]auncher\\.exe|[w]ebsearch\\.exe|[w]inebrowser|"
                              "[x]dg-open'", capture=True)
            quiet = 0 if busy else quiet + 1
            if quiet == 3:
                return
            time.sleep(0.1)

    def ask(self, key: str) -> str:
        return self.remote("ask", key)[1]


class GtkSciTE:
    """Debian's GTK SciTE (/usr/bin/scite), natively, set up as a user has it: a HOME of its own
    with the package unpacked in ~/.local/share/scite-websearch and the tool's lines in
    ~/.SciTEUser.properties. Each case gets a TMPDIR of its own, where SciTE and the tool make
    their FIFOs. SciTE is asked through its request FIFO $TMPDIR/SciTE.<pid>.in, with a reply FIFO
    of the runner's own; SciTE replies only once it has a notify pipe, so the runner registers
    once when it finds none."""

    VALUE = "scite.run.value"  # the property that carries the value of a Lua expression

    def __init__(self, build: Path, work: Path, display: Display):
        if not Path("/usr/bin/scite").exists():
            raise SetupFailed("missing: /usr/bin/scite (scripts/setup installs it)")
        self.work, self.display = work, display
        self.home = work / "home"
        self.tool = self.home / ".local" / "share" / "scite-websearch"
        (work / "xdg").mkdir(parents=True, exist_ok=True)
        shutil.copy(XDG_OPEN, work / "xdg" / "xdg-open")
        self.opened = work / "xdg" / "opened"
        self.reply = work / "reply"
        os.mkfifo(self.reply)
        self.env = {key: value for key, value in os.environ.items()
                    if not key.startswith("SciTE_") and key != "TMPDIR"}
        # A host build's programs carry AddressSanitizer, whose leak report would fail the tool.
        self.env |= {"HOME": str(self.home), "DISPLAY": display.name, "NO_AT_BRIDGE": "1",
                     "PATH": f"{work / 'xdg'}:{os.environ['PATH']}",
                     "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "detect_leaks=0")}
        self.tmp = work / "tmp"
        self.scite = self.other = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def install(self, package: Path):
        """The tar.gz unpacked into ~/.local/share, or a folder holding scite-websearch/ copied."""
        shutil.rmtree(self.tool, ignore_errors=True)
        self.tool.parent.mkdir(parents=True, exist_ok=True)
        if package.is_dir():
            shutil.copytree(package / "scite-websearch", self.tool)
        else:
            with tarfile.open(package) as tar:
                tar.extractall(self.tool.parent, filter="data")
        if not os.access(self.tool / "launcher", os.X_OK):
            raise SetupFailed(f"{package} has no scite-websearch/launcher")
        self.packed_ini = (self.tool / "websearch.ini").read_bytes()

    def configure(self, ini: str | None, props: str):
        (self.tool / "websearch.ini").write_bytes(self.packed_ini if ini is None else ini.encode())
        lines = (self.tool / "scite-tool.properties").read_bytes() + props.encode() + b"\n"
        (self.home / ".SciTEUser.properties").write_bytes(lines)

    @contextlib.contextmanager
    def running(self, document: Path, anchor: int, caret: int):
        """SciTE with the document open and the selection made; TMPDIR is <case>/tmp."""
        self.tmp = document.parent.parent / "tmp"
        self.tmp.mkdir(exist_ok=True)
        try:
            self.scite = self.start(document)
            self.send(self.scite, f"extender:dostring editor:SetSel({anchor}, {caret})")
            yield self
        finally:
            self.close()

    def start(self, document: Path) -> subprocess.Popen:
        with open(self.work / "scite.log", "ab") as log:
            scite = subprocess.Popen(
                ["/usr/bin/scite", "-split.vertical=0", "-position.left=0", "-position.top=0",
                 f"-position.width={WINDOW[0]}", f"-position.height={WINDOW[1]}",
                 "-output.vertical.size=150", document],
                env=self.env | {"TMPDIR": str(self.tmp)}, stdin=subprocess.DEVNULL, stdout=log,
                stderr=log, start_new_session=True)
        for _ in range(250):
            if (self.tmp / f"SciTE.{scite.pid}.in").exists() and self.window(scite):
                return scite
            if scite.poll() is not None:
                raise CaseFailed(f"SciTE did not start (see {self.work / 'scite.log'})")
            time.sleep(0.1)
        raise CaseFailed("SciTE started but showed no window or director FIFO within 25 s")

    def window(self, scite: subprocess.Popen) -> str:
        """SciTE's main window: --all, since --pid and --name alone match either."""
        found = self.display.xdotool("search", "--all", "--onlyvisible", "--pid", str(scite.pid),
                                     "--name", " - SciTE$")
        return found.split()[0] if found else ""

    def send(self, scite: subprocess.Popen, command: str, reply: Path | None = None):
        """One request line, ":<reply FIFO>:<command>" or the command alone when no reply is
        wanted (an empty reply path makes SciTE drop the command). SciTE reads backslash escapes
        in it: the runner sends none."""
        line = (f":{reply}:{command}\n" if reply else f"{command}\n").encode()
        try:
            fifo = os.open(self.tmp / f"SciTE.{scite.pid}.in", os.O_WRONLY | os.O_NONBLOCK)
        except OSError as error:
            raise CaseFailed(f"SciTE's request FIFO cannot be opened: {error}") from error
        try:
            if os.write(fifo, line) != len(line):
                raise CaseFailed("SciTE's request FIFO took part of a request")
        finally:
            os.close(fifo)

    def property(self, scite: subprocess.Popen, key: str, seconds=5) -> str:
        """The property's value; SciTE's reply is raw: macro:stringinfo:<value>\\n."""
        registered = self.work / f"register.{scite.pid}"
        if not registered.exists():
            # A tool that is starting registers itself: give it the chance, so that its own
            # register: is what the cases exercise.
            registered.write_bytes(b"")  # SciTE writes its new pipe's name into it
            for _ in range(100):
                if list(self.tmp.glob(f"SciTE.{scite.pid}.*.out")):
                    break
                time.sleep(0.02)
            else:
                self.send(scite, "register:", registered)
        fifo = os.open(self.reply, os.O_RDONLY | os.O_NONBLOCK)
        try:
            fcntl.fcntl(fifo, 1031, 1 << 20)  # F_SETPIPE_SZ: a large pane arrives whole
            self.send(scite, f"askproperty:{key}", self.reply)
            data, end = b"", time.monotonic() + seconds
            while select.select([fifo], [], [], max(0, end - time.monotonic()))[0]:
                chunk = os.read(fifo, 1 << 20)
                if not chunk:  # the writer's close ends the reply
                    text = data.decode("utf-8", "replace").removeprefix("macro:stringinfo:")
                    return text.removesuffix("\n")
                data += chunk
            raise CaseFailed(f"SciTE did not answer within {seconds} s")
        finally:
            os.close(fifo)

    def lua(self, scite: subprocess.Popen, expression: str) -> str:
        self.send(scite, f"extender:dostring props['{self.VALUE}']=tostring({expression})")
        return self.property(scite, self.VALUE)

    def close(self):
        """SciTE quits through its director, which removes its FIFOs; killed if it does not."""
        for scite in (self.other, self.scite):
            if scite is not None and scite.poll() is None:
                with contextlib.suppress(CaseFailed):
                    self.send(scite, "quit:")
                try:
                    scite.wait(5)
                except subprocess.TimeoutExpired:
                    scite.kill()
                    scite.wait()
        self.scite = self.other = None

    def front(self):
        window = self.window(self.scite)
        self.display.xdotool("windowraise", window)
        # Without a window manager the pointer decides where the keys go first: over the editor.
        self.display.xdotool("mousemove", str(WINDOW[0] // 2), str(WINDOW[1] // 4))
        self.display.xdotool("windowfocus", "--sync", window)
        if self.display.xdotool("getwindowfocus") != window:
            raise CaseFailed("SciTE's window did not take the keyboard focus")

    def other_in_front(self, seconds: int):
        raise CaseFailed("another window in front is a case for SciTE under Wine only")

    def start_beside(self, document: Path):
        self.other = self.start(document)

    def beside_pane(self) -> str:
        return self.lua(self.other, "output:GetText()")

    def press_key(self):
        self.display.keys(["ctrl+shift+w"])

    def press_keys(self, keys: list[str]):
        self.display.keys(keys)

    def wait_list(self, limit: int) -> int | None:
        end = time.monotonic() + limit
        while time.monotonic() < end:
            said = self.lua(self.scite, "editor:AutoCActive() and 'list' or "
                            f"output:GetText():find('{EXIT_LINE}', 1, true) and 'ended'")
            if said in ("list", "ended"):
                return time.time_ns() if said == "list" else None
            time.sleep(0.01)
        raise CaseFailed(f"time limit reached: SciTE's list did not show within {limit} s")

    def tools_command(self):
        self.send(self.scite, "menucommand:1135")

    def clear_pane(self):
        self.send(self.scite, "extender:dostring output:ClearAll()")

    def wait_exit_line(self, limit: int) -> str:
        end = time.monotonic() + limit
        while True:
            pane = self.lua(self.scite, "output:GetText()")
            if EXIT_LINE in pane:
                return pane
            if time.monotonic() > end:
                last = "\n".join(pane.splitlines()[-2:])
                raise CaseFailed(f"time limit reached: no '{EXIT_LINE}' line in the output pane "
                                 f"after {limit} s; it ends:\n{last}")
            time.sleep(0.02)

    def wait_tool_gone(self):
        """Until no process runs from the tool's folder or the recording xdg-open's."""
        marks = (str(self.tool).encode(), str(self.work / "xdg").encode())
        quiet = 0
        for _ in range(100):
            busy = False
            for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
                with contextlib.suppress(OSError):
                    busy = busy or any(mark in cmdline.read_bytes() for mark in marks)
            quiet = 0 if busy else quiet + 1
            if quiet == 3:
                return
            time.sleep(0.1)

    def ask(self, key: str) -> str:
        return self.property(self.scite, key)


def prepare(scite, case: Case, folder: Path) -> tuple[Path, int, int]:
    """The case's document in <folder>/doc and its settings in SciTE's folder."""
    shutil.rmtree(folder, ignore_errors=True)
    (folder / "doc").mkdir(parents=True)
    document = folder / "doc" / case.document
    document.write_text(case.text, encoding="utf-8", newline="")
    scite.configure(case.ini, case.props)
    scite.opened.write_bytes(b"")
    return document, *(case.select or (0, len(case.text.encode())))


def run_case(scite, case: Case, out: Path, screenshot: Path | None) -> Result:
    folder = out / case.name
    document, anchor, caret = prepare(scite, case, folder)
    try:
        with scite.running(document, anchor, caret):
            if case.beside:
                if not hasattr(scite, "start_beside"):
                    raise CaseFailed("a second SciTE beside is a case for the GTK SciTE only")
                scite.start_beside(document)
            if case.front == "other":
                scite.other_in_front(case.limit + 20)
            else:
                scite.front()
            if case.start == "key":
                scite.press_key()
            else:
                scite.tools_command()
            # Without the list the keys are not pressed: the pane then shows what came instead.
            if case.keys and scite.wait_list(case.limit) is not None:
                scite.press_keys(case.keys)
            pane = scite.wait_exit_line(case.limit)
            scite.wait_tool_gone()
            result = Result("done", pane, scite.opened.read_text(encoding="utf-8").splitlines(),
                            scite.ask("extender.result"),
                            scite.beside_pane() if case.beside else "")
            if screenshot:
                scite.display.screenshot(screenshot)
    except CaseFailed as failure:
        result = Result(str(failure))
    for name, value in dataclasses.asdict(result).items():
        text = value if isinstance(value, str) else "".join(line + "\n" for line in value)
        (folder / name).write_text(text, encoding="utf-8")
    return result


def bench(scite, case: Case, out: Path, runs: int) -> list[int]:
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
            scite.press_key()
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
            for _ in range(2000):
                if scite.opened.exists() and scite.opened.stat().st_size:
                    break
                time.sleep(0.005)
            else:
                raise CaseFailed(f"run {run}: no address reached the shell")
            spans[-1] += scite.opened.stat().st_mtime_ns
            times.append([span // 1_000_000 for span in spans])
            scite.wait_exit_line(30)
    return [int(statistics.median(column)) for column in zip(*times)]


@contextlib.contextmanager
def session(build: Path, package: Path, out: Path, screenshot=False, driver=WineSciTE):
    """The X display, then the editor's own session with the zip installed; all of it stopped
    after. The driver is the class of the editor."""
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
        screenshot: Path | None = None, driver=WineSciTE) -> dict[str, Result]:
    with session(build, package, out, screenshot is not None, driver) as scite:
        return {case.name: run_case(scite, case, out, screenshot) for case in cases}


def main() -> int:
    parser = argparse.ArgumentParser(prog="scite_run.py", description=__doc__.split("\n")[0])
    parser.add_argument("--gtk", action="store_true", help="the GTK SciTE, natively")
    parser.add_argument("--build", type=Path)
    parser.add_argument("--package", type=Path, help="the zip or tar.gz, or a folder holding "
                        "its top folder")
    parser.add_argument("--out", type=Path)
    parser.add_argument("--screenshot", type=Path)
    parser.add_argument("--bench", type=int, default=0, metavar="N")
    parser.add_argument("cases", nargs="+", type=Path)
    args = parser.parse_args()
    driver = GtkSciTE if args.gtk else WineSciTE
    build = (args.build or HERE.parent / "build" / ("linux" if args.gtk else "windows")).resolve()
    packed = "scite-websearch-*-linux-*.tar.gz" if args.gtk else "scite-websearch-*-win64.zip"
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
            editor, shell = ("the GTK SciTE", "xdg-open") if args.gtk else ("the real SciTE",
                                                                          "the shell")
            print(f"in {editor} (one SciTE a case, {args.bench} presses of Ctrl+Shift+W):")
            for case, figures in zip(cases, medians):
                if case.keys:
                    labels = ["key press to the engine list shown:",
                              f"{case.keys[-1]} in the list to the URL at {shell}:"]
                else:
                    labels = [f"key press to the URL at {shell}:"]
                for label, median in zip(labels, figures):
                    print(f"{'median ' + label:<59}{median} ms")
            return 0
        results = run(cases, build, package.resolve(), out, args.screenshot, driver)
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
