"""One run of the launcher KavunoUp in a temporary folder, beside the stand-in
player (tools/testing, copied in as kavuno.exe), against its own demo service,
which serves a release published (and signed) by kavuno-release."""
from __future__ import annotations

import shutil
import tempfile
from pathlib import Path
from typing import Optional

import kavuno_e2e as k
import signed_release as release
from control_ids import Launcher

CAPTION = "KavunoUp"
PROGRESS_ID = Launcher.IDC_PROGRESS
CANCEL_ID = Launcher.IDC_CANCEL


STAGING = "KavunoUp.staging"


class LauncherRun:
    def __init__(self, files: Optional[dict[str, bytes]] = None, manifest: Optional[bytes] = None,
                 local: Optional[dict[str, bytes]] = None, keep_launcher: bool = False,
                 with_service: bool = True, serial: Optional[int] = None, tls: Optional[str] = None,
                 folder: Optional[k.ProgramFolder] = None, **publish_options):
        """`files` are published with `serial` (default: the time) and served,
        listed in order by a generated manifest unless `manifest` is given;
        `local` files exist in the launcher's folder beforehand (`folder`, to
        run in one the caller keeps); `keep_launcher` makes the stand-in leave the
        launcher open. `tls` serves HTTPS with the build's certificate for
        "localhost" from the test authority ("trusted") or from one nobody
        trusts ("untrusted"). `publish_options` go to signed_release.publish()."""
        self.folder = folder or k.ProgramFolder()
        self.exe = self.folder.path / "KavunoUp.exe"
        self._owns_folder = folder is None  # a folder given stays the caller's
        if not folder:
            self.folder.add_program("KavunoUp.exe")
            self.folder.add_program("kavuno_stand_in.exe", "kavuno.exe")
        for name, data in (local or {}).items():
            self.folder.write(name, data)
        self._update_dir = tempfile.mkdtemp(prefix="kavuno-update-")
        files = files or {}
        if manifest is None:
            manifest = k.make_manifest((name.replace("/", "\\"), len(data)) for name, data in files.items())
        self.served = release.make_update_folder(self._update_dir, files, manifest, serial, **publish_options)
        certificate = None
        if tls:
            release.trust_test_authority()
            name = "tls-test-server" if tls == "trusted" else "tls-untrusted-server"
            certificate = (str(release.keys_dir() / f"{name}.pem"), str(release.keys_dir() / f"{name}.key"))
        self.service = k.DemoService(str(self.served), tls=certificate).start() if with_service else None
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
        """Temporary download files the launcher left in its staging folder."""
        return sorted(p.name for p in (self.folder.path / STAGING).glob("download-*.part"))

    def installed_files(self) -> list[str]:
        """The names KavunoUp.staging\\files.txt lists for the uninstaller."""
        record = self.folder.path / STAGING / "files.txt"
        if not record.exists():
            return []
        data = record.read_bytes()
        assert data.startswith(b"\xff\xfe"), data[:2]
        text = data[2:].decode("utf-16-le")
        assert text.endswith("\r\n") or not text, text
        return text.split("\r\n")[:-1] if text else []

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
        if self._owns_folder:
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
