"""The demo: the real KavunoUp and kavuno.exe against the local demo service.

    demo_tour.py DEMO_DIR SHOTS_DIR [--interactive]

Publishes the demo catalogue (DEMO_DIR/movie.dat and root.dat) and the
stripped, signed player of the package (KAVUNO_RELEASE_PROGRAMS) with
kavuno-release, signed with the build's test key, and serves it as the
service's update folder; installs the package (KAVUNO_SETUP) silently, as a
user would, and starts the installed KavunoUp; the launcher checks the signed
list, downloads the catalogue and the player and starts it, and the player
closes the launcher.
Then, as a user would, it opens a category, searches for a title and closes
the player with its close button, taking a screenshot at each step.
With --interactive the programs are left to the user after start-up, and the
demo ends when the player is closed.
"""
from __future__ import annotations

import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
import kavuno_e2e as e2e  # noqa: E402
import signed_release  # noqa: E402
from control_ids import Player  # noqa: E402
from player_session import LAUNCHER_TITLE, MAIN_TITLE, PRESENCE_PORT, PlayerSession  # noqa: E402

HTTP_PORT = 8780
CLOSE_BUTTON = Player.IDC_CLOSE
CATEGORY_PATH = ("电影", "动作片")
SEARCH = "之"
CLIPS_CATEGORY = "纪录片"
CLIP_TITLE = "彩条测试片 甲"  # a test clip on the RealPlayer, with its picture
MODE_BUTTON, STOP_BUTTON, TIME_DISPLAY, STATUS_LINE = (Player.IDC_MODE, Player.IDC_STOP, Player.IDC_PLAY_TIME,
                                                     Player.IDC_STATUS_LINE)


def port_free(port: int, kind: int) -> bool:
    with socket.socket(socket.AF_INET, kind) as s:
        try:
            s.bind(("127.0.0.1", port))
            return True
        except OSError:
            return False


class Tour:
    def __init__(self, demo: Path, shots: Path):
        self.demo, self.shots = demo, shots
        self.shots.mkdir(parents=True, exist_ok=True)
        self.step = 0

    def shot(self, name: str, note: str) -> None:
        self.step += 1
        path = self.shots / f"{self.step}-{name}.png"
        e2e.screenshot(path)
        print(f"  [{self.step}] {note}: {path}")


def main(argv: list[str]) -> int:
    demo, shots = Path(argv[0]).resolve(), Path(argv[1]).resolve()
    interactive = "--interactive" in argv[2:]
    tour = Tour(demo, shots)
    work = Path(tempfile.mkdtemp(prefix="kavuno-demo-"))
    programs = Path(os.environ["KAVUNO_RELEASE_PROGRAMS"])
    published = {name: (demo / name).read_bytes() for name in ("movie.dat", "root.dat")}
    published["kavuno.exe"] = (programs / "kavuno.exe").read_bytes()
    served = signed_release.make_update_folder(work / "release", published)
    verified = subprocess.run([str(signed_release.release_tool()), "verify", str(served.parent), "--public-key",
                               str(signed_release.keys_dir() / "update-test.pub")], capture_output=True, text=True)
    print(f"Signed release in {served.parent}: kavuno-release verify says {verified.stdout.strip()!r}")

    http_port = HTTP_PORT if port_free(HTTP_PORT, socket.SOCK_STREAM) else 0
    udp_port = PRESENCE_PORT  # a free one, which the programs are told
    with e2e.DemoService(update_dir=str(served), http_port=http_port, udp_port=udp_port) as service:
        # Slow enough that the progress bar can be watched.
        service.set_file_fault("movie.dat", rate=6000)
        env = {"KAVUNO_UPDATE_SERVER": service.base_url, "KAVUNO_WEB_SITE": service.base_url,
               "KAVUNO_PRESENCE_SERVER": "127.0.0.1"}
        # Wine has neither media player control: the stand-ins play the
        # demo's test clips for real and simulate every other stream.
        e2e.register_stand_in_controls()
        env.update(e2e.stand_in_environment(demo / "media"))
        home = install(Path(os.environ["KAVUNO_SETUP"]))
        print(f"Demo service at {service.base_url} (presence on UDP {service.udp_port}); "
              f"{e2e.bits()}-bit programs installed in {home}")

        launcher = e2e.start(home / "KavunoUp.exe", env=env, cwd=home)
        try:
            e2e.wait_for_window(LAUNCHER_TITLE, timeout=60)
            time.sleep(1.5)
            tour.shot("launcher", "KavunoUp downloads the catalogue")
            e2e.wait_for_window(MAIN_TITLE, timeout=60)
            e2e.wait_for_no_window(LAUNCHER_TITLE, timeout=20)
            time.sleep(1.0)
            files = sorted(p.name for p in home.iterdir() if p.name in published)
            print(f"  downloaded into the program folder: {', '.join(files)}; accepted list serial "
                  f"{signed_release.accepted_serial()} (in %LOCALAPPDATA%\\Kavuno)")
            for name in files:
                if (home / name).read_bytes() != published[name]:
                    print(f"  {name} differs from the published file")
            tour.shot("player", "the player with the recently updated titles")

            if interactive:
                print("The player is yours now; close it to end the demo.")
                e2e.wait_until(lambda: not e2e.find_windows(MAIN_TITLE), timeout=24 * 3600, interval=1.0)
            else:
                walk_through(tour)
            service.wait_for_datagrams(2, timeout=3)  # "Quit" follows the close button
        finally:
            e2e.stop(launcher)
        print("  presence datagrams: " + (", ".join(
            f"{d.payload.decode('ascii', 'replace')} from port {d.port}" for d in service.datagrams()) or "none"))
    shutil.rmtree(work, ignore_errors=True)
    return 0


