"""Helpers for end-to-end tests of the real Windows programs under Wine.

The tests run on the Linux side inside `tools/wine/wine-run.sh --host`, which
provides a throw-away prefix (WINEPREFIX), a display of its own (DISPLAY) and
the command that starts a Windows program (KAVUNO_WINE). They start the
programs from a temporary folder, talk to them through the demo service
(tools/demo_service), look at their windows with xdotool and, for what only
Windows can see (a control's state, a window of a given title), through the
probe program kavuno_probe.exe (tools/testing).

Environment:
  KAVUNO_BIN         folder of the Windows build's programs (default build/win/bin)
  KAVUNO_BITS        32 or 64, the bitness of those programs (default 64); the
                     stand-ins are registered, and the registry read and written,
                     in that bitness's view of the prefix
  KAVUNO_WINE        set by the harness
  KAVUNO_EXPECT_ACP  the ANSI code page the prefix must have (936 for the usual
                     Chinese locale, 1252 for English); checked before the first
                     program starts, so a suite cannot pass in the wrong locale
"""
from __future__ import annotations

import atexit
import contextlib
import os
import select
import shlex
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import Callable, Iterable, Optional, Sequence

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tools" / "demo_service"))

from demo_service import Datagram, DemoService, Fault, RequestRecord  # noqa: E402,F401


# ---------------------------------------------------------------- locations

def bin_dir() -> Path:
    """The Windows build's program folder."""
    return Path(os.environ.get("KAVUNO_BIN", REPO / "build" / "win" / "bin")).resolve()


def program(name: str) -> Path:
    """A program of the Windows build, e.g. program("KavunoUp.exe")."""
    path = bin_dir() / name
    if not path.is_file():
        raise FileNotFoundError(f"{path} is not built")
    return path


