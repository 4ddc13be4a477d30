#!/usr/bin/env python3
"""Mutation pass: applies one-line mutants (comparisons, constants, off by
one, removed calls; see mutants.py) to the given files, rebuilds only the
test programs that cover each file, runs them and prints the mutants that
no test noticed.

    tools/mutation/mutate.py [--limit N] [--build-dir build] [PATH ...]

PATH is a file or a directory from the repository root; without one, the
window-free code and the Windows side of the framework, the skin and
playback. A file that the native tree compiles (a header: that a native
object includes, by the compiler's dependency files) is the native side's:
only its native tests run. Any other is the Windows side's: its Windows unit
tests run under Wine on one display (the pass starts itself again under
tools/wine/wine-run.sh for that), each test program in a prefix of its own
that it keeps from run to run. A Windows-only file found in a directory
(common/gbk_win.cpp) is mutated only when named, with --side windows, or in
the folders above.

Every test program of a file must pass unmutated before its mutants, or the
pass stops. After a Windows test failed for a mutant, the prefix's server
ends with whatever the run left behind, and an unmutated copy of the program
runs once: only when that passes is the mutant killed. When it fails, the
prefix is replaced by a fresh copy and the mutant runs again there.

The existing build trees ($BUILD_DIR/native and $BUILD_DIR/win) are reused
and configured when missing; each mutant rebuilds one object and relinks the
test programs it runs, with one job at low priority. The tests of a file
are the test programs that link its code and whose sources include its
header (all that link it when none does); they run nearest first (fewest
libraries linked), and one that killed a mutant of the file runs first for
the next one.

A mutant of a .cpp file that compiles to the very object code of the
original is equivalent, and its tests do not run. Mutants judged equivalent
by a person (no test could tell them from the original) are listed in
tools/mutation/equivalent.txt. Both are counted apart. Every file is
restored after its mutants, and on an interruption.
"""
from __future__ import annotations

import argparse
import functools
import hashlib
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from mutants import Mutant, mutants_of_file  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
EQUIVALENT_LIST = REPO / "tools" / "mutation" / "equivalent.txt"
DEFAULT_PATHS = ["common", "launcher", "player", "framework"]
# Of the default paths, the Windows side only of these.
DEFAULT_WINDOWS_SIDE = ("framework/", "player/skin/", "player/playback/")
SOURCE_SUFFIXES = (".cpp", ".h")


@dataclass
class Target:
    name: str
    sources: set[str]  # from the repository root
    dependencies: set[str]  # names, direct
    artifacts: list[Path]
    source_dir: str  # where its CMakeLists.txt is, from the repository root
    build_dir: Path


@dataclass
class TestProgram:
    target: str
    command: list[str]
    directory: Path
    environment: dict[str, str]
    depth: int  # how many targets it links: the fewer, the nearer to a file
    seconds: float = 0.0  # unmutated


