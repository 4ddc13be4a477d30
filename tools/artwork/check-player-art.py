#!/usr/bin/env python3
"""Checks the player's bitmaps against the main window's layout.

    check-player-art.py [RESOURCE_DIR]

Every bitmap: 24-bit BMP without colour table, at its size, with no pure
yellow RGB(255,255,0), the window's key colour, except where the skins cut the
window's outline. The skins: key colour exactly at the rounded corners (and
the left part of the play-mode skin); the exact colours under the controls
that paint their own background; the play-mode skin equal to the full one
from column 380 on; nothing drawn under the caption. The button faces: their
visible margins equal the skin under them, so they blend in.
Exits 1 and lists the faults if any check fails.
"""
import os
import struct
import sys

KEY = (255, 255, 0)
DARK = (0, 51, 102)
LIGHT = (102, 153, 204)

SIZES = {
    "skin_full": (760, 396), "skin_play": (760, 396),
    "close": (23, 23), "close_hover": (23, 23), "close_pressed": (23, 23),
    "maximize": (23, 23),
    "minimize": (23, 23), "minimize_hover": (23, 23), "minimize_pressed": (23, 23),
    "search": (22, 18), "search_pressed": (22, 18),
    "topmost": (25, 24), "topmost_hover": (25, 24), "topmost_pressed": (25, 24),
    "slider_track": (156, 16), "slider_thumb": (9, 4),
    "mode_full": (10, 17), "mode_play": (10, 17),
    "volume": (62, 20), "volume_muted": (62, 20), "volume_level": (62, 20),
}
for name in ("play", "pause", "stop", "full_screen"):
    for suffix in ("", "_hover", "_pressed"):
        SIZES[name + suffix] = (32, 30)

# Key-coloured runs per row, [start, end), of the two skins.
FULL_KEY_ROWS = {0: [(0, 5), (754, 760)], 1: [(0, 2), (757, 760)], 2: [(0, 1), (758, 760)],
                 3: [(759, 760)], 4: [(759, 760)]}
PLAY_KEY_ROWS = {0: [(0, 380), (754, 760)], 1: [(0, 377), (757, 760)], 2: [(0, 376), (758, 760)],
                 3: [(0, 375), (759, 760)], 4: [(0, 375), (759, 760)]}

# Controls that paint their own background (x, y, width, height) in a colour
# the skin must match, and whether they stay visible in play mode.
OWN_BACKGROUND = [
    ("search label", (24, 38, 36, 15), DARK, False),
    ("search edit", (62, 35, 86, 18), DARK, False),
    ("search button margin", (150, 35, 23, 20), DARK, False),
    ("search type label", (177, 38, 60, 12), DARK, False),
    ("search type combo", (239, 35, 75, 22), DARK, False),
    ("help label", (698, 39, 32, 12), DARK, True),
    ("status line", (392, 329, 246, 12), LIGHT, True),
    ("time display", (644, 329, 107, 12), LIGHT, True),
]

# Where each face sits in the skin (x, y) and the part of it that shows.
TITLE = {"close": (728, 3), "maximize": (704, 3), "minimize": (680, 3), "topmost": (653, 2)}
PLAYBACK = {"play": (398, 350), "pause": (398, 350), "stop": (435, 350), "full_screen": (716, 350)}


