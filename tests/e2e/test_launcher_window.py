"""The launcher's window under Wine: the refusal beside a running player, its
shape, the ways to close it (and that closing it mid-update starts nothing and
keeps the old files), dragging, and the sweep animation."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kavuno_e2e as k  # noqa: E402
from launcher_fixture import (BAND_WIDTH, CANCEL_ID, CAPTION, PROGRESS_ID, LauncherRun, band_peak,  # noqa: E402
                              wait_for_ticks)

OLD = b"old contents that must survive\n"
WS_CAPTION = 0x00C00000
WS_MINIMIZEBOX = 0x00020000
WS_EX_APPWINDOW = 0x00040000
WS_MINIMIZE = 0x20000000
WM_SYSCOMMAND = 0x0112
SC_MINIMIZE = 0xF020


def slow_run(**kwargs) -> LauncherRun:
    """A launcher busy downloading a 600 KB file at 20 KB/s over an old copy:
    half a minute, so its window outlasts a test on a busy machine."""
    run = LauncherRun({"a.dat": bytes(600_000)}, local={"a.dat": OLD}, **kwargs)
    run.service.set_file_fault("a.dat", rate=20_000)
    return run


def wait_for_transfer(test: unittest.TestCase):
    seen = []

    def underway():
        seen.append(k.progress_state(CAPTION, PROGRESS_ID))
        return seen[-1] and seen[-1][0] > 1
    test.assertTrue(k.wait_until(underway, timeout=30), f"the download did not begin: {seen}")


class PlayerAlreadyRunning(unittest.TestCase):
    def test_refuses_with_a_message_and_does_nothing_else(self):
        with k.dummy_window("Kavuno", dialog=True), LauncherRun({"a.dat": b"12345"}) as run:
            run.start()
            k.wait_for_window(CAPTION)  # the message box carries the program's name
            texts = k.window_texts(CAPTION)
            self.assertIn("已运行一个应用程序，无法再运行！", [text for _, text in texts])
            self.assertNotIn("msctls_progress32", [cls.lower() for cls, _ in texts])
            k.post_message(CAPTION, k.WM_COMMAND, k.IDOK)
            self.assertEqual(run.wait_exit(15), 0)
            self.assertEqual(run.service.requests(), [], "no update without a window")
            self.assertEqual(run.player_starts(), [])


class WindowShape(unittest.TestCase):
    def test_bare_window_of_the_picture_size_with_its_controls(self):
        with slow_run() as run:
            run.start()
            k.wait_for_window(CAPTION)
            style, ex_style = k.window_styles(CAPTION)
            self.assertEqual(style & WS_CAPTION, 0)
            self.assertTrue(style & WS_MINIMIZEBOX)
            self.assertTrue(ex_style & WS_EX_APPWINDOW)
            left, top, right, bottom = k.window_rect(CAPTION)
            self.assertEqual((right - left, bottom - top), (340, 238))
            cl, ct, cr, cb = k.window_rect(CAPTION, CANCEL_ID)
            self.assertEqual((cl - left, ct - top, cr - cl, cb - ct), (245, 203, 77, 23))
            pl, pt, pr, pb = k.window_rect(CAPTION, PROGRESS_ID)
            self.assertEqual((pl - left, pt - top, pr - pl, pb - pt), (17, 153, 306, 14))


class Closing(unittest.TestCase):
    """Each way of closing ends the process mid-download: no player, the old
    file intact and no temporary file left."""

    def assert_closed_cleanly(self, run: LauncherRun):
        self.assertEqual(run.wait_exit(10), 0)
        self.assertTrue(run.wait_quiet())
        self.assertEqual(run.player_starts(), [])
        self.assertEqual(run.file("a.dat").read_bytes(), OLD)
        self.assertEqual(run.leftovers(), [])

    def test_cancel_button(self):
        with slow_run() as run:
            run.start()
            wait_for_transfer(self)
            left, top, right, bottom = k.window_rect(CAPTION, CANCEL_ID)
            k.click((left + right) // 2, (top + bottom) // 2)
            self.assert_closed_cleanly(run)

    def test_wm_close(self):
        with slow_run() as run:
            run.start()
            wait_for_transfer(self)
            k.post_message(CAPTION, k.WM_CLOSE)
            self.assert_closed_cleanly(run)

    def test_closing_while_the_server_stalls_still_ends_the_process(self):
        with LauncherRun({"a.dat": b"new"}, local={"a.dat": OLD}) as run:
            run.service.set_file_fault("a.dat", delay=60)  # the worker waits inside the open
            run.start()
            k.wait_for_window(CAPTION)
            k.wait_until(lambda: run.requested("/movie/file/a.dat"), timeout=20)
            k.post_message(CAPTION, k.WM_CLOSE)
            self.assertEqual(run.wait_exit(15), 0)  # well before the server answers
            self.assertEqual(run.player_starts(), [])
            self.assertEqual(run.file("a.dat").read_bytes(), OLD)

    def test_a_server_answering_after_the_close_gets_nothing_created(self):
        path = "/movie/file/a.dat"
        with LauncherRun({"a.dat": b"new"}, local={"a.dat": OLD}) as run, k.FolderWatch(run.folder.path) as watch:
            run.service.hold(path)  # the worker waits inside the open
            run.start()
            self.assertTrue(k.wait_until(lambda: run.requested(path), timeout=20))
            k.post_message(CAPTION, k.WM_CLOSE)
            self.assertTrue(k.wait_for_no_window(CAPTION, timeout=10))
            # The window is gone; the answer comes while the process winds up.
            run.service.release(path)
            self.assert_closed_cleanly(run)
            self.assertEqual(watch.created(), [])

    def test_ok_is_ignored_and_escape_closes(self):
        with slow_run() as run:
            run.start()
            wid = k.wait_for_window(CAPTION)
            wait_for_transfer(self)
            k.send_message(CAPTION, k.WM_COMMAND, k.IDOK)
            self.assertTrue(wait_for_ticks(2), "the window stopped ticking")
            self.assertIsNone(run.process.poll(), "IDOK closed the window")
            self.assertTrue(k.find_windows(CAPTION))
            k.press_key(wid, "Escape")
            self.assert_closed_cleanly(run)


class Lifetime(unittest.TestCase):
    def test_a_player_that_keeps_the_launcher_open_is_started_once(self):
        with LauncherRun({"a.dat": b"abc"}, keep_launcher=True) as run:
            run.start()
            self.assertEqual(len(run.wait_for_player()), 1)
            self.assertTrue(wait_for_ticks(12))
            self.assertEqual(len(run.player_starts()), 1)
            self.assertIsNone(run.process.poll())
            k.post_message(CAPTION, k.WM_CLOSE)
            self.assertEqual(run.wait_exit(10), 0)

    def test_a_minimised_launcher_still_starts_the_player(self):
        with LauncherRun({"a.dat": bytes(40_000)}) as run:
            run.service.set_file_fault("a.dat", rate=20_000)
            run.start()
            k.wait_for_window(CAPTION)
            k.post_message(CAPTION, WM_SYSCOMMAND, SC_MINIMIZE)
            self.assertTrue(k.wait_until(lambda: k.window_styles(CAPTION)[0] & WS_MINIMIZE, timeout=5))
            self.assertEqual(len(run.wait_for_player()), 1)
            self.assertEqual(run.wait_exit(10), 0)

    def test_a_missing_player_leaves_the_launcher_open(self):
        with LauncherRun({"a.dat": b"abc"}) as run:
            run.file("kavuno.exe").unlink()
            run.start()
            k.wait_for_window(CAPTION)
            k.wait_until(lambda: run.file("a.dat").exists(), timeout=20)
            self.assertTrue(wait_for_ticks(6))  # the launch was tried, and failed
            self.assertIsNone(run.process.poll())
            k.post_message(CAPTION, k.WM_CLOSE)
            self.assertEqual(run.wait_exit(10), 0)


def sweeps(peaks: list[int]) -> bool:
    """Whether the band's brightest points so far show it sweeping: several
    distinct frames, from the left end to the right end."""
    distinct = sorted(set(peaks))
    return len(distinct) >= 5 and distinct[0] < 60 and distinct[-1] > BAND_WIDTH - 60


def band_peaks(timeout: float = 10.0) -> list[int]:
    """The band's brightest points, looked at until they show a sweep."""
    left, top, _, _ = k.window_rect(CAPTION)
    peaks = []

    def swept():
        peaks.append(band_peak(left, top))
        return sweeps(peaks)
    k.wait_until(swept, timeout=timeout, interval=0.02)
    return peaks


