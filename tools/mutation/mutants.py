"""One-line mutants of a C++ source file: comparisons and logic turned round,
constants one off, arithmetic signs swapped, negations and calls removed.

Only code is changed: string and character literals, comments and
preprocessor lines never are. Comparisons and arithmetic are recognised by
the spaces this code base puts around binary operators, which template
brackets, pointers and references never have."""
from __future__ import annotations

import re
from dataclasses import dataclass


@dataclass(frozen=True)
class Mutant:
    path: str  # from the repository root
    line: int  # 1-based
    original: str  # the whole line, without its end
    mutated: str
    kind: str

    def describe(self) -> str:
        return f"{self.path}:{self.line}  `{self.original.strip()}` -> `{self.mutated.strip()}`"


# Binary operators with their replacements (spaces included).
SWAPS = [
    ("comparison", " < ", " <= "), ("comparison", " <= ", " < "),
    ("comparison", " > ", " >= "), ("comparison", " >= ", " > "),
    ("comparison", " == ", " != "), ("comparison", " != ", " == "),
    ("logic", " && ", " || "), ("logic", " || ", " && "),
    ("arithmetic", " + ", " - "), ("arithmetic", " - ", " + "),
    ("arithmetic", " * ", " / "), ("arithmetic", " / ", " * "),
    ("arithmetic", " += ", " -= "), ("arithmetic", " -= ", " += "),
]
BOOLEANS = {"true": "false", "false": "true", "TRUE": "FALSE", "FALSE": "TRUE"}

INTEGER = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.'])")
BOOLEAN = re.compile(r"\b(true|false|TRUE|FALSE)\b")
NEGATION = re.compile(r"(?<![\w)\]])!(?=[\w(*])")
# An array's size where it is declared: `wchar_t name[40]`.
DECLARED_SIZE = re.compile(r"\b[A-Za-z_][\w:<>]*\s+[A-Za-z_]\w*\[\s*$")
# A statement that is one call: `Foo(x);`, `area_.Hide();`, `ui::Redraw(h);`.
CALL_STATEMENT = re.compile(r"^(?:[A-Za-z_~][\w:]*(?:\(\))?(?:\.|->))*[A-Za-z_~][\w:]*\s*\(.*\)\s*;$")
NOT_CALLS = {"return", "if", "while", "for", "switch", "case", "else", "do", "delete", "throw", "new", "sizeof",
             "static_assert", "using", "typedef", "goto"}
SKIPPED_LINES = re.compile(r"^\s*(#|static_assert\b|namespace\b|using\b|template\s*<|extern\b|friend\b)")


def code_of(lines: list[str]) -> list[str]:
    """The lines with every literal's contents and every comment blanked out,
    so that a match in the result is a match in code."""
    result = []
    in_comment = False
    for line in lines:
        out = []
        i = 0
        while i < len(line):
            c = line[i]
            if in_comment:
                if line.startswith("*/", i):
                    in_comment = False
                    out.append("  ")
                    i += 2
                else:
                    out.append(" ")
                    i += 1
            elif line.startswith("//", i):
                out.append(" " * (len(line) - i))
                break
            elif line.startswith("/*", i):
                in_comment = True
                out.append("  ")
                i += 2
            elif c in "\"'":
                # A literal: its quotes stay, its contents go.
                end = i + 1
                while end < len(line) and line[end] != c:
                    end += 2 if line[end] == "\\" else 1
                end = min(end, len(line) - 1)
                out.append(c + " " * (end - i - 1) + (line[end] if end > i else ""))
                i = end + 1
            else:
                out.append(c)
                i += 1
        result.append("".join(out)[:len(line)].ljust(len(line)))
    return result


def _balanced(text: str) -> bool:
    depth = 0
    for c in text:
        depth += {"(": 1, ")": -1}.get(c, 0)
        if depth < 0:
            return False
    return depth == 0


def _replace(line: str, start: int, end: int, text: str) -> str:
    return line[:start] + text + line[end:]


def line_mutants(path: str, number: int, line: str, code: str) -> list[Mutant]:
    if not code.strip() or SKIPPED_LINES.match(code):
        return []
    found: list[tuple[str, str]] = []
    for kind, old, new in SWAPS:
        for m in re.finditer(re.escape(old), code):
            found.append((kind, _replace(line, m.start(), m.end(), new)))
    for m in BOOLEAN.finditer(code):
        found.append(("constant", _replace(line, m.start(), m.end(), BOOLEANS[m.group(1)])))
    for m in NEGATION.finditer(code):
        found.append(("negation", _replace(line, m.start(), m.end(), "")))
    for m in INTEGER.finditer(code):
        if DECLARED_SIZE.search(code[:m.start()]):
            continue
        digits, suffix = m.group(1), m.group(2)
        value = int(digits, 0)
        hexadecimal = digits[:2].lower() == "0x"
        for other in [value + 1] + ([value - 1] if value > 0 else []):
            text = (f"0x{other:X}" if hexadecimal else str(other)) + suffix
            found.append(("constant", _replace(line, m.start(), m.end(), text)))
    statement = code.strip()
    first_word = re.match(r"[A-Za-z_]\w*", statement)
    if (CALL_STATEMENT.match(statement) and _balanced(statement) and first_word
            and first_word.group(0) not in NOT_CALLS and "=" not in statement.split("(", 1)[0]):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("removed call", indent + ";"))
    return [Mutant(path, number, line, mutated, kind) for kind, mutated in found if mutated != line]


def mutants_of_file(path: str, text: str) -> list[Mutant]:
    lines = text.split("\n")
    code = code_of(lines)
    result = []
    for number, (line, line_code) in enumerate(zip(lines, code), start=1):
        result.extend(line_mutants(path, number, line, line_code))
    return result
