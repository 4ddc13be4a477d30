"""Releases as an operator publishes them, for the end-to-end tests and the
demo: the native kavuno-release signs them with the key whose public half
the launcher carries, and this machine's record of the newest list accepted.

Environment (besides kavuno_e2e's):
  KAVUNO_RELEASE     the native kavuno-release (default: the native tree
                     beside KAVUNO_BIN's)
  KAVUNO_KEYS        the build's test keys and certificates (default: keys/
                     beside the trees)
  KAVUNO_UPDATE_KEY  the private key the launcher's list must be signed with
                     (default: the test key); empty for a build without a key
                     (-DKAVUNO_UPDATE_PUBLIC_KEY=NONE)
  KAVUNO_UPDATE_TARGET  the build the lists are for, win32 or win64 (default:
                     that of KAVUNO_BIN's KavunoUp.exe)
  KAVUNO_UPDATE_MIN_SERIAL  the launcher's floor serial (default: unknown)
"""
from __future__ import annotations

import os
import struct
import subprocess
from pathlib import Path
from typing import Optional

from kavuno_e2e import bin_dir, probe, windows_path


def release_tool() -> Path:
    """The native kavuno-release."""
    default = bin_dir().parent.parent / "native" / "bin" / "kavuno-release"
    return Path(os.environ.get("KAVUNO_RELEASE") or default).resolve()


def keys_dir() -> Path:
    """The build's test keys and certificates (tools/keys/make-test-keys.sh)."""
    return Path(os.environ.get("KAVUNO_KEYS") or bin_dir().parent.parent / "keys").resolve()


def update_key() -> Optional[Path]:
    """The private key whose public half the launcher carries; None for a
    build without one."""
    value = os.environ.get("KAVUNO_UPDATE_KEY", str(keys_dir() / "update-test.key"))
    return Path(value) if value else None


def target() -> str:
    """The build the launcher is: win32 or win64, from its program's machine
    type unless KAVUNO_UPDATE_TARGET says."""
    if os.environ.get("KAVUNO_UPDATE_TARGET"):
        return os.environ["KAVUNO_UPDATE_TARGET"]
    image = (bin_dir() / "KavunoUp.exe").read_bytes()[:4096]
    machine = struct.unpack_from("<H", image, struct.unpack_from("<I", image, 0x3C)[0] + 4)[0]
    return {0x14C: "win32", 0x8664: "win64"}[machine]


def min_serial() -> Optional[int]:
    """The launcher's floor serial, when the build said."""
    value = os.environ.get("KAVUNO_UPDATE_MIN_SERIAL")
    return int(value) if value else None


def publish(source: os.PathLike | str, server: os.PathLike | str, serial: Optional[int] = None,
            key: Optional[os.PathLike | str] = None, for_target: Optional[str] = None,
            expires_days: Optional[int] = None) -> None:
    """kavuno-release publish SOURCE SERVER: the files, the manifest and the
    list signed with `key` (default: the launcher's key; a key of its own for
    a build without one, whose launcher never asks for the list), for
    `for_target` (default: the launcher's)."""
    if key is None:
        key = update_key()
    if key is None:
        key = Path(server).parent / "unchecked.key"
        if not key.exists():
            subprocess.run([str(release_tool()), "keygen", str(key), str(key) + ".pub"], check=True,
                           capture_output=True)
    command = [str(release_tool()), "publish", str(source), str(server), "--key", str(key),
               "--target", for_target or target()]
    if serial is not None:
        command += ["--serial", str(serial)]
    if expires_days is not None:
        command += ["--expires-days", str(expires_days)]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"kavuno-release publish failed: {result.stderr}")


def make_update_folder(root: os.PathLike | str, files: dict[str, bytes],
                       manifest: Optional[bytes] = None, serial: Optional[int] = None, **options) -> Path:
    """A release published by kavuno-release into <root>/server from `files`
    (names with "/" between folders), with `manifest` instead of the
    published update.txt if given. Returns the folder the demo service serves
    as its update folder (<root>/server/movie). `options` go to publish()."""
    root = Path(root)
    source = root / "source"
    source.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        target = source / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
    publish(source, root / "server", serial, **options)
    served = root / "server" / "movie"
    if manifest is not None:
        (served / "update.txt").write_bytes(manifest)
    return served


def local_app_data() -> Path:
    """%LOCALAPPDATA% of the harness's prefix, seen from Linux."""
    users = Path(os.environ["WINEPREFIX"]) / "drive_c" / "users"
    found = [p for p in users.glob("*/AppData/Local") if p.parent.parent.name != "Public"]
    return found[0] if found else users / os.environ.get("USER", "root") / "AppData" / "Local"


def accepted_serial() -> Optional[int]:
    """The serial of the newest list the launcher accepted in this prefix."""
    record = local_app_data() / "Kavuno" / "update-serial.txt"
    return int(record.read_text().strip()) if record.exists() else None


def trust_test_authority() -> None:
    """Adds the build's test certificate authority to this prefix's root store."""
    probe("trust", windows_path(keys_dir() / "tls-test-ca.der"))
