"""Hand-made catalogues for the player's end-to-end tests.

Writes movie.dat the way the service's catalogue writer does (count, the
new-class header "CMF" for the first record and 0x8001 for each later one,
length-prefixed texts stored 12 lower per byte, 32-bit integers), written here
independently of the player's reader so that the tests check it, and root.dat
as GBK lines.
"""
from __future__ import annotations

import struct
from dataclasses import dataclass
from typing import Iterable

RECENT = "最近更新"
WATCHED = "最近观看"  # the tree's last node: what the user watched


@dataclass
class Record:
    title: str = ""
    kind: str = ""
    actor: str = ""
    parent: str = ""
    file: str = ""
    server: str = ""
    path: str = ""
    id: str = ""
    playable: int = 1
    detail: int = 0
    player: int = 0
    video: int = 0


def _gbk(text: str | bytes) -> bytes:
    return text if isinstance(text, bytes) else text.encode("gbk")


def _text(value: str | bytes) -> bytes:
    data = bytes((b - 12) % 256 for b in _gbk(value))
    n = len(data)
    if n < 255:
        prefix = struct.pack("<B", n)
    elif n < 0xFFFE:
        prefix = struct.pack("<BH", 0xFF, n)
    else:
        prefix = struct.pack("<BHI", 0xFF, 0xFFFF, n)
    return prefix + data


def _body(r: Record) -> bytes:
    return b"".join([
        _text(r.title), _text(r.file), _text(r.actor), _text(r.parent),
        struct.pack("<i", r.playable), struct.pack("<i", r.detail),
        _text(r.path), _text(r.server), _text(r.kind),
        struct.pack("<i", r.player), struct.pack("<i", r.video),
        _text(r.id),
    ])


def movie_dat(records: Iterable[Record]) -> bytes:
    """movie.dat holding `records` in order; the first is record 0."""
    records = list(records)
    out = [struct.pack("<i", len(records))]
    for i, r in enumerate(records):
        out.append(struct.pack("<HHH", 0xFFFF, 0, 3) + b"CMF" if i == 0 else struct.pack("<H", 0x8001))
        out.append(_body(r))
    return b"".join(out)


def root_dat(lines: Iterable[str], newline: str = "\r\n") -> bytes:
    return b"".join(_gbk(line) + newline.encode() for line in lines)


def placeholder() -> Record:
    """Record 0, which the player never shows."""
    return Record(title="占位记录", kind="电影")
