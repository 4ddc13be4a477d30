"""The path a user and an operator meet, end to end: KavunoUp alone in an
empty folder fetches the catalogue, the help file and the player itself from
the service, starts the player and is closed by it; the player lists, finds,
plays on both players, switches modes, shows a details page, lets the ad
pop-up close itself and says "Quit" when closed. Then the failures a user
meets: no update server, a damaged catalogue, a taken presence port."""
from __future__ import annotations

import json
import socket
import subprocess
import tempfile
import unittest
from pathlib import Path

import kavuno_e2e as e2e
import signed_release
from control_ids import Player
from player_session import (CLOSE, LAUNCHER_TITLE, LOCAL_PORT, MAIN_TITLE, PRESENCE_PORT, PROGRAM_TITLE,
                            PlayerSession, player_probe)

DEMO = e2e.bin_dir().parent.parent / "native" / "demo"
RECORDS = [json.loads(line) for line in
           (e2e.REPO / "tools" / "demo_catalogue" / "records.jsonl").read_text(encoding="utf-8").splitlines()]
POPUP_TITLE = "点击广告自动关闭广告窗口 （请支持我们）"
MODE, STOP, STATUS = Player.IDC_MODE, Player.IDC_STOP, Player.IDC_STATUS_LINE
IDLE_STATUS = "长时间观看注意眼睛休息！！"
FULL_REGION_LEFT, PLAY_REGION_LEFT = 0, 375


def listed(kind: str = "", title: str = "") -> list[int]:
    """Record indices the list shows for a category (top-level records of the
    kind) or a title search, top row first."""
    found = [i for i, r in enumerate(RECORDS) if i > 0 and
             ((kind and r.get("kind") == kind and not r.get("parent")) or (title and title in r.get("title", "")))]
    return found[::-1]


def index_of(title: str) -> int:
    return next(i for i, r in enumerate(RECORDS) if r.get("title") == title)


