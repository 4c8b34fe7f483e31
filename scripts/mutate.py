#!/usr/bin/env python3
"""Mutation testing: how many small faults in the library and the checker do the tests catch?

Run on demand, not in CI. Each mutant is one small change to one source file of the library
(Umbravista/) or of the settings checker (tools/check/), .cpp and .h. For each mutant the script writes the change, rebuilds incrementally,
runs the tests, and restores the file, whatever happens (also on Ctrl-C, SIGTERM or an error; the
original is also kept in the build directory until it is back, and a run left behind by a killed
process is restored at the next start). A mutant is

  killed         when a test fails,
  timeout        when a test runs past the timeout (counted as caught in the score),
  compile-error  when the library or the tests no longer build (left out of the score),
  survived       when every test still passes: a fault that no test notices.

Operators (--operator NAME; all of them by default):
  hex-digit     one digit of a colour literal, Hex("EAEDEF"), HexDigits("0EADFF") or "#F3D438",
                raised by one (F and f are lowered to E and e instead)
  swap-rows     two adjacent rows of a constexpr or constinit table (std::array or C array)
  comparison    <  <=  >  >=  ==  != moved by one step or flipped: < <-> <=, > <-> >=, == <-> !=
  boolean       true <-> false
  delete-call   a statement that is only a call, such as `CallSaved(saved, view, selector);`,
                replaced by an empty statement
  number        an integer literal moved by +-1, a decimal one by +-1 in its last written digit
                (0.906 -> 0.907 and 0.905); never below zero

Comments, string contents other than colour literals, preprocessor lines (#include, #pragma) and
static_assert declarations are never changed, nor are generated files or test code.

The unmutated sources must build and pass first. The files to mutate must hold no uncommitted
change (at the end, git diff shows that every one is back), and only one run may use a build
directory at a time. The tests stop at the first failure. On a 2-core machine a mutant costs
about 10 s (a .cpp file) to 60 s (a header that many files include, such as SettingsKeys.h), so
the whole library, about 1,800 mutants, takes most of a day: choose operators, files or a sample.

Usage (from the repository root or anywhere inside it):
  scripts/mutate.py --list                          list every mutant and the count per operator
  scripts/mutate.py                                 every mutant of every operator (hours)
  scripts/mutate.py --operator hex-digit --file Umbravista/theme/BackgroundLists.h
  scripts/mutate.py --file Umbravista/theme/ --file Umbravista/settings/ --operator swap-rows
  scripts/mutate.py --limit 5 --per-operator --seed 1   a random sample of five per operator
  scripts/mutate.py --limit 20                      the first twenty, in file order

Options:
  --operator NAME   (repeatable) only these operators
  --file PATH       (repeatable) only this file, or the files under this directory
  --limit N         at most N mutants; with --per-operator, at most N of each operator
  --seed S          draw the mutants at random (with seed S) instead of taking the first ones
  --build DIR       build directory, default build-mutate; configured (Ninja where available,
                    benchmarks off) and built if missing. Kept apart from build/ because every
                    mutant leaves it rebuilt.
  --timeout SEC     per-test timeout given to ctest, default 30
  --tests REGEX     run only the tests matching REGEX (ctest -R), default all
  --exclude-tests REGEX  leave out the tests matching REGEX (ctest -E), such as a long soak
  --target NAME     (repeatable) build only these targets, default all
  --jobs N          build and test jobs, default 2
  --report PATH     JSON report, default BUILD/mutation-report.json, rewritten after each mutant
                    so that an interrupted run keeps what it measured
  --same-as REPORT  the mutants of an earlier report (of another commit, say before a change to the
                    tests), found again by file, line text, column and change; a mutant whose
                    line is gone is left out and named. The way to compare two versions of the
                    tests on the same mutants when the sources moved in between.
  --resume          keep the fates of an interrupted run's report (same commit, same options) and
                    run only the mutants it left pending, so that a long sample can be measured
                    over several sittings

The exit code is 0 when the run completed (survivors are findings, not failures), 1 on a bad
option or a baseline that does not pass, 2 when a source could not be restored, 130 when
interrupted. The unit tests of the operators: python3 -m unittest scripts/mutate_test.py
"""

from __future__ import annotations

import argparse
import bisect
import dataclasses
import datetime
import decimal
import fcntl
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import Counter
from pathlib import Path
from typing import Callable, Iterable, Iterator

MUTABLE_DIRS = ("Umbravista", "tools/check")
SOURCE_SUFFIXES = (".cpp", ".h")
GENERATED_MARKER = re.compile(r"(?i)\b(generated by|do not edit|@generated|auto-generated)\b")
TEST_PATH = re.compile(r"(^|/)[Tt]ests?/|(Tests?|_tests?)\.(cpp|h)$")

# --------------------------------------------------------------------------------------------
# Reading C++ source into tokens

