"""Debian's GTK SciTE, natively, the driver for scripts/scite_run.py --gtk."""

import contextlib
import fcntl
import os
import select
import shutil
import subprocess
import tarfile
import time
from pathlib import Path

from scite_drivers.driver import (EXIT_LINE, KEY, STRIP_FOCUSED, WINDOW, CaseFailed, Display,
                                  Driver, SetupFailed, poll_until, recording_xdg_open, wait_quiet)

# Machine-wide, whatever the TMPDIR: every GTK run shares it while the .deb run holds it alone,
# since an installed .deb adds its tool to every GTK SciTE on the machine.
LOCK = Path("/run/lock" if os.access("/run/lock", os.W_OK) else "/tmp") / "scite-websearch-gtk.lock"
# The user options line the tar.gz's README gives: SciTE reads it relative to the options' folder.
IMPORT_LINE = b"import .local/share/scite-websearch/websearch\n"


def machine_lock(exclusive: bool, seconds: int = 900):
    """LOCK taken, shared or alone; its file stays open as long as the returned object lives."""
    held = open(LOCK, "a+b")  # noqa: SIM115 (held for the session, closed by the driver)
    mode = (fcntl.LOCK_EX if exclusive else fcntl.LOCK_SH) | fcntl.LOCK_NB

    def taken() -> bool:
        try:
            fcntl.flock(held, mode)
            return True
        except BlockingIOError:
            return False

    if not poll_until(taken, seconds, 0.5):
        held.close()
        raise SetupFailed(f"{LOCK} stayed held by another GTK run for {seconds} s")
    return held