def log_folder() -> Path:
    """The programs' log folder in this run's prefix: Kavuno in the user's
    %LOCALAPPDATA%, which Wine sets from its prefix whatever the Linux side says."""
    import getpass
    return (Path(os.environ["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / "AppData" / "Local"
            / "Kavuno")


def roaming_folder() -> Path:
    """The player's folder in this run's prefix's %APPDATA% (its watch history)."""
    import getpass
    return (Path(os.environ["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / "AppData" / "Roaming"
            / "Kavuno")


def windows_path(path: os.PathLike | str) -> str:
    """The path a Windows program sees for a Linux path (drive Z:)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def free_port(kind: str = "tcp") -> int:
    """A port nobody listens on right now (kind "tcp" or "udp")."""
    sock_type = socket.SOCK_STREAM if kind == "tcp" else socket.SOCK_DGRAM
    with socket.socket(socket.AF_INET, sock_type) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_until(predicate: Callable[[], object], timeout: float = 10.0,
               interval: float = 0.05) -> object:
    """Polls until predicate() is truthy; returns its value, or the last
    (falsy) value when the time runs out."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


# ---------------------------------------------------------------- folders

class ProgramFolder:
    """A temporary folder holding copies of programs, removed by cleanup()."""

    def __init__(self, prefix: str = "kavuno-e2e-"):
        self.path = Path(tempfile.mkdtemp(prefix=prefix))

    def add_program(self, name: str, as_name: Optional[str] = None) -> Path:
        target = self.path / (as_name or name)
        shutil.copy2(program(name), target)
        return target

    def file(self, name: str) -> Path:
        return self.path / name

    def write(self, name: str, data: bytes | str) -> Path:
        target = self.path / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data.encode("utf-8") if isinstance(data, str) else data)
        return target

    def cleanup(self):
        shutil.rmtree(self.path, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()


def make_manifest(entries: Iterable[tuple[str, int | str]], count: Optional[int | str] = None,
                  newline: str = "\n") -> bytes:
    """update.txt text: the count, then a name line and a size line per entry.
    Names are GBK-encoded if they are not bytes already."""
    entries = list(entries)
    lines = [str(len(entries) if count is None else count)]
    for name, size in entries:
        lines += [name, str(size)]
    text = newline.join(lines) + newline
    return text.encode("gbk")


# ---------------------------------------------------------------- Windows programs

def bits() -> int:
    """The bitness of the programs under test: 32 for build/win32, 64 otherwise."""
    value = os.environ.get("KAVUNO_BITS", "64")
    if value not in ("32", "64"):
        raise RuntimeError(f"KAVUNO_BITS is {value!r}, not 32 or 64")
    return int(value)


def system_program(name: str) -> str:
    """Wine's own tool `name` (regsvr32, regedit, reg) in the programs' bitness.
    Named without a path Wine's tools start as 64-bit ones, which see the
    registry's 64-bit view: a 32-bit program would find none of their entries."""
    return f"C:\\windows\\syswow64\\{name}.exe" if bits() == 32 else name


def wine_command() -> list[str]:
    command = os.environ.get("KAVUNO_WINE")
    if not command:
        raise RuntimeError("KAVUNO_WINE is not set: run under tools/wine/wine-run.sh --host")
    return shlex.split(command)


_wine_ready = False


def ensure_wine_ready() -> None:
    """Starts a persistent wine server for this prefix and its services, once.

    Without it every program that runs alone starts (and, when it ends, stops)
    a server and the system services, and those inherit the program's output
    pipes: reading its output then waits about five seconds for them to end.
    The harness kills the server when the run ends."""
    global _wine_ready
    if _wine_ready:
        return
    _wine_ready = True
    subprocess.run(["wineserver", "-p"], check=False)
    # The services and the desktop start now, with no pipe of ours: whatever
    # they inherit stays open as long as they run.
    subprocess.run(wine_command() + [str(program("kavuno_probe.exe")), "exists", "-"],
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=120, check=False)
    expected = os.environ.get("KAVUNO_EXPECT_ACP")
    acp = probe("acp") if expected else None
    if expected and acp != expected:
        raise RuntimeError(f"the Wine prefix has code page {acp!r}, not {expected} "
                           f"(locale {os.environ.get('KAVUNO_WINE_LOCALE')!r})")


def start(exe: os.PathLike | str, *args: str, env: Optional[dict] = None,
          cwd: Optional[os.PathLike | str] = None, capture: bool = False) -> subprocess.Popen:
    """Starts a Windows program under Wine. `env` adds to the environment."""
    ensure_wine_ready()
    full_env = dict(os.environ)
    if env:
        full_env.update({k: str(v) for k, v in env.items()})
    out = subprocess.PIPE if capture else subprocess.DEVNULL
    return subprocess.Popen(wine_command() + [str(exe), *args], env=full_env,
                            cwd=str(cwd) if cwd else None, stdout=out, stderr=out)


def run(exe: os.PathLike | str, *args: str, env: Optional[dict] = None,
        timeout: float = 60.0, cwd: Optional[os.PathLike | str] = None) -> subprocess.CompletedProcess:
    """Runs a Windows console program to its end and captures its output."""
    ensure_wine_ready()
    full_env = dict(os.environ)
    if env:
        full_env.update({k: str(v) for k, v in env.items()})
    return subprocess.run(wine_command() + [str(exe), *args], env=full_env,
                          cwd=str(cwd) if cwd else None, capture_output=True,
                          timeout=timeout, text=True, encoding="utf-8", errors="replace")


def stop(process: subprocess.Popen, timeout: float = 5.0) -> None:
    """Ends a started program if it still runs."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout)


def programs_running_in(folder: os.PathLike | str) -> list[int]:
    """Process ids of the Windows programs (of any prefix) whose program file
    lies in `folder`. Wine names each process after its program's Unix path."""
    prefix = os.fsencode(str(Path(folder).resolve())) + b"/"
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                program_path = f.read().split(b"\0", 1)[0]
        except OSError:
            continue  # ended meanwhile
        if program_path.startswith(prefix):
            found.append(int(entry))
    return found


def wineserver_wait(timeout: float = 30.0) -> None:
    """Waits until every Windows program of this prefix has ended."""
    subprocess.run(["wineserver", "-w"], timeout=timeout, check=False)


# ---------------------------------------------------------------- stand-in media players

STAND_IN_DLL = "kavuno_stand_in_controls.dll"


def register_stand_in_controls() -> Path:
    """Registers the stand-in RealPlayer and media player controls
    (tools/testing/stand_in_controls) in this run's prefix, replacing Wine's
    own media player control there; returns the DLL's path. The player then
    plays through them: see stand_in_environment()."""
    dll = program(STAND_IN_DLL)
    ensure_wine_ready()
    result = subprocess.run(wine_command() + [system_program("regsvr32"), "/s", windows_path(dll)],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=60, check=False)
    if result.returncode != 0:
        raise RuntimeError(f"regsvr32 {dll} failed ({result.returncode}): "
                           f"{result.stdout!r}{result.stderr!r}")
    return dll


def demo_media_dir() -> Path:
    """The test clips the native build writes (clip01.avi ... clip03.avi):
    KAVUNO_DEMO_MEDIA, else the native tree beside the Windows build's
    (<build>/win/bin -> <build>/native/demo/media)."""
    if os.environ.get("KAVUNO_DEMO_MEDIA"):
        return Path(os.environ["KAVUNO_DEMO_MEDIA"]).resolve()
    return (bin_dir().parent.parent / "native" / "demo" / "media").resolve()


def stand_in_environment(media_dir: Optional[os.PathLike | str] = None,
                         log: Optional[os.PathLike | str] = None) -> dict:
    """Environment for a program that hosts the stand-in controls: rtsp
    addresses whose path names a file of `media_dir` play that file for real,
    and every call to the controls is appended to `log` (object, dispatch id,
    kind and arguments, tab-separated, one line a call)."""
    env = {"KAVUNO_STAND_IN_MEDIA": windows_path(media_dir or demo_media_dir())}
    if log is not None:
        env["KAVUNO_STAND_IN_LOG"] = windows_path(log)
    return env


def read_call_log(log: os.PathLike | str) -> list[list[str]]:
    """The stand-in controls' call log as fields per line ([] when absent)."""
    path = Path(log)
    if not path.is_file():
        return []
    return [line.split("\t") for line in path.read_text(encoding="utf-8").splitlines()]


class FolderWatch:
    """Notes every file created in (or moved into) a folder while the block
    runs, even one removed again at once: inotify, through the C library."""

    _IN_NONBLOCK = 0o4000
    _IN_CREATE = 0x100
    _IN_MOVED_TO = 0x80

    def __init__(self, folder: os.PathLike | str):
        import ctypes
        self._libc = ctypes.CDLL(None, use_errno=True)
        self._fd = self._libc.inotify_init1(self._IN_NONBLOCK)
        if self._fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        if self._libc.inotify_add_watch(self._fd, os.fsencode(str(folder)),
                                        self._IN_CREATE | self._IN_MOVED_TO) < 0:
            os.close(self._fd)
            raise OSError(ctypes.get_errno(), "inotify_add_watch")
        self._names: list[str] = []

    def created(self) -> list[str]:
        """Names created so far, in order."""
        import struct
        while True:
            try:
                data = os.read(self._fd, 65536)
            except BlockingIOError:
                break
            pos = 0
            while pos < len(data):
                _, _, _, length = struct.unpack_from("iIII", data, pos)
                name = data[pos + 16:pos + 16 + length].rstrip(b"\0")
                self._names.append(os.fsdecode(name))
                pos += 16 + length
        return list(self._names)

    def close(self):
        os.close(self._fd)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# ---------------------------------------------------------------- the probe

class _ProbeServer:
    """One probe process for the whole run ("PROBE serve"), which answers a
    command a line: a Wine process for every look at a window costs more than
    the look (tools/testing/command_server.h)."""

    def __init__(self, name: str):
        self.name = name
        self.process: Optional[subprocess.Popen] = None

    def close(self) -> None:
        if self.process is not None:
            with contextlib.suppress(OSError):
                self.process.stdin.close()
            stop(self.process)
            self.process = None

    def call(self, args: Sequence[str], timeout: float) -> subprocess.CompletedProcess:
        if any(c in arg for arg in args for c in "\t\r\n"):
            return run(program(self.name), *args, timeout=timeout)  # not one line
        if self.process is None or self.process.poll() is not None:
            ensure_wine_ready()
            self.process = subprocess.Popen(wine_command() + [str(program(self.name)), "serve"],
                                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=subprocess.DEVNULL)
        fd = self.process.stdout.fileno()
        try:
            self.process.stdin.write("\t".join(args).encode("utf-8") + b"\n")
            self.process.stdin.flush()
        except OSError:
            self.close()
            raise RuntimeError(f"the {self.name} server ended")
        data, deadline = b"", time.monotonic() + timeout
        while b"\x1f" not in data or not data.rpartition(b"\x1f")[2].endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                self.close()
                raise subprocess.TimeoutExpired([self.name, *args], timeout)
            chunk = os.read(fd, 65536)
            if not chunk:
                self.close()
                raise RuntimeError(f"the {self.name} server ended during {' '.join(args)}")
            data += chunk
        output, _, status = data.rpartition(b"\x1f")
        # Line ends as run() gives them (universal newlines): the probe's
        # standard output is in text mode and writes CR LF.
        text = output.decode("utf-8", "replace").replace("\r\n", "\n").replace("\r", "\n")
        return subprocess.CompletedProcess([self.name, *args], int(status.strip()), text, "")


_probe_servers: dict[str, _ProbeServer] = {}


def run_probe(name: str, *args: str, timeout: float = 60.0) -> subprocess.CompletedProcess:
    """Runs one command of a probe program (kavuno_probe.exe, kavuno_player_probe.exe)
    through its long-lived process, as run() would run the program."""
    if name not in _probe_servers:
        _probe_servers[name] = _ProbeServer(name)
        atexit.register(_probe_servers[name].close)
    return _probe_servers[name].call(args, timeout)


def probe(*args: str, timeout: float = 30.0) -> str:
    """Runs kavuno_probe.exe (see tools/testing/probe.cpp) and returns its
    standard output; raises on a non-zero exit."""
    result = run_probe("kavuno_probe.exe", *args, timeout=timeout)
    if result.returncode != 0:
        raise RuntimeError(f"kavuno_probe {' '.join(args)} failed ({result.returncode}): "
                           f"{result.stdout}{result.stderr}")
    return result.stdout.strip()


def progress_state(title: str, control_id: int) -> Optional[tuple[int, int, int]]:
    """(position, lower, upper) of progress bar `control_id` in the top-level
    window titled `title`, or None when there is no such window."""
    result = run_probe("kavuno_probe.exe", "progress", title, str(control_id))
    if result.returncode != 0:
        return None
    pos, low, high = (int(v) for v in result.stdout.split())
    return pos, low, high


@contextlib.contextmanager
def dummy_window(title: str, place: Optional[tuple[int, int, int, int]] = None, dialog: bool = False):
    """A top-level window with the given title for as long as the block runs,
    at place (x, y, width, height) if given; a dialog window (class "#32770",
    as the programs' own windows are) if asked. A left click in a plain one
    adds " (clicked)" to its title."""
    process = start(program("kavuno_probe.exe"), "dialog" if dialog else "window", title,
                    *(str(v) for v in place or ()))
    try:
        if not wait_until(lambda: find_windows(title), timeout=20):
            raise RuntimeError(f"dummy window {title!r} did not appear")
        yield process
    finally:
        stop(process)


def post_message(title: str, message: int, wparam: int = 0, lparam: int = 0) -> None:
    """Posts a message to the top-level window titled `title`."""
    probe("post", title, str(message), str(wparam), str(lparam))


def send_message(title: str, message: int, wparam: int = 0, lparam: int = 0) -> int:
    """Sends a message to the top-level window titled `title`; returns the result."""
    return int(probe("send", title, str(message), str(wparam), str(lparam)))


WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
IDOK = 1
IDCANCEL = 2


# ---------------------------------------------------------------- X windows

def _xdotool(*args: str) -> subprocess.CompletedProcess:
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=False)


def find_windows(title: str, only_visible: bool = True) -> list[int]:
    """X windows whose name is exactly `title` (xdotool's own match ignores case)."""
    args = ["search"] + (["--onlyvisible"] if only_visible else []) + ["--name", "^" + _regex(title) + "$"]
    found = []
    for line in _xdotool(*args).stdout.split():
        wid = int(line)
        if _xdotool("getwindowname", str(wid)).stdout.rstrip("\n") == title:
            found.append(wid)
    return found


def _regex(text: str) -> str:
    return "".join("\\" + c if c in r".^$*+?()[]{}|\\" else c for c in text)


def wait_for_window(title: str, timeout: float = 20.0) -> int:
    """The X window titled `title`; raises when it does not appear in time."""
    found = wait_until(lambda: find_windows(title), timeout=timeout)
    if not found:
        raise TimeoutError(f"no window titled {title!r} within {timeout}s")
    return found[0]


def wait_for_no_window(title: str, timeout: float = 20.0) -> bool:
    return bool(wait_until(lambda: not find_windows(title), timeout=timeout))


def window_geometry(wid: int) -> tuple[int, int, int, int]:
    """(x, y, width, height) of an X window on the screen."""
    values = {}
    for line in _xdotool("getwindowgeometry", "--shell", str(wid)).stdout.splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def mouse_move(x: int, y: int) -> None:
    _xdotool("mousemove", str(x), str(y))


def mouse_down(button: int = 1) -> None:
    _xdotool("mousedown", str(button))


def mouse_up(button: int = 1) -> None:
    _xdotool("mouseup", str(button))


def click(x: int, y: int, button: int = 1) -> None:
    _xdotool("mousemove", str(x), str(y), "click", str(button))


def key(wid: int, keysym: str) -> None:
    """Gives the window the keyboard focus and presses a key (e.g. "Escape")."""
    _xdotool("windowactivate", "--sync", str(wid))
    _xdotool("windowfocus", "--sync", str(wid))
    _xdotool("key", "--window", str(wid), keysym)


def press_key(wid: int, keysym: str) -> None:
    """Presses and releases a key on the window as a person would: the window
    is activated and focused, and the key goes through the X server's input.
    key() sends its events to the window directly instead; its release can then
    reach whichever program takes the focus next (a launcher started right
    after one closed by Escape closed too)."""
    _xdotool("windowactivate", "--sync", str(wid))
    _xdotool("windowfocus", "--sync", str(wid))
    _xdotool("key", keysym)


def screenshot(path: os.PathLike | str, wid: Optional[int] = None) -> Path:
    """Saves the whole screen, or one window, as an image (format from the suffix)."""
    target = "root" if wid is None else str(wid)
    subprocess.run(["import", "-window", target, str(path)], check=True,
                   capture_output=True)
    return Path(path)


def pixel(path: os.PathLike | str, x: int, y: int) -> tuple[int, int, int]:
    """RGB of one pixel of an image file."""
    out = subprocess.run(["convert", str(path), "-format", f"%[fx:int(255*p{{{x},{y}}}.r)] "
                          f"%[fx:int(255*p{{{x},{y}}}.g)] %[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                         capture_output=True, text=True, check=True).stdout.split()
    return int(out[0]), int(out[1]), int(out[2])


def window_texts(title: str) -> list[tuple[str, str]]:
    """(class, text) of each child window of the top-level window titled
    `title`, e.g. the message and the buttons of a message box."""
    lines = probe("texts", title).splitlines()
    return [tuple(line.split("\t", 1)) for line in lines if "\t" in line]


def window_rect(title: str, control_id: Optional[int] = None) -> tuple[int, int, int, int]:
    """(left, top, right, bottom) on the screen of the window titled `title`,
    or of its control `control_id`."""
    args = ["rect", title] + ([str(control_id)] if control_id is not None else [])
    left, top, right, bottom = (int(v) for v in probe(*args).split())
    return left, top, right, bottom


def window_styles(title: str) -> tuple[int, int]:
    """(style, extended style) of the top-level window titled `title`."""
    style, ex_style = probe("style", title).split()
    return int(style, 16), int(ex_style, 16)


def screen_pixels(x: int, y: int, width: int, height: int) -> list[list[tuple[int, int, int]]]:
    """RGB rows of a rectangle of the screen, read now."""
    return _ppm_rows(subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                                     "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout)


def image_pixels(path: os.PathLike | str) -> list[list[tuple[int, int, int]]]:
    """RGB rows of an image file (a .bmp, say)."""
    return _ppm_rows(subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"],
                                    capture_output=True, check=True).stdout)


def _ppm_rows(data: bytes) -> list[list[tuple[int, int, int]]]:
    # P6 header: magic, width, height, maxval, each followed by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    raw = data[pos:pos + w * h * 3]
    return [[tuple(raw[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]
