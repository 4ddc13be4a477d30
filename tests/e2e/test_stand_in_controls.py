"""The stand-in media player controls as the player's end-to-end tests use
them: registered in the run's prefix by the harness helper, hosted by a
standard container (the viewer, through atl.dll), playing a clip of the demo
folder for real, drawing it, and logging every call."""
from __future__ import annotations

import subprocess
import tempfile
import unittest
from pathlib import Path

import kavuno_e2e as e2e

VIEWER_TITLE = "Kavuno stand-in viewer"
WMP_CLASS = r"HKLM\Software\Classes\CLSID\{6BF52A52-394A-11D3-B153-00C04F79FAA6}\InprocServer32"
RED_BAR = (0xC0, 0x00, 0x00)


class StandInControlsTest(unittest.TestCase):
    def status_line(self) -> str:
        texts = [text for cls, text in e2e.window_texts(VIEWER_TITLE) if cls.lower() == "static"]
        return texts[0] if texts else ""

    def test_registered_control_plays_a_demo_clip_and_logs_its_calls(self):
        media = e2e.demo_media_dir()
        if not (media / "clip02.avi").is_file():
            self.skipTest(f"{media} has no test clips: build the native tree first")
        e2e.register_stand_in_controls()
        query = subprocess.run(e2e.wine_command() + [e2e.system_program("reg"), "query", WMP_CLASS], capture_output=True,
                               text=True, errors="replace", timeout=60)
        self.assertIn("kavuno_stand_in_controls.dll", query.stdout)

        with tempfile.TemporaryDirectory() as tmp:
            log = Path(tmp) / "calls.log"
            viewer = e2e.start(e2e.program("kavuno_stand_in_viewer.exe"), "wmp",
                               "rtsp://127.0.0.1/movie/demo/clip02.avi", "--seconds", "60",
                               env=e2e.stand_in_environment(media, log))
            self.addCleanup(e2e.stop, viewer)
            wid = e2e.wait_for_window(VIEWER_TITLE, timeout=60)
            self.assertTrue(e2e.wait_until(lambda: self.status_line().startswith("playState 3"), timeout=30),
                            self.status_line())

            # The clip's own picture, moving: its red bar, and a box that
            # crosses the bars once a second. "Playing" can come before the
            # first frame reaches the screen on a busy machine.
            x, y, width, height = e2e.window_geometry(wid)
            picture = lambda: e2e.screen_pixels(x, y, width, height)  # noqa: E731

            def frame_with_red_bar():
                frame = picture()
                return frame if sum(row.count(RED_BAR) for row in frame) > 2000 else None

            first = e2e.wait_until(frame_with_red_bar, timeout=10)
            self.assertTrue(first, "the clip's red bar")
            self.assertTrue(e2e.wait_until(lambda: picture() != first, timeout=5), "the picture moves")

            # The 4-second clip ends: the media player settles on stopped.
            self.assertTrue(e2e.wait_until(lambda: self.status_line().startswith("playState 1"), timeout=30),
                            self.status_line())
            self.assertIn("duration 4.0 s", self.status_line())

            calls = e2e.read_call_log(log)
            self.assertEqual(calls[:3], [["wmp", "23", "put", "none"], ["wmp", "4", "get"],
                                         ["wmp", "1", "put", "rtsp://127.0.0.1/movie/demo/clip02.avi"]])
            self.assertIn(["wmp", "10", "get"], calls)
            self.assertIn(["wmp.controls", "56", "get"], calls)
            self.assertIn(["wmp.media", "757", "get"], calls)


if __name__ == "__main__":
    unittest.main()
