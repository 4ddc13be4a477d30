"""The player on a machine without a usable media player control: Wine has no
RealPlayer control, and its own media player control cannot be called by
dispatch id. A movie for either says so in a message and changes nothing;
the rest of the window keeps working."""
from __future__ import annotations

import unittest

import kavuno_e2e as e2e
from control_ids import Player
from player_catalogue import Record, placeholder
from player_session import PROGRAM_TITLE, PlayerSession, player_probe, start_presence_service

RECORDS = [
    placeholder(),
    Record(title="真实片", kind="纪录片", file="a.rm", player=0, video=1),
    Record(title="媒体片", kind="纪录片", file="b.wmv", player=1, video=1),
]


class MissingControlsTest(unittest.TestCase):
    def setUp(self):
        self.service = start_presence_service(self)
        self.player = PlayerSession(records=RECORDS, root_lines=["纪录片"],
                                    env={"KAVUNO_WEB_SITE": self.service.base_url})
        self.addCleanup(self.player.cleanup)
        self.player.start_with_launcher()

    def message_after_double_click(self, record: int) -> str:
        self.player.click_record(record, double=True)
        e2e.wait_for_window(PROGRAM_TITLE, timeout=15)
        message = player_probe("message", PROGRAM_TITLE).strip()
        self.player.answer_message_box()
        self.assertTrue(e2e.wait_for_no_window(PROGRAM_TITLE, timeout=10))
        return message

    def test_each_missing_player_is_named_and_nothing_else_changes(self):
        real = self.message_after_double_click(1)
        self.assertIn("RealPlayer", real)
        self.assertIn("《真实片》", real)
        media = self.message_after_double_click(2)
        self.assertIn("Windows Media Player", media)
        self.assertIn("《媒体片》", media)
        # Nothing was started: idle texts, the start page never asked for.
        self.assertEqual(self.player.text(Player.IDC_STATUS_LINE), "长时间观看注意眼睛休息！！")
        self.assertEqual(self.player.text(Player.IDC_PLAY_TIME), "00:00:00/00:00:00")
        self.assertEqual([r.path for r in self.service.requests() if r.path == "/ad/cache.asp"], [])
        # The window still works.
        self.player.search("媒体")
        self.assertEqual(self.player.row_indices(), [2])
        self.player.click_control(Player.IDC_CLOSE)
        self.assertEqual(self.player.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
