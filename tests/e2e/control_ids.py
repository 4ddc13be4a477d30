"""The control ids of the programs' windows, as their resource headers define
them: `Player.IDC_CLOSE`, `Launcher.IDC_PROGRESS`, ...

The build of the tree whose programs run (KAVUNO_BIN) writes them into its
tests/e2e/resource_ids.py (make_resource_ids.py), so the tests never hold a
copy of the numbers.
"""
from __future__ import annotations

import runpy

import kavuno_e2e as e2e


def _load():
    path = e2e.bin_dir().parent / "tests" / "e2e" / "resource_ids.py"
    if not path.is_file():
        raise ImportError(f"{path} is not built: the build of {e2e.bin_dir().parent} makes it")
    return runpy.run_path(str(path))


_ids = _load()
Player = _ids["Player"]
Launcher = _ids["Launcher"]
