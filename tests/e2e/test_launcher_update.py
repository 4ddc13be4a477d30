"""The launcher's update under Wine: what lands in its folder, what the
progress bar ends on, and that the player starts exactly once whatever
happens to the update."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kavuno_e2e as k  # noqa: E402
import signed_release as release  # noqa: E402
from launcher_fixture import CAPTION, PROGRESS_ID, LauncherRun, wait_for_ticks  # noqa: E402

OLD = b"old contents that must survive\n"


def payload(size: int, seed: int = 1) -> bytes:
    return bytes((i * 7 + seed) % 251 for i in range(size))


class SuccessfulUpdate(unittest.TestCase):
    def test_downloads_every_file_then_starts_the_player_once(self):
        files = {"movie.dat": payload(51200), "root.dat": payload(2048, 3), "skin\\blue.bmp": payload(777, 5),
                 "电影 海报.dat": payload(333, 7)}  # a GBK name with a blank
        manifest = k.make_manifest([(n, len(d)) for n, d in files.items()], newline="\r\n")
        served = {n.replace("\\", "/"): d for n, d in files.items()}
        with LauncherRun(served, manifest, local={"movie.dat": OLD, "skin/keep.txt": b"x"}) as run:
            run.start()
            self.assertEqual(run.wait_exit(), 0, "the stand-in player closes the launcher")
            self.assertTrue(run.wait_quiet())
            starts = run.player_starts()
            self.assertEqual(len(starts), 1, starts)
            self.assertIn("launcher=1", starts[0], "the launcher's window was still there")
            self.assertTrue(starts[0].endswith("kavuno.exe\""), starts[0])
            for name, data in served.items():
                self.assertEqual(run.file(name).read_bytes(), data, name)
            self.assertEqual(run.leftovers(), [])
            self.assertEqual(run.requested("/movie/update.txt"), 1)
            # The Chinese name is asked for in the manifest's own bytes.
            asked = [r.raw_path for r in run.service.requests("/movie/file/")]
            self.assertIn(b"/movie/file/" + "电影 海报.dat".encode("gbk"), asked)
            # Its log says that it started and how the update ended.
            lines = (k.log_folder() / "kavunoup.log").read_text(encoding="utf-8").splitlines()
            if not release.update_key():  # a build without a key says so at every run
                self.assertTrue(lines.pop(-2).endswith("] update: updates are not verified: this build has no key "
                                                       "(KAVUNO_UPDATE_PUBLIC_KEY=NONE)"), lines)
            start, update = lines[-2:]
            self.assertRegex(start, r"\] start: version \d+\.\d+\.\d+, .*\\KavunoUp\.exe$")
            self.assertTrue(update.endswith("] update: done"), update)

    def test_same_name_twice_is_downloaded_twice_or_with_a_key_refused(self):
        manifest = k.make_manifest([("a.dat", 10), ("a.dat", 10)])
        with LauncherRun({"a.dat": payload(10)}, manifest) as run:
            run.start()
            run.wait_exit()
            signed = bool(release.update_key())  # the list names each file once
            self.assertEqual(run.requested("/movie/file/a.dat"), 0 if signed else 2)
            self.assertEqual(run.file("a.dat").exists(), not signed)
            self.assertEqual(len(run.player_starts()), 1)


def is_green(rgb) -> bool:
    r, g, b = rgb
    return g > 120 and r < 200 and b < 170


class ProgressBar(unittest.TestCase):
    """The bar's last state, read from the window the stand-in leaves open."""

    def final_state(self, data: bytes, size, look=None) -> tuple:
        manifest = k.make_manifest([("f.dat", size)])
        with LauncherRun({"f.dat": data}, manifest, keep_launcher=True) as run:
            run.start()
            self.assertEqual(len(run.wait_for_player()), 1)
            state = k.progress_state(CAPTION, PROGRESS_ID)
            self.assertEqual(run.file("f.dat").read_bytes(), data)
            if look:
                self.assertTrue(wait_for_ticks(2), "the window stopped ticking")  # painted by now
                look()
            return state

    def bar_row(self) -> list:
        left, top, right, bottom = k.window_rect(CAPTION, PROGRESS_ID)
        return k.screen_pixels(left, (top + bottom) // 2, right - left, 1)[0]

    def test_a_negative_size_leaves_the_bar_empty(self):
        def empty():
            self.assertFalse([x for x, rgb in enumerate(self.bar_row()) if is_green(rgb)])
        _, low, high = self.final_state(payload(1000), -5, look=empty)
        self.assertEqual((low, high), (1, -5))

    def test_a_full_bar_is_green_across(self):
        def full():
            row = self.bar_row()
            self.assertTrue(all(is_green(rgb) for rgb in row[4:-4]), row)
        self.assertEqual(self.final_state(payload(600), 600, look=full), (600, 1, 600))

    def test_a_file_of_its_announced_size_fills_the_bar_exactly(self):
        # Reads of 200 bytes: positions 201, 401, 601, 801, then 1001 held at 1000.
        self.assertEqual(self.final_state(payload(1000), 1000), (1000, 1, 1000))

    def test_sizes_above_65535_do_not_wrap(self):
        self.assertEqual(self.final_state(payload(70000), 70000), (70000, 1, 70000))

    def test_a_size_of_zero_still_downloads_the_file(self):
        position, low, high = self.final_state(payload(1000), 0)
        self.assertEqual((low, high), (1, 0))

    def test_a_size_larger_than_the_file_leaves_the_bar_part_filled(self):
        # 5 reads: 1 + 5 × 200.
        self.assertEqual(self.final_state(payload(1000), 4000), (1001, 1, 4000))


class FailedUpdate(unittest.TestCase):
    """Every failure is silent, keeps the old files and still starts the player."""

    def assert_untouched_and_started(self, run: LauncherRun, names=("a.dat", "b.dat")):
        run.start()
        self.assertEqual(run.wait_exit(), 0)
        self.assertTrue(run.wait_quiet())
        self.assertEqual(len(run.player_starts()), 1)
        for name in names:
            self.assertEqual(run.file(name).read_bytes(), OLD, name)
        self.assertEqual(run.leftovers(), [])

    def test_unreachable_server_and_leftovers_of_an_interrupted_run(self):
        # A run killed mid-download left its temporary file, and a self-update
        # the old program; this one cannot even reach the server, and still
        # clears them.
        local = {"a.dat": OLD, "b.dat": OLD, "skin/x.bmp": OLD, "KavunoUp.staging/download-3-1.part": b"half",
                 "KavunoUp.staging/replaced-3-2.old": b"MZ old launcher"}
        with LauncherRun({"a.dat": payload(10)}, local=local, with_service=False) as run:
            self.assert_untouched_and_started(run, names=("a.dat", "b.dat", "skin/x.bmp"))
            self.assertEqual(list(run.file("KavunoUp.staging").iterdir()), [])

    def test_manifest_error_status_is_not_taken_for_a_manifest(self):
        with LauncherRun({"a.dat": payload(10)}, local={"a.dat": OLD, "b.dat": OLD}) as run:
            run.service.set_manifest_fault(status=500)
            self.assert_untouched_and_started(run)
            self.assertEqual(run.requested("/movie/file/a.dat"), 0)

    def test_short_or_dropped_manifest_is_not_used(self):
        for fault in ({"short_by": 3}, {"drop_after": 8}):
            with self.subTest(**fault):
                with LauncherRun({"a.dat": payload(10)}, local={"a.dat": OLD, "b.dat": OLD}) as run:
                    run.service.set_manifest_fault(**fault)
                    self.assert_untouched_and_started(run)
                    self.assertEqual(run.requested("/movie/file/a.dat"), 0)

    def test_entry_failures_keep_the_old_file_and_end_the_update(self):
        faults = [{"status": 404}, {"status": 500}, {"status": 204}, {"short_by": 1000}, {"drop_after": 3000},
                  {"refuse": True}]
        for fault in faults:
            with self.subTest(**fault):
                files = {"new.dat": payload(300), "a.dat": payload(8000), "b.dat": payload(50)}
                with LauncherRun(files, local={"a.dat": OLD, "b.dat": OLD}) as run:
                    run.service.set_file_fault("a.dat", **fault)
                    self.assert_untouched_and_started(run)
                    # Entries before the failure stay replaced; later ones are not attempted.
                    self.assertEqual(run.file("new.dat").read_bytes(), payload(300))
                    self.assertEqual(run.requested("/movie/file/b.dat"), 0)

    def test_missing_subdirectory_ends_the_update(self):
        files = {"nodir/x.dat": payload(10), "a.dat": payload(10)}
        manifest = k.make_manifest([("nodir\\x.dat", 10), ("a.dat", 10)])
        with LauncherRun(files, manifest, local={"a.dat": OLD, "b.dat": OLD}) as run:
            self.assert_untouched_and_started(run)
            self.assertFalse(run.file("nodir").exists())


class OddManifests(unittest.TestCase):
    def test_no_entries_for_zero_negative_or_non_numeric_counts(self):
        for first in (b"0", b"-2", b"two", b"\xef\xbb\xbf1", b""):
            with self.subTest(first=first):
                manifest = first + b"\r\na.dat\r\n10\r\n"
                with LauncherRun({"a.dat": payload(10)}, manifest) as run:
                    run.start()
                    self.assertEqual(run.wait_exit(), 0)
                    self.assertEqual(len(run.player_starts()), 1)
                    self.assertFalse(run.file("a.dat").exists())
                    self.assertEqual(run.requested("/movie/file/a.dat"), 0)

    def test_names_leaving_the_folder_are_skipped_or_with_a_key_refused(self):
        unsafe = ["..\\evil1.dat", "../evil2.dat", "sub\\..\\..\\evil3.dat", "\\evil4.dat",
                  "C:\\evil5.dat", "\\\\127.0.0.1\\share\\evil6.dat", "con", "NUL ", "CON .txt",
                  "sub\\aux .bmp"]
        entries = [(name, 5) for name in unsafe] + [("sub\\ok.dat", 5), ("good.dat", 5)]
        files = {"sub/ok.dat": b"okay!", "good.dat": b"good!"}
        with LauncherRun(files, k.make_manifest(entries), local={"sub/keep": b""}) as run:
            run.start()
            self.assertEqual(run.wait_exit(), 0)
            if release.update_key():  # a manifest naming anything but the list's files: nothing at all
                self.assertEqual(run.service.requests("/movie/file/"), [])
                self.assertEqual(sorted(p.name for p in run.folder.path.rglob("*") if p.is_file()),
                                 ["KavunoUp.exe", "kavuno.exe", "keep", "started.txt"])
                return
            self.assertEqual(run.file("sub/ok.dat").read_bytes(), b"okay!")
            self.assertEqual(run.file("good.dat").read_bytes(), b"good!")
            # WinINet sends a backslash in an address as a slash.
            asked = [r.path.replace("\\", "/") for r in run.service.requests("/movie/file/")]
            self.assertEqual(sorted(asked), ["/movie/file/good.dat", "/movie/file/sub/ok.dat"])
            parent = run.folder.path.parent
            for n in range(1, 7):
                self.assertFalse((parent / f"evil{n}.dat").exists())
            self.assertEqual(sorted(p.name for p in run.folder.path.rglob("*") if p.is_file()),
                             sorted(["KavunoUp.exe", "kavuno.exe", "started.txt", "good.dat", "keep", "ok.dat",
                                     "files.txt"]))
            # For the uninstaller: what the manifest listed and the launcher could write.
            self.assertEqual(run.installed_files(), ["sub\\ok.dat", "good.dat"])
            self.assertEqual(len(run.player_starts()), 1)

    def test_a_count_beyond_the_lines_downloads_what_is_listed_up_to_10000(self):
        for count, fetched in ((b"10000", True), (b"10001", False)):
            with self.subTest(count=count), LauncherRun({"x.dat": b"xyz"}, count + b"\nx.dat\n3\n") as run:
                run.start()
                self.assertEqual(run.wait_exit(), 0)
                self.assertEqual(run.file("x.dat").exists(), fetched)
                self.assertEqual(run.requested("/movie/file/x.dat"), int(fetched))
                self.assertEqual(len(run.player_starts()), 1)


class LongManifest(unittest.TestCase):
    """The manifest is read as it arrives (with a key, its entries, before
    the first file), and whatever follows the last entry is never read."""

    def test_a_manifest_of_17_mb_is_used(self):
        manifest = k.make_manifest([("a.dat", 3), ("b.dat", 3)]) + b"\n" * (17 << 20)
        with LauncherRun({"a.dat": b"aaa", "b.dat": b"bbb"}, manifest) as run:
            run.start()
            self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(run.file("a.dat").read_bytes(), b"aaa")
            self.assertEqual(run.file("b.dat").read_bytes(), b"bbb")
            self.assertEqual(len(run.player_starts()), 1)

    def test_files_are_fetched_while_the_manifest_still_arrives(self):
        # Size lines padded past the read-ahead; the whole takes seconds to send.
        pad = " " * 5000
        manifest = f"2\na.dat\n3{pad}\nb.dat\n3{pad}\n".encode() + b"\n" * 40000
        with LauncherRun({"a.dat": b"aaa", "b.dat": b"bbb"}, manifest) as run:
            run.service.set_manifest_fault(rate=8000)
            run.start()
            self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(run.file("b.dat").read_bytes(), b"bbb")
            manifest_request = run.service.requests("/movie/update.txt")[0]
            self.assertTrue(k.wait_until(lambda: manifest_request.finished, timeout=10))
            for name in ("a.dat", "b.dat"):
                fetched = run.service.requests("/movie/file/" + name)[0].time
                self.assertLess(fetched, manifest_request.finished, f"{name} waited for the whole manifest")


if __name__ == "__main__":
    unittest.main(verbosity=2)
