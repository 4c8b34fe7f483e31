"""Unit tests of scripts/mutate.py: each operator makes exactly the expected mutants of a small
fixture, skips what it must skip, and the original always comes back.

Run from the repository root: python3 -m unittest scripts/mutate_test.py
"""

import sys
import tempfile
import unittest
from collections import Counter
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
import mutate  # noqa: E402

FIXTURE = """\
#include <array>  // 1 < 2, true, "#FFFFFF"
// Hex("ABCDEF") in a comment, true, 3 < 4 and "#123456" stay as they are.
/* false == 0x1F */
namespace demo {

inline constexpr std::array<Colour, 3> kList = {
    Hex("0A9F0f"), Other, Other,
};
static_assert(kList.size() == 3, "true < false");
inline constexpr Row kRows[] = {{1, true}, {2.5, Pair<int, 1>()}};
inline constexpr Setting kText{"Text", "#ffffff"};
constinit const std::array<Entry, 2> kHooks = {{ Hook<kA, &A>("a"), Hook<kB, &B>("b"), }};

template <typename T = void, int N>
constexpr bool Within(T value) { return value < N && value >= 0x1F; }

void Paint(id view) {
  const char* label = R"(12AB34 "#1" < true)";
  Send<id>(view, "setBackgroundColor:", HexDigits("00AAFF"));
  if (view != nullptr) Release(view);
  std::string copy(label);
  count = Count(view) > '<';
  return Finish(view);
}

}  // namespace demo
"""


def mutants(operator, text=FIXTURE):
    return [(m.line, m.before, m.after) for m in mutate.mutants_of("f.h", text, [operator])]


class OperatorTest(unittest.TestCase):
    """Every operator against the fixture: the exact mutants, in source order."""

    def test_each_operator_makes_exactly_these_mutants(self):
        hex_digit = [(7, '"0A9F0f"', after) for after in (
            '"1A9F0f"', '"0B9F0f"', '"0AAF0f"', '"0A9E0f"', '"0A9F1f"', '"0A9F0e"')]
        hex_digit += [(11, '"#ffffff"', after) for after in (
            '"#efffff"', '"#feffff"', '"#ffefff"', '"#fffeff"', '"#ffffef"', '"#fffffe"')]
        hex_digit += [(19, '"00AAFF"', after) for after in (
            '"10AAFF"', '"01AAFF"', '"00BAFF"', '"00ABFF"', '"00AAEF"', '"00AAFE"')]
        cases = {
            "hex-digit": hex_digit,
            "swap-rows": [
                (7, 'Hex("0A9F0f") / Other', 'Other / Hex("0A9F0f")'),
                (10, "{1, true} / {2.5, Pair<int, 1>()}", "{2.5, Pair<int, 1>()} / {1, true}"),
                (12, 'Hook<kA, &A>("a") / Hook<kB, &B>("b")',
                 'Hook<kB, &B>("b") / Hook<kA, &A>("a")'),
            ],
            "comparison": [(15, "<", "<="), (15, ">=", ">"), (20, "!=", "=="), (22, ">", ">=")],
            "boolean": [(10, "true", "false")],
            "delete-call": [
                (19, 'Send<id>(view, "setBackgroundColor:", HexDigits("00AAFF"));', ";"),
                (20, "Release(view);", ";"),
            ],
            "number": [
                (6, "3", "4"), (6, "3", "2"), (10, "1", "2"), (10, "1", "0"), (10, "2.5", "2.6"),
                (10, "2.5", "2.4"), (10, "1", "2"), (10, "1", "0"), (12, "2", "3"), (12, "2", "1"),
                (15, "0x1F", "0x20"), (15, "0x1F", "0x1E"),
            ],
        }
        self.assertEqual(set(cases), set(mutate.OPERATORS))
        for operator, expected in cases.items():
            with self.subTest(operator=operator):
                self.assertEqual(mutants(operator), expected)

    def test_every_mutant_changes_only_its_own_text(self):
        for m in mutate.mutants_of("f.h", FIXTURE, list(mutate.OPERATORS)):
            with self.subTest(mutant=(m.line, m.operator, m.before)):
                changed = m.apply(FIXTURE)
                self.assertNotEqual(changed, FIXTURE)
                self.assertEqual(changed[: m.start], FIXTURE[: m.start])
                self.assertEqual(changed[m.start + len(m.replacement) :], FIXTURE[m.end :])

    def test_a_swap_keeps_the_text_between_the_rows(self):
        text = "constexpr std::array<int, 2> kPair = {\n    10,  // ten\n    20,\n};\n"
        (swap,) = mutate.mutants_of("f.h", text, ["swap-rows"])
        self.assertEqual(swap.apply(text),
                         "constexpr std::array<int, 2> kPair = {\n    20,  // ten\n    10,\n};\n")

    def test_a_call_deleted_after_a_condition_leaves_an_empty_statement(self):
        text = "void F() {\n  if (on) Call(a);\n  Next();\n}\n"
        first = mutate.mutants_of("f.cpp", text, ["delete-call"])[0]
        self.assertEqual(first.apply(text), "void F() {\n  if (on) ;\n  Next();\n}\n")

    def test_declarations_and_expressions_are_not_calls(self):
        text = """\
struct S { S(int x); };
void F() {
  Foo bar(1);
  std::vector<int> values(3);
  x = Get();
  Get() + 1;
  (void)Ignored(1);
  obj.Member(1)->Other();
  return Call();
}
"""
        self.assertEqual(mutants("delete-call", text),
                         [(8, "obj.Member(1)->Other();", ";")])

    def test_template_brackets_are_not_comparisons(self):
        text = """\
template <typename A = int, typename... B>
auto F(A a) { return static_cast<std::int32_t>(a) < std::numeric_limits<A>::max() >> 4; }
bool G(int a, int b) { return a < b && b > a; }
std::vector<std::vector<int>> H();
bool operator<(const S&, const S&);
"""
        self.assertEqual(mutants("comparison", text),
                         [(2, "<", "<="), (3, "<", "<="), (3, ">", ">=")])