def install(setup: Path) -> Path:
    """Installs the package silently for this prefix's user; returns its folder."""
    # No Start-menu entries on the Linux desktop.
    result = e2e.run(setup, "/S", env={"WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe="}, timeout=120)
    if result.returncode != 0:
        raise RuntimeError(f"{setup.name} /S failed ({result.returncode}): {result.stderr}")
    home = e2e.log_folder().parent / "Programs" / "Kavuno"
    print(f"  {setup.name} /S installed {', '.join(sorted(p.name for p in home.iterdir()))}")
    return home


def walk_through(tour: Tour) -> None:
    # PlayerSession's helpers read and drive the running window; its own
    # program folder is not used here.
    player = PlayerSession()
    try:
        for node in CATEGORY_PATH[:-1]:
            player.click_tree_item(node, double=True)
        player.click_tree_item(CATEGORY_PATH[-1])
        rows = player.rows()
        tour.shot("category", f"{CATEGORY_PATH[-1]}: {len(rows)} titles")
        player.search(SEARCH)
        rows = player.rows()
        tour.shot("search", f"title search for {SEARCH!r}: " + ", ".join(t for _, t, _ in rows))
        play_a_clip(tour, player)
        player.click_control(CLOSE_BUTTON)
        e2e.wait_until(lambda: not e2e.find_windows(MAIN_TITLE), timeout=20)
        print("  closed with the close button")
    finally:
        player.folder.cleanup()


def play_a_clip(tour: Tour, player: PlayerSession) -> None:
    """Double-clicks a test clip and shows it playing, twice, and in play mode."""
    player.click_tree_item(CLIPS_CATEGORY)
    record = next(index for index, title, _ in player.rows() if title == CLIP_TITLE)
    player.click_record(record, double=True)
    playing = f"正在播放：[{CLIP_TITLE}]"
    if not e2e.wait_until(lambda: player.text(STATUS_LINE) == playing, timeout=20):
        print(f"  the clip did not start: the status line says {player.text(STATUS_LINE)!r}")
        return
    first = player.text(TIME_DISPLAY)
    tour.shot("playing", f"{CLIP_TITLE} plays: {first}")
    e2e.wait_until(lambda: player.text(TIME_DISPLAY) != first, timeout=5)
    tour.shot("playing-later", f"a moment later: {player.text(TIME_DISPLAY)}")
    player.click_control(MODE_BUTTON)
    e2e.mouse_move(5, 5)
    tour.shot("play-mode", "play mode: only the player's part of the window")
    player.click_control(MODE_BUTTON)
    player.click_control(STOP_BUTTON)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
