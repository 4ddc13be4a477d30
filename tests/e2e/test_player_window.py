"""The player's main window: its geometry at the reference base units, the
keyboard filter, the help label, and the presence datagrams of its life."""
from __future__ import annotations

import shutil
import socket
import subprocess
import tempfile
import unittest
from pathlib import Path

import kavuno_e2e as e2e
from control_ids import Player as P
from player_session import (CLOSE, HELP, LIST, LOCAL_PORT, MAIN_TITLE, PROGRAM_TITLE, SEARCH_TEXT, SEARCH_TYPE,
                            STANDARD_ROOT, TREE, PlayerSession, player_probe, start_presence_service, standard_records)

# Pixel rectangles (x, y, width, height) of the controls at 6 x 12 pixels per 4 x 8 dialog units;
# -1 and -2 are the first and second control without an id (see PlayerSession.controls).
EXPECTED_RECTS = {
    P.IDC_TOPMOST: (653, 2, 23, 23), P.IDC_MINIMIZE: (680, 3, 23, 23), P.IDC_MAXIMIZE: (704, 3, 23, 23),
    P.IDC_CLOSE: (728, 3, 23, 23), P.IDC_SEARCH_LABEL: (24, 38, 36, 15), P.IDC_SEARCH_TEXT: (62, 35, 86, 18),
    P.IDC_SEARCH: (150, 35, 23, 20), -1: (177, 38, 60, 12), -2: (522, 39, 32, 12), P.IDC_HELP_LABEL: (698, 39, 32, 12),
    P.IDC_CATEGORY_TREE: (3, 66, 117, 326), P.IDC_MOVIE_LIST: (123, 65, 252, 327), P.IDC_MODE: (378, 194, 9, 17),
    P.IDC_VIDEO_AREA: (392, 68, 360, 255), P.IDC_STATUS_LINE: (392, 329, 246, 12),
    P.IDC_PLAY_TIME: (644, 329, 107, 12), P.IDC_PLAY_PAUSE: (398, 350, 30, 29), P.IDC_STOP: (435, 350, 30, 29),
    P.IDC_POSITION: (485, 356, 156, 15), P.IDC_FULL_SCREEN: (716, 350, 30, 29),
}
WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU, WS_EX_APPWINDOW = 0x80000000, 0x10000000, 0x00C00000, 0x00080000, 0x40000
WS_MINIMIZEBOX = 0x00020000
# What a screen reader reads on each bitmap button (the maximise picture has no action).
BUTTON_TEXTS = {P.IDC_CLOSE: "关闭", P.IDC_MAXIMIZE: "", P.IDC_MINIMIZE: "最小化", P.IDC_SEARCH: "搜索",
                P.IDC_TOPMOST: "保持在最前", P.IDC_FULL_SCREEN: "全屏", P.IDC_STOP: "停止", P.IDC_PLAY_PAUSE: "播放",
                P.IDC_MODE: "播放模式", P.IDC_VOLUME: "音量"}


class PlayerWindowCase(unittest.TestCase):
    records = None
    env = None

    def setUp(self):
        self.service = start_presence_service(self)
        self.player = PlayerSession(records=self.records or standard_records(), root_lines=STANDARD_ROOT,
                                    env=self.env)
        self.addCleanup(self.player.cleanup)

    def close_with_button(self):
        self.player.click_control(CLOSE)
        self.assertEqual(self.player.wait_exit(), 0, "the player ends when its close button is clicked")


