"""Writes the control ids of the programs' windows, as their resource headers
define them, into a Python module for the end-to-end tests; the build runs it
(tests/CMakeLists.txt) and the tests import the result through control_ids.py.

    make_resource_ids.py OUTPUT CLASS=HEADER...

Each CLASS=HEADER becomes a class of that name holding the header's IDC_
macros, e.g. Player.IDC_CLOSE = 1000. A macro whose value is not a plain
number (an expression, another macro) stops it: the module would hold a guess.
"""
from __future__ import annotations

import re
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
DEFINE = re.compile(r"#\s*define\s+(IDC_\w+)\s+(.*?)\s*(//.*)?$")
NUMBER = re.compile(r"\(?\s*(-?(?:0[xX][0-9a-fA-F]+|0|[1-9][0-9]*))\s*\)?")


def control_ids(header: Path) -> dict[str, int]:
    found: dict[str, int] = {}
    for number, line in enumerate(header.read_text(encoding="utf-8").splitlines(), 1):
        define = DEFINE.fullmatch(line.strip())
        if not define:
            continue
        name, value = define.group(1), NUMBER.fullmatch(define.group(2))
        if not value:
            sys.exit(f"{header}:{number}: {name} is not a plain number: {define.group(2)}")
        if found.get(name, int(value.group(1), 0)) != int(value.group(1), 0):
            sys.exit(f"{header}:{number}: {name} is defined twice, differently")
        found[name] = int(value.group(1), 0)
    if not found:
        sys.exit(f"{header}: no IDC_ macros")
    return found


def module_text(classes: list[tuple[str, Path]]) -> str:
    lines = ['"""Control ids of the programs\' windows. Made by tests/e2e/make_resource_ids.py',
             'from the resource headers named below at build time: not to be edited."""']
    for name, header in classes:
        shown = header.relative_to(REPO) if header.is_relative_to(REPO) else header
        lines += ["", "", f"class {name}:", f'    """{shown}"""']
        lines += [f"    {macro} = {value}" for macro, value in control_ids(header).items()]
    return "\n".join(lines) + "\n"


def main(argv: list[str]) -> int:
    if len(argv) < 2 or not all("=" in pair for pair in argv[1:]):
        sys.exit(__doc__)
    classes = [(name, Path(header).resolve()) for name, header in (pair.split("=", 1) for pair in argv[1:])]
    output = Path(argv[0])
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_text(module_text(classes), encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
