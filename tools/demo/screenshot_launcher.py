"""Runs KavunoUp against a slow update and takes its picture once the progress
bar is about half full (see screenshot-launcher.sh)."""
import os
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))

import kavuno_e2e as k  # noqa: E402
from launcher_fixture import CAPTION, PROGRESS_ID, LauncherRun  # noqa: E402

SIZE = 400_000


def main(out: str) -> int:
    with LauncherRun({"movie.dat": os.urandom(SIZE)}) as run:
        run.service.set_file_fault("movie.dat", rate=40_000)  # ten seconds
        run.start()
        k.wait_for_window(CAPTION)
        half = k.wait_until(lambda: (k.progress_state(CAPTION, PROGRESS_ID) or (0, 0, 1))[0] >= SIZE // 2,
                            timeout=60)
        if not half:
            print("the download did not get half way", file=sys.stderr)
            return 1
        time.sleep(0.2)  # the band moves on a frame
        left, top, right, bottom = k.window_rect(CAPTION)
        screen = out.replace(".png", "-screen.png")
        k.screenshot(screen)
        subprocess.run(["convert", screen, "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", out],
                       check=True)
        print(f"position {k.progress_state(CAPTION, PROGRESS_ID)}; window {right - left}x{bottom - top} "
              f"at ({left}, {top})")
        print(f"wrote {out} and {screen}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
