"""SciTE for Windows under Wine, the driver for scripts/scite_run.py's default run."""

import contextlib
import os
import shutil
import subprocess
import zipfile
from pathlib import Path

from scite_drivers.driver import (EXIT_LINE, KEY, SCRIPTS, STRIP_FOCUSED, WINDOW, CaseFailed,
                                  Display, Driver, SetupFailed, poll_until, recording_xdg_open,
                                  run_for, wait_quiet)


class WineSciTE(Driver):
    """SciTE for Windows (<build>/scite/Sc1.exe) under Wine, installed where a user has it:
    C:\\Program Files\\SciTE in the runner's own prefix (<build>/wine-scite: the x11 driver and a
    virtual desktop, created once). SciTE is asked through its director window by the helper
    scite_remote.exe."""

    runs_beside = False

    def __init__(self, build: Path, work: Path, display: Display):
        self.build, self.work, self.display = build, work, display
        self.env = None  # the Wine session's, once shell() has read it
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
        xdg = recording_xdg_open(work)
        self.opened = xdg / "opened"
        self.env["PATH"] = f"{xdg}:{os.environ['PATH']}"
        self.home = Path(self.env["WINEPREFIX"], "drive_c", "Program Files", "SciTE")
        self.scite = self.other = None

    def shell(self, code, *args, capture=False, seconds=60) -> str:
        """Runs shell code with scripts/wine-common.sh sourced: the Wine session logic is written
        once there, for the test fixtures and this runner."""
        try:
            done = subprocess.run(["bash", "-c", 'source "$0" && ' + code,
                                   SCRIPTS / "wine-common.sh", *map(str, args)],
                                  env=self.env, stdin=subprocess.DEVNULL,
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
        """Sc1.exe with its .properties files, the zip unzipped beside them: websearch.properties
        and the folder "websearch"."""
        shutil.rmtree(self.home, ignore_errors=True)
        self.home.mkdir(parents=True)
        for file in (self.build / "scite").iterdir():
            shutil.copy(file, self.home)
        if package.is_dir():
            shutil.copytree(package / "websearch", self.home / "websearch")
            shutil.copy(package / "websearch.properties", self.home)
        else:
            zipfile.ZipFile(package).extractall(self.home)
        if not (self.home / "websearch" / "launcher.exe").is_file():
            raise SetupFailed(f"{package} has no websearch/launcher.exe")
        self.packed_ini = (self.home / "websearch" / "websearch.ini").read_bytes()

    def configure(self, ini: str | None, props: str, paste: bool):
        """websearch.ini, and the user's options: the zip's tool lines if pasted, and the case's
        own; with neither, no user options file at all."""
        tool = self.home / "websearch"
        (tool / "websearch.ini").write_bytes(self.packed_ini if ini is None else ini.encode())
        options = self.home / "SciTEUser.properties"
        lines = (tool / "scite-tool.properties").read_bytes() if paste else b""
        if lines or props:
            options.write_bytes(lines + props.encode() + b"\n")
        else:
            options.unlink(missing_ok=True)

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
        try:
            # A SciTE that shows no director window is started once more: on a loaded machine
            # Wine now and then leaves a new window unshown, and the case has not begun yet.
            for attempt in (1, 2):
                self.start(document)
                if not self.remote("wait", 25000, seconds=30)[0]:
                    break
                if self.scite.poll() is not None:
                    raise CaseFailed(f"SciTE did not start (see {self.work / 'scite.log'})")
                self.close()
                if attempt == 2:
                    raise CaseFailed("SciTE started but showed no director window within 25 s, "
                                     "twice")
            if self.remote("send", f"extender:dostring editor:SetSel({anchor}, {caret})")[0]:
                raise CaseFailed("SciTE did not take the selection through its director window")
            yield self
        finally:
            self.close()

    def start(self, document: Path):
        with open(self.work / "scite.log", "ab") as log:
            self.scite = subprocess.Popen(
                [self.wine, self.home / "Sc1.exe", "-technology=0", "-split.vertical=0",
                 "-position.left=0", "-position.top=0", f"-position.width={WINDOW[0]}",
                 f"-position.height={WINDOW[1]}", "-output.vertical.size=150",
                 "Z:" + str(document).replace("/", "\\")],
                env=self.env | {"SciTE_USERHOME": "C:\\Program Files\\SciTE"},
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)

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
        if not poll_until(lambda: b"front" in said.read_bytes(), 10, 0.1):
            raise CaseFailed("the other window did not come to the front")

    def press_key(self, key: str = KEY):
        window = self.display.xdotool("search", "--limit", "1", "--name", "Wine desktop")
        if not window:
            raise CaseFailed("no Wine desktop window to press the key in")
        self.display.press(window, key)

    def wait_list(self, limit: int) -> int | None:
        """When SciTE's list showed (ns since 1970), or None when the tool ended without one."""
        code, said = self.remote(
            "until", limit * 1000,
            f"(editor:AutoCActive() or {STRIP_FOCUSED}) and 'list' or "
            f"output:GetText():find('{EXIT_LINE}', 1, true) "
            "and 'ended'", seconds=limit + 10)
        if code == 3:
            raise CaseFailed(f"time limit reached: SciTE's list did not show within {limit} s")
        if code != 0:
            raise CaseFailed("SciTE did not answer while the tool ran")
        seen, value = said.split()
        return int(seen) if value == "list" else None

    def tools_command(self):
        if self.remote("send", "menucommand:1135")[0]:
            raise CaseFailed("SciTE did not take the Tools command")

    def clear_pane(self):
        self.remote("send", "extender:dostring output:ClearAll()")

    def dostring(self, lua: str):
        if self.remote("send", f"extender:dostring {lua}")[0]:
            raise CaseFailed("SciTE did not take Lua through its director window")

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
        # Bracketed so that the pattern does not match the shell that carries it.
        wait_quiet(lambda: self.shell("wine_prefix_pids '[l]auncher\\.exe|[w]ebsearch\\.exe|"
                                      "[w]inebrowser|[x]dg-open'", capture=True) != "")

    def ask(self, key: str) -> str:
        return self.remote("ask", key)[1]

    def set_property(self, key: str, value: str):
        # Through Lua, where each backslash is string.char(92): SciTE reads escapes in a command.
        pieces = " .. string.char(92) .. ".join(f"[==[{piece}]==]" for piece in value.split("\\"))
        self.dostring(f"props['{key}'] = {pieces}")

    def aim(self):
        # Wine hands a key to SciTE only while the pointer is over its window (see press).
        self.display.xdotool("mousemove", str(WINDOW[0] // 2), str(WINDOW[1] // 2))

    def floor_tool(self, floor: Path) -> str:
        """The floor chain in a folder websearch-floor beside the package's, with the package's
        pattern engine, which the floor launcher loads as the launcher does."""
        folder = self.home / "websearch-floor"
        folder.mkdir(exist_ok=True)
        for name in ("launcher.exe", "websearch.exe"):
            shutil.copy(floor / name, folder / name)
        shutil.copy(self.home / "websearch" / "pcre64.dll", folder)
        tool = self.ask("command.35.*")
        if "\\websearch\\launcher.exe" not in tool:
            raise CaseFailed(f"the tool's command names no websearch\\launcher.exe: {tool}")
        return tool.replace("\\websearch\\", "\\websearch-floor\\")

    def native_path(self, path: Path) -> str:
        return "Z:" + str(path).replace("/", "\\")

    @contextlib.contextmanager
    def tracing(self):
        """The launcher's trace build (bin/launcher_trace.exe) as the package's launcher.exe."""
        installed = self.home / "websearch" / "launcher.exe"
        kept = installed.with_name("launcher.exe.shipped")
        shutil.copy(installed, kept)
        shutil.copy(self.build / "bin" / "launcher_trace.exe", installed)
        try:
            yield
        finally:
            shutil.move(kept, installed)