TOKEN = re.compile(
    r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|[uUL])?R"(?P<delim>[^()\\\s"]{0,16})\(.*?\)(?P=delim)"
             |(?:u8|[uUL])?"(?:\\.|[^"\\\n])*")
  | (?P<char>(?:u8|[uUL])?'(?:\\.|[^'\\\n])+')
  | (?P<number>\.?[0-9](?:[eEpP][+-]|'[0-9A-Za-z_]|[0-9A-Za-z_.])*)
  | (?P<name>[A-Za-z_][A-Za-z_0-9]*)
  | (?P<punct><=>|<<=|>>=|->\*|\.\.\.|::|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%^&|]=|.)
    """,
    re.VERBOSE | re.DOTALL,
)
PREPROCESSOR_LINE = re.compile(r"#(?:\\\n|[^\n])*")


@dataclasses.dataclass(frozen=True)
class Token:
    kind: str  # string, char, number, name, punct, preprocessor
    text: str
    start: int
    end: int


class Source:
    """A source file as significant tokens (no spaces, no comments), with the indices of the
    tokens that no operator may touch and of the angle brackets that enclose template
    arguments."""

    def __init__(self, path: str, text: str):
        self.path = path
        self.text = text
        self.tokens = list(_tokenise(text))
        self._line_starts = [0] + [m.end() for m in re.finditer(r"\n", text)]
        self.frozen = self._static_asserts()
        self.template_brackets = self._template_brackets()

    def line_of(self, offset: int) -> int:
        return bisect.bisect_right(self._line_starts, offset)

    def line_start(self, line: int) -> int:
        return self._line_starts[line - 1]

    def line_text(self, offset: int) -> str:
        start = self.line_start(self.line_of(offset))
        end = self.text.find("\n", start)
        return self.text[start : end if end >= 0 else len(self.text)]

    def previous(self, index: int) -> Token | None:
        return self.tokens[index - 1] if index > 0 else None

    def matching(self, index: int) -> int | None:
        """The index of the bracket that closes the one at `index`, or None."""
        pairs = {"(": ")", "[": "]", "{": "}"}
        opening = self.tokens[index].text
        depth = 0
        for j in range(index, len(self.tokens)):
            text = self.tokens[j].text
            if text == opening:
                depth += 1
            elif text == pairs[opening]:
                depth -= 1
                if depth == 0:
                    return j
        return None

    def mutable(self, index: int) -> bool:
        return index not in self.frozen and self.tokens[index].kind != "preprocessor"

    def _static_asserts(self) -> set[int]:
        frozen: set[int] = set()
        for i, token in enumerate(self.tokens):
            if token.text == "static_assert" and i + 1 < len(self.tokens):
                close = self.matching(i + 1) if self.tokens[i + 1].text == "(" else None
                frozen.update(range(i, (close if close is not None else i) + 1))
        return frozen

    def _template_brackets(self) -> set[int]:
        """A '<' after a name opens template arguments when a matching '>' follows before
        anything that cannot stand in template arguments; otherwise it is a comparison."""
        stops = {";", "{", "}", "&&", "||", "?", "=", "==", "!=", "<=", ">=", "return"}
        brackets: set[int] = set()
        for i, token in enumerate(self.tokens):
            if token.text != "<" or i in brackets:
                continue
            before = self.previous(i)
            if before is None or before.kind != "name" or before.text == "operator":
                continue
            # Default arguments of a template's parameters are the one place for "=".
            ends = stops - {"="} if before.text == "template" else stops
            opened, parens = [i], 0
            for j in range(i + 1, len(self.tokens)):
                text = self.tokens[j].text
                if text in ends or self.tokens[j].kind == "preprocessor":
                    break
                if text in "([":
                    parens += 1
                elif text in ")]":
                    parens -= 1
                    if parens < 0:
                        break
                elif text == "<" and self.tokens[j - 1].kind == "name":
                    opened.append(j)
                elif text in (">", ">>") and parens == 0:
                    for _ in range(len(text)):
                        if opened:
                            brackets.update((opened.pop(), j))
                    if not opened:
                        break
        return brackets


def _tokenise(text: str) -> Iterator[Token]:
    position = 0
    while position < len(text):
        line_start = text.rfind("\n", 0, position) + 1
        if text[position] == "#" and not text[line_start:position].strip():
            match = PREPROCESSOR_LINE.match(text, position)
            yield Token("preprocessor", match.group(), position, match.end())
            position = match.end()
            continue
        match = TOKEN.match(text, position)
        kind = match.lastgroup if match.lastgroup != "delim" else "string"
        if kind not in ("space", "comment"):
            yield Token(kind, match.group(), position, match.end())
        position = match.end()


# --------------------------------------------------------------------------------------------
# The operators


@dataclasses.dataclass(frozen=True)
class Edit:
    """One change: the text between `start` and `end` becomes `replacement`."""

    start: int
    end: int
    replacement: str
    before: str  # What the report shows of the original...
    after: str  # ...and of the change.


HEX_CALLS = {"Hex", "HexDigits", "HexColor"}
COLOUR_WITH_HASH = re.compile(r'"#([0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})"')
COLOUR_IN_HEX_CALL = re.compile(r'"([0-9A-Fa-f]{6})"')


def hex_digit_edits(source: Source) -> Iterator[Edit]:
    for i, token in enumerate(source.tokens):
        if token.kind != "string" or not source.mutable(i):
            continue
        in_hex_call = (
            i >= 2 and source.tokens[i - 1].text == "(" and source.tokens[i - 2].text in HEX_CALLS
        )
        match = COLOUR_WITH_HASH.fullmatch(token.text) or (
            in_hex_call and COLOUR_IN_HEX_CALL.fullmatch(token.text)
        )
        if not match:
            continue
        for offset in range(match.start(1), match.end(1)):
            digit = token.text[offset]
            changed = token.text[:offset] + _neighbour_digit(digit) + token.text[offset + 1 :]
            yield Edit(token.start, token.end, changed, token.text, changed)


def _neighbour_digit(digit: str) -> str:
    if digit in "Ff":
        return chr(ord(digit) - 1)
    if digit == "9":
        return "A"
    return chr(ord(digit) + 1)


def swap_rows_edits(source: Source) -> Iterator[Edit]:
    for rows in _constant_tables(source):
        for first, second in zip(rows, rows[1:]):
            a, b = source.text[first[0] : first[1]], source.text[second[0] : second[1]]
            if a == b:
                continue
            between = source.text[first[1] : second[0]]
            yield Edit(
                first[0], second[1], b + between + a, f"{_short(a)} / {_short(b)}",
                f"{_short(b)} / {_short(a)}",
            )


def _constant_tables(source: Source) -> Iterator[list[tuple[int, int]]]:
    """The rows of every constexpr or constinit array, as text spans."""
    tokens = source.tokens
    for i, token in enumerate(tokens):
        if token.text not in ("constexpr", "constinit") or not source.mutable(i):
            continue
        j, is_array = i + 1, False
        while j < len(tokens) and tokens[j].text not in ("=", "{", ";", "("):
            is_array |= tokens[j].text in ("array", "[")
            j += 1
        if j < len(tokens) and tokens[j].text == "=":
            j += 1
        if not is_array or j >= len(tokens) or tokens[j].text != "{":
            continue
        open_brace, close_brace = j, source.matching(j)
        if close_brace is None:
            continue
        # std::array's double braces: the rows are inside the inner pair.
        if tokens[open_brace + 1].text == "{" and source.matching(open_brace + 1) == close_brace - 1:
            open_brace, close_brace = open_brace + 1, close_brace - 1
        yield _elements(source, open_brace + 1, close_brace)


def _elements(source: Source, first: int, end: int) -> list[tuple[int, int]]:
    """Splits the tokens in [first, end) at commas that stand outside any brackets."""
    spans, depth, start = [], 0, first
    for j in range(first, end):
        text = source.tokens[j].text
        if text in "([{" or (text == "<" and j in source.template_brackets):
            depth += 1
        elif text in ")]}" or (text in (">", ">>") and j in source.template_brackets):
            depth -= 1 if text != ">>" else 2
        elif text == "," and depth == 0:
            if j > start:
                spans.append((source.tokens[start].start, source.tokens[j - 1].end))
            start = j + 1
    if end > start:
        spans.append((source.tokens[start].start, source.tokens[end - 1].end))
    return spans


COMPARISON_STEPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}


def comparison_edits(source: Source) -> Iterator[Edit]:
    for i, token in enumerate(source.tokens):
        if token.kind != "punct" or token.text not in COMPARISON_STEPS:
            continue
        if not source.mutable(i) or i in source.template_brackets:
            continue
        before = source.previous(i)
        if before is not None and before.text == "operator":
            continue
        after = COMPARISON_STEPS[token.text]
        yield Edit(token.start, token.end, after, token.text, after)


BOOLEAN_FLIPS = {"true": "false", "false": "true"}


def boolean_edits(source: Source) -> Iterator[Edit]:
    for i, token in enumerate(source.tokens):
        if token.kind == "name" and token.text in BOOLEAN_FLIPS and source.mutable(i):
            yield Edit(token.start, token.end, BOOLEAN_FLIPS[token.text], token.text,
                       BOOLEAN_FLIPS[token.text])


# Words that begin a statement but not a call.
NOT_CALLS = {
    "return", "throw", "delete", "new", "goto", "break", "continue", "case", "default", "using",
    "typedef", "static_assert", "if", "while", "for", "switch", "do", "else", "try", "catch",
    "co_return", "co_yield", "co_await", "sizeof", "decltype", "template", "operator",
}
# Words between a closing parenthesis and the brace of a function body.
FUNCTION_SUFFIXES = {"const", "noexcept", "override", "final", "mutable"}
# Operators that make a statement more than a call when they stand outside the call's brackets.
CALL_PATH = {"::", ".", "->"}


def delete_call_edits(source: Source) -> Iterator[Edit]:
    tokens = source.tokens
    in_code = _code_positions(source)
    for i, token in enumerate(tokens):
        if token.kind != "name" or token.text in NOT_CALLS or not in_code[i]:
            continue
        if not source.mutable(i) or not _starts_statement(source, i):
            continue
        end = _call_statement_end(source, i)
        if end is None:
            continue
        statement = source.text[token.start : tokens[end].end]
        yield Edit(token.start, tokens[end].end, ";", _short(statement, 70), ";")


def _code_positions(source: Source) -> list[bool]:
    """For each token, whether it stands directly in a function body or a block within one,
    rather than in a namespace, class, enumeration or braced initialiser."""
    tokens = source.tokens
    stack: list[bool] = []  # One entry per open brace: does it open code?
    result = []
    for i, token in enumerate(tokens):
        result.append(bool(stack) and stack[-1])
        if token.text == "{":
            before = source.previous(i)
            text = before.text if before is not None else ""
            if stack and stack[-1]:
                opens_code = text in (";", "{", "}", ")", "]", "else", "do", "try", ":")
            else:
                opens_code = text == ")" or text in FUNCTION_SUFFIXES
            stack.append(opens_code)
        elif token.text == "}" and stack:
            stack.pop()
    return result


def _starts_statement(source: Source, index: int) -> bool:
    before = source.previous(index)
    if before is None or before.text in (";", "{", "}", "else", "do"):
        return True
    if before.text == ")":
        # Only the body of if, while and for: the closing parenthesis of their condition.
        depth = 0
        for j in range(index - 1, -1, -1):
            text = source.tokens[j].text
            depth += text == ")"
            depth -= text == "("
            if depth == 0:
                word = source.previous(j)
                return word is not None and word.text in ("if", "while", "for")
        return False
    if before.text == ":":
        # A case label: the statement after `case X:` or `default:`.
        for j in range(index - 2, -1, -1):
            text = source.tokens[j].text
            if text in (";", "{", "}"):
                return source.tokens[j + 1].text in ("case", "default")
    return False


def _call_statement_end(source: Source, start: int) -> int | None:
    """The index of the ';' ending the statement at `start` when the statement is a call and
    nothing more (a name path, template arguments, arguments), else None."""
    tokens = source.tokens
    j, had_call, last = start, False, ""
    while j < len(tokens):
        token = tokens[j]
        if token.text in ("(", "["):
            close = source.matching(j)
            if close is None:
                return None
            had_call |= token.text == "("
            j, last = close + 1, token.text
            continue
        if token.text == ";":
            return j if had_call and last == "(" else None
        if token.text == "<" and j in source.template_brackets:
            depth = 1
            j += 1
            while j < len(tokens) and depth:
                if j in source.template_brackets:
                    depth += 1 if tokens[j].text == "<" else -len(tokens[j].text)
                j += 1
            last = "<"
            continue
        if token.kind == "name":
            # A name after a name or after template arguments declares something.
            if last in ("name", "<") or token.text in NOT_CALLS:
                return None
            last = "name"
        elif token.text in CALL_PATH:
            last = token.text
        else:
            return None
        j += 1
    return None


def number_edits(source: Source) -> Iterator[Edit]:
    for i, token in enumerate(source.tokens):
        if token.kind != "number" or not source.mutable(i):
            continue
        for changed in _numbers_one_step_away(token.text):
            yield Edit(token.start, token.end, changed, token.text, changed)


INTEGER = re.compile(r"(?P<prefix>0[xX]|0[bB]|0(?=[0-7]))?(?P<digits>[0-9A-Fa-f]+)(?P<suffix>[uUlLzZ]*)")
DECIMAL = re.compile(
    r"(?P<whole>[0-9]*)(?:\.(?P<fraction>[0-9]*))?(?P<exponent>[eE][+-]?[0-9]+)?(?P<suffix>[fFlL]?)"
)


def _numbers_one_step_away(literal: str) -> list[str]:
    """The literal one step up and one step down, in the way it is written; nothing below
    zero, and nothing for forms it does not know (hexadecimal floating point)."""
    text = literal.replace("'", "")
    integer = INTEGER.fullmatch(text)
    if integer and not re.fullmatch(r"[0-9]*[eE][0-9]+", text):
        prefix = integer["prefix"] or ""
        base = {"0x": 16, "0X": 16, "0b": 2, "0B": 2, "0": 8}.get(prefix, 10)
        try:
            value = int(integer["digits"], base)
        except ValueError:
            return []
        results = []
        for step in (1, -1):
            if value + step < 0:
                continue
            digits = _format_integer(value + step, base, integer["digits"])
            results.append(prefix + digits + integer["suffix"])
        return results
    number = DECIMAL.fullmatch(text)
    if not number or not (number["whole"] or number["fraction"]):
        return []
    fraction = number["fraction"] or ""
    mantissa = decimal.Decimal((number["whole"] or "0") + "." + fraction if fraction else
                               (number["whole"] or "0"))
    unit = decimal.Decimal(1).scaleb(-len(fraction))
    results = []
    for step in (unit, -unit):
        value = mantissa + step
        if value < 0:
            continue
        written = f"{value:.{len(fraction)}f}"
        if number["whole"] == "" and written.startswith("0."):
            written = written[1:]
        if number["fraction"] == "" and "." in text:
            written += "."
        results.append(written + (number["exponent"] or "") + number["suffix"])
    return results


def _format_integer(value: int, base: int, original_digits: str) -> str:
    if base == 16:
        digits = format(value, "X" if original_digits.upper() == original_digits else "x")
    elif base == 2:
        digits = format(value, "b")
    elif base == 8:
        digits = format(value, "o")
    else:
        return str(value)
    return digits.rjust(len(original_digits), "0")


def _short(text: str, width: int = 48) -> str:
    text = " ".join(text.split())
    return text if len(text) <= width else text[: width - 1] + "…"


@dataclasses.dataclass(frozen=True)
class Operator:
    name: str
    summary: str
    edits: Callable[[Source], Iterable[Edit]]


OPERATORS = {
    op.name: op
    for op in (
        Operator("hex-digit", "a digit of a colour literal raised by one", hex_digit_edits),
        Operator("swap-rows", "two adjacent rows of a constant table swapped", swap_rows_edits),
        Operator("comparison", "a comparison moved by one step or flipped", comparison_edits),
        Operator("boolean", "true and false exchanged", boolean_edits),
        Operator("delete-call", "a statement that is only a call removed", delete_call_edits),
        Operator("number", "a number moved by one step", number_edits),
    )
}


# --------------------------------------------------------------------------------------------
# Mutants


@dataclasses.dataclass
class Mutant:
    id: int
    file: str
    line: int
    column: int
    operator: str
    before: str
    after: str
    line_before: str
    line_after: str
    start: int
    end: int
    replacement: str
    fate: str = "pending"
    build_seconds: float = 0.0
    test_seconds: float = 0.0
    detail: str = ""  # The failing tests, or the first compiler error.

    def apply(self, text: str) -> str:
        return text[: self.start] + self.replacement + text[self.end :]

    def where(self) -> str:
        return f"{self.file}:{self.line}"


def mutants_of(path: str, text: str, operators: Iterable[str]) -> list[Mutant]:
    source = Source(path, text)
    found = []
    for name in operators:
        for edit in OPERATORS[name].edits(source):
            line = source.line_of(edit.start)
            changed = text[: edit.start] + edit.replacement + text[edit.end :]
            line_start = source.line_start(line)
            found.append(
                Mutant(
                    id=0, file=path, line=line, column=edit.start - line_start + 1,
                    operator=name, before=edit.before, after=edit.after,
                    line_before=source.line_text(edit.start).strip(),
                    line_after=_line_at(changed, line_start).strip(),
                    start=edit.start, end=edit.end, replacement=edit.replacement,
                )
            )
    return found


def _line_at(text: str, line_start: int) -> str:
    end = text.find("\n", line_start)
    return text[line_start : end if end >= 0 else len(text)]


def library_files(root: Path) -> list[str]:
    listed = subprocess.run(
        ["git", "ls-files", "--", *MUTABLE_DIRS], cwd=root, capture_output=True, text=True,
        check=True,
    ).stdout.split()
    files = []
    for path in sorted(listed):
        if not path.endswith(SOURCE_SUFFIXES) or TEST_PATH.search(path):
            continue
        head = "\n".join((root / path).read_text(encoding="utf-8").splitlines()[:10])
        if not GENERATED_MARKER.search(head):
            files.append(path)
    return files


def select(mutants: list[Mutant], limit: int | None, seed: int | None,
           per_operator: bool) -> list[Mutant]:
    """At most `limit` mutants (of each operator with `per_operator`): the first ones, or a
    random draw with `seed`. The choice keeps file order, so that a file's mutants are built one
    after the other."""
    if limit is None:
        return mutants
    groups: dict[str, list[Mutant]] = {}
    for mutant in mutants:
        groups.setdefault(mutant.operator if per_operator else "", []).append(mutant)
    chosen = []
    for group in groups.values():
        if seed is not None:
            group = random.Random(seed).sample(group, min(limit, len(group)))
        chosen.extend(group[:limit])
    position = {id(m): n for n, m in enumerate(mutants)}
    return sorted(chosen, key=lambda m: position[id(m)])


# --------------------------------------------------------------------------------------------
# Writing a mutant and always restoring the original


class Restorer:
    """Keeps a copy of each original in the build directory while its file is mutated, so that
    the file comes back in `finally` and, should the process be killed outright, at the next
    start."""

    def __init__(self, root: Path, backup_dir: Path):
        self.root = root
        self.backup_dir = backup_dir

    def restore_leftovers(self) -> list[str]:
        restored = []
        if self.backup_dir.is_dir():
            for backup in sorted(self.backup_dir.rglob("*")):
                if backup.is_file():
                    relative = backup.relative_to(self.backup_dir)
                    _write_atomically(self.root / relative, backup.read_bytes())
                    backup.unlink()
                    restored.append(str(relative))
        return restored

    def mutated(self, path: str, original: bytes, mutant: bytes) -> "_MutatedFile":
        return _MutatedFile(self, path, original, mutant)


class _MutatedFile:
    def __init__(self, restorer: Restorer, path: str, original: bytes, mutant: bytes):
        self.target = restorer.root / path
        self.backup = restorer.backup_dir / path
        self.original = original
        self.mutant = mutant

    def __enter__(self) -> None:
        self.backup.parent.mkdir(parents=True, exist_ok=True)
        _write_atomically(self.backup, self.original)
        _write_atomically(self.target, self.mutant)

    def __exit__(self, *exception) -> None:
        # A second Ctrl-C must not stop the restoring half-way.
        held = signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT, signal.SIGTERM})
        try:
            _write_atomically(self.target, self.original)
            self.backup.unlink()
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, held)


def lock_build_directory(build: Path):
    """Holds the build directory for this run, or answers None while another run holds it: two
    runs on one build directory would build each other's mutants and restore each other's
    files. The lock ends with the process, however it ends."""
    build.mkdir(parents=True, exist_ok=True)
    handle = open(build / "mutate.lock", "w")
    try:
        fcntl.flock(handle, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        handle.close()
        return None
    return handle


def _write_atomically(path: Path, content: bytes) -> None:
    temporary = path.with_name(path.name + ".mutate-tmp")
    temporary.write_bytes(content)
    if path.exists():
        shutil.copymode(path, temporary)
    os.replace(temporary, path)


# --------------------------------------------------------------------------------------------
# Building and testing


@dataclasses.dataclass
class Outcome:
    ok: bool
    seconds: float
    output: str
    timed_out: bool = False


def run_command(command: list[str], cwd: Path, timeout: float | None) -> Outcome:
    """Runs a command in a process group of its own and ends the whole group when it runs past
    `timeout` or the script is interrupted, so that no compiler or test outlives the mutant."""
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, errors="replace",
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        _end_group(process)
        output, _ = process.communicate()
        return Outcome(False, time.monotonic() - started, output or "", timed_out=True)
    except BaseException:
        _end_group(process)
        process.wait()
        raise
    return Outcome(process.returncode == 0, time.monotonic() - started, output)


def _end_group(process: subprocess.Popen) -> None:
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


FAILED_TEST = re.compile(r"^\s*\d+ - (?P<name>.+?) \((?P<why>[^()]+)\)\s*$", re.MULTILINE)


def test_fate(outcome: Outcome) -> tuple[str, str]:
    """Reads ctest's result: survived, killed or timeout, with the failing tests."""
    if outcome.ok:
        return "survived", ""
    if outcome.timed_out:
        return "timeout", "the whole test run ran past its time"
    tail = outcome.output.split("The following tests FAILED:")[-1]
    failed = FAILED_TEST.findall(tail) if "The following tests FAILED:" in outcome.output else []
    if failed and all(why == "Timeout" for _, why in failed):
        return "timeout", ", ".join(name for name, _ in failed)
    if failed:
        return "killed", ", ".join(f"{name} ({why})" for name, why in failed)
    lines = [line for line in outcome.output.splitlines() if line.strip()]
    return "killed", lines[-1] if lines else "ctest failed"


def first_error(output: str) -> str:
    for line in output.splitlines():
        if "error" in line.lower() and not line.startswith("ninja: build stopped"):
            return line.strip()[:300]
    return output.strip().splitlines()[-1][:300] if output.strip() else "build failed"


class Runner:
    def __init__(self, root: Path, args: argparse.Namespace):
        self.root = root
        self.build = args.build
        self.jobs = args.jobs
        self.timeout = args.timeout
        self.tests = args.tests
        self.excluded_tests = args.exclude_tests
        self.targets = args.target or []
        self.test_run_limit = None

    def configure(self) -> None:
        # Every mutant relinks the library and the tests: without debug information and with
        # lld when it is there, a mutant builds in about half the time. The assertions stay off,
        # as in the release build, so that a mutant is caught by a test and not by an assert.
        flags = "-O1 -DNDEBUG"
        command = ["cmake", "-S", str(self.root), "-B", str(self.build),
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DUMBRAVISTA_BENCHMARKS=OFF",
                   f"-DCMAKE_CXX_FLAGS_RELWITHDEBINFO={flags}",
                   f"-DCMAKE_C_FLAGS_RELWITHDEBINFO={flags}",
                   f"-DCMAKE_OBJC_FLAGS_RELWITHDEBINFO={flags}"]
        if shutil.which("ld.lld"):
            command += [f"-DCMAKE_{kind}_LINKER_FLAGS=-fuse-ld=lld"
                        for kind in ("EXE", "SHARED", "MODULE")]
        if shutil.which("ninja"):
            command += ["-G", "Ninja"]
        print(f"Configuring {self.build}", flush=True)
        outcome = run_command(command, self.root, None)
        if not outcome.ok:
            raise SystemExit(f"configuring failed:\n{outcome.output[-3000:]}")

    def build_all(self) -> Outcome:
        command = ["nice", "cmake", "--build", str(self.build), "-j", str(self.jobs)]
        for target in self.targets:
            command += ["--target", target]
        return run_command(command, self.root, 3600)

    def run_tests(self) -> Outcome:
        command = ["nice", "ctest", "-j", str(self.jobs), "--timeout", str(self.timeout),
                   "--stop-on-failure"]
        if self.tests:
            command += ["-R", self.tests]
        if self.excluded_tests:
            command += ["-E", self.excluded_tests]
        return run_command(command, self.build, self.test_run_limit)

    def baseline(self) -> None:
        """The unmutated sources must build and pass, or no mutant means anything. The run's
        time also bounds each mutant's test run, which catches a hang that the per-test timeout
        would take long to end one test at a time."""
        print("Building and testing the unmutated sources", flush=True)
        built = self.build_all()
        if not built.ok:
            raise SystemExit(f"the unmutated sources do not build:\n{built.output[-3000:]}")
        tested = self.run_tests()
        if not tested.ok:
            raise SystemExit(f"the tests fail without any mutant:\n{tested.output[-3000:]}")
        self.test_run_limit = max(120.0, 10 * tested.seconds, 3.0 * self.timeout)
        print(f"Baseline: build {built.seconds:.1f}s, tests {tested.seconds:.1f}s", flush=True)


# --------------------------------------------------------------------------------------------
# Report

FATES = ("killed", "timeout", "survived", "compile-error")


def summary_lines(mutants: list[Mutant]) -> list[str]:
    done = [m for m in mutants if m.fate in FATES]
    lines = [f"{'operator':<12} {'mutants':>7} {'killed':>7} {'timeout':>7} {'survived':>8} "
             f"{'compile':>7} {'score':>6}"]
    operators = sorted({m.operator for m in done}, key=list(OPERATORS).index)
    for name in operators + ["all"]:
        group = [m for m in done if name in ("all", m.operator)]
        counts = Counter(m.fate for m in group)
        lines.append(
            f"{name:<12} {len(group):>7} {counts['killed']:>7} {counts['timeout']:>7} "
            f"{counts['survived']:>8} {counts['compile-error']:>7} {score_text(counts):>6}"
        )
    if done:
        build = sum(m.build_seconds for m in done) / len(done)
        test = sum(m.test_seconds for m in done) / len(done)
        lines.append(f"Mean time per mutant: build {build:.1f}s + tests {test:.1f}s")
    survivors = [m for m in done if m.fate == "survived"]
    if survivors:
        lines.append(f"Survivors ({len(survivors)}):")
        for m in survivors:
            lines.append(f"  {m.where()} {m.operator}: {m.before} -> {m.after}")
            lines.append(f"      {m.line_after}")
    return lines


def score(counts: Counter) -> float | None:
    """Caught (killed or timed out) over every mutant that compiled."""
    compiled = sum(counts[f] for f in FATES) - counts["compile-error"]
    return (counts["killed"] + counts["timeout"]) / compiled if compiled else None


def score_text(counts: Counter) -> str:
    value = score(counts)
    return "-" if value is None else f"{100 * value:.0f}%"


def resume(path: Path, mutants: list[Mutant], meta: dict) -> int:
    """Copies the fates of an earlier report of the same commit and options onto the same
    mutants; answers how many it took. A report of another commit or options is not used: its
    mutants may be other ones under the same numbers."""
    try:
        earlier = json.loads(path.read_text(encoding="utf-8"))
    except (OSError, ValueError):
        return 0
    if earlier.get("commit") != meta["commit"] or earlier.get("options") != meta["options"]:
        return 0
    taken = 0
    for mutant, old in zip(mutants, earlier.get("mutants", [])):
        same = all(old.get(k) == getattr(mutant, k)
                   for k in ("file", "line", "column", "operator", "before", "after"))
        if same and old.get("fate") in FATES:
            mutant.fate, mutant.detail = old["fate"], old.get("detail", "")
            mutant.build_seconds = old.get("build_seconds", 0.0)
            mutant.test_seconds = old.get("test_seconds", 0.0)
            taken += 1
    return taken


def write_report(path: Path, mutants: list[Mutant], meta: dict) -> None:
    counts = Counter(m.fate for m in mutants)
    report = dict(meta)
    report["counts"] = {fate: counts[fate] for fate in FATES + ("pending",)}
    report["score"] = score(counts)
    report["mutants"] = [
        {k: v for k, v in dataclasses.asdict(m).items() if k not in ("start", "end", "replacement")}
        for m in mutants
    ]
    path.parent.mkdir(parents=True, exist_ok=True)
    _write_atomically(path, (json.dumps(report, indent=2, ensure_ascii=False) + "\n").encode())


# --------------------------------------------------------------------------------------------
# Command line


def parse_arguments(argv: list[str], root: Path) -> argparse.Namespace:
    parser = argparse.ArgumentParser(
        description="Mutation testing of the library (see the comment at the top of the file).")
    parser.add_argument("--operator", action="append", choices=list(OPERATORS))
    parser.add_argument("--file", action="append",
                        help="a file or directory under " + " or ".join(MUTABLE_DIRS))
    parser.add_argument("--limit", type=int)
    parser.add_argument("--per-operator", action="store_true")
    parser.add_argument("--seed", type=int)
    parser.add_argument("--build", type=Path, default=Path("build-mutate"))
    parser.add_argument("--timeout", type=int, default=30)
    parser.add_argument("--tests")
    parser.add_argument("--exclude-tests")
    parser.add_argument("--target", action="append")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--report", type=Path)
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--resume", action="store_true")
    parser.add_argument("--same-as", type=Path)
    args = parser.parse_args(argv)
    if not args.build.is_absolute():
        args.build = root / args.build
    if args.build.resolve() == (root / "build").resolve():
        parser.error("--build must not be build/: every mutant leaves its build directory rebuilt")
    args.report = args.report or args.build / "mutation-report.json"
    args.operator = args.operator or list(OPERATORS)
    args.file = [_relative_to_root(f, root, parser) for f in args.file or []]
    return args


def _relative_to_root(path: str, root: Path, parser: argparse.ArgumentParser) -> str:
    absolute = Path(path) if Path(path).is_absolute() else Path.cwd() / path
    if not absolute.exists():
        absolute = root / path
    try:
        relative = absolute.resolve().relative_to(root).as_posix()
    except ValueError:
        parser.error(f"{path} is not inside the repository")
    if not any((relative + "/").startswith(d + "/") for d in MUTABLE_DIRS):
        parser.error(f"{path} is not under " + " or ".join(d + "/" for d in MUTABLE_DIRS))
    return relative


def in_chosen_files(path: str, chosen: list[str]) -> bool:
    return not chosen or any(path == c or path.startswith(c.rstrip("/") + "/") for c in chosen)


def collect(root: Path, args: argparse.Namespace) -> list[Mutant]:
    mutants = []
    for path in library_files(root):
        if in_chosen_files(path, args.file):
            text = (root / path).read_text(encoding="utf-8")
            mutants.extend(mutants_of(path, text, args.operator))
    if args.same_as:
        mutants = same_as(args.same_as, mutants, root)
    else:
        mutants = select(mutants, args.limit, args.seed, args.per_operator)
    for number, mutant in enumerate(mutants, 1):
        mutant.id = number
    return mutants


def _identity(mutant: dict) -> tuple:
    return (mutant["file"], mutant["line_before"].strip(), mutant["column"], mutant["operator"],
            mutant["before"], mutant["after"])


def same_as(report: Path, candidates: list[Mutant], root: Path) -> list[Mutant]:
    """The mutants of `report` among `candidates`. A line such as `return false;` may stand
    several times in a file, so a mutant is found again as the same occurrence of its line
    text, counted in the file as it was at the report's commit."""
    earlier = json.loads(report.read_text(encoding="utf-8"))
    available: dict[tuple, list[Mutant]] = {}
    for mutant in candidates:
        available.setdefault(_identity(dataclasses.asdict(mutant)), []).append(mutant)
    occurrence: dict[tuple, int] = {}
    for path in sorted({old["file"] for old in earlier["mutants"]}):
        shown = subprocess.run(["git", "show", f"{earlier['commit']}:{path}"], cwd=root,
                               capture_output=True, text=True)
        seen: Counter = Counter()
        for then in mutants_of(path, shown.stdout, OPERATORS):
            identity = _identity(dataclasses.asdict(then))
            occurrence[(path, then.line, then.column, then.operator, then.after)] = seen[identity]
            seen[identity] += 1
    chosen = []
    for old in earlier["mutants"]:
        matches = available.get(_identity(old), [])
        k = occurrence.get((old["file"], old["line"], old["column"], old["operator"], old["after"]))
        if k is not None and k < len(matches):
            chosen.append(matches[k])
        else:
            print(f"Gone since {report.name}: {old['file']}:{old['line']} {old['operator']}: "
                  f"{old['before']} -> {old['after']}", file=sys.stderr)
    return chosen


def git_clean(root: Path, paths: list[str]) -> bool:
    return subprocess.run(["git", "diff", "--quiet", "HEAD", "--", *paths], cwd=root).returncode == 0


def _interrupt(signal_number: int, frame: object) -> None:
    raise KeyboardInterrupt


def main(argv: list[str]) -> int:
    root = Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True,
                               text=True, check=True, cwd=Path(__file__).parent).stdout.strip())
    args = parse_arguments(argv, root)
    restorer = Restorer(root, args.build / "mutate-originals")
    lock = None
    if args.build.is_dir() or not args.list:
        lock = lock_build_directory(args.build)
        if lock is None and not args.list:
            print(f"Another run is using {args.build}; wait for it or choose another --build.")
            return 1
        if lock is None:
            print(f"Another run is using {args.build}: a source may hold one of its mutants.",
                  file=sys.stderr)
    if lock is not None:
        for path in restorer.restore_leftovers():
            print(f"Restored {path}, left mutated by an earlier run that was killed")

    mutants = collect(root, args)
    counted = Counter(m.operator for m in mutants)
    per_operator = {name: counted[name] for name in OPERATORS if counted[name]}
    if args.list:
        for m in mutants:
            print(f"{m.id:>5} {m.where()} {m.operator}: {m.before} -> {m.after}")
        print("Mutants per operator: " + ", ".join(f"{k} {v}" for k, v in per_operator.items())
              + f"; {len(mutants)} in all")
        return 0
    if not mutants:
        print("No mutant matches the options.")
        return 0
    files = sorted({m.file for m in mutants})
    if not git_clean(root, files):
        print("The sources to mutate have uncommitted changes; commit or stash them first, so "
              "that the run measures the committed code and can show it restored everything.")
        return 1

    # SIGTERM ends the run the way Ctrl-C does, through every `finally`.
    signal.signal(signal.SIGTERM, _interrupt)
    runner = Runner(root, args)
    meta = {
        "started": datetime.datetime.now().isoformat(timespec="seconds"),
        "commit": subprocess.run(["git", "rev-parse", "HEAD"], cwd=root, capture_output=True,
                                 text=True).stdout.strip(),
        "options": {"operators": args.operator, "files": args.file, "limit": args.limit,
                    "seed": args.seed, "per_operator": args.per_operator,
                    "timeout": args.timeout, "tests": args.tests,
                    "excluded_tests": args.exclude_tests},
        "mutants_per_operator": dict(per_operator),
    }
    if args.resume:
        print(f"Resumed {resume(args.report, mutants, meta)} mutants from {args.report}")
    interrupted = False
    try:
        runner.configure()
        runner.baseline()
        originals = {path: (root / path).read_bytes() for path in files}
        for mutant in mutants:
            if mutant.fate in FATES:
                continue
            original = originals[mutant.file]
            changed = mutant.apply(original.decode("utf-8")).encode("utf-8")
            print(f"[{mutant.id}/{len(mutants)}] {mutant.where()} {mutant.operator}: "
                  f"{mutant.before} -> {mutant.after} ... ", end="", flush=True)
            with restorer.mutated(mutant.file, original, changed):
                built = runner.build_all()
                mutant.build_seconds = round(built.seconds, 1)
                if not built.ok:
                    mutant.fate, mutant.detail = "compile-error", first_error(built.output)
                else:
                    tested = runner.run_tests()
                    mutant.test_seconds = round(tested.seconds, 1)
                    mutant.fate, mutant.detail = test_fate(tested)
            print(f"{mutant.fate} ({mutant.build_seconds:.0f}s + {mutant.test_seconds:.0f}s)",
                  flush=True)
            write_report(args.report, mutants, meta)
    except KeyboardInterrupt:
        interrupted = True
        print("\nInterrupted; the sources are restored.")
    finally:
        meta["finished"] = datetime.datetime.now().isoformat(timespec="seconds")
        meta["interrupted"] = interrupted
        write_report(args.report, mutants, meta)
        restored = git_clean(root, files)
        if not restored:
            print("ERROR: a mutated source was not restored; see git diff", file=sys.stderr)

    if not restored:
        return 2
    if not interrupted:
        # Leave the build directory matching the restored sources.
        runner.build_all()
    print("\n".join(summary_lines(mutants)))
    print(f"Report: {args.report}")
    return 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
