"""The catalogue in the player's window: the category tree from root.dat, the
movie list's fills, the search, and damaged or missing catalogue files."""
from __future__ import annotations

import shutil
import unittest

import kavuno_e2e as e2e
from player_catalogue import RECENT, WATCHED, Record, movie_dat, placeholder
from player_session import (CLOSE, LIST, PROGRAM_TITLE, SEARCH_TEXT, STANDARD_ROOT, TREE, PlayerSession, player_probe,
                            standard_records)

STANDARD_RECENT = [10, 9, 6, 5, 4, 3, 2, 1]


class CatalogueCase(unittest.TestCase):
    def open(self, **kwargs) -> PlayerSession:
        kwargs.setdefault("root_lines", STANDARD_ROOT)
        player = PlayerSession(**kwargs)
        self.addCleanup(player.cleanup)
        player.start_with_launcher()
        return player

    def close(self, player: PlayerSession) -> None:
        player.click_control(CLOSE)
        self.assertEqual(player.wait_exit(), 0)


class TreeAndListTest(CatalogueCase):
    def test_list_shows_the_recent_top_level_entries_at_start(self):
        player = self.open(records=standard_records())
        rows = player.rows()
        self.assertEqual([r[0] for r in rows], STANDARD_RECENT, "newest first, no episodes, never record 0")
        self.assertEqual(rows[0], (10, " 空格开头", "动作片 "))
        self.assertEqual(rows[2], (6, "柳溪记", "大陆剧"), "a series is listed")

    def test_recent_stops_at_23_rows_from_the_end_of_the_file(self):
        records = [placeholder()] + [Record(title=f"片{i}", kind="动作片") for i in range(1, 31)]
        records.insert(20, Record(title="某剧 第1集", kind="大陆剧", parent="某剧"))
        player = self.open(records=records)
        self.assertEqual(player.row_indices(), list(range(31, 20, -1)) + list(range(19, 7, -1)))

    def test_tree_follows_root_dat_with_the_fixed_first_node(self):
        player = self.open(records=standard_records())
        self.assertEqual([(d, c, t) for d, c, _, t in player.tree()], [
            (0, False, RECENT), (0, True, "电影"), (1, False, "动作片"), (1, True, "喜剧片"),
            (2, False, "经典喜剧"), (0, True, "电视剧"), (1, False, "大陆剧"), (1, False, "港台剧"),
            (0, False, WATCHED)])

    def test_clicking_leaves_lists_their_records_and_parents_change_nothing(self):
        player = self.open(records=standard_records())
        player.click_tree_item("电影", double=True)   # a parent: the double-click expands it
        self.assertEqual(player.row_indices(), STANDARD_RECENT)
        player.click_tree_item("动作片")
        self.assertEqual(player.rows(), [(5, "夜行镖师", "动作片"), (2, "Police Teapot", "动作片"),
                                         (1, "龙虾侦探社", "动作片")], "reverse file order; kind compared exactly")
        player.click_tree_item("喜剧片")
        self.assertEqual(player.row_indices(), [5, 2, 1], "a node with children changes nothing")
        player.click_tree_item("电视剧", double=True)
        player.click_tree_item("大陆剧")
        self.assertEqual(player.row_indices(), [6], "the series, without its episodes")
        player.click_tree_item("港台剧")
        self.assertEqual(player.row_indices(), [], "a kind without records leaves the list empty")
        player.click_tree_item(RECENT)
        self.assertEqual(player.row_indices(), STANDARD_RECENT)

    def test_keyboard_selection_in_the_tree_changes_nothing(self):
        player = self.open(records=standard_records())
        player.click_tree_item("电影", double=True)
        player.click_tree_item("动作片")
        self.assertEqual(player.row_indices(), [5, 2, 1])
        player.press("Up", "Up", "Down", "Down", "Down")
        self.assertEqual(player.row_indices(), [5, 2, 1])
        # Nor do the player's keys there: - and + fold and unfold, the rest is the tree's.
        player.press("Left", "minus", "plus", "space", "Right", "m")
        self.assertEqual(player.row_indices(), [5, 2, 1])

    def test_sub_category_before_any_top_level_line_goes_under_recent(self):
        records = standard_records()
        player = self.open(records=records, root_lines=[">动作片", "电影", ">喜剧片"])
        self.assertEqual([(d, c, t) for d, c, _, t in player.tree()],
                         [(0, True, RECENT), (1, False, "动作片"), (0, True, "电影"), (1, False, "喜剧片"),
                          (0, False, WATCHED)])
        player.search("柳溪")
        player.click_tree_item(RECENT)
        self.assertEqual(player.row_indices(), [8, 7, 6, 4], "a node with children changes nothing")
        player.click_tree_item(RECENT, double=True)
        player.click_tree_item("动作片")
        self.assertEqual(player.row_indices(), [5, 2, 1])

    def test_program_folder_with_a_name_outside_gbk(self):
        # The data files are found by the program folder's wide path.
        player = self.open(records=standard_records(), folder_prefix="kavuno-播放器-한국-")
        self.assertEqual(player.row_indices(), STANDARD_RECENT)
        self.assertEqual(len(player.tree()), 9)

    def test_clicking_a_column_heading_does_not_sort(self):
        player = self.open(records=standard_records())
        (left, top, _, _), _, _ = player.window()
        x, y, _, _ = player.controls()[LIST]["rect"]
        e2e.click(left + x + 40, top + y + 8)   # heading of column 0
        player.sync()
        e2e.click(left + x + 190, top + y + 8)  # heading of column 1
        player.sync()
        self.assertEqual(player.row_indices(), STANDARD_RECENT)