class GtkSciTE(Driver):
    """Debian's GTK SciTE (/usr/bin/scite), natively, set up as a user has it: a HOME of its own
    with the package unpacked in ~/.local/share/scite-websearch and the tool's lines in
    ~/.SciTEUser.properties. Each case gets a TMPDIR of its own, where SciTE and the tool make
    their FIFOs. SciTE is asked through its request FIFO $TMPDIR/SciTE.<pid>.in, with a reply FIFO
    of the runner's own; SciTE replies only once it has a notify pipe, so the runner registers
    once when it finds none."""

    VALUE = "scite.run.value"  # the property that carries the value of a Lua expression
    runs_beside = True
    exclusive = False  # whether the run needs the machine to itself (LOCK)

    def __init__(self, build: Path, work: Path, display: Display):
        if not Path("/usr/bin/scite").exists():
            raise SetupFailed("missing: /usr/bin/scite (scripts/setup installs it)")
        self.work, self.display = work, display
        self.home = work / "home"
        self.tool = self.home / ".local" / "share" / "scite-websearch"
        self.xdg = recording_xdg_open(work)
        self.opened = self.xdg / "opened"
        self.reply = work / "reply"
        os.mkfifo(self.reply)
        self.env = {key: value for key, value in os.environ.items()
                    if not key.startswith("SciTE_") and key != "TMPDIR"}
        # A host build's programs carry AddressSanitizer, whose leak report would fail the tool.
        self.env |= {"HOME": str(self.home), "DISPLAY": display.name, "NO_AT_BRIDGE": "1",
                     "PATH": f"{self.xdg}:{os.environ['PATH']}",
                     "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "detect_leaks=0")}
        self.tmp = work / "tmp"
        self.scite = self.other = self.lock = None

    def __enter__(self):
        self.lock = machine_lock(self.exclusive)
        return self

    def __exit__(self, *_):
        self.close()
        if self.lock:
            self.lock.close()

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

    def configure(self, ini: str | None, props: str, paste: bool):
        (self.tool / "websearch.ini").write_bytes(self.packed_ini if ini is None else ini.encode())
        self.user_options((IMPORT_LINE if paste else b"") + props.encode())

    def user_options(self, lines: bytes):
        """~/.SciTEUser.properties with these lines; none at all without any."""
        options = self.home / ".SciTEUser.properties"
        if lines:
            options.write_bytes(lines + b"\n")
        else:
            options.unlink(missing_ok=True)

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

        def ready() -> bool:
            if (self.tmp / f"SciTE.{scite.pid}.in").exists() and self.window(scite):
                return True
            if scite.poll() is not None:
                raise CaseFailed(f"SciTE did not start (see {self.work / 'scite.log'})")
            return False

        if not poll_until(ready, 25, 0.1):
            raise CaseFailed("SciTE started but showed no window or director FIFO within 25 s")
        return scite

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
            if not poll_until(lambda: list(self.tmp.glob(f"SciTE.{scite.pid}.*.out")), 2, 0.02):
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

    def set_property(self, key: str, value: str):
        self.send(self.scite, f"property:{key}={value}")

    def aim(self):
        pass  # the key goes to the window with the focus

    def floor_tool(self, floor: Path) -> str:
        return str(floor)

    def native_path(self, path: Path) -> str:
        return str(path)

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

    def press_key(self, key: str = KEY):
        self.display.keys([key])

    def wait_list(self, limit: int) -> int | None:
        def seen() -> str | None:
            said = self.lua(self.scite, f"(editor:AutoCActive() or {STRIP_FOCUSED}) and 'list' "
                            f"or output:GetText():find('{EXIT_LINE}', 1, true) and 'ended'")
            return said if said in ("list", "ended") else None

        said = poll_until(seen, limit, 0.01)
        if said is None:
            raise CaseFailed(f"time limit reached: SciTE's list did not show within {limit} s")
        return time.time_ns() if said == "list" else None

    def tools_command(self):
        self.send(self.scite, "menucommand:1135")

    def clear_pane(self):
        self.send(self.scite, "extender:dostring output:ClearAll()")

    def dostring(self, lua: str):
        self.send(self.scite, f"extender:dostring {lua}")

    def wait_exit_line(self, limit: int) -> str:
        pane = ""

        def ended() -> bool:
            nonlocal pane
            pane = self.lua(self.scite, "output:GetText()")
            return EXIT_LINE in pane

        if not poll_until(ended, limit, 0.02):
            last = "\n".join(pane.splitlines()[-2:])
            raise CaseFailed(f"time limit reached: no '{EXIT_LINE}' line in the output pane "
                             f"after {limit} s; it ends:\n{last}")
        return pane

    def wait_tool_gone(self):
        """Until no process runs from the tool's folder or the recording xdg-open's."""
        marks = (str(self.tool).encode(), str(self.xdg).encode())

        def busy() -> bool:
            found = False
            for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
                with contextlib.suppress(OSError):
                    found = found or any(mark in cmdline.read_bytes() for mark in marks)
            return found

        wait_quiet(busy)

    def ask(self, key: str) -> str:
        return self.property(self.scite, key)


class GtkDebSciTE(GtkSciTE):
    """The GTK SciTE with the .deb installed machine-wide by dpkg -i (root only), alone on the
    machine (LOCK) and purged again at the end, whatever happens; each case's HOME as above."""

    exclusive = True
    PACKAGE = "scite-websearch"
    # Left while the .deb is in: a later run purges what a killed one left, and only that.
    MARK = LOCK.with_suffix(".installed")

    def __init__(self, build: Path, work: Path, display: Display):
        if os.geteuid() != 0:
            raise SetupFailed("installing the .deb needs root")
        super().__init__(build, work, display)
        self.tool = Path("/usr/lib/scite-websearch")
        self.home.mkdir(parents=True, exist_ok=True)

    def __enter__(self):
        super().__enter__()
        try:
            if self.installed() and not self.MARK.exists():
                raise SetupFailed(f"{self.PACKAGE} is installed on this machine already")
            self.purge()
        except BaseException:
            super().__exit__()
            raise
        return self

    def __exit__(self, *_):
        try:
            self.close()
            self.purge()
        finally:
            super().__exit__()

    def installed(self) -> bool:
        return subprocess.run(["dpkg-query", "-W", self.PACKAGE], capture_output=True,
                              stdin=subprocess.DEVNULL).returncode == 0

    # dpkg refuses at once while another apt or dpkg holds its lock: the call is tried again,
    # for as long as scripts/setup waits for apt.
    LOCK_WAIT = 600

    def dpkg(self, *args):
        log = self.work / "dpkg.log"
        deadline = time.monotonic() + self.LOCK_WAIT
        while True:
            run = subprocess.run(["dpkg", *args], stdin=subprocess.DEVNULL, capture_output=True,
                                 timeout=120)
            with open(log, "ab") as out:
                out.write(run.stdout + run.stderr)
            if run.returncode == 0:
                return
            if b"locked by another process" not in run.stderr or time.monotonic() > deadline:
                raise SetupFailed(f"dpkg {' '.join(map(str, args))} failed (see {log})")
            time.sleep(2)

    def purge(self):
        if self.installed():
            self.dpkg("-P", self.PACKAGE)
        self.MARK.unlink(missing_ok=True)

    def install(self, package: Path):
        """dpkg -i of the .deb."""
        self.MARK.write_text(f"{os.getpid()}\n")
        self.dpkg("-i", package)
        if not os.access(self.tool / "launcher", os.X_OK):
            raise SetupFailed(f"{package} put no launcher in {self.tool}")

    def configure(self, ini: str | None, props: str, paste: bool):
        """The .deb has no websearch.ini and nothing to paste: only the case's own options."""
        if ini is not None or paste:
            raise SetupFailed("a .deb case sets neither websearch.ini nor pasted lines")
        self.user_options(props.encode())