class NumberTest(unittest.TestCase):
    def test_one_step_either_way_as_written(self):
        cases = {
            "0": ["1"],
            "8": ["9", "7"],
            "16U": ["17U", "15U"],
            "1'000": ["1001", "999"],
            "0x80": ["0x81", "0x7F"],
            "0xffu": ["0x100u", "0xfeu"],
            "0b10": ["0b11", "0b01"],
            "017": ["020", "016"],
            "0.906": ["0.907", "0.905"],
            "1.0": ["1.1", "0.9"],
            "0.0": ["0.1"],
            "255.0F": ["255.1F", "254.9F"],
            ".5": [".6", ".4"],
            "2.": ["3.", "1."],
            "1e5": ["2e5", "0e5"],
            "1.5e-3": ["1.6e-3", "1.4e-3"],
            "0x1p3": [],
        }
        for literal, expected in cases.items():
            with self.subTest(literal=literal):
                self.assertEqual(mutate._numbers_one_step_away(literal), expected)


class TokeniserTest(unittest.TestCase):
    def test_kinds(self):
        text = "#pragma once\nx = u8R\"d(a)\" b)d\" + '\\'' + 1'000 + .5f; // c\n"
        tokens = [(t.kind, t.text) for t in mutate.Source("f.h", text).tokens]
        self.assertEqual(tokens, [
            ("preprocessor", "#pragma once"), ("name", "x"), ("punct", "="),
            ("string", 'u8R"d(a)" b)d"'), ("punct", "+"), ("char", "'\\''"), ("punct", "+"),
            ("number", "1'000"), ("punct", "+"), ("number", ".5f"), ("punct", ";"),
        ])

    def test_a_hash_inside_a_line_is_not_a_directive(self):
        kinds = [t.kind for t in mutate.Source("f.h", "a # b\n  #define X 1\n").tokens]
        self.assertEqual(kinds, ["name", "punct", "name", "preprocessor"])


class SelectionTest(unittest.TestCase):
    def setUp(self):
        self.all = [mutate.Mutant(0, f"f{n // 10}.h", n, 1, op, "", "", "", "", 0, 0, "")
                    for n in range(40) for op in ("boolean", "number")]

    def test_limit_takes_the_first_ones(self):
        self.assertEqual(mutate.select(self.all, 3, None, False), self.all[:3])

    def test_a_seeded_sample_per_operator_is_repeatable_and_keeps_file_order(self):
        sample = mutate.select(self.all, 5, 7, True)
        self.assertEqual(Counter(m.operator for m in sample), {"boolean": 5, "number": 5})
        self.assertEqual(sample, mutate.select(self.all, 5, 7, True))
        self.assertEqual(sample, sorted(sample, key=self.all.index))
        self.assertNotEqual(sample, mutate.select(self.all, 5, None, True))


