#!/usr/bin/env python3
"""Writes the seed corpus of the catalogue fuzzer into corpus/: small
movie.dat files covering each header rule, length prefix and text form, a few
damaged ones, and a root.dat. Run it again after changing the seeds."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u8(v): return struct.pack("<B", v)
def u16(v): return struct.pack("<H", v)
def u32(v): return struct.pack("<I", v)
def i32(v): return struct.pack("<i", v)


def scramble(plain: bytes) -> bytes:
    return bytes((b - 12) % 256 for b in plain)


def text(stored: bytes) -> bytes:
    n = len(stored)
    if n < 255:
        return u8(n) + stored
    if n < 0xFFFE:
        return u8(0xFF) + u16(n) + stored
    return u8(0xFF) + u16(0xFFFF) + u32(n) + stored


def plain(s: bytes) -> bytes:
    return text(scramble(s))


def body(title=b"", file=b"", actor=b"", parent=b"", path=b"", server=b"", kind=b"", id_=b"",
         ints=(1, 0, 0, 0), raw=None):
    t = raw or {}
    f = lambda name, value: t[name] if name in t else plain(value)
    return (f("title", title) + f("file", file) + f("actor", actor) + f("parent", parent)
            + i32(ints[0]) + i32(ints[1]) + f("path", path) + f("server", server) + f("kind", kind)
            + i32(ints[2]) + i32(ints[3]) + f("id", id_))


NEW_CLASS = u16(0xFFFF) + u16(0) + u16(3) + b"CMF"
CLASS_REF = u16(0x8001)
ACTION = "动作".encode("gbk")
TITLE = "纸船与海".encode("gbk")
ACTOR = "林小满,顾远舟".encode("gbk")

seeds = {
    "valid-three": i32(3) + NEW_CLASS + body(b"zero") + CLASS_REF
    + body(TITLE, b"a.rm", ACTOR, b"", b"movie/", b"", ACTION, b"17") + CLASS_REF
    + body(TITLE + b" 2", b"b.wmv", ACTOR, TITLE, b"x/", b"3", ACTION, b"", (1, 1, 1, 1)),
    "series-and-episodes": i32(4) + NEW_CLASS + body(b"0") + CLASS_REF
    + body(TITLE, kind=ACTION, ints=(0, 0, 0, 0)) + CLASS_REF + body(TITLE + b"1", parent=TITLE, kind=ACTION)
    + CLASS_REF + body(TITLE + b"2", parent=TITLE, kind=ACTION),
    "references": i32(6) + NEW_CLASS + body(b"a") + CLASS_REF + body(b"b") + u16(2) + u16(3)
    + u16(0x7FFF) + u32(0x80000001) + body(b"c") + u16(0x7FFF) + u32(4),
    "second-class-header": i32(3) + NEW_CLASS + body(b"a") + NEW_CLASS + body(b"b") + u16(0x8003) + body(b"c"),
    "null-tags": i32(3) + NEW_CLASS + body(b"a") + u16(0) + u16(0x7FFF) + u32(0),
    "long-prefixes": i32(1) + NEW_CLASS + body(raw={
        "title": u8(0xFF) + u16(3) + scramble(b"abc"),
        "actor": u8(0xFF) + u16(0xFFFF) + u32(300) + scramble(b"x" * 300)}),
    "wide-texts": i32(2) + NEW_CLASS + body(raw={
        "title": u8(0xFF) + u16(0xFFFE) + u8(3) + "天A\ud7ff".encode("utf-16-le", "surrogatepass"),
        "kind": u8(0xFF) + u16(0xFFFE) + u8(0xFF) + u16(1) + b"\x00\xd8"}) + CLASS_REF + body(b"n"),
    "zero-bytes-in-stored": i32(2) + NEW_CLASS + body(b"0") + CLASS_REF + body(raw={
        "title": text(b"\x55\x00\x56\xf4"), "id": text(b"\x00"), "kind": text(b"\xf4\xf5\xff")}),
    "count-zero": i32(0) + NEW_CLASS + body(b"a"),
    "count-negative": i32(-5) + NEW_CLASS + body(b"a"),
    "huge-count": i32(0x7FFFFFFF) + NEW_CLASS + body(b"a") + u16(2) * 8,
    "truncated": (i32(2) + NEW_CLASS + body(TITLE) + CLASS_REF + body(TITLE))[:-5],
    "bad-class-name": i32(2) + NEW_CLASS + body(b"a") + u16(0xFFFF) + u16(0) + u16(4) + b"CMFX",
    "bad-schema": i32(1) + u16(0xFFFF) + u16(2) + u16(3) + b"CMF" + body(b"a"),
    "bad-references": i32(3) + NEW_CLASS + body(b"a") + u16(1) + u16(0x8002),
    "length-beyond-file": i32(1) + NEW_CLASS + u8(0xFF) + u16(0xFFFF) + u32(0xFFFFFFF0) + b"abc",
    "root-dat": "电影\r\n>动作\r\n>>老片\r\n电视剧\r\n>国产剧\n\n>>>多\r\n".encode("gbk"),
    # The player's watch history: a whole one, and one cut short with a number too large.
    "history-valid": b"Kavuno watch history 1\n3130 4800 7 rtsp://127.0.0.1/movie/a/b.rm\n0 0 0 pnm://h/x.rm\nend\n",
    "history-damaged": b"Kavuno watch history 1\n3130 4800 7 rtsp://127.0.0.1/movie/a/b.rm\n99999999999 0 0 x\n",
}

corpus = os.path.join(HERE, "corpus")
os.makedirs(corpus, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(corpus, name + ".dat"), "wb") as out:
        out.write(data)
print(f"wrote {len(seeds)} seeds to {corpus}")
