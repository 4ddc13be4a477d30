"""The installer of the tree's bitness in a fresh prefix, as a user meets it:
a silent install, the installed launcher updating against the demo service and
starting the player, which plays a demo clip on the stand-in media player, a
silent uninstall that leaves only what the user put there, and one more round
that removes the log folder on request.

Environment (besides kavuno_e2e's): KAVUNO_SETUP, the installer;
KAVUNO_RELEASE_PROGRAMS, the stripped and signed programs it should install;
KAVUNO_VERSION; KAVUNO_SIGNING_CA, the authority of the test signature (empty
when the build signs with a certificate of its own)."""
from __future__ import annotations

import glob
import json
import os
import shutil
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

import kavuno_e2e as e2e
import signed_release
from control_ids import Player
from player_session import CLOSE, LAUNCHER_TITLE, MAIN_TITLE, PRESENCE_PORT, PlayerSession

DEMO = e2e.bin_dir().parent.parent / "native" / "demo"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavuno"
# Shortcuts would otherwise become menu entries on the Linux desktop.
# The demo catalogue's clip on the media player: (record index, title).
MEDIA_CLIP = next((i, r["title"]) for i, r in enumerate(
    json.loads(line) for line in (e2e.REPO / "tools" / "demo_catalogue" / "records.jsonl")
    .read_text(encoding="utf-8").splitlines()) if r.get("file") == "clip02.avi")
STATUS = Player.IDC_STATUS_LINE
NO_MENUS = {"WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe="}


def user_dir() -> Path:
    found = glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*", "AppData", "Local"))
    found = [p for p in found if "Public" not in p]
    if len(found) != 1:
        raise RuntimeError(f"no single user profile in the prefix: {found}")
    return Path(found[0]).parent.parent


def shortcut_target(path: Path) -> str:
    """The local path a .lnk file points at (its LinkInfo's base path)."""
    data = path.read_bytes()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x1:  # an item id list comes first
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if not flags & 0x2:
        raise ValueError(f"{path} has no link information")
    header_size, = struct.unpack_from("<I", data, pos + 4)
    base = pos + struct.unpack_from("<I", data, pos + 16)[0]
    if header_size >= 0x24:  # the Unicode base path
        base = pos + struct.unpack_from("<I", data, pos + 28)[0]
        end = base
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[base:end].decode("utf-16-le")
    return data[base:data.index(b"\0", base)].decode("mbcs" if os.name == "nt" else "latin-1")


def registry_values(key: str) -> dict[str, tuple[str, str]]:
    """name -> (type, data) of a key's values; {} when the key is missing."""
    result = e2e.run(e2e.system_program("reg"), "query", key, timeout=60)
    values = {}
    for line in result.stdout.splitlines() if result.returncode == 0 else []:
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