@dataclass
class Tree:
    """One build tree: its targets (from CMake's file API) and its test programs."""
    side: str
    path: Path
    configure: list[str]
    targets: dict[str, Target] = field(default_factory=dict)
    tests: dict[str, TestProgram] = field(default_factory=dict)

    def load(self) -> None:
        # Asking CMake's file API for the code model, then configuring, writes the reply.
        query = self.path / ".cmake" / "api" / "v1" / "query" / "codemodel-v2"
        query.parent.mkdir(parents=True, exist_ok=True)
        query.touch()
        run(["cmake", "-S", str(REPO), "-B", str(self.path), *self.configure])
        reply = self.path / ".cmake" / "api" / "v1" / "reply"
        index = json.loads(max(reply.glob("index-*.json")).read_text())
        model = json.loads((reply / index["reply"]["codemodel-v2"]["jsonFile"]).read_text())
        ids = {}
        for entry in model["configurations"][0]["targets"]:
            data = json.loads((reply / entry["jsonFile"]).read_text())
            ids[data["id"]] = data["name"]
            sources = set()
            for source in data.get("sources", []):
                full = Path(source["path"])
                full = full if full.is_absolute() else REPO / full
                try:
                    sources.add(str(full.resolve().relative_to(REPO)))
                except ValueError:
                    pass
            self.targets[data["name"]] = Target(
                data["name"], sources, {d["id"] for d in data.get("dependencies", [])},
                [self.path / a["path"] for a in data.get("artifacts", [])], data["paths"]["source"],
                self.path / data["paths"]["build"])
        for target in self.targets.values():
            target.dependencies = {ids[d] for d in target.dependencies if d in ids}
        self._load_tests()

    def _load_tests(self) -> None:
        listing = json.loads(run(["ctest", "--test-dir", str(self.path), "--show-only=json-v1"]))
        by_artifact = {str(a.resolve()): t.name for t in self.targets.values() for a in t.artifacts}
        for test in listing.get("tests", []):
            command = test.get("command", [])
            found = [(i, by_artifact[str(Path(arg).resolve())]) for i, arg in enumerate(command)
                     if str(Path(arg).resolve()) in by_artifact]
            if not found:
                continue  # a script (the end-to-end suites), not a test program of ours
            position, target = found[0]
            properties = {p["name"]: p["value"] for p in test.get("properties", [])}
            arguments = command[position + 1:]
            if target in self.tests:
                continue
            if any(a.startswith("--gtest_filter") for a in arguments):
                arguments = []  # one GoogleTest case of many: run them all
            environment = dict(e.split("=", 1) for e in properties.get("ENVIRONMENT", []))
            self.tests[target] = TestProgram(
                target, [command[position], *arguments], Path(properties.get("WORKING_DIRECTORY", self.path)),
                environment, len(self.closure(target)))

    @functools.cached_property
    def all_sources(self) -> set[str]:
        return set().union(*(t.sources for t in self.targets.values()))

    def closure(self, name: str) -> set[str]:
        seen, todo = set(), [name]
        while todo:
            current = todo.pop()
            if current in seen or current not in self.targets:
                continue
            seen.add(current)
            todo.extend(self.targets[current].dependencies)
        return seen

    def objects_of(self, path: str) -> list[Path]:
        """The object files this tree compiles `path` into (CMake's layout): a
        .cpp file's own, or those of every .cpp file that includes a header."""
        objects = []
        for source in self.sources_of(path):
            for name in self.compiling({source}):
                target = self.targets[name]
                relative = os.path.relpath(REPO / source, REPO / target.source_dir).replace("..", "__")
                for suffix in (".o", ".obj"):
                    candidate = target.build_dir / "CMakeFiles" / f"{name}.dir" / (relative + suffix)
                    if candidate.exists():
                        objects.append(candidate)
        return objects

    def compiling(self, sources: set[str]) -> set[str]:
        return {t.name for t in self.targets.values() if t.sources & sources}

    @functools.cached_property
    def included(self) -> dict[str, set[str]]:
        """For each file of the repository, the sources of this tree whose
        objects include it, read from the compiler's dependency files: a header
        behind `#ifdef _WIN32` is the Windows tree's only."""
        users: dict[str, set[str]] = {}
        root = f"{REPO}/"
        for depfile in self.path.rglob("*.o.d"):
            names = [n for n in depfile.read_text(errors="replace").replace("\\\n", " ").split()[1:]
                     if n.startswith(root)]
            if names:
                source = names[0][len(root):]
                for name in names[1:]:
                    users.setdefault(name[len(root):], set()).add(source)
        return users

    def sources_of(self, path: str) -> set[str]:
        """The sources of this tree that compile `path`: itself, or the files
        that include a header (by the include graph when nothing is built yet)."""
        if path.endswith(".cpp"):
            return {path}
        return self.included.get(path, set()) if self.included else includers(path)

    def covering_tests(self, path: str, sources: set[str]) -> list[TestProgram]:
        """The test programs that link the code of `path` and, when some do, only
        those whose own sources include its header: the others never call it."""
        compiled = self.compiling(sources)
        linking = [t for t in self.tests.values() if self.closure(t.target) & compiled]
        header = path[:-len(".cpp")] + ".h" if path.endswith(".cpp") else path
        # The header, and the headers of the files that use it (a site used only by its host).
        headers = {header} | {c[:-len(".cpp")] + ".h" for c in includers(header)}
        using = set().union(*(includers(h) for h in headers)) | headers
        calling = [t for t in linking if self.targets[t.target].sources & using]
        return sorted(calling or linking, key=lambda t: (t.depth, t.target))


def run(command: list[str], **kwargs) -> str:
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        sys.stderr.write(result.stdout + result.stderr)
        raise SystemExit(f"failed: {' '.join(command)}")
    return result.stdout