class SearchTest(CatalogueCase):
    def test_title_search_edge_cases(self):
        player = self.open(records=standard_records())
        cases = [
            ("柳溪", [8, 7, 6, 4], "reverse file order, episodes included"),
            ("第1集", [7], "an episode's title"),
            ("police", [9], "lower case does not find upper case"),
            ("Police", [2], "upper case does not find lower case"),
            (" 空格", [10], "a leading space matches only where the field has it"),
            ("柳溪记 ", [8, 7], "a trailing space matches only where the field has it"),
            ("簿", [], "no match starting on the second byte of 喜 (B2 BE)"),
            ("占位", [], "record 0 is never a result"),
            ("没有这部电影", [], "no match empties the list"),
        ]
        for text, expected, why in cases:
            player.search(text)
            self.assertEqual(player.row_indices(), expected, f"{text!r}: {why}")

    def test_a_character_gbk_cannot_hold_matches_nothing(self):
        # Not even the titles with a '?', which such a character would become.
        player = self.open(records=standard_records() + [Record(title="谁是凶手?", kind="动作片")])
        player.search("凶手")
        self.assertEqual(player.row_indices(), [11])
        for text in ("ä", "凶手ä", "\U0001F600"):
            player.search(text)
            self.assertEqual(player.row_indices(), [], repr(text))

    def test_empty_search_text_keeps_the_list(self):
        player = self.open(records=standard_records())
        player.search("柳溪")
        player.search("")
        self.assertEqual(player.row_indices(), [8, 7, 6, 4])

    def test_actor_search(self):
        player = self.open(records=standard_records())
        player.set_search_text("贺小舟")
        player.click_control(SEARCH_TEXT)
        player.press("Tab", "Down", "Return")  # search type "演员", then Enter
        self.assertEqual(player.row_indices(), [4, 3])
        player.search("喜剧团的冬天")
        self.assertEqual(player.row_indices(), [], "a title is not looked for among the actors")
        player.search("占位")
        self.assertEqual(player.row_indices(), [], "record 0's actor is never searched")

    def test_list_rows_carry_record_indices_for_repeated_records(self):
        # An object reference in movie.dat appends the same record again: it is
        # found at both indices.
        data = bytearray(movie_dat([placeholder(), Record(title="重映", kind="动作片")]))
        data[0:4] = (3).to_bytes(4, "little")
        data += (3).to_bytes(2, "little")  # object 3: record 1 (the class is 1, record 0 is 2)
        player = self.open(movie_bytes=bytes(data))
        player.search("重映")
        self.assertEqual(player.rows(), [(2, "重映", "动作片"), (1, "重映", "动作片")])


