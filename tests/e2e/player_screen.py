"""The player's window read back from the screen and compared with the
program's own bitmaps (resources/player/*.bmp)."""
from __future__ import annotations

import functools

import kavuno_e2e as e2e

ART = e2e.REPO / "resources" / "player"

Pixels = list[list[tuple[int, int, int]]]


@functools.lru_cache(maxsize=None)
def art(name: str) -> Pixels:
    """The pixels of the player's bitmap `name` (e.g. "close_hover")."""
    return e2e.image_pixels(ART / f"{name}.bmp")


def crop(rows: Pixels, x: int, y: int, width: int, height: int) -> Pixels:
    return [row[x:x + width] for row in rows[y:y + height]]


def shows_image(left: int, top: int, rect: tuple[int, int, int, int], image: str) -> bool:
    """Whether the control at `rect` (window coordinates of the window at
    left, top) shows the bitmap, clipped at the control's right and bottom."""
    x, y, w, h = rect
    picture = art(image)
    w, h = min(w, len(picture[0])), min(h, len(picture))
    return e2e.screen_pixels(left + x, top + y, w, h) == crop(picture, 0, 0, w, h)