@functools.cache
def include_graph() -> dict[str, set[str]]:
    """For each header, the files of the repository that include it."""
    pattern = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
    included_by: dict[str, set[str]] = {}
    for directory, subdirectories, files in os.walk(REPO):
        subdirectories[:] = [d for d in subdirectories if not d.startswith((".", "build"))]
        for name in files:
            if name.endswith(SOURCE_SUFFIXES):
                path = Path(directory) / name
                for header in pattern.findall(path.read_text(errors="replace")):
                    included_by.setdefault(header, set()).add(str(path.relative_to(REPO)))
    return included_by


def includers(header: str) -> set[str]:
    """The .cpp files of the repository that include `header`, directly or not."""
    included_by = include_graph()
    found, todo = set(), [header]
    while todo:
        for parent in included_by.get(todo.pop(), ()):
            if parent not in found:
                found.add(parent)
                todo.append(parent)
    return {f for f in found if f.endswith(".cpp")}


def source_files(paths: list[str]) -> list[tuple[str, bool]]:
    """The files to mutate, each with whether it was named itself."""
    files = []
    for given in paths:
        path = (REPO / given).resolve()
        if path.is_dir():
            files += [(p, False) for p in sorted(path.rglob("*")) if p.suffix in SOURCE_SUFFIXES]
        elif path.is_file():
            files.append((path, True))
        else:
            raise SystemExit(f"no such file or directory: {given}")
    return [(str(f.relative_to(REPO)), named) for f, named in files]


def unmutated_copy(program: Path, make: bool = False) -> Path:
    """A copy of a test program beside it, as built from the unmutated sources;
    it runs in the program's place, where the DLLs it loads are."""
    copy = program.with_name(f"{program.stem}.unmutated{program.suffix}")
    if make:
        subprocess.run(["cp", "-p", str(program), str(copy)], check=True)
    return copy


