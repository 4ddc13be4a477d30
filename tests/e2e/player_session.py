"""One run of the real kavuno.exe for the end-to-end tests.

A PlayerSession copies kavuno.exe into a temporary folder with the catalogue
files a test gives it, opens a stand-in launcher window ("KavunoUp"), starts
the player and drives it as a user would: xdotool clicks and keys on its
window, and kavuno_player_probe.exe (tools/testing/player_probe.cpp) to read
what only Windows can see (list rows with their item data, tree items,
control rectangles, the focus).

Each run (one Python process) has presence ports of its own, free ones picked
when this module is imported: the players send from LOCAL_PORT to
PRESENCE_PORT, handed to every Windows program in KAVUNO_PRESENCE_LOCAL_PORT
and KAVUNO_PRESENCE_PORT. So runs of several suites and build trees go side
by side.
"""
from __future__ import annotations

import os
import random
import socket
import subprocess
from pathlib import Path
from typing import Iterable, Optional

import kavuno_e2e as e2e
from control_ids import Player
from player_catalogue import Record, movie_dat, placeholder, root_dat



def _udp_port_free(port: int) -> bool:
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        try:
            s.bind(("0.0.0.0", port))
            return True
        except OSError:
            return False


def _pick_port(variable: str, taken: int = 0) -> int:
    """The port the environment names, else a free one below the range the
    system hands out for unbound sockets (so that none of those takes it)."""
    if os.environ.get(variable, "").strip().isdigit():
        return int(os.environ[variable])
    while True:
        port = random.randrange(20000, 32000)
        if port != taken and _udp_port_free(port):
            os.environ[variable] = str(port)
            return port


PRESENCE_PORT = _pick_port("KAVUNO_PRESENCE_PORT")
LOCAL_PORT = _pick_port("KAVUNO_PRESENCE_LOCAL_PORT", PRESENCE_PORT)
MAIN_TITLE = "Kavuno"
LAUNCHER_TITLE = "KavunoUp"
PROGRAM_TITLE = "kavuno"  # caption of the player's message boxes

# Control ids of the main window.
CLOSE, MINIMIZE, SEARCH, TREE, LIST, TOPMOST, SEARCH_TEXT, SEARCH_TYPE, HELP = (
    Player.IDC_CLOSE, Player.IDC_MINIMIZE, Player.IDC_SEARCH, Player.IDC_CATEGORY_TREE, Player.IDC_MOVIE_LIST,
    Player.IDC_TOPMOST, Player.IDC_SEARCH_TEXT, Player.IDC_SEARCH_TYPE, Player.IDC_HELP_LABEL)


def player_probe(*args: str, timeout: float = 60.0, check: bool = True) -> str:
    result = e2e.run_probe("kavuno_player_probe.exe", *args, timeout=timeout)
    if check and result.returncode != 0:
        # What was there instead, for the failure's message.
        windows = e2e.run_probe("kavuno_player_probe.exe", "windows", "-", timeout=timeout).stdout
        raise RuntimeError(f"kavuno_player_probe {' '.join(args)} failed ({result.returncode}): {result.stderr}"
                           f"top-level windows (process, class, visible, title):\n{windows}")
    return result.stdout


def _lines(text: str) -> list[str]:
    return [line for line in text.replace("\r\n", "\n").split("\n") if line]


def start_presence_service(test) -> "e2e.DemoService":
    """Listens on the presence port until `test` is cleaned up; the service
    records the player's datagrams."""
    service = e2e.DemoService(udp_port=PRESENCE_PORT).start()
    test.addCleanup(service.stop)
    return service