class DamagedCatalogueTest(CatalogueCase):
    def message(self) -> str:
        e2e.wait_for_window(PROGRAM_TITLE)
        return player_probe("message", PROGRAM_TITLE).strip()

    def dismiss(self) -> None:
        PlayerSession.answer_message_box()
        self.assertTrue(e2e.wait_for_no_window(PROGRAM_TITLE))

    def test_truncated_file_keeps_the_records_read_and_says_so(self):
        whole = movie_dat(standard_records())
        cut = movie_dat(standard_records()[:6])
        player = self.open(movie_bytes=whole[:len(cut) + 7])
        self.assertEqual(self.message(), "节目单文件 movie.dat 已损坏，只读出了其中的 5 个节目。\n"
                                         "请关闭本程序，重新运行 KavunoUp 更新节目单。")
        self.dismiss()
        self.assertEqual(player.row_indices(), [5, 4, 3, 2, 1])
        player.search("夜行镖师")
        self.assertEqual(player.row_indices(), [5])
        self.close(player)

    def test_missing_file_gives_an_empty_list_a_tree_and_a_message(self):
        player = self.open()
        self.assertEqual(self.message(), "无法读取节目单文件 movie.dat，节目列表是空的。\n"
                                         "请关闭本程序，重新运行 KavunoUp 更新节目单。")
        self.dismiss()
        self.assertEqual(player.rows(), [])
        self.assertEqual(len(player.tree()), 9)
        player.search("柳溪")
        self.assertEqual(player.rows(), [])
        self.close(player)

    def test_bad_class_name_reads_nothing_and_the_window_still_closes(self):
        data = bytearray(movie_dat(standard_records()))
        data[10:13] = b"CMX"
        player = self.open(movie_bytes=bytes(data))
        self.assertIn("只读出了其中的 0 个节目", self.message())
        self.dismiss()
        self.assertEqual(player.rows(), [])
        self.close(player)

    def test_oversized_root_dat_is_cut_to_its_first_lines_and_a_crash_is_named(self):
        # The last run crashed and left its note; root.dat's fourth line runs past 1 MiB.
        folder = e2e.log_folder()
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        dump = folder / "kavuno-20240501-120000-42.dmp"
        dump.write_bytes(b"MDMP")
        dump_path = "C:\\users\\" + folder.parts[-4] + "\\AppData\\Local\\Kavuno\\" + dump.name
        (folder / "kavuno.crash").write_bytes(dump_path.encode("utf-16-le"))
        player = PlayerSession(records=standard_records())
        self.addCleanup(player.cleanup)
        player.folder.write("root.dat", "甲类\r\n>甲一\r\n乙类\r\n>".encode("gbk") + b" " * (1 << 20) + b"\r\n")
        player.start_with_launcher()
        message = self.message()
        self.assertIn("分类文件 root.dat 太长（超过 1 MB 或 10000 行），只显示了其中的前 3 个分类。", message)
        self.assertIn("上次运行时意外退出，诊断文件保存在：\n" + dump_path, message)
        self.dismiss()
        self.assertEqual([text for *_, text in player.tree()], [RECENT, "甲类", "甲一", "乙类", WATCHED])
        self.assertEqual(player.row_indices(), STANDARD_RECENT)
        self.assertFalse((folder / "kavuno.crash").exists(), "the crash is named once")
        self.assertIn("catalogue: root.dat: larger than 1 MiB or longer than 10000 lines, cut to its first 3 lines",
                      (folder / "kavuno.log").read_text(encoding="utf-8"))
        self.close(player)

    def test_intact_file_shows_no_message(self):
        player = self.open(records=standard_records())
        player.sync()  # a message would be up by the time the window waits for input
        self.assertFalse(e2e.find_windows(PROGRAM_TITLE))
        self.close(player)


if __name__ == "__main__":
    unittest.main()