class GeometryAndKeysTest(PlayerWindowCase):
    def test_window_and_controls_stand_at_reference_pixels(self):
        self.player.start_with_launcher()
        (left, top, width, height), style, exstyle = self.player.window()
        self.assertEqual((width, height), (759, 396))
        # The task-bar button minimises and restores it; still no caption bar.
        self.assertEqual(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
                         WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX)
        self.assertTrue(exstyle & WS_EX_APPWINDOW)
        controls = self.player.controls()
        for cid, rect in EXPECTED_RECTS.items():
            self.assertEqual(controls[cid]["rect"][:2], rect[:2], f"position of control {cid}")
            if cid != SEARCH_TYPE:  # a combo box's own height is its selection field's
                self.assertEqual(controls[cid]["rect"][2:], rect[2:], f"size of control {cid}")
        self.assertEqual(controls[SEARCH_TYPE]["rect"][2], 75)
        self.assertEqual(controls[-1]["text"], "搜索类型：")
        self.assertEqual({cid: controls[cid]["text"] for cid in BUTTON_TEXTS}, BUTTON_TEXTS)
        self.assertFalse(controls[-2]["visible"], "功 能 is hidden")
        # Centred on the 1280 x 900 screen of the test display.
        self.assertLessEqual(abs(left - (1280 - 759) // 2), 1)
        self.assertLessEqual(abs(top - (900 - 396) // 2), 1)

    def test_start_state_title_search_type_columns_and_focus(self):
        self.player.start_with_launcher()
        self.assertEqual(self.player.combo(), (0, ["片名", "演员"]))
        columns = [line.split("\t") for line in player_probe("columns", MAIN_TITLE).splitlines() if line]
        self.assertEqual(columns, [["         片   名", "160", "0"], ["类型", "72", "2"]])
        self.assertEqual(self.player.focus(), TREE, "the focus starts on the category tree")

    def test_escape_never_closes_the_window(self):
        self.player.start_with_launcher()
        for control in (TREE, LIST, SEARCH_TEXT):
            self.player.click_control(control)
            self.player.press("Escape")
            self.assertTrue(self.player.exists(), f"Escape in control {control} closed the window")
        self.close_with_button()

    def test_enter_searches_from_any_control_and_the_button_searches_too(self):
        self.player.start_with_launcher()
        self.player.set_search_text("柳溪")
        for control in (SEARCH_TEXT, TREE, LIST):
            self.player.click_control(control)
            self.player.press("Return")
            self.assertEqual(self.player.row_indices(), [8, 7, 6, 4], f"Enter in control {control}")
            self.player.set_search_text("龙")  # the next search must change the list again
            self.player.click_control(control)
            self.player.press("Return")
            self.assertEqual(self.player.row_indices(), [1], f"Enter in control {control}")
            self.player.set_search_text("柳溪")
        self.player.set_search_text("喜剧")
        self.player.click_control(P.IDC_SEARCH)
        self.assertEqual(self.player.row_indices(), [3])
        self.assertTrue(self.player.exists(), "Enter never closes the window")

    def test_search_type_chosen_with_the_keyboard_searches_actors(self):
        self.player.start_with_launcher()
        self.player.set_search_text("贺小舟")
        self.player.click_control(SEARCH_TEXT)
        self.player.press("Tab", "Down")  # to the search type, then "演员"
        self.assertEqual(self.player.combo()[0], 1)
        self.player.press("Return")
        self.assertEqual(self.player.row_indices(), [4, 3])


class HelpTest(PlayerWindowCase):
    def register_chm_handler(self, log: Path) -> None:
        """Opens .chm files with the stand-in program, which notes its command line."""
        handler = e2e.program("kavuno_stand_in.exe")
        command = f'"{e2e.windows_path(handler)}" "%1"'.replace("\\", "\\\\").replace('"', '\\"')
        reg = Path(self.player.folder.path) / "chm.reg"
        reg.write_text("REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.chm]\n@=\"KavunoTest.chm\"\n\n"
                       "[HKEY_CLASSES_ROOT\\KavunoTest.chm\\shell\\open\\command]\n"
                       f"@=\"{command}\"\n", encoding="ascii")
        subprocess.run(e2e.wine_command() + [e2e.system_program("regedit"), "/S", e2e.windows_path(reg)], check=True,
                       capture_output=True, timeout=60)
        self.player.env["KAVUNO_STAND_IN_LOG"] = e2e.windows_path(log)

    def test_help_opens_help_chm_from_the_program_folder_not_the_current_one(self):
        log = Path(self.player.folder.path) / "opened.txt"
        self.register_chm_handler(log)
        self.player.folder.write("help.chm", b"program folder's help")
        elsewhere = Path(tempfile.mkdtemp(prefix="kavuno-cwd-"))
        self.addCleanup(shutil.rmtree, elsewhere, True)
        (elsewhere / "help.chm").write_bytes(b"current folder's help")
        self.player.open_launcher()
        self.player.start(cwd=elsewhere)
        e2e.wait_for_window(MAIN_TITLE, timeout=30)
        self.player.click_control(HELP)
        self.assertTrue(e2e.wait_until(lambda: log.exists() and log.read_text(errors="replace").strip(), 20))
        opened = log.read_text(encoding="utf-8", errors="replace")
        self.assertIn(e2e.windows_path(self.player.folder.file("help.chm")).lower(), opened.lower())
        self.assertNotIn(e2e.windows_path(elsewhere).lower(), opened.lower())

    def test_missing_help_file_shows_nothing(self):
        self.player.start_with_launcher()
        self.player.click_control(HELP)
        self.assertFalse(e2e.find_windows(PROGRAM_TITLE), "no message box")
        self.assertTrue(self.player.exists())
        self.player.search("夜行镖师")
        self.assertEqual(self.player.row_indices(), [5], "the window still works")


class PresenceTest(PlayerWindowCase):
    def datagrams(self, count: int):
        return [(d.port, d.payload) for d in self.service.wait_for_datagrams(count, timeout=10)]

    def test_close_button_sends_conn_then_quit_from_its_local_port(self):
        self.player.start_with_launcher()
        self.assertEqual(self.datagrams(1), [(LOCAL_PORT, b"Conn")])
        self.close_with_button()
        self.assertEqual(self.datagrams(2), [(LOCAL_PORT, b"Conn"), (LOCAL_PORT, b"Quit")])
        self.assertTrue(self.service.settle())
        self.assertEqual(len(self.service.datagrams()), 2, "exactly two datagrams")

    def test_closing_from_the_task_bar_sends_conn_only(self):
        self.player.start_with_launcher()
        self.assertEqual(self.datagrams(1), [(LOCAL_PORT, b"Conn")])
        e2e.post_message(MAIN_TITLE, e2e.WM_CLOSE)
        self.assertEqual(self.player.wait_exit(), 0)
        self.assertTrue(self.service.settle())
        self.assertEqual([d.payload for d in self.service.datagrams()], [b"Conn"])

    def test_taken_local_port_sends_nothing_and_changes_nothing_else(self):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as taken:
            taken.bind(("0.0.0.0", LOCAL_PORT))
            self.player.start_with_launcher()
            self.assertEqual([r[0] for r in self.player.rows()], [10, 9, 6, 5, 4, 3, 2, 1])
            self.close_with_button()
        self.assertTrue(self.service.settle())
        self.assertEqual(self.service.datagrams(), [])


class PresenceByHostNameTest(PlayerWindowCase):
    env = {"KAVUNO_PRESENCE_SERVER": "localhost"}

    def test_a_host_name_is_resolved(self):
        self.player.start_with_launcher()
        self.close_with_button()
        self.assertEqual([d.payload for d in self.service.wait_for_datagrams(2)], [b"Conn", b"Quit"])


class UnreachablePresenceTest(PlayerWindowCase):
    env = {"KAVUNO_PRESENCE_SERVER": "name.that.does.not.resolve.invalid"}

    def test_an_unresolvable_server_changes_nothing_visible(self):
        self.player.start_with_launcher()
        self.assertEqual(len(self.player.rows()), 8)
        self.close_with_button()
        self.assertEqual(self.service.datagrams(), [])


if __name__ == "__main__":
    unittest.main()