def stop_server(prefix: str) -> None:
    """Ends the prefix's server and every process of its, and waits until it has gone."""
    environment = dict(os.environ, WINEPREFIX=prefix)
    subprocess.run(["wineserver", "-k"], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def start_server(prefix: str) -> None:
    """A server for the prefix that stays up between the test's runs."""
    subprocess.run(["wineserver", "-p"], env=dict(os.environ, WINEPREFIX=prefix),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # a pipe would wait for the server to end


def load_equivalents() -> set[tuple[str, str, str]]:
    """(path, original, mutant) of every mutant judged equivalent."""
    entries = set()
    if EQUIVALENT_LIST.exists():
        for line in EQUIVALENT_LIST.read_text().splitlines():
            m = re.match(r"^(\S+):\s+`(.*)` -> `(.*)`", line)
            if m:
                entries.add(m.groups())
    return entries


class Pass:
    def __init__(self, args):
        self.args = args
        build = Path(args.build_dir)
        build = build if build.is_absolute() else REPO / build
        self.trees = {
            "native": Tree("native", build / "native", ["-DCMAKE_BUILD_TYPE=RelWithDebInfo"]),
            "windows": Tree("windows", build / "win",
                            [f"-DCMAKE_TOOLCHAIN_FILE={REPO}/cmake/toolchain-mingw-x86_64.cmake"]),
        }
        self.equivalents = load_equivalents()
        self.results: list[tuple[Mutant, str, str]] = []  # mutant, side, outcome
        # Outcomes of an earlier run to take over (--resume), by path, line and mutated line.
        self.earlier: dict[tuple[str, int, str], str] = {}
        if args.resume and args.report and Path(args.report).exists():
            for line in Path(args.report).read_text().splitlines():
                entry = json.loads(line)
                self.earlier[(entry["path"], entry["line"], entry["mutated"])] = entry["outcome"]
        elif args.report:
            Path(args.report).write_text("")
        self.built: dict[str, set[str]] = {"native": set(), "windows": set()}
        self.prefixes: list[str] = []  # the Windows test programs' own
        self.evidence: list[str] = []  # what the last test run that failed said

    # -- what to mutate, and where its tests are
    def plan(self) -> list[tuple[str, list[TestProgram], list[Mutant]]]:
        for tree in self.trees.values():
            tree.load()
        plan = []
        for path, named in source_files(self.args.paths or DEFAULT_PATHS):
            # A file the native tree compiles is the native side's, tested natively only.
            side = "native" if self.trees["native"].sources_of(path) & self.trees["native"].all_sources else "windows"
            tests = self.trees[side].covering_tests(path, self.trees[side].sources_of(path))
            if not tests:
                continue  # no test program compiles it
            # A Windows-only file found in a directory (gbk_win.cpp in common/) is
            # the Windows side's: only of the folders it covers, or when asked for.
            if side == "windows" and not (named or self.args.side == "windows" or path.startswith(DEFAULT_WINDOWS_SIDE)):
                continue
            if self.args.side and side != self.args.side:
                continue
            mutants = mutants_of_file(path, (REPO / path).read_text())
            if self.args.match:
                mutants = [m for m in mutants if re.search(self.args.match, m.mutated)]
            if mutants:
                plan.append((side, tests, mutants))
        if self.args.limit:
            everything = [(i, m) for i, (_, _, mutants) in enumerate(plan) for m in mutants]
            step = max(1.0, len(everything) / self.args.limit)
            kept = {id(everything[int(k * step)][1]) for k in range(min(self.args.limit, len(everything)))}
            plan = [(side, tests, [m for m in mutants if id(m) in kept]) for side, tests, mutants in plan]
            plan = [p for p in plan if p[2]]
        return plan

    # -- building and running
    def build(self, side: str, target: str) -> bool:
        command = ["nice", "-n", "10", "cmake", "--build", str(self.trees[side].path), "--target", target,
                   f"-j{self.args.jobs}"]
        ok = subprocess.run(command, capture_output=True).returncode == 0
        if ok:
            self.built[side].add(target)
        return ok

    def execute(self, side: str, test: TestProgram, timeout: float, unmutated: bool = False) -> tuple[bool, float]:
        """Runs a test program (or its unmutated copy); True when it passed."""
        command = list(test.command)
        if not test.command[1:]:
            command.append("--gtest_fail_fast")
        if unmutated:
            # Under its own name (a test may check it), the mutated program set aside meanwhile.
            program = Path(command[0])
            aside = program.with_name(f"{program.stem}.mutated{program.suffix}")
            os.replace(program, aside)
            try:
                shutil.copy2(unmutated_copy(program), program)
                return self.execute(side, test, timeout)
            finally:
                os.replace(aside, program)
        environment = dict(os.environ, **test.environment)
        if side == "windows":
            command = shlex.split(os.environ["KAVUNO_WINE"]) + command
            environment["WINEPREFIX"] = self.prefix_of(test)
        start = time.monotonic()
        # A group of its own, so that whatever a hung test started goes with it;
        # its output in a file, which a server it starts cannot hold open as it would a pipe.
        with tempfile.TemporaryFile() as output:
            process = subprocess.Popen(command, cwd=test.directory, env=environment, stdout=output,
                                       stderr=subprocess.STDOUT, start_new_session=True)
            try:
                passed = process.wait(timeout=timeout) == 0
            except subprocess.TimeoutExpired:
                passed = False
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
            output.seek(0)
            # What failed, as evidence for the report.
            lines = output.read().decode(errors="replace").splitlines()
            self.evidence = [l for l in lines if "Failure" in l or l.startswith(("Expected", "  Actual", "Value of",
                                                                                   "Which is", "[  FAILED"))][:12]
        return passed, time.monotonic() - start

    def prefix_of(self, test: TestProgram, fresh: bool = False) -> str:
        """A prefix of the test program's own, copied from the session's untouched
        one, with a server that stays up between its runs: what one program leaves
        in its prefix (a registered control, say) never reaches another. `fresh`
        replaces it with a new copy."""
        prefix = f"{os.environ['WINEPREFIX']}.{test.target}"
        if fresh and prefix in self.prefixes:
            stop_server(prefix)
            subprocess.run(["rm", "-rf", prefix], check=True)
            self.prefixes.remove(prefix)
        if prefix not in self.prefixes:
            subprocess.run(["cp", "-a", os.environ["WINEPREFIX"], prefix], check=True)
            start_server(prefix)
            self.prefixes.append(prefix)
        return prefix

    def baseline(self, side: str, tests: list[TestProgram]) -> None:
        """Every test program of a file passes unmutated (the Windows ones in a
        fresh prefix when not in their own), or the pass stops: a kill must be
        the mutant's doing. Each keeps an unmutated copy for the checks after a kill."""
        for test in tests:
            if test.seconds:
                continue
            if not self.build(side, test.target):
                raise SystemExit(f"{test.target} does not build unmutated: the pass stops")
            unmutated_copy(Path(test.command[0]), make=True)
            passed, seconds = self.execute(side, test, 600)
            if not passed and side == "windows":
                self.prefix_of(test, fresh=True)
                passed, seconds = self.execute(side, test, 600)
            if not passed:
                raise SystemExit("\n    ".join([f"{test.target} fails unmutated: the pass stops "
                                                  "(a kill would not be the mutant's)", *self.evidence]))
            test.seconds = max(seconds, 0.1)

    def failed_for_mutant(self, test: TestProgram, timeout: float) -> bool:
        """After a Windows test failed for a mutant: whatever its run left behind
        (a process, a window, a held file) goes with the prefix's server, and the
        unmutated copy runs once. Should that fail too, the prefix itself went bad:
        it is replaced by a fresh copy and the mutant runs again there. True when
        the failure is the mutant's; the pass stops when even a fresh prefix fails
        the unmutated program."""
        evidence = self.evidence
        prefix = self.prefix_of(test)
        stop_server(prefix)
        start_server(prefix)
        if self.execute("windows", test, timeout, unmutated=True)[0]:
            self.evidence = evidence
            return True
        print(f"  {test.target} failed unmutated after a mutant's run:", *self.evidence,
              "  a fresh prefix, and the mutant again", sep="\n    ", flush=True)
        self.prefix_of(test, fresh=True)
        if not self.execute("windows", test, timeout, unmutated=True)[0]:
            raise SystemExit("\n    ".join([f"{test.target} fails unmutated even in a fresh prefix: the pass stops",
                                              *self.evidence]))
        return not self.execute("windows", test, timeout)[0]

    def object_code(self, side: str, path: str, since: float = 0.0) -> dict[Path, bytes] | None:
        """The hashes of `path`'s objects; None when one of them was not built since `since`."""
        objects = self.trees[side].objects_of(path)
        if any(o.stat().st_mtime < since for o in objects):
            return None
        return {o: hashlib.sha256(o.read_bytes()).digest() for o in objects}

    def try_mutant(self, side: str, tests: list[TestProgram], mutant: Mutant, original_code) -> str:
        path = REPO / mutant.path
        lines = path.read_text().split("\n")
        lines[mutant.line - 1] = mutant.mutated
        path.write_text("\n".join(lines))
        written = path.stat().st_mtime
        first = True
        for test in tests:
            if not self.build(side, test.target):
                return "did not build"
            if first and original_code and self.object_code(side, mutant.path, written) == original_code:
                return "same code"  # the compiler made of it what it made of the original
            first = False
            timeout = max(30.0 if side == "windows" else 10.0, 4 * test.seconds + 10)
            passed, _ = self.execute(side, test, timeout)
            if not passed and side == "windows":
                passed = not self.failed_for_mutant(test, timeout)
            if not passed:
                tests.remove(test)
                tests.insert(0, test)  # the likeliest to kill the next mutant of this file
                return f"killed by {test.target}"
        # A survivor: with every object of the file built, is its code the original's?
        if original_code and self.build_objects(side, mutant.path):
            if self.object_code(side, mutant.path, written) == original_code:
                return "same code"
        return "survived"

    def build_objects(self, side: str, path: str) -> bool:
        """Builds every target that compiles `path`, or a file that includes it."""
        tree = self.trees[side]
        targets = sorted(tree.compiling(tree.sources_of(path) | {path}))
        return all(self.build(side, target) for target in targets)

    def is_equivalent(self, mutant: Mutant) -> bool:
        return (mutant.path, mutant.original.strip(), mutant.mutated.strip()) in self.equivalents

    def record(self, mutant: Mutant, side: str, outcome: str) -> None:
        if self.args.report:
            with open(self.args.report, "a") as report:
                entry = {"side": side, "path": mutant.path, "line": mutant.line, "kind": mutant.kind,
                         "original": mutant.original, "mutated": mutant.mutated, "outcome": outcome}
                if outcome.startswith("killed"):
                    entry["evidence"] = self.evidence
                report.write(json.dumps(entry) + "\n")

    def run(self) -> int:
        plan = self.plan()
        total = sum(len(m) for _, _, m in plan)
        if self.args.list:
            for side, tests, mutants in plan:
                for mutant in mutants:
                    print(f"{side:8} {mutant.describe()}")
            print(f"{total} mutants")
            return 0
        if any(side == "windows" for side, _, _ in plan) and "KAVUNO_WINE" not in os.environ:
            # The Windows tests need one prefix and display for the whole pass.
            wine = [str(REPO / "tools" / "wine" / "wine-run.sh"), "--timeout", "172800", "--host",
                    sys.executable, *sys.argv]
            return subprocess.run(wine).returncode
        try:
            return self.run_plan(plan, total)
        finally:
            for prefix in self.prefixes:
                stop_server(prefix)
                subprocess.run(["rm", "-rf", prefix])
            for tree in self.trees.values():
                for test in tree.tests.values():
                    unmutated_copy(Path(test.command[0])).unlink(missing_ok=True)

    def run_plan(self, plan, total: int) -> int:
        done = 0
        for side, tests, mutants in plan:
            path = REPO / mutants[0].path
            original = path.read_bytes()
            try:
                original_code: dict | None = {}
                if any((m.path, m.line, m.mutated) not in self.earlier for m in mutants):
                    self.baseline(side, tests)
                    self.build_objects(side, mutants[0].path)  # the original's objects, to compare mutants with
                    original_code = self.object_code(side, mutants[0].path)
                for mutant in mutants:
                    done += 1
                    started = time.monotonic()
                    outcome = self.earlier.get((mutant.path, mutant.line, mutant.mutated))
                    if outcome is None:
                        outcome = self.try_mutant(side, tests, mutant, original_code)
                        path.write_bytes(original)
                        self.record(mutant, side, outcome)
                    if outcome == "survived" and self.is_equivalent(mutant):
                        outcome = "equivalent"
                    self.results.append((mutant, side, outcome))
                    print(f"[{done}/{total}] {outcome:<32} {mutant.describe()}  "
                          f"({time.monotonic() - started:.0f} s)", flush=True)
            finally:
                if path.read_bytes() != original:
                    path.write_bytes(original)
        self.rebuild()
        return self.summary()

    def rebuild(self) -> None:
        """The test programs built from mutants, built again from the restored sources."""
        for side, targets in self.built.items():
            for target in sorted(targets):
                self.build(side, target)

    def summary(self) -> int:
        print()
        survivors = []
        for side in ("native", "windows"):
            outcomes = [(m, o) for m, s, o in self.results if s == side]
            if not outcomes:
                continue
            built = [(m, o) for m, o in outcomes if o != "did not build"]
            killed = sum(1 for _, o in built if o.startswith("killed"))
            same = sum(1 for _, o in built if o == "same code")
            judged = sum(1 for _, o in built if o == "equivalent")
            survived = [m for m, o in built if o == "survived"]
            survivors += survived
            meaningful = len(built) - same - judged
            print(f"{side} side: {killed} of {len(built)} killed; {same} compiled to the same code and "
                  f"{judged} judged equivalent, so {killed} of {meaningful} meaningful "
                  f"({100 * killed / max(meaningful, 1):.1f}%); {len(survived)} survived; "
                  f"{len(outcomes) - len(built)} did not build")
        if survivors:
            print("\nSurvivors:")
            for mutant in survivors:
                print(f"  {mutant.describe()}")
        return 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("paths", nargs="*", help="files or directories from the repository root")
    parser.add_argument("--build-dir", default=os.environ.get("BUILD_DIR", "build"),
                        help="holds the native/ and win/ trees (default: build)")
    parser.add_argument("--limit", type=int, default=0, help="at most this many mutants, spread over the files")
    parser.add_argument("--side", choices=["native", "windows"], help="only the mutants of one side")
    parser.add_argument("--jobs", type=int, default=1, help="build jobs (default 1)")
    parser.add_argument("--list", action="store_true", help="print the mutants and stop")
    parser.add_argument("--match", help="only the mutants whose mutated line matches this regular expression")
    parser.add_argument("--report", help="write every outcome to this file as it comes, one JSON object a line")
    parser.add_argument("--resume", action="store_true",
                        help="take over the outcomes already in the --report file instead of running them again")
    args = parser.parse_args()
    # An interruption restores the file being mutated (the finally blocks).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    return Pass(args).run()


if __name__ == "__main__":
    sys.exit(main())