class FateTest(unittest.TestCase):
    FAILED = "\n\nThe following tests FAILED:\n\t  3 - A.B (Failed)\n\t 12 - C.D (Timeout)\n"

    def test_ctest_results(self):
        cases = [
            (mutate.Outcome(True, 1, "100% tests passed"), ("survived", "")),
            (mutate.Outcome(False, 1, "x" + self.FAILED), ("killed", "A.B (Failed), C.D (Timeout)")),
            (mutate.Outcome(False, 1, self.FAILED.replace("(Failed)", "(Timeout)")),
             ("timeout", "A.B, C.D")),
            (mutate.Outcome(False, 1, "", timed_out=True),
             ("timeout", "the whole test run ran past its time")),
            (mutate.Outcome(False, 1, "Errors while running CTest\n"),
             ("killed", "Errors while running CTest")),
        ]
        for outcome, expected in cases:
            with self.subTest(output=outcome.output):
                self.assertEqual(mutate.test_fate(outcome), expected)

    def test_score_leaves_out_what_did_not_compile(self):
        counts = Counter({"killed": 5, "timeout": 1, "survived": 2, "compile-error": 4})
        self.assertEqual(mutate.score(counts), 0.75)
        self.assertIsNone(mutate.score(Counter({"compile-error": 3})))


class RestoreTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.root = Path(self.directory.name)
        (self.root / "lib").mkdir()
        self.source = self.root / "lib" / "A.h"
        self.source.write_bytes(b"original\r\n")
        self.restorer = mutate.Restorer(self.root, self.root / "build" / "originals")

    def tearDown(self):
        self.directory.cleanup()

    def test_the_original_comes_back_after_an_exception(self):
        with self.assertRaises(KeyboardInterrupt):
            with self.restorer.mutated("lib/A.h", b"original\r\n", b"mutant\r\n"):
                self.assertEqual(self.source.read_bytes(), b"mutant\r\n")
                raise KeyboardInterrupt
        self.assertEqual(self.source.read_bytes(), b"original\r\n")
        self.assertEqual(list((self.root / "build" / "originals").rglob("*.h")), [])

    def test_a_killed_run_is_restored_at_the_next_start(self):
        mutated = self.restorer.mutated("lib/A.h", b"original\r\n", b"mutant\r\n")
        mutated.__enter__()  # The process dies here: no __exit__.
        self.assertEqual(self.source.read_bytes(), b"mutant\r\n")
        self.assertEqual(self.restorer.restore_leftovers(), ["lib/A.h"])
        self.assertEqual(self.source.read_bytes(), b"original\r\n")
        self.assertEqual(self.restorer.restore_leftovers(), [])

    def test_one_run_at_a_time_per_build_directory(self):
        first = mutate.lock_build_directory(self.root / "build")
        self.assertIsNotNone(first)
        self.assertIsNone(mutate.lock_build_directory(self.root / "build"))
        first.close()
        self.assertIsNotNone(mutate.lock_build_directory(self.root / "build"))


class FileChoiceTest(unittest.TestCase):
    def test_test_code_is_never_a_library_file(self):
        for path, is_test in [("Umbravista/theme/Text.cpp", False), ("Umbravista/tests/A.cpp", True),
                              ("Umbravista/theme/TextTest.cpp", True), ("Umbravista/Latest.h", False),
                              ("Umbravista/x/parse_test.cpp", True)]:
            with self.subTest(path=path):
                self.assertEqual(bool(mutate.TEST_PATH.search(path)), is_test)

    def test_a_directory_chooses_the_files_under_it(self):
        chosen = ["Umbravista/theme/", "Umbravista/settings/SettingsKeys.h"]
        for path, expected in [("Umbravista/theme/Text.cpp", True),
                               ("Umbravista/themes/X.h", False),
                               ("Umbravista/settings/SettingsKeys.h", True),
                               ("Umbravista/settings/ThemeGate.h", False)]:
            with self.subTest(path=path):
                self.assertEqual(mutate.in_chosen_files(path, chosen), expected)


if __name__ == "__main__":
    unittest.main()