class PlayerSession:
    def __init__(self, records: Optional[Iterable[Record]] = None,
                 root_lines: Optional[Iterable[str]] = None,
                 movie_bytes: Optional[bytes] = None, env: Optional[dict] = None,
                 folder_prefix: str = "kavuno-player-"):
        self.folder = e2e.ProgramFolder(prefix=folder_prefix)
        self.exe = self.folder.add_program("kavuno.exe")
        if movie_bytes is None and records is not None:
            movie_bytes = movie_dat(records)
        if movie_bytes is not None:
            self.folder.write("movie.dat", movie_bytes)
        if root_lines is not None:
            self.folder.write("root.dat", root_dat(root_lines))
        self.env = {"KAVUNO_PRESENCE_SERVER": "127.0.0.1"}
        self.env.update(env or {})
        self.process: Optional[subprocess.Popen] = None
        self.launcher: Optional[subprocess.Popen] = None
        self.wid: Optional[int] = None

    # -- life cycle
    def open_launcher(self) -> None:
        """A stand-in launcher window, a dialog window captioned "KavunoUp" as
        the launcher's is, that ends on WM_CLOSE."""
        self.launcher = e2e.start(e2e.program("kavuno_probe.exe"), "dialog", LAUNCHER_TITLE)
        if not e2e.wait_until(lambda: e2e.find_windows(LAUNCHER_TITLE), timeout=20):
            alive = self.launcher.poll() is None
            raise RuntimeError(f"the stand-in launcher window did not appear (its program "
                               f"{'runs' if alive else 'ended with ' + str(self.launcher.returncode)}); "
                               f"top-level windows:\n{player_probe('windows', '-', check=False)}")

    def start(self, cwd: Optional[Path] = None) -> subprocess.Popen:
        """Starts kavuno.exe (from `cwd`, default its folder) without waiting."""
        self.process = e2e.start(self.exe, env=self.env, cwd=cwd or self.folder.path)
        return self.process

    def start_with_launcher(self) -> int:
        """Opens the launcher, starts the player and waits for its window."""
        self.open_launcher()
        self.start()
        self.wid = e2e.wait_for_window(MAIN_TITLE, timeout=30)
        return self.wid

    def wait_exit(self, timeout: float = 20.0) -> Optional[int]:
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def cleanup(self) -> None:
        for p in (self.process, self.launcher):
            if p is not None:
                e2e.stop(p)
        self.folder.cleanup()

    # -- what the window shows
    def rows(self, limit: int = 0) -> list[tuple[int, str, str]]:
        """(record index, title, kind) of every list row, top row first."""
        out = []
        for line in _lines(player_probe("rows", MAIN_TITLE, str(limit))):
            index, title, kind = line.split("\t")
            out.append((int(index), title, kind))
        return out

    def row_indices(self) -> list[int]:
        return [index for index, _, _ in self.rows()]

    def tree(self) -> list[tuple[int, bool, Optional[tuple[int, int, int, int]], str]]:
        """(depth, has children, screen rectangle or None, text) in tree order."""
        items = []
        for line in _lines(player_probe("tree", MAIN_TITLE)):
            depth, children, rect, text = line.split("\t")
            box = None if rect.startswith("-") else tuple(int(v) for v in rect.split())
            items.append((int(depth), children == "1", box, text))
        return items

    def controls(self) -> dict[int, dict]:
        """Controls by id (-1 ids numbered -1, -2, ... in order)."""
        found, unnamed = {}, 0
        for line in _lines(player_probe("controls", MAIN_TITLE)):
            cid, cls, rect, style, visible, *text = line.split("\t")
            cid = int(cid)
            if cid == -1:
                unnamed -= 1
                cid = unnamed
            found[cid] = {"class": cls, "rect": tuple(int(v) for v in rect.split()),
                          "style": int(style, 16), "visible": visible == "1",
                          "text": text[0] if text else ""}
        return found

    def window(self) -> tuple[tuple[int, int, int, int], int, int]:
        """((left, top, width, height), style, extended style) of the main window."""
        rect, style, exstyle = _lines(player_probe("window", MAIN_TITLE))[0].split("\t")
        return tuple(int(v) for v in rect.split()), int(style, 16), int(exstyle, 16)

    def combo(self) -> tuple[int, list[str]]:
        lines = _lines(player_probe("combo", MAIN_TITLE, str(SEARCH_TYPE)))
        return int(lines[0]), lines[1:]

    def focus(self) -> int:
        return int(_lines(player_probe("focus", MAIN_TITLE))[0])

    def set_search_text(self, text: str) -> None:
        player_probe("set-text", MAIN_TITLE, str(SEARCH_TEXT), text.encode("utf-8").hex() or "-")

    def exists(self) -> bool:
        return int(_lines(player_probe("count", MAIN_TITLE))[0]) > 0

    # -- acting as a user
    def control_centre(self, control_id: int) -> tuple[int, int]:
        (left, top, _, _), _, _ = self.window()
        x, y, w, h = self.controls()[control_id]["rect"]
        return left + x + w // 2, top + y + h // 2

    def sync(self) -> None:
        """Waits until the player has handled the input given so far."""
        player_probe("idle", MAIN_TITLE, check=False)

    def click_control(self, control_id: int) -> None:
        """Clicks the control's centre."""
        (left, top, _, _), _, _ = self.window()
        x, y, w, h = self.controls()[control_id]["rect"]
        e2e.click(left + x + w // 2, top + y + h // 2)
        self.sync()

    def click_tree_item(self, text: str, double: bool = False) -> None:
        for _, _, box, item_text in self.tree():
            if item_text == text and box:
                x, y = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
                e2e.mouse_move(x, y)
                subprocess.run(["xdotool", "click", "--repeat", "2" if double else "1", "--delay", "80", "1"],
                               check=False)
                self.sync()
                return
        raise AssertionError(f"tree item {text!r} is not in sight")

    def click_record(self, record: int, double: bool = False) -> None:
        """Clicks (or double-clicks) the list row of a record index."""
        row = self.row_indices().index(record)
        left, top, right, bottom = (int(v) for v in player_probe("row-rect", MAIN_TITLE, str(row)).split())
        e2e.mouse_move((left + right) // 2, (top + bottom) // 2)
        subprocess.run(["xdotool", "click", "--repeat", "2" if double else "1", "--delay", "80", "1"], check=False)
        self.sync()

    def text(self, control_id: int) -> str:
        """A control's text (0: the window's)."""
        return player_probe("text", MAIN_TITLE, str(control_id)).strip()

    def press(self, *keysyms: str) -> None:
        """Presses keys on the focused window through the X server's input
        path, each handled before the next (a key may move the focus)."""
        for keysym in keysyms:
            subprocess.run(["xdotool", "key", keysym], check=False)
            self.sync()

    @staticmethod
    def answer_message_box() -> None:
        """Presses Enter in the message box, which has the keyboard focus."""
        subprocess.run(["xdotool", "key", "Return"], check=False)

    def search(self, text: str, by_enter: bool = True) -> None:
        self.set_search_text(text)
        if by_enter:
            self.click_control(SEARCH_TEXT)
            self.press("Return")
        else:
            self.click_control(SEARCH)


def standard_records() -> list[Record]:
    """A small catalogue: five films in two kinds, a series with episodes, and
    texts made for the search's edge cases."""
    return [
        Record(title="占位电影", kind="动作片", actor="占位演员"),     # 0: never shown
        Record(title="龙虾侦探社", kind="动作片", actor="石铁山"),      # 1
        Record(title="Police Teapot", kind="动作片", actor="白小鹤"),  # 2
        Record(title="喜剧团的冬天", kind="喜剧片", actor="贺小舟 苏豆豆"),  # 3
        Record(title="大闹柳溪", kind="喜剧片", actor="贺小舟"),        # 4
        Record(title="夜行镖师", kind="动作片", actor="白小鹤"),        # 5
        Record(title="柳溪记", kind="大陆剧", actor="陶小满", playable=0),   # 6: series
        Record(title="柳溪记 第1集", kind="大陆剧", parent="柳溪记", actor="陶小满"),  # 7
        Record(title="柳溪记 第2集", kind="大陆剧", parent="柳溪记", actor="陶小满"),  # 8
        Record(title="police aquarium", kind="喜剧片", actor="Steve"),  # 9
        Record(title=" 空格开头", kind="动作片 ", actor="某人"),        # 10: kind with a trailing space
    ]


# 喜剧片 has a child, so clicking it lists nothing; 港台剧 has no records.
STANDARD_ROOT = ["电影", ">动作片", ">喜剧片", ">>经典喜剧", "电视剧", ">大陆剧", ">港台剧"]