def read_bmp(path):
    """Pixels of a bottom-up 24-bit BI_RGB bitmap as rows of (r, g, b)."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError("not a BMP")
    offset, = struct.unpack_from("<I", data, 10)
    header, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    colours_used, = struct.unpack_from("<I", data, 46)
    if header != 40 or bpp != 24 or compression != 0 or colours_used != 0 or height <= 0:
        raise ValueError(f"header {header}, {bpp} bpp, compression {compression}, "
                         f"{colours_used} colours, height {height}")
    if offset != 54:
        raise ValueError(f"pixel data at {offset}, not right after the header")
    stride = (width * 3 + 3) & ~3
    if len(data) < offset + stride * height:
        raise ValueError("truncated")
    rows = []
    for y in range(height):
        base = offset + (height - 1 - y) * stride
        row = data[base:base + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    return width, height, rows


def key_runs(row):
    runs, x = [], 0
    while x < len(row):
        if row[x] == KEY:
            start = x
            while x < len(row) and row[x] == KEY:
                x += 1
            runs.append((start, x))
        else:
            x += 1
    return runs


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "player")
    faults = []
    images = {}
    for name, size in SIZES.items():
        path = os.path.join(folder, name + ".bmp")
        try:
            w, h, rows = read_bmp(path)
        except (OSError, ValueError) as e:
            faults.append(f"{name}.bmp: {e}")
            continue
        if (w, h) != size:
            faults.append(f"{name}.bmp is {w} x {h}, not {size[0]} x {size[1]}")
            continue
        images[name] = rows
        if not name.startswith("skin_"):
            yellow = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row) if p == KEY]
            if yellow:
                faults.append(f"{name}.bmp has key colour at {yellow[:5]}")

    full, play = images.get("skin_full"), images.get("skin_play")
    for name, skin, expected in (("skin_full", full, FULL_KEY_ROWS), ("skin_play", play, PLAY_KEY_ROWS)):
        if skin is None:
            continue
        for y, row in enumerate(skin):
            want = expected.get(y, [(0, 375)] if name == "skin_play" else [])
            if key_runs(row) != want:
                faults.append(f"{name} row {y}: key colour at {key_runs(row)}, want {want}")
        for label, (x0, y0, w, h), colour, in_play in OWN_BACKGROUND:
            if name == "skin_play" and not in_play:
                continue
            wrong = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w) if skin[y][x] != colour]
            if wrong:
                faults.append(f"{name}: {len(wrong)} pixels under the {label} are not {colour}, "
                              f"first {wrong[0]} {skin[wrong[0][1]][wrong[0][0]]}")
        # The caption is drawn on the bare title band: each row one colour.
        x0 = 10 if name == "skin_full" else 385
        for y in range(1, 28):
            if len(set(skin[y][x0 - 5:650])) != 1:
                faults.append(f"{name} row {y} is not plain under the caption")
                break
    if full and play:
        differ = [(x, y) for y in range(396) for x in range(380, 760) if full[y][x] != play[y][x]]
        if differ:
            faults.append(f"skin_play differs from skin_full right of column 379 at {len(differ)} pixels, "
                          f"first {differ[0]}")
        # Its left edge is the full skin's left edge moved to column 375.
        for y in range(396):
            if play[y][375:378] != full[y][0:3]:
                faults.append(f"skin_play's left frame at row {y} differs from the full skin's")
                break

    def margins_match(face, x0, y0, points):
        rows = images.get(face)
        if rows is None or full is None:
            return
        bad = [(x, y) for x, y in points if rows[y][x] != full[y0 + y][x0 + x]]
        if bad:
            faults.append(f"{face}.bmp differs from the skin under it at {bad}")

    for base, (x, y) in TITLE.items():
        faces = [base] if base == "maximize" else [base, base + "_hover", base + "_pressed"]
        for face in faces:
            margins_match(face, x, y, [(0, 0), (22, 0), (0, 22), (22, 22)])
    for base, (x, y) in PLAYBACK.items():
        for face in (base, base + "_hover", base + "_pressed"):
            margins_match(face, x, y, [(0, 0), (29, 0), (0, 28), (29, 28), (31, 29)])
    for face in ("search", "search_pressed"):
        margins_match(face, 150, 35, [(0, 0), (21, 0), (0, 17), (21, 17)])
    margins_match("slider_track", 485, 356, [(0, 0), (155, 0), (0, 15), (155, 15)])
    for face in ("mode_full", "mode_play"):
        margins_match(face, 378, 194, [(x, y) for y in (0, 16) for x in range(10)])
        rows = images.get(face)
        if rows and rows[0][1] != LIGHT:
            faults.append(f"{face}.bmp does not sit on {LIGHT}")

    for fault in faults:
        print("check-player-art:", fault, file=sys.stderr)
    if faults:
        return 1
    print(f"check-player-art: {len(images)} bitmaps match the layout")
    return 0


if __name__ == "__main__":
    sys.exit(main())
