"""Trustworthy updates under Wine: the real KavunoUp against the demo service,
one run per case, each checking what is on disk byte for byte and that the
player started: a signed list decides what is committed (tampered file, list
missing, another key, an older serial, expired, for the other build, below
the floor, a manifest leaving out a listed file), a stalled or trickling
server still lets the player start, HTTPS with a trusted and an untrusted authority, a user's
".part" files, the launcher replacing itself, a window that only looks like
the player's, and names that must be escaped in the address."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kavuno_e2e as k  # noqa: E402
import signed_release as release  # noqa: E402
from launcher_fixture import STAGING, LauncherRun  # noqa: E402

OLD = b"old contents that must survive\n"


def payload(size: int, seed: int = 1) -> bytes:
    return bytes((i * 7 + seed) % 251 for i in range(size))


def listed_serial(run: LauncherRun) -> int:
    for line in (run.served / "update.sig").read_text(encoding="latin-1").splitlines():
        if line.startswith("serial "):
            return int(line.split()[1])
    raise AssertionError("the published list has no serial")


@unittest.skipUnless(release.update_key(), "the build carries no update key (-DKAVUNO_UPDATE_PUBLIC_KEY=NONE)")
class SignedList(unittest.TestCase):
    FILES = {"a.dat": payload(300), "b.dat": payload(5000, 2), "c.dat": payload(40, 3)}
    LOCAL = {"a.dat": OLD, "b.dat": OLD, "c.dat": OLD}

    def run_to_end(self, run: LauncherRun) -> None:
        run.start()
        self.assertEqual(run.wait_exit(30), 0, "the stand-in player closed the launcher")
        self.assertTrue(run.wait_quiet())
        self.assertEqual(len(run.player_starts()), 1)
        self.assertEqual(run.leftovers(), [])

    def assert_files(self, run: LauncherRun, expected: dict) -> None:
        for name, data in expected.items():
            self.assertEqual(run.file(name).read_bytes(), data, name)

    def test_a_tampered_file_and_everything_after_it_stay_old(self):
        with LauncherRun(self.FILES, local=self.LOCAL) as run:
            tampered = bytearray(self.FILES["b.dat"])
            tampered[2500] ^= 1
            (run.served / "file" / "b.dat").write_bytes(bytes(tampered))
            self.run_to_end(run)
            self.assert_files(run, {"a.dat": self.FILES["a.dat"], "b.dat": OLD, "c.dat": OLD})
            self.assertEqual(run.requested("/movie/file/c.dat"), 0)
            self.assertEqual(release.accepted_serial(), listed_serial(run), "the list itself was good")

    def test_without_a_list_nothing_is_replaced(self):
        with LauncherRun(self.FILES, local=self.LOCAL) as run:
            (run.served / "update.sig").unlink()
            self.run_to_end(run)
            self.assert_files(run, self.LOCAL)
            self.assertEqual(run.requested("/movie/update.sig"), 1)
            self.assertEqual(run.requested("/movie/update.txt"), 0, "no list, no manifest")

    def test_a_list_signed_with_another_key_replaces_nothing(self):
        before = release.accepted_serial()
        work = tempfile.mkdtemp(prefix="kavuno-other-key-")
        self.addCleanup(shutil.rmtree, work, True)
        key = os.path.join(work, "other.key")
        subprocess.run([str(release.release_tool()), "keygen", key, key + ".pub"], check=True, capture_output=True)
        with LauncherRun(self.FILES, local=self.LOCAL, serial=int(time.time()) + 3600) as run:
            release.publish(run.served.parent.parent / "source", os.path.join(work, "server"), listed_serial(run), key)
            shutil.copyfile(os.path.join(work, "server", "movie", "update.sig"), run.served / "update.sig")
            self.run_to_end(run)
            self.assert_files(run, self.LOCAL)
            self.assertEqual(run.requested("/movie/update.txt"), 0)
            self.assertEqual(release.accepted_serial(), before, "a bad list's serial is not taken")

    def test_a_manifest_leaving_out_a_listed_file_replaces_nothing(self):
        manifest = k.make_manifest([("a.dat", 300), ("c.dat", 40)])
        with LauncherRun(self.FILES, manifest=manifest, local=self.LOCAL) as run:
            self.run_to_end(run)
            self.assert_files(run, self.LOCAL)
            self.assertEqual(run.requested("/movie/update.txt"), 1)
            self.assertEqual(run.service.requests("/movie/file/"), [], "nothing is fetched before they agree")
            self.assertEqual(run.installed_files(), [])

    def test_expired_other_target_and_below_the_floor_replace_nothing(self):
        floor = release.min_serial()
        other = {"win32": "win64", "win64": "win32"}[release.target()]
        cases = [("expired", {"expires_days": 0}), ("for " + other, {"for_target": other})]
        if floor:  # the record is gone, as after a reinstall: the build's floor still holds
            cases.append(("below the floor", {"serial": floor - 1}))
        for what, options in cases:
            with self.subTest(what):
                record = release.local_app_data() / "Kavuno" / "update-serial.txt"
                record.unlink(missing_ok=True)
                with LauncherRun(self.FILES, local=self.LOCAL, **options) as run:
                    self.run_to_end(run)
                    self.assert_files(run, self.LOCAL)
                    self.assertEqual(run.requested("/movie/update.sig"), 1)
                    self.assertEqual(run.requested("/movie/update.txt"), 0)
                    self.assertIsNone(release.accepted_serial())

    def test_an_older_list_is_refused_after_a_newer_one(self):
        with LauncherRun(self.FILES, local=self.LOCAL) as first:
            serial = listed_serial(first)
            self.run_to_end(first)
            self.assert_files(first, self.FILES)
            self.assertEqual(release.accepted_serial(), serial)
        # The record is this user's: another program folder gets no older release either.
        older = {name: payload(len(data), 9) for name, data in self.FILES.items()}
        with LauncherRun(older, local=self.FILES, serial=serial - 1) as second:
            self.run_to_end(second)
            self.assert_files(second, self.FILES)
            self.assertEqual(second.requested("/movie/update.txt"), 0)
            self.assertEqual(release.accepted_serial(), serial)


class StalledServer(unittest.TestCase):
    """A server that stops sending, or trickles, cannot keep the player from
    starting: the player is up within a minute, with the old files as they were."""

    def test_silence_before_the_answer_or_halfway_through_a_file(self):
        files = {"a.dat": payload(300), "b.dat": payload(5000, 2), "c.dat": payload(40, 3)}
        for path, fault, replaced in (("/movie/update.sig", {"delay": 300}, []),
                                      ("/movie/file/b.dat", {"stall_after": 2500}, ["a.dat"]),
                                      ("/movie/file/b.dat", {"rate": 0.5}, ["a.dat"])):  # a byte every 2 s
            with self.subTest(path=path, **fault):
                with LauncherRun(files, local={n: OLD for n in files}) as run:
                    run.service.set_fault(path, **fault)
                    started = time.monotonic()
                    run.start()
                    self.assertEqual(len(run.wait_for_player(timeout=60)), 1, "no player within a minute")
                    self.assertLess(time.monotonic() - started, 60)
                    self.assertEqual(run.wait_exit(30), 0)
                    self.assertTrue(run.wait_quiet())
                    for name, data in files.items():
                        self.assertEqual(run.file(name).read_bytes(), data if name in replaced else OLD, name)
                    self.assertEqual(run.leftovers(), [])
                    self.assertEqual(run.requested("/movie/file/c.dat"), 0)


class Https(unittest.TestCase):
    FILES = {"movie.dat": payload(51200), "skin/blue.bmp": payload(777, 5)}

    def test_a_whole_signed_update_over_https(self):
        with LauncherRun(self.FILES, local={"movie.dat": OLD, "skin/keep": b""}, tls="trusted") as run:
            self.assertTrue(run.server.startswith("https://localhost:"), run.server)
            run.start()
            self.assertEqual(run.wait_exit(30), 0)
            self.assertTrue(run.wait_quiet())
            self.assertEqual(len(run.player_starts()), 1)
            for name, data in self.FILES.items():
                self.assertEqual(run.file(name).read_bytes(), data, name)
            asked = sorted(r.path for r in run.service.requests("/movie/"))
            self.assertEqual(asked, ["/movie/file/movie.dat", "/movie/file/skin/blue.bmp", "/movie/update.sig",
                                     "/movie/update.txt"])

    def test_a_certificate_from_an_unknown_authority_replaces_nothing(self):
        with LauncherRun(self.FILES, local={"movie.dat": OLD}, tls="untrusted") as run:
            run.start()
            self.assertEqual(run.wait_exit(30), 0)
            self.assertTrue(run.wait_quiet())
            self.assertEqual(len(run.player_starts()), 1)
            self.assertEqual(run.file("movie.dat").read_bytes(), OLD)
            self.assertFalse(run.file("skin").exists())
            self.assertEqual(run.service.requests(), [], "nothing was asked over a connection it did not trust")


class TheUsersFiles(unittest.TestCase):
    def test_part_files_of_the_users_survive_and_the_launchers_own_go(self):
        mine = {"notes.part": b"my notes", "sub/draft.part": b"a draft", f"{STAGING}/notes.part": b"kept too"}
        local = dict(mine, **{"a.dat": OLD, f"{STAGING}/download-77-1.part": b"left by a killed run"})
        with LauncherRun({"a.dat": payload(300), "sub/b.dat": payload(20)}, local=local) as run:
            run.start()
            self.assertEqual(run.wait_exit(30), 0)
            self.assertTrue(run.wait_quiet())
            self.assertEqual(len(run.player_starts()), 1)
            for name, data in mine.items():
                self.assertEqual(run.file(name).read_bytes(), data, name)
            self.assertEqual(run.file("a.dat").read_bytes(), payload(300))
            self.assertEqual(run.file("sub/b.dat").read_bytes(), payload(20))
            self.assertEqual(run.leftovers(), [])
            self.assertEqual(sorted(p.name for p in run.file(STAGING).iterdir()), ["files.txt", "notes.part"])


class SelfUpdate(unittest.TestCase):
    def test_the_launcher_replaces_itself_and_goes_on(self):
        old = k.program("KavunoUp.exe").read_bytes()
        new = old + b"\0a newer launcher"  # bytes after the image: still a program
        files = {"a.dat": payload(300), "KavunoUp.exe": new, "z.dat": payload(99, 4)}
        folder = k.ProgramFolder()
        self.addCleanup(folder.cleanup)
        folder.add_program("KavunoUp.exe")
        folder.add_program("kavuno_stand_in.exe", "kavuno.exe")
        with LauncherRun(files, folder=folder) as run:
            run.start()
            self.assertEqual(run.wait_exit(120), 0)  # 5 MB in reads of 200 bytes
            self.assertTrue(run.wait_quiet())
            self.assertEqual(len(run.player_starts()), 1)
            self.assertEqual(run.file("KavunoUp.exe").read_bytes(), new)
            self.assertEqual(run.file("z.dat").read_bytes(), payload(99, 4), "the entries after it came too")
            aside = list(run.file(STAGING).glob("replaced-*.old"))
            self.assertEqual([p.read_bytes() == old for p in aside], [True])
        # The next start, by the new launcher, removes the old one.
        with LauncherRun({"a.dat": payload(300)}, folder=folder) as again:
            again.start()
            self.assertEqual(again.wait_exit(30), 0)
            self.assertTrue(again.wait_quiet())
            self.assertEqual(len(again.player_starts()), 2)
            self.assertEqual(list(again.file(STAGING).glob("replaced-*")), [])


class LookAlikesAndOddNames(unittest.TestCase):
    def test_a_plain_kavuno_window_and_names_that_need_escaping(self):
        # 運 is 0xDF 0x5C in GBK: its second byte is the backslash.
        names = ["a#b.dat", "100%.dat", "two words.dat", "運動.dat", "sub/運 #%.dat", "plain.dat"]
        files = {name: payload(50 + i, i) for i, name in enumerate(names)}
        with k.dummy_window("Kavuno"), LauncherRun(files, local={"sub/keep": b""}) as run:
            run.start()
            self.assertEqual(run.wait_exit(30), 0, "an Explorer-like window titled Kavuno did not stop it")
            self.assertTrue(run.wait_quiet())
            self.assertEqual(len(run.player_starts()), 1)
            for name, data in files.items():
                self.assertEqual(run.file(name).read_bytes(), data, name)
            requests = run.service.requests("/movie/file/")
            self.assertEqual([r.raw_path for r in requests],
                             [b"/movie/file/" + name.encode("gbk") for name in names])
            for r in requests:  # sent as plain ASCII, nothing for WinINet or the server to misread
                self.assertTrue(r.path.isascii() and not set(r.path) & set(" #\\"), r.path)
            self.assertIn("%DF%5C", requests[3].path)
            self.assertEqual(run.installed_files(), [name.replace("/", "\\") for name in names])


if __name__ == "__main__":
    unittest.main(verbosity=2)
