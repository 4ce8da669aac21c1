"""What every driver of a real SciTE shares: the interface the cases reach SciTE through (Driver),
the virtual X display it runs on, the waiting, and the two ways a run stops early."""

import contextlib
import ctypes
import os
import select
import shutil
import signal
import subprocess
import time
from collections.abc import Callable
from pathlib import Path
from typing import ClassVar, Protocol, Self, TypeVar

SCRIPTS = Path(__file__).resolve().parents[1]
XDG_OPEN = SCRIPTS.parent / "tests" / "support" / "xdg-open"
WINDOW = (860, 470)  # SciTE's window at the screen's top left, and the screenshot's size
EXIT_LINE = ">Exit code:"
KEY = "ctrl+shift+w"  # the tool's own key, as xdotool names it
# A Lua expression, true once the tool's user strip is up and has the keyboard focus: the tool's
# handler of the strip's events is installed (a global websearch_strip_<pid>) in the same call
# that shows it, and neither the editor nor the output pane has the focus.
STRIP_FOCUSED = ("(function() for name in pairs(_G) do if type(name) == 'string' and "
                 "name:match('^websearch_strip_%d+$') then return true end end end)() and "
                 "not (editor.Focus or output.Focus)")

T = TypeVar("T")


class SetupFailed(Exception):
    """The run could not begin."""


class CaseFailed(Exception):
    """A case did not run to its end; the message is its status."""


def run_for(args, seconds, env=None, output=None, log=None) -> int:
    """Runs a program to its end or its time limit (exit code 124). Its streams go to files, never
    a pipe: a Wine program may leave a process behind that holds a pipe open."""
    with open(output or os.devnull, "wb") as out, open(log or os.devnull, "ab") as err:
        try:
            return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=seconds).returncode
        except subprocess.TimeoutExpired:
            return 124


def recording_xdg_open(work: Path) -> Path:
    """The recording xdg-open copied into <work>/xdg, the folder that goes first on PATH; it
    appends each address it is handed to the file "opened" there."""
    folder = work / "xdg"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy(XDG_OPEN, folder / "xdg-open")
    return folder


def poll_until(check: Callable[[], T], seconds: float, interval: float) -> T | None:
    """Asks check every interval until it gives a true value, which it returns; None once seconds
    have passed without one. check is asked at least once; what it raises passes through."""
    end = time.monotonic() + seconds
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(interval)