class InstallerTest(unittest.TestCase):
    def setUp(self):
        self.setup_exe = Path(os.environ["KAVUNO_SETUP"])
        self.version = os.environ["KAVUNO_VERSION"]
        self.release = Path(os.environ["KAVUNO_RELEASE_PROGRAMS"])
        self.profile = user_dir()
        self.local = self.profile / "AppData" / "Local"
        self.home = self.local / "Programs" / "Kavuno"
        self.start_menu = self.profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
        self.desktop = self.profile / "Desktop"
        # Wine links the desktop to the Linux home: give this prefix its own.
        if self.desktop.is_symlink():
            self.desktop.unlink()
            self.desktop.mkdir()

    def install(self) -> None:
        result = e2e.run(self.setup_exe, "/S", env=NO_MENUS, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)

    def uninstall(self, *options: str) -> None:
        # The uninstaller runs on from a copy of itself in the user's temporary
        # folder: wait for that to end.
        first = e2e.start(self.home / "uninstall.exe", "/S", *options, env=NO_MENUS)
        self.addCleanup(e2e.stop, first)
        self.assertEqual(first.wait(60), 0)
        self.assertTrue(e2e.wait_until(lambda: not (self.home / "uninstall.exe").exists(), timeout=60),
                        "the uninstaller removed itself")
        self.assertTrue(e2e.wait_until(lambda: not e2e.programs_running_in(self.profile), timeout=60),
                        "the uninstaller ended")
        self.assertEqual(registry_values(UNINSTALL_KEY), {})

    def verify_signature(self, path: Path) -> None:
        ca = os.environ.get("KAVUNO_SIGNING_CA")
        if not ca:
            return  # signed with the publisher's certificate: tests/package checks what it can
        result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", str(path)],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, f"{path.name}: {result.stdout}{result.stderr}")

    def run_installed_launcher(self) -> None:
        """KavunoUp from the installed folder fetches a release (a nested
        folder with a Chinese name among it) and starts the player, which is
        then closed by its close button."""
        root = Path(tempfile.mkdtemp(prefix="kavuno-installer-"))
        self.addCleanup(shutil.rmtree, root, True)
        files = {"movie.dat": (DEMO / "movie.dat").read_bytes(), "root.dat": (DEMO / "root.dat").read_bytes(),
                 "帮助/说明.txt": "帮助".encode("utf-8")}
        served = signed_release.make_update_folder(root, files)
        service = e2e.DemoService(update_dir=str(served), udp_port=PRESENCE_PORT).start()
        self.addCleanup(service.stop)
        e2e.register_stand_in_controls()
        log = root / "controls.log"
        env = {"KAVUNO_UPDATE_SERVER": service.base_url, "KAVUNO_WEB_SITE": service.base_url,
               "KAVUNO_PRESENCE_SERVER": "127.0.0.1", **e2e.stand_in_environment(log=log)}
        # The launcher makes no folders of its own: this one is there already.
        (self.home / "帮助").mkdir()
        launcher = e2e.start(self.home / "KavunoUp.exe", env=env, cwd=self.home)
        self.addCleanup(e2e.stop, launcher)
        e2e.wait_for_window(MAIN_TITLE, timeout=90)
        self.assertEqual(launcher.wait(30), 0, "the player closed the launcher")
        self.assertFalse(e2e.find_windows(LAUNCHER_TITLE))
        for name, data in files.items():
            self.assertEqual((self.home / name).read_bytes(), data, name)
        self.assertEqual([d.payload for d in service.wait_for_datagrams(1)], [b"Conn"])
        player = PlayerSession()  # drives the running window
        self.addCleanup(player.folder.cleanup)
        # One demo clip on the stand-in media player, as a user starts it.
        player.click_tree_item("纪录片")
        player.click_record(MEDIA_CLIP[0], double=True)
        self.assertTrue(e2e.wait_until(lambda: player.text(STATUS) == f"正在播放：[{MEDIA_CLIP[1]}]", 20),
                        player.text(STATUS))
        self.assertTrue(e2e.wait_until(lambda: [c for c in e2e.read_call_log(log) if c[:3] == ["wmp", "1", "put"]
                                                and c[3].endswith("/demo/clip02.avi")], 10),
                        e2e.read_call_log(log))
        player.click_control(CLOSE)
        self.assertTrue(e2e.wait_until(lambda: not e2e.programs_running_in(self.home), timeout=30))

    def test_install_run_uninstall(self):
        self.assertFalse(self.home.exists(), "the prefix is fresh")
        self.install()

        # The programs, exactly the stripped and signed ones, and the signed
        # uninstaller that the installer carried inside.
        self.assertEqual(sorted(p.name for p in self.home.iterdir()), ["KavunoUp.exe", "kavuno.exe", "uninstall.exe"])
        for name in ("KavunoUp.exe", "kavuno.exe"):
            self.assertEqual((self.home / name).read_bytes(), (self.release / name).read_bytes(), name)
        for name in ("KavunoUp.exe", "kavuno.exe", "uninstall.exe"):
            self.verify_signature(self.home / name)

        # The shortcuts start the launcher; the uninstall entry says what Windows shows.
        launcher_path = r"C:\users\%s\AppData\Local\Programs\Kavuno\KavunoUp.exe" % self.profile.name
        for link in (self.start_menu / "Kavuno.lnk", self.desktop / "Kavuno.lnk"):
            self.assertEqual(shortcut_target(link).lower(), launcher_path.lower(), link)
        values = registry_values(UNINSTALL_KEY)
        home_windows = launcher_path.rsplit("\\", 1)[0]
        self.assertEqual(values["DisplayName"], ("REG_SZ", "Kavuno"))
        self.assertEqual(values["DisplayVersion"], ("REG_SZ", self.version))
        self.assertEqual(values["Publisher"], ("REG_SZ", "Kavuno"))
        self.assertEqual(values["DisplayIcon"][1].lower(), launcher_path.lower() + ",0")
        self.assertEqual(values["UninstallString"][1].lower(), f'"{home_windows}\\uninstall.exe"'.lower())
        self.assertEqual(values["QuietUninstallString"][1].lower(), f'"{home_windows}\\uninstall.exe" /s'.lower())
        self.assertEqual(values["EstimatedSize"][0], "REG_DWORD")
        size_kb = sum(p.stat().st_size for p in self.home.iterdir()) / 1024
        self.assertAlmostEqual(int(values["EstimatedSize"][1], 16), size_kb, delta=4)

        self.run_installed_launcher()
        listed = (self.home / "KavunoUp.staging" / "files.txt").read_bytes().decode("utf-16")
        self.assertIn("帮助\\说明.txt", listed.splitlines())
        serial = self.local / "Kavuno" / "update-serial.txt"
        self.assertTrue(serial.is_file(), "the launcher keeps its serial in the log folder")

        # The user's own file stays, and so do files that a doctored files.txt
        # names outside the folder.
        (self.home / "我的笔记.txt").write_text("mine", encoding="utf-8")
        outside = [self.home.parent / "victim.txt", Path(tempfile.mkdtemp(prefix="kavuno-outside-")) / "o.txt"]
        self.addCleanup(shutil.rmtree, outside[1].parent, True)
        for path in outside:
            path.write_text("not the uninstaller's", encoding="utf-8")
        doctored = listed + "..\\victim.txt\r\n" + e2e.windows_path(outside[1]) + "\r\n" + "*.txt\r\n"
        (self.home / "KavunoUp.staging" / "files.txt").write_bytes(doctored.encode("utf-16"))

        self.uninstall()
        self.assertEqual([p.name for p in self.home.iterdir()], ["我的笔记.txt"])
        self.assertFalse((self.start_menu / "Kavuno.lnk").exists())
        self.assertFalse((self.desktop / "Kavuno.lnk").exists())
        for path in outside:
            self.assertTrue(path.is_file(), path)
        self.assertTrue(serial.is_file(), "the log folder is kept unless asked")

        # While Kavuno runs, a silent install gives up and changes nothing.
        with e2e.dummy_window("Kavuno", dialog=True):
            result = e2e.run(self.setup_exe, "/S", env=NO_MENUS, timeout=120)
        self.assertNotEqual(result.returncode, 0)
        self.assertEqual([p.name for p in self.home.iterdir()], ["我的笔记.txt"])
        self.assertEqual(registry_values(UNINSTALL_KEY), {})

        # Again, asking for the log folder too: a reinstall over the user's
        # file, then /PURGE.
        self.install()
        self.assertTrue(registry_values(UNINSTALL_KEY))
        watched = self.profile / "AppData" / "Roaming" / "Kavuno"
        watched.mkdir(parents=True, exist_ok=True)
        for name in ("history.dat", "history.dat.bad"):
            (watched / name).write_bytes(b"Kavuno watch history 1\nend\n")
        self.uninstall("/PURGE")
        self.assertFalse((self.local / "Kavuno").exists())
        self.assertFalse(watched.exists(), "the watch history goes with the log folder")
        self.assertEqual([p.name for p in self.home.iterdir()], ["我的笔记.txt"])


if __name__ == "__main__":
    unittest.main()
