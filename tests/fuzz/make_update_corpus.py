#!/usr/bin/env python3
"""Writes the seed corpus of the update fuzzer into update_corpus/: manifests
(plain, CR LF, odd counts, unsafe and GBK names, one whose GBK character ends
in 0x5C) and signed file lists (well-formed, with a GBK name, damaged). The
lists' signatures are not checked by the fuzz entry. Run it again after
changing the seeds."""
import hashlib
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "update_corpus")
GBK_5C = "運".encode("gbk")  # \xDF\x5C: its second GBK byte is 0x5C, the backslash


def listing(serial: int, files: list[tuple[bytes, bytes]], signature: bytes = b"5a" * 64) -> bytes:
    text = b"kavuno-update-list 2\nserial %d\nexpires 4000000000\ntarget win32\n" % serial
    for name, data in files:
        text += b"file %d %s %s\n" % (len(data), hashlib.sha256(data).hexdigest().encode(), name)
    return text + b"signature " + signature + b"\n"


SEEDS = {
    "manifest-plain": b"2\nmovie.dat\n51200\nroot.dat\n2048\n",
    "manifest-crlf-gbk": ("3\r\n电影 海报.dat\r\n333\r\nskin\\blue.bmp\r\n777\r\n".encode("gbk") +
                          GBK_5C + b"#%20 a%.dat\r\n9\r\n"),
    "manifest-unsafe": b"5\n..\\up.dat\n1\nC:\\x\n1\nNUL \n1\nKavunoUp.staging\\files.txt\n1\nok\n-3\n",
    "manifest-huge-count": b"99999999999\nx.dat\n3\n",
    "list-good": listing(1733580000, [(b"movie.dat", b"catalogue"), (b"skin\\blue.bmp", b"")]),
    "list-gbk": listing(7, [("电影 海报.dat".encode("gbk"), b"poster"), (GBK_5C + b".dat", b"x")]),
    "list-damaged": listing(1, [(b"a", b"a")]).replace(b"file 1 ", b"file 01 "),
    "list-duplicate": listing(2, [(b"a", b"a"), (b"a", b"b")]),
}


def main() -> None:
    os.makedirs(HERE, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