class Surface(unittest.TestCase):
    def test_dragging_the_picture_moves_the_window(self):
        with slow_run() as run:
            run.start()
            k.wait_for_window(CAPTION)
            wid = k.wait_for_window(CAPTION)
            left, top, _, _ = k.window_rect(CAPTION)
            k.mouse_move(left + 170, top + 120)
            k.mouse_down()
            x0, y0, _, _ = k.window_geometry(wid)
            for step in range(1, 11):
                k.mouse_move(left + 170 + 6 * step, top + 120 + 4 * step)
                # The window follows each step before the next.
                k.wait_until(lambda: k.window_geometry(wid)[:2] == (x0 + 6 * step, y0 + 4 * step), timeout=2)
            k.mouse_up()
            moved = k.wait_until(lambda: k.window_rect(CAPTION)[:2] == (left + 60, top + 40), timeout=5)
            self.assertTrue(moved, f"window at {k.window_rect(CAPTION)[:2]}, from {(left, top)}")

    def test_the_light_band_sweeps_from_left_to_right(self):
        with slow_run() as run:
            run.start()
            k.wait_for_window(CAPTION)
            peaks = band_peaks()
            self.assertTrue(sweeps(peaks), peaks)

    def test_the_band_keeps_sweeping_after_the_player_started(self):
        with LauncherRun({"a.dat": b"abc"}, keep_launcher=True) as run:
            run.start()
            self.assertEqual(len(run.wait_for_player()), 1)
            peaks = band_peaks()
            self.assertTrue(sweeps(peaks), peaks)

    def test_pressing_cancel_shows_its_pressed_face_and_does_not_drag(self):
        with slow_run() as run:
            run.start()
            k.wait_for_window(CAPTION)
            window = k.window_rect(CAPTION)
            left, top, right, bottom = k.window_rect(CAPTION, CANCEL_ID)
            face = lambda: k.screen_pixels(left + 38, top + 3, 1, 1)[0][0]  # noqa: E731
            self.assertTrue(k.wait_until(lambda: face()[0] > 235, timeout=3),
                            f"the normal face is light at the top: {face()}")
            k.mouse_move((left + right) // 2, (top + bottom) // 2)
            k.mouse_down()
            pressed = k.wait_until(lambda: face()[0] < 220, timeout=3)
            # Leave the button before letting go: no click.
            k.mouse_move(left - 120, top - 60)
            released = k.wait_until(lambda: face()[0] > 235, timeout=3)
            k.mouse_up()
            self.assertTrue(pressed, "pressed face not shown")
            self.assertTrue(released, f"the face stayed pressed off the button: {face()}")
            self.assertTrue(wait_for_ticks(2), "the window stopped ticking")
            self.assertIsNone(run.process.poll(), "releasing outside the button must not cancel")
            self.assertEqual(k.window_rect(CAPTION), window, "a press on the button does not move the window")


if __name__ == "__main__":
    unittest.main(verbosity=2)