class AcceptanceTest(unittest.TestCase):
    def serve(self, files: dict[str, bytes], presence: bool = False) -> e2e.DemoService:
        """The demo service with an update folder of `files`, listening on the
        presence port if asked (one service at a time can)."""
        root = Path(tempfile.mkdtemp(prefix="kavuno-acceptance-"))
        served = signed_release.make_update_folder(root, files)  # published and signed as an operator would
        service = e2e.DemoService(update_dir=str(served), udp_port=PRESENCE_PORT if presence else 0).start()
        self.addCleanup(service.stop)
        return service

    def start_launcher(self, folder: e2e.ProgramFolder, env: dict) -> subprocess.Popen:
        launcher = e2e.start(folder.path / "KavunoUp.exe", env=env, cwd=folder.path)
        self.addCleanup(e2e.stop, launcher)
        return launcher

    def folder(self) -> e2e.ProgramFolder:
        folder = e2e.ProgramFolder(prefix="kavuno-acceptance-app-")
        self.addCleanup(folder.cleanup)
        folder.add_program("KavunoUp.exe")
        return folder

    def close_player(self, folder: e2e.ProgramFolder, player: PlayerSession) -> None:
        player.click_control(CLOSE)
        self.assertTrue(e2e.wait_until(lambda: not e2e.programs_running_in(folder.path), timeout=30),
                        "no program of the folder is left running")

    def test_the_whole_path(self):
        catalogue = {"movie.dat": (DEMO / "movie.dat").read_bytes(), "root.dat": (DEMO / "root.dat").read_bytes(),
                     "help.chm": b"ITSF help of the demo", "kavuno.exe": e2e.program("kavuno.exe").read_bytes()}
        service = self.serve(catalogue, presence=True)
        log = Path(tempfile.mkdtemp(prefix="kavuno-acceptance-log-")) / "controls.log"
        e2e.register_stand_in_controls()
        env = {"KAVUNO_UPDATE_SERVER": service.base_url, "KAVUNO_WEB_SITE": service.base_url,
               "KAVUNO_PRESENCE_SERVER": "127.0.0.1", **e2e.stand_in_environment(log=log)}
        folder = self.folder()
        launcher = self.start_launcher(folder, env)

        # The update: everything arrives byte for byte, the player starts and closes the launcher.
        e2e.wait_for_window(MAIN_TITLE, timeout=90)
        self.assertEqual(launcher.wait(30), 0, "the player closed the launcher")
        self.assertFalse(e2e.find_windows(LAUNCHER_TITLE))
        for name, data in catalogue.items():
            self.assertEqual(folder.file(name).read_bytes(), data, name)
        self.assertEqual([d.payload for d in service.wait_for_datagrams(1)], [b"Conn"])
        player = PlayerSession()  # drives the running window; its own folder is not used
        self.addCleanup(player.folder.cleanup)
        self.assertTrue(0 < len(player.rows()) <= 23, "the recently updated entries are listed")

        # The catalogue: a category and a search, with Chinese texts.
        player.click_tree_item("电影", double=True)
        player.click_tree_item("动作片")
        self.assertEqual(player.row_indices(), listed(kind="动作片"))
        self.assertIn("动作片", {kind for _, _, kind in player.rows()})
        player.search("之")
        self.assertEqual([title for _, title, _ in player.rows()],
                         [RECORDS[i]["title"] for i in listed(title="之")])

        # A details page, on a single click while nothing plays.
        player.click_tree_item("动作片")
        details = next(i for i in player.row_indices() if RECORDS[i].get("detail") and RECORDS[i].get("id"))
        player.click_record(details)
        page = "/film/soft.asp?id=" + RECORDS[details]["id"]
        self.assertTrue(e2e.wait_until(lambda: any(r.path == page for r in service.requests()), 15), page)

        # A clip on each player, each stopped by the user.
        player.click_tree_item("纪录片")
        for title, player_call in (("彩条测试片 甲", "real\t257\tmethod"), ("彩条测试片 乙", "wmp\t1\tput")):
            player.click_record(index_of(title), double=True)
            self.assertTrue(e2e.wait_until(lambda: player.text(STATUS) == f"正在播放：[{title}]", 20),
                            f"{title}: {player.text(STATUS)}")
            calls = [line for line in log.read_text(encoding="utf-8").splitlines()]
            self.assertTrue(any(line.startswith(player_call) for line in calls), player_call)
            player.click_control(STOP)
            self.assertTrue(e2e.wait_until(lambda: player.text(STATUS) == IDLE_STATUS, 10))

        # Play mode and back.
        for left in (PLAY_REGION_LEFT, FULL_REGION_LEFT):
            player.click_control(MODE)
            self.assertTrue(e2e.wait_until(lambda: self.region_left() == left, 10), f"region from {left}")

        # The ad pop-up closes itself after a click in it.
        popup = e2e.window_rect(POPUP_TITLE)
        e2e.click((popup[0] + popup[2]) // 2, (popup[1] + popup[3]) // 2 + 10)
        self.assertTrue(e2e.wait_for_no_window(POPUP_TITLE, timeout=15))

        # The close button says "Quit", and nothing is left running.
        self.close_player(folder, player)
        self.assertEqual([(d.port, d.payload) for d in service.wait_for_datagrams(2)],
                         [(LOCAL_PORT, b"Conn"), (LOCAL_PORT, b"Quit")])

    @staticmethod
    def region_left() -> int:
        lines = player_probe("region", MAIN_TITLE).splitlines()
        return min(int(line.split()[0]) for line in lines if line.strip()) if lines else -1

    def test_the_failures_a_user_meets(self):
        good = {"movie.dat": (DEMO / "movie.dat").read_bytes(), "root.dat": (DEMO / "root.dat").read_bytes()}

        # The update server is down: the player starts with the files it has.
        folder = self.folder()
        folder.add_program("kavuno.exe")
        for name, data in good.items():
            folder.write(name, data)
        service = self.serve({})
        self.start_launcher(folder, {"KAVUNO_UPDATE_SERVER": f"http://127.0.0.1:{e2e.free_port()}",
                                     "KAVUNO_WEB_SITE": service.base_url})
        e2e.wait_for_window(MAIN_TITLE, timeout=60)
        player = PlayerSession()
        self.addCleanup(player.folder.cleanup)
        self.assertTrue(e2e.wait_until(lambda: player.rows(), 10), "the catalogue it had is listed")
        self.close_player(folder, player)

        # The server sends a damaged movie.dat: the player starts and says so.
        damaged = good["movie.dat"][: len(good["movie.dat"]) // 2]
        service = self.serve({"movie.dat": damaged, "root.dat": good["root.dat"]})
        folder = self.folder()
        folder.add_program("kavuno.exe")
        self.start_launcher(folder, {"KAVUNO_UPDATE_SERVER": service.base_url, "KAVUNO_WEB_SITE": service.base_url})
        e2e.wait_for_window(PROGRAM_TITLE, timeout=60)
        self.assertIn("已损坏", player_probe("message", PROGRAM_TITLE))
        PlayerSession.answer_message_box()
        self.assertTrue(e2e.wait_for_no_window(PROGRAM_TITLE))
        self.assertGreater(len(player.rows()), 0, "the records before the damage are listed")
        self.close_player(folder, player)

        # Its local port is taken: the player runs as ever, without presence.
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as taken:
            taken.bind(("0.0.0.0", LOCAL_PORT))
            service = self.serve(good, presence=True)
            folder = self.folder()
            folder.add_program("kavuno.exe")
            self.start_launcher(folder, {"KAVUNO_UPDATE_SERVER": service.base_url,
                                         "KAVUNO_WEB_SITE": service.base_url, "KAVUNO_PRESENCE_SERVER": "127.0.0.1"})
            e2e.wait_for_window(MAIN_TITLE, timeout=60)
            player.search("之")
            self.assertEqual(len(player.rows()), len(listed(title="之")))
            self.close_player(folder, player)
        self.assertEqual(service.datagrams(), [])


if __name__ == "__main__":
    unittest.main()
