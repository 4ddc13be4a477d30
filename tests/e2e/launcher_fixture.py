"""One run of the launcher KavunoUp in a temporary folder, beside the stand-in
player (tools/testing, copied in as kavuno.exe), against its own demo service."""
from __future__ import annotations

import shutil
import tempfile
from pathlib import Path
from typing import Optional

import kavuno_e2e as k

CAPTION = "KavunoUp"
PROGRESS_ID = 1002
CANCEL_ID = 1000


class LauncherRun:
    def __init__(self, files: Optional[dict[str, bytes]] = None, manifest: Optional[bytes] = None,
                 local: Optional[dict[str, bytes]] = None, keep_launcher: bool = False,
                 with_service: bool = True):
        """`files` are served (listed in order by a generated manifest unless
        `manifest` is given); `local` files exist in the launcher's folder
        beforehand; `keep_launcher` makes the stand-in leave the launcher open."""
        self.folder = k.ProgramFolder()
        self.exe = self.folder.add_program("KavunoUp.exe")
        self.folder.add_program("kavuno_stand_in.exe", "kavuno.exe")
        for name, data in (local or {}).items():
            self.folder.write(name, data)
        self._update_dir = tempfile.mkdtemp(prefix="kavuno-update-")
        k.make_update_folder(self._update_dir, files or {}, manifest)
        self.service = k.DemoService(self._update_dir).start() if with_service else None
        self.keep_launcher = keep_launcher
        self.process = None

    @property
    def server(self) -> str:
        if self.service:
            return self.service.base_url
        return f"http://127.0.0.1:{k.free_port()}"  # nobody listens there

    def start(self, **env) -> "LauncherRun":
        env.setdefault("KAVUNO_UPDATE_SERVER", self.server)
        if self.keep_launcher:
            env["KAVUNO_STAND_IN_KEEP_LAUNCHER"] = "1"
        self.process = k.start(self.exe, env=env)
        return self

    def wait_exit(self, timeout: float = 30.0) -> int:
        return self.process.wait(timeout)

    def wait_for_player(self, timeout: float = 30.0) -> list[str]:
        return k.wait_until(self.player_starts, timeout=timeout) or []

    def player_starts(self) -> list[str]:
        """One line per start of the stand-in player."""
        note = self.folder.file("started.txt")
        return note.read_text(encoding="utf-8").splitlines() if note.exists() else []

    def wait_quiet(self, timeout: float = 15.0) -> bool:
        """Waits until no program of the folder runs any more (the launcher and
        any player it started): nothing can change after that."""
        return bool(k.wait_until(lambda: not k.programs_running_in(self.folder.path), timeout=timeout))

    def file(self, name: str) -> Path:
        return self.folder.file(name)

    def leftovers(self) -> list[str]:
        """Temporary download files left in the folder (recursively)."""
        return [str(p.relative_to(self.folder.path)) for p in self.folder.path.rglob("*.part")]

    def requested(self, path: str) -> int:
        """How often the service was asked for `path` (e.g. "/movie/file/a.dat")."""
        return sum(1 for r in self.service.requests() if r.path == path) if self.service else 0

    def close(self):
        if self.process and self.process.poll() is None:
            try:
                k.post_message(CAPTION, k.WM_CLOSE)
                self.process.wait(10)
            except Exception:
                pass
            k.stop(self.process)
        if self.service:
            self.service.stop()
        self.folder.cleanup()
        shutil.rmtree(self._update_dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# The sweep band: 334 x 5 pixels at (3, 61) of the window.
BAND_X, BAND_Y, BAND_WIDTH = 3, 61, 334


def band_peak(left: int, top: int) -> int:
    """Where the sweep band of the window at (left, top) is brightest now."""
    row = k.screen_pixels(left + BAND_X, top + BAND_Y + 2, BAND_WIDTH, 1)[0]
    return max(range(BAND_WIDTH), key=lambda x: sum(row[x]))


def wait_for_ticks(count: int, timeout: float = 15.0) -> bool:
    """Waits until the launcher's window has shown `count` new animation
    frames: it has handled at least that many timer ticks, and whatever it was
    sent or posted before them. Frames missed between two looks only make the
    wait longer, never shorter."""
    left, top, _, _ = k.window_rect(CAPTION)
    last = band_peak(left, top)
    moves = 0

    def moved() -> bool:
        nonlocal last, moves
        peak = band_peak(left, top)
        if peak != last:
            moves, last = moves + 1, peak
        return moves >= count
    return bool(k.wait_until(moved, timeout=timeout, interval=0.02))
