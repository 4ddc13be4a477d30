"""Drives the player with the demo catalogue into telling states and takes
the screenshots (see screenshot-player.sh): the catalogue with a search
result, a test clip playing, and play mode. Each is cropped to the window
(play mode: to its visible part); OUTPUT.png also keeps the whole screen of
the first view.

    screenshot_player.py DEMO_DIR OUTPUT.png
"""
from __future__ import annotations

import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
import kavuno_e2e as e2e  # noqa: E402
from control_ids import Player  # noqa: E402
from player_session import MAIN_TITLE, PlayerSession, player_probe  # noqa: E402

SEARCH = "之"
EXPANDED = ("电影", "电视剧", "大陆剧")
CLIPS_CATEGORY, CLIP_TITLE = "纪录片", "彩条测试片 甲"
MODE, STATUS, TIME = Player.IDC_MODE, Player.IDC_STATUS_LINE, Player.IDC_PLAY_TIME
PLAY_MODE_LEFT = 375  # the first column of the window that play mode keeps


def crop_window(out: Path, skip_left: int = 0) -> None:
    """A screenshot of the player's window alone (from column `skip_left`)."""
    left, top, right, bottom = e2e.window_rect(MAIN_TITLE)
    screen = out.with_name(out.stem + "-screen.png")
    e2e.screenshot(screen)
    subprocess.run(["convert", str(screen), "-crop",
                    f"{right - left - skip_left}x{bottom - top}+{left + skip_left}+{top}", "+repage", str(out)],
                   check=True)
    screen.unlink()


def main() -> int:
    demo, out = Path(sys.argv[1]), Path(sys.argv[2])
    e2e.register_stand_in_controls()
    player = PlayerSession(movie_bytes=(demo / "movie.dat").read_bytes(),
                           root_lines=(demo / "root.dat").read_bytes().decode("gbk").splitlines(),
                           env=e2e.stand_in_environment(demo / "media"))
    try:
        player.start_with_launcher()
        for node in EXPANDED:
            player.click_tree_item(node, double=True)
        player.search(SEARCH)
        rows = player.rows()
        if not rows:
            raise RuntimeError(f"the search for {SEARCH!r} found nothing")
        player.click_record(rows[0][0])  # the first result selected
        e2e.mouse_move(5, 5)
        player.sync()
        e2e.screenshot(out)
        crop_window(out.with_name(out.stem + "-window" + out.suffix))
        print(f"{len(rows)} results for {SEARCH!r}: " + ", ".join(title for _, title, _ in rows))

        player.click_tree_item(CLIPS_CATEGORY)
        clip = next(index for index, title, _ in player.rows() if title == CLIP_TITLE)
        player.click_record(clip, double=True)
        if not e2e.wait_until(lambda: player.text(STATUS) == f"正在播放：[{CLIP_TITLE}]", timeout=20):
            raise RuntimeError(f"the clip did not start: {player.text(STATUS)!r}")
        e2e.wait_until(lambda: not player.text(TIME).startswith("00:00:00/"), timeout=5)
        e2e.mouse_move(5, 5)
        crop_window(out.with_name(out.stem + "-playing" + out.suffix))
        print(f"playing {CLIP_TITLE}: {player.text(TIME)}")

        player.click_control(MODE)
        e2e.wait_until(lambda: player_probe("region", MAIN_TITLE).split()[:1] != ["0"], timeout=5)
        e2e.mouse_move(5, 5)
        player.sync()
        crop_window(out.with_name(out.stem + "-play-mode" + out.suffix), PLAY_MODE_LEFT)
    finally:
        player.cleanup()
    return 0


if __name__ == "__main__":
    sys.exit(main())
