"""The packages as a user downloads them, checked without running them (this
machine runs no 32-bit code): what each zip holds, the Authenticode signature
of every program, installer and embedded uninstaller, and whether the programs
can load on Windows 7, above all the 32-bit ones that users get.

Environment: KAVUNO_PACKAGE_DIR, KAVUNO_VERSION, KAVUNO_UPDATE_KEY_KIND (test, none
or publisher: the launcher's update key), KAVUNO_SIGNING_CA (the test
signature's authority; empty when the build signs with a certificate of its
own) and KAVUNO_PACKAGE_TREES (the Windows trees, colon-separated, whose
release/ holds the signed uninstaller that went into the installer)."""
from __future__ import annotations

import os
import re
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

PACKAGES = Path(os.environ.get("KAVUNO_PACKAGE_DIR", "build/package"))
VERSION = os.environ.get("KAVUNO_VERSION", "")
# What the names carry after the architecture, by the key the launcher embeds:
# only a publisher's key makes packages for users.
SUFFIX = {"test": "-testkey", "none": "-unverified",
          "publisher": ""}[os.environ.get("KAVUNO_UPDATE_KEY_KIND", "test")]
SIGNING_CA = os.environ.get("KAVUNO_SIGNING_CA", "")
TREES = [Path(p) for p in os.environ.get("KAVUNO_PACKAGE_TREES", "").split(":") if p]
PROGRAMS = ("KavunoUp.exe", "kavuno.exe")

# What 32-bit Windows 7 has in System32 (SysWOW64 on 64-bit Windows), as far
# as these programs could want it; the names are compared in lower case.
WINDOWS7_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "uxtheme.dll", "version.dll", "ws2_32.dll",
    "wsock32.dll", "wininet.dll", "winhttp.dll", "crypt32.dll", "bcrypt.dll", "ncrypt.dll", "dbghelp.dll",
    "msvcrt.dll", "atl.dll", "msimg32.dll", "winmm.dll", "imm32.dll", "rpcrt4.dll", "psapi.dll",
    "secur32.dll", "userenv.dll", "iphlpapi.dll", "quartz.dll", "strmiids.dll", "urlmon.dll", "ntdll.dll",
}
# Functions that came after Windows 7 and that toolchains like to import.
AFTER_WINDOWS7 = {"GetSystemTimePreciseAsFileTime", "CreateFile2", "GetCurrentThreadStackLimits",
                  "SetThreadDescription", "GetThreadDescription", "WaitOnAddress", "WakeByAddressSingle",
                  "SetDefaultDllDirectories", "AddDllDirectory", "GetPackageFamilyName", "PathCchCombine"}
MINGW_RUNTIME = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread|libssp|libatomic)", re.I)


def objdump(arch: str, *args: str) -> str:
    tool = "i686-w64-mingw32-objdump" if arch == "win32" else "x86_64-w64-mingw32-objdump"
    return subprocess.run([tool, *args], capture_output=True, text=True, check=True).stdout


def machine(arch: str, path: Path) -> str:
    """objdump's name of a PE file's format: pei-i386 or pei-x86-64."""
    return re.search(r"file format (\S+)", objdump(arch, "-f", str(path))).group(1)


FORMATS = {"win32": "pei-i386", "win64": "pei-x86-64"}


class PackagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Path(tempfile.mkdtemp(prefix="kavuno-packages-"))

    def package(self, arch: str, suffix: str) -> Path:
        path = PACKAGES / f"Kavuno-{VERSION}-{arch}{SUFFIX}{suffix}"
        self.assertTrue(path.is_file(), f"{path} is missing: run 'make package'")
        return path

    def verify(self, path: Path) -> None:
        if not SIGNING_CA:
            self.skipTest("signed with the publisher's certificate, not the test one")
        result = subprocess.run(["osslsigncode", "verify", "-CAfile", SIGNING_CA, "-in", str(path)],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, f"{path}: {result.stdout}{result.stderr}")
        self.assertIn("Kavuno (test signature)", result.stdout, path)

    def unpack(self, arch: str) -> Path:
        target = self.work / arch
        with zipfile.ZipFile(self.package(arch, ".zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), ["KavunoUp.exe", "README.txt", "kavuno.exe"])
            archive.extractall(target)
        return target

    def test_zip_holds_the_two_programs_and_a_short_read_me(self):
        for arch in FORMATS:
            with self.subTest(arch=arch):
                readme = (self.unpack(arch) / "README.txt").read_bytes()
                self.assertTrue(readme.startswith(b"\xef\xbb\xbf"), "UTF-8 with a byte-order mark for Notepad")
                self.assertLess(len(readme), 4096)
                text = readme.decode("utf-8-sig")
                self.assertNotIn("\n", text.replace("\r\n", ""), "CR LF line ends")
                self.assertIn(f"Kavuno-{VERSION}-{arch}{SUFFIX}-setup.exe", text)
                self.assertIn("KavunoUp.exe", text)

    def test_every_signed_file_verifies_and_a_changed_byte_does_not(self):
        uninstallers = {machine("win64", tree / "release" / "uninstall.exe"): tree / "release" / "uninstall.exe"
                        for tree in TREES if (tree / "release" / "uninstall.exe").is_file()}
        for arch, pe_format in FORMATS.items():
            with self.subTest(arch=arch):
                folder = self.unpack(arch)
                setup = self.package(arch, "-setup.exe")
                self.assertIn(pe_format, uninstallers, f"the {arch} tree's signed uninstaller")
                for path in (folder / "KavunoUp.exe", folder / "kavuno.exe", setup, uninstallers[pe_format]):
                    self.verify(path)
                    self.assertEqual(machine(arch, path), pe_format, path)
                changed = bytearray(setup.read_bytes())
                changed[len(changed) // 2] ^= 0x01
                (self.work / "changed.exe").write_bytes(changed)
                result = subprocess.run(["osslsigncode", "verify", "-CAfile", SIGNING_CA, "-in",
                                         str(self.work / "changed.exe")], capture_output=True, text=True)
                self.assertNotEqual(result.returncode, 0, "a changed installer fails the check")

    def test_programs_are_stripped_and_their_symbols_kept(self):
        for arch in FORMATS:
            for name in PROGRAMS:
                with self.subTest(arch=arch, program=name):
                    stripped = self.unpack(arch) / name
                    symbols = PACKAGES / "symbols" / arch / name
                    self.assertTrue(symbols.is_file(), symbols)
                    def names(path):
                        return set(re.findall(r"^\s*\d+ (\S+)", objdump(arch, "-h", str(path)), re.M))
                    self.assertFalse({n for n in names(stripped) if n.startswith(".debug")}, "no debug sections")
                    self.assertIn(".debug_info", names(symbols))
                    self.assertLess(stripped.stat().st_size * 2, symbols.stat().st_size)

    def test_programs_load_on_windows_7(self):
        """Imports, subsystem, version resource and common-controls manifest,
        for the 32-bit package above all: it is the one users get."""
        for arch, pe_format in FORMATS.items():
            folder = self.unpack(arch)
            for name in PROGRAMS:
                with self.subTest(arch=arch, program=name):
                    path = folder / name
                    headers = objdump(arch, "-p", str(path))
                    dlls = re.findall(r"DLL Name: (\S+)", headers)
                    self.assertIn("kernel32.dll", {d.lower() for d in dlls})
                    for dll in dlls:
                        self.assertFalse(MINGW_RUNTIME.match(dll), f"needs the MinGW runtime {dll}")
                        self.assertIn(dll.lower(), WINDOWS7_DLLS, f"{dll} is not part of Windows 7")
                    imported = set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)\s*$", headers, re.M))
                    self.assertFalse(imported & AFTER_WINDOWS7)
                    self.assertRegex(headers, r"Subsystem\s+00000002")  # GUI, not console
                    major, minor = (int(v) for v in re.search(
                        r"MajorSubsystemVersion\s+(\d+)\s+MinorSubsystemVersion\s+(\d+)", headers).groups())
                    self.assertLessEqual((major, minor), (6, 1), "a subsystem version Windows 7 accepts")
                    self.assertIn("Magic\t\t\t" + ("010b" if arch == "win32" else "020b"), headers)

                    # The resources, found in the file's bytes: the version
                    # resource's texts are UTF-16, the manifest is UTF-8.
                    data = path.read_bytes()
                    self.assertEqual(machine(arch, path), pe_format)
                    for key, value in (("FileVersion", VERSION + ".0"), ("ProductVersion", VERSION),
                                       ("OriginalFilename", name)):
                        self.assertRegex(data, re.escape(f"{key}\0".encode("utf-16-le")) + b"(\0\0)?"
                                         + re.escape(f"{value}\0".encode("utf-16-le")), key)
                    self.assertRegex(data, rb'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"\s+'
                                           rb'processorArchitecture="\*"')

if __name__ == "__main__":
    unittest.main()
