"""The player's start-up beside (and without) the launcher."""
from __future__ import annotations

import time
import unittest

import kavuno_e2e as e2e
from player_session import (LAUNCHER_TITLE, MAIN_TITLE, PROGRAM_TITLE, PlayerSession, player_probe,
                            start_presence_service, standard_records, STANDARD_ROOT)


class PlayerStartupTest(unittest.TestCase):
    def setUp(self):
        self.service = start_presence_service(self)
        self.sessions = []

    def tearDown(self):
        for s in self.sessions:
            s.cleanup()

    def session(self) -> PlayerSession:
        s = PlayerSession(records=standard_records(), root_lines=STANDARD_ROOT)
        self.sessions.append(s)
        return s

    def test_without_launcher_shows_the_message_and_no_window(self):
        # A window titled "KavunoUp" that is no dialog (an Explorer window on
        # such a folder, say) is not the launcher: it is neither taken for
        # one nor closed.
        with e2e.dummy_window(LAUNCHER_TITLE) as other:
            s = self.session()
            s.start()
            e2e.wait_for_window(PROGRAM_TITLE)
            self.assertEqual(player_probe("message", PROGRAM_TITLE).strip(), "无法运行，需要引导程序！")
            self.assertFalse(e2e.find_windows(MAIN_TITLE, only_visible=False))
            PlayerSession.answer_message_box()
            self.assertEqual(s.wait_exit(), 0)
            self.assertFalse(e2e.find_windows(MAIN_TITLE, only_visible=False))
            self.assertEqual(self.service.datagrams(), [], "presence starts only with the window")
            self.assertIsNone(other.poll(), "the other window was left alone")

    def test_launcher_is_closed_before_the_window_appears(self):
        s = self.session()
        s.open_launcher()
        s.start()
        launcher_seen_with_player = False
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            player = e2e.find_windows(MAIN_TITLE, only_visible=False)
            launcher = e2e.find_windows(LAUNCHER_TITLE, only_visible=False)
            if player:
                launcher_seen_with_player = bool(launcher)
                break
        # Found while it is still being set up; it shows when set-up is done.
        self.assertTrue(e2e.wait_until(lambda: e2e.find_windows(MAIN_TITLE), timeout=30),
                        "the player's window did not appear")
        self.assertFalse(launcher_seen_with_player, "the launcher's window was still there")
        self.assertEqual(s.launcher.wait(10), 0, "the launcher got WM_CLOSE and ended")

    def test_second_player_beside_one_launcher_refuses_to_run(self):
        first = self.session()
        first.start_with_launcher()
        second = self.session()
        second.start()
        e2e.wait_for_window(PROGRAM_TITLE)
        self.assertEqual(player_probe("message", PROGRAM_TITLE).strip(), "无法运行，需要引导程序！")
        self.assertEqual(player_probe("count", MAIN_TITLE).strip(), "1")
        PlayerSession.answer_message_box()
        self.assertEqual(second.wait_exit(), 0)
        self.assertTrue(first.exists(), "the first player runs on")


if __name__ == "__main__":
    unittest.main()
