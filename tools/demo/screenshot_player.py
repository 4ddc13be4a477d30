"""Drives the player with the demo catalogue into a telling state and takes
the screenshot (see screenshot-player.sh).

    screenshot_player.py DEMO_DIR OUTPUT.png
"""
from __future__ import annotations

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
import kavuno_e2e as e2e  # noqa: E402
from player_session import MAIN_TITLE, PlayerSession, presence_ports  # noqa: E402

SEARCH = "之"
EXPANDED = ("电影", "电视剧", "大陆剧")


def main() -> int:
    demo, out = Path(sys.argv[1]), Path(sys.argv[2])
    with presence_ports():
        player = PlayerSession(movie_bytes=(demo / "movie.dat").read_bytes(),
                               root_lines=(demo / "root.dat").read_bytes().decode("gbk").splitlines())
        try:
            player.start_with_launcher()
            for node in EXPANDED:
                player.click_tree_item(node, double=True)
            player.search(SEARCH)
            rows = player.rows()
            if not rows:
                raise RuntimeError(f"the search for {SEARCH!r} found nothing")
            # The first result selected, as after a click on it.
            left, top, right, bottom = (int(v) for v in subprocess.run(
                e2e.wine_command() + [str(e2e.program("kavuno_player_probe.exe")), "row-rect", MAIN_TITLE, "0"],
                capture_output=True, text=True, check=True).stdout.split())
            e2e.click((left + right) // 2, (top + bottom) // 2)
            e2e.mouse_move(5, 5)
            time.sleep(1)
            e2e.screenshot(out)
            e2e.screenshot(out.with_name(out.stem + "-window" + out.suffix), e2e.wait_for_window(MAIN_TITLE))
            print(f"{len(rows)} results for {SEARCH!r}: " + ", ".join(title for _, title, _ in rows))
        finally:
            player.cleanup()
    return 0


if __name__ == "__main__":
    sys.exit(main())
