#!/usr/bin/env python3
"""Makes an update folder for the demo service from local files:

  make_update_folder.py OUT FILE [FILE...]

writes OUT/update.txt (the count, then each file's name and size, CR LF line
ends, names in GBK) and copies each FILE to OUT/file/<its name>. Serve it with
  demo_service.py --update-dir OUT
"""
import shutil
import sys
from pathlib import Path


def make_update_folder(out: Path, files: list[Path]) -> None:
    (out / "file").mkdir(parents=True, exist_ok=True)
    lines = [str(len(files))]
    for f in files:
        shutil.copyfile(f, out / "file" / f.name)
        lines += [f.name, str(f.stat().st_size)]
    (out / "update.txt").write_bytes(("\r\n".join(lines) + "\r\n").encode("gbk"))


def main(argv: list[str]) -> int:
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    make_update_folder(Path(argv[0]), [Path(a) for a in argv[1:]])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