def wait_quiet(busy: Callable[[], bool], seconds: float = 10, interval: float = 0.1):
    """Until busy() says no three times in a row (one program may start the next between two
    looks), or seconds have passed."""
    quiet = 0

    def settled() -> bool:
        nonlocal quiet
        quiet = 0 if busy() else quiet + 1
        return quiet == 3

    poll_until(settled, seconds, interval)


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

    def press(self, window: str, key: str = KEY):
        self.xdotool("windowfocus", "--sync", window)
        # Wine hands the key to SciTE only while the pointer is over SciTE's window (with the
        # pointer outside it the key was lost), as it is when a user presses it.
        self.xdotool("mousemove", str(WINDOW[0] // 2), str(WINDOW[1] // 2))
        self.xdotool("key", "--window", window, key)

    def keys(self, keys: list[str]):
        """Real key presses to whatever has the focus: no new focus, no pointer move, which could
        close a list that is open."""
        if keys:
            self.xdotool("key", *keys)

    def press_in_process(self):
        """Ctrl+Shift+W through libXtst from this process, to whatever has the focus: a press with
        no program started for it, for timings against a yardstick."""
        if not hasattr(self, "xtest"):
            x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
            x11.XOpenDisplay.restype = ctypes.c_void_p
            x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
            x11.XFlush.argtypes = [ctypes.c_void_p]
            xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                               ctypes.c_ulong]
            connection = x11.XOpenDisplay(self.name.encode())
            # Control_L, Shift_L, w
            codes = [x11.XKeysymToKeycode(connection, sym) for sym in (0xFFE3, 0xFFE1, 0x77)]
            self.xtest = (x11, xtst, connection, codes)
        x11, xtst, connection, codes = self.xtest
        for down, order in ((1, codes), (0, codes[::-1])):
            for code in order:
                xtst.XTestFakeKeyEvent(connection, code, down, 0)
        x11.XFlush(connection)

    def screenshot(self, png: Path):
        png.parent.mkdir(parents=True, exist_ok=True)
        time.sleep(0.5)  # SciTE draws the pane asynchronously: a frame or two
        run_for(["import", "-window", "root", "-crop", "{}x{}+0+0".format(*WINDOW), "+repage",
                 png], 20, env={**os.environ, "DISPLAY": self.name})


class Driver(Protocol):
    """One real SciTE as the cases see it: they reach SciTE only through these, so another SciTE
    is another class of this shape. Made with the build tree, a work folder of the runner's own and
    the display; entered, it holds the editor's session, left, everything it started is stopped."""

    # Whether start_beside and beside_pane work: a second SciTE with the same document.
    runs_beside: ClassVar[bool]
    display: Display
    opened: Path  # the recording xdg-open's file: one address a line

    def __init__(self, build: Path, work: Path, display: Display): ...

    def __enter__(self) -> Self: ...

    def __exit__(self, *_): ...

    def install(self, package: Path):
        """The release package installed where a user has it."""

    def configure(self, ini: str | None, props: str, paste: bool):
        """websearch.ini (None: the package's own), and the user's options: the lines the
        package's README has the user add (when paste) and the case's own."""

    def running(self, document: Path, anchor: int,
                caret: int) -> contextlib.AbstractContextManager[Self]:
        """SciTE with the document open and the selection made, stopped again afterwards."""

    def close(self):
        """Every SciTE of the case stopped."""

    def front(self):
        """SciTE's window in front with the keyboard focus."""

    def other_in_front(self, seconds: int):
        """Another window in front of SciTE, for the given time."""

    def press_key(self, key: str = KEY):
        """A key that starts the tool (its own, Ctrl+Shift+W, or another tool's) pressed in
        SciTE."""

    def press_keys(self, keys: list[str]):
        self.display.keys(keys)

    def wait_list(self, limit: int) -> int | None:
        """When SciTE's list showed, or its strip took the focus (ns since 1970); None when the
        tool ended without either."""

    def tools_command(self):
        """SciTE's Tools command that starts the tool."""

    def clear_pane(self):
        """SciTE's output pane emptied."""

    def dostring(self, lua: str):
        """Lua run in SciTE through its director (no backslash in it: SciTE reads escapes)."""

    def wait_exit_line(self, limit: int) -> str:
        """The pane once it holds SciTE's ">Exit code:" line."""

    def wait_tool_gone(self):
        """Until no program the tool started can still hand something to the shell."""

    def ask(self, key: str) -> str:
        """The value of one of SciTE's properties."""

    def set_property(self, key: str, value: str):
        """One of SciTE's properties set, for the tool runs that follow."""

    def aim(self):
        """Whatever SciTE needs before keys pressed through libXtst (press_in_process) reach it."""

    def floor_tool(self, floor: Path) -> str:
        """The tool's command that runs the yardstick `floor` in the package's place: for the GTK
        SciTE the program gtk-floor, for SciTE for Windows a folder with the floor chain's
        launcher.exe and websearch.exe."""

    def native_path(self, path: Path) -> str:
        """A path of this machine as the tool's programs name it."""

    @contextlib.contextmanager
    def tracing(self):
        """The package's programs as they trace a run (each of them that has a trace build in
        its place), put back after."""
        yield

    def start_beside(self, document: Path):
        """A second SciTE with the document, beside the first (only where runs_beside)."""
        raise NotImplementedError

    def beside_pane(self) -> str:
        """The second SciTE's output pane (only where runs_beside)."""
        raise NotImplementedError
