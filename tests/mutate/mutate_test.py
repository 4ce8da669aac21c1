#!/usr/bin/env python3
"""scripts/mutate's own test. First its faults on lines of C++ that only look like what it
changes; then runs over sample/, a small CMake project copied into a git checkout of its own with a
change in companion/grade.cpp: the faults its tests miss, catch, catch only with the slow test or
that do not build, a changed file the build does not compile, and every file as it was after the
run, after a SIGTERM and after a run that was killed."""

import collections
import importlib.machinery
import importlib.util
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ beside the script
HERE = Path(__file__).resolve().parent
SCRIPT = HERE.parent.parent / "scripts" / "mutate"
BEGIN, END = "// mutate-sample: the change begins\n", "// mutate-sample: the change ends\n"
TOKEN_KINDS = {"boundary", "equality", "logical", "not", "number", "bool"}
STATEMENT_KINDS = {"call", "return", "early return"}
LUA_KINDS = {"lua equality", "lua logical", "lua list"}


def load_tool():
    loader = importlib.machinery.SourceFileLoader("mutate", str(SCRIPT))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader("mutate", loader))
    loader.exec_module(module)
    return module


mutate = load_tool()


def faults(code, kinds):
    return {(fault.line, fault.what) for fault in mutate.faults_in("x.cpp", code)
            if fault.kind in kinds}


def texts(code, kind):
    """The code with each fault of the kind in it."""
    original = code.encode()
    return {mutate.faults_in("x.cpp", code)[index].apply(original).decode()
            for index, fault in enumerate(mutate.faults_in("x.cpp", code)) if fault.kind == kind}


class FaultsOnLines(unittest.TestCase):
    def test_what_only_looks_like_an_operator_or_a_constant_is_left_alone(self):
        for code in ["std::vector<std::pair<int, int>> v;", "out << value >> other;",
                     "auto n = node->next->size;", "template <typename T> T f();",
                     "#include <vector>", "#if A > 1 && !B", "void f(std::string &&s);",
                     "auto c = a <=> b;", "int n = 0x1F + 1'000 + 2.5f + utf8 + u16;",
                     'const char* s = "a < b && !c";  // x == y, true',
                     "/* 1 < 2\n   || true */ auto r = R\"(a > b)\";\nchar c = '!';",
                     'auto lua = R"x(if a == "b" then)x";']:
            with self.subTest(code=code):
                self.assertEqual(faults(code, TOKEN_KINDS | {"term"}), set())

    def test_each_operator_and_constant_is_changed_where_it_stands(self):
        code = "if (a < b && c != d || !e) {}\nx = n + 10u;\nok = true;\nx = a < b && c < d;\n"
        self.assertEqual(faults(code, TOKEN_KINDS), {
            (1, "'<' -> '<='"), (1, "'&&' -> '||'"), (1, "'!=' -> '=='"), (1, "'||' -> '&&'"),
            (1, "'!' -> ''"), (2, "'10' -> '11'"), (2, "'10' -> '9'"), (3, "'true' -> 'false'"),
            (4, "'<' -> '<=' (column 7)"), (4, "'<' -> '<=' (column 16)"), (4, "'&&' -> '||'")})
        boundary = next(f for f in mutate.faults_in("x.cpp", code) if f.kind == "boundary")
        self.assertEqual(boundary.text, "if (a <= b && c != d || !e) {}")

    def test_calls_returns_and_early_returns_go_only_where_a_statement_starts(self):
        code = """void g(int x) {
  foo(bar, baz(1));
  obj.method(x);
  int y = foo(1);
  if (x) foo();
  call(a,
       b);
  for (int i = 0; i < x; ++i) {
    use(i);
  }
}
struct S {
  int member;
};
int y = 1;
int f(int x) {
  int z = x;
  return z + 1;  // more
  return false;
}
"""
        early, value_early = "'return;' inserted", "'return {};' inserted"
        self.assertEqual(faults(code, STATEMENT_KINDS), {
            (2, "'foo(bar, baz(1));' -> ';'"), (2, early), (3, "'obj.method(x);' -> ';'"),
            (3, early), (4, early), (5, early), (6, early), (8, early),
            (9, "'use(i);' -> ';'"), (9, early), (17, value_early),
            (18, "'return z + 1;' -> 'return {};'")})
        returns = {f.line: f.text for f in mutate.faults_in("x.cpp", code) if f.kind == "return"}
        self.assertEqual(returns, {18: "  return {};  // more"})

    def test_a_term_of_and_or_is_dropped_as_far_as_its_operator_binds(self):
        self.assertEqual(texts("ok = a || b && c;", "term"), {
            "ok = b && c;", "ok = a;", "ok = a || c;", "ok = a || b;"})
        self.assertEqual(texts("if (f(x, y) && !z) {}\nreturn p && q ? 1 : 2;", "term"), {
            "if (!z) {}\nreturn p && q ? 1 : 2;", "if (f(x, y)) {}\nreturn p && q ? 1 : 2;",
            "if (f(x, y) && !z) {}\nreturn q ? 1 : 2;", "if (f(x, y) && !z) {}\nreturn p ? 1 : 2;"})

    def test_assignments_jumps_and_computed_bools_but_not_declarations_or_a_switch_s_breaks(self):
        code = """void g(int x) {
  int y = 1;
  y += x;
  s.v[0] = y == 2;
  const bool done = y > x &&
                    x > 0;
  bool set = true;
  for (;;) {
    if (x) break;
    if (y) continue;
    switch (x) {
      case 1:
        break;
    }
    x = f(a,
          b);
    continue;
  }
}
"""
        self.assertEqual(faults(code, {"assignment", "bool value", "break"}), {
            (3, "'y += x;' -> ';'"), (4, "'s.v[0] = y == 2;' -> ';'"),
            (5, "'y > x && x > 0;' -> 'true;'"), (5, "'y > x && x > 0;' -> 'false;'"),
            (9, "'break;' dropped"), (10, "'continue;' dropped"),
            (15, "'x = f(a, ...' -> ';'")})
        dropped = next(f for f in mutate.faults_in("x.cpp", code) if f.kind == "assignment"
                       and f.line == 15)
        self.assertIn("\n    ;\n    continue;", dropped.apply(code.encode()).decode())

    def test_lua_faults_go_only_into_literals_marked_as_lua(self):
        code = """// The Lua fields.
constexpr auto kFields = std::to_array<std::string_view>({"a", "b",
    "c"});
constexpr auto kNames = std::to_array<std::string_view>({"x ~= y", "z"});
std::string showLua() {
  return "if a == b and c then end";
}
std::string message() {
  std::string lua = "x ~= 1";
  return "a == b or c";
}
"""
        self.assertEqual(faults(code, LUA_KINDS), {
            (2, "'\"a\", \"b\"' -> '\"b\", \"a\"'"), (2, "'\"b\", \"c\"' -> '\"c\", \"b\"'"),
            (6, "'==' -> '~='"), (6, "'and' -> 'or'"), (9, "'~=' -> '=='")})
        self.assertIn('({"a", "c",\n    "b"});', "\n".join(texts(code, "lua list")))


class TheSample(unittest.TestCase):
    def test_a_kind_s_share_grows_with_the_root_of_its_number_of_faults(self):
        many = [mutate.Fault("x.cpp", n, "'return;' inserted", "early return", "")
                for n in range(64)]
        few = [mutate.Fault("y.cpp", n, "'true' -> 'false'", "bool", "") for n in range(4)]
        one = [mutate.Fault("z.cpp", 1, "'f();' -> ';'", "call", "")]
        for seed in range(5):
            chosen = collections.Counter(f.kind for f in mutate.choose(many + few + one, 11, seed))
            self.assertEqual(chosen, {"early return": 8, "bool": 2, "call": 1}, seed)
        self.assertNotEqual(mutate.choose(many + few + one, 11, 1),
                            mutate.choose(many + few + one, 11, 2))


class FilesTheTreeCompiles(unittest.TestCase):
    def test_sources_and_headers_of_the_root_count_but_those_only_untested_objects_compile(self):
        deps = """ninja: Entering directory `/r/build/linux'
companion/CMakeFiles/companion_core.dir/strip.cpp.o: #deps 3, deps mtime 1 (VALID)
    /r/companion/strip.cpp
    ../../companion/strip.h
    /usr/include/vector

companion/win32/CMakeFiles/companion_win32.dir/system.cpp.o: #deps 2, deps mtime 1 (VALID)
    /r/companion/win32/system.cpp
    /r/companion/strip.h
"""
        everything = {"companion/strip.cpp", "companion/strip.h", "companion/win32/system.cpp"}
        self.assertEqual(mutate.files_in_deps(deps, "/r", "/r/build/linux"), everything)
        self.assertEqual(mutate.files_in_deps(deps, "/r", "/r/build/linux",
                                              mutate.UNTESTED_OBJECTS["linux"]),
                         everything - {"companion/win32/system.cpp"})


def git(root, *arguments):
    subprocess.run(["git", "-C", str(root), "-c", "user.name=t", "-c", "user.email=t@t",
                    "-c", "commit.gpgsign=false", *arguments], check=True, capture_output=True)


def make_checkout(root):
    """The sample in a git checkout on main: grade.cpp committed without the marked lines,
    unused.cpp not committed; and changes that are no product code: a test, a note."""
    shutil.copytree(HERE / "sample", root)
    grade = root / "companion" / "grade.cpp"
    text = grade.read_text()
    grade.write_text(text[:text.index(BEGIN)] + text[text.index(END) + len(END):])
    git(root, "init", "-q", "-b", "main")
    git(root, "add", "CMakeLists.txt", "companion/grade.h", "companion/grade.cpp", "tests")
    git(root, "commit", "-q", "-m", "base")
    grade.write_text(text)
    with open(root / "tests" / "grade_test.cpp", "a", encoding="utf-8") as test:
        test.write("static_assert(2 > 1);  // a change, but in a test\n")
    (root / "companion" / "notes.txt").write_text("if (a < b) return;\n")


def files_of(root):
    return {path: path.read_bytes() for path in root.rglob("*")
            if path.is_file() and not {"build", ".git"} & set(path.relative_to(root).parts)}


def line_of(root, snippet):
    lines = (root / "companion" / "grade.cpp").read_text().split("\n")
    return next(number for number, line in enumerate(lines, 1) if snippet in line)


def section(output, title):
    """The indented lines under a title line of the tool's summary."""
    lines = output.split("\n")
    start = lines.index(title) + 1
    body = []
    for line in lines[start:]:
        if not line.startswith("  "):
            break
        body.append(line.strip())
    return set(body)


class RunsOverTheSample(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temporary = tempfile.TemporaryDirectory(prefix="mutate-test-")
        cls.root = Path(cls.temporary.name) / "sample"
        cls.build_dir = cls.root / "build" / "sample"
        make_checkout(cls.root)
        subprocess.run(["cmake", "-S", str(cls.root), "-B", str(cls.build_dir), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Debug"], check=True, capture_output=True)
        cls.files = files_of(cls.root)
        cls.result = cls.tool("--all-tests", "--slow", "grade_slow")
        cls.work_left = subprocess.run(["ninja", "-C", str(cls.build_dir), "-n"],
                                       capture_output=True, text=True, check=True).stdout

    @classmethod
    def tearDownClass(cls):
        cls.temporary.cleanup()

    @classmethod
    def tool(cls, *arguments):
        return subprocess.run(cls.command(*arguments), capture_output=True, text=True,
                              timeout=120, check=False)

    @classmethod
    def command(cls, *arguments):
        return [sys.executable, str(SCRIPT), "--root", str(cls.root), "--build-dir",
                str(cls.build_dir), *arguments]

    def test_the_score_counts_only_the_faults_that_built(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        self.assertIn("caught 13, missed 5, does not build 3", self.result.stdout)
        self.assertIn("score 72% (13 of the 18 faults that built)", self.result.stdout)
        rows = [line.split() for line in self.result.stdout.split("\n")]
        self.assertIn(["term", "2", "1", "1", "0", "50%"], rows)

    def test_missed_faults_and_those_only_the_slow_test_caught_are_named(self):
        passes, bonus = line_of(self.root, "score >= 50"), line_of(self.root, "score > 90")
        counts, grade = line_of(self.root, "scored && summed"), "companion/grade.cpp"
        self.assertEqual(section(self.result.stdout, "missed:"), {
            f"{grade}:{passes}: '50' -> '49'", f"{grade}:{bonus}: '>' -> '>='",
            f"{grade}:{bonus}: '90' -> '91'", f"{grade}:{bonus}: '90' -> '89'",
            f"{grade}:{counts}: 'scored && summed' -> 'scored'"})
        self.assertEqual(section(self.result.stdout, "caught only by the slow tests:"), {
            f"{grade}:{passes}: '>=' -> '>'", f"{grade}:{passes}: '50' -> '51'"})

    def test_only_the_changed_lines_of_product_code_the_build_compiles_are_faulted(self):
        unbuilt = [line for line in self.result.stdout.split("\n") if line.startswith("not built")]
        self.assertEqual(unbuilt, ["not built by this preset: companion/unused.cpp (3 faults)"])
        listed = self.tool("--list").stdout.split("\n")
        faulted = [line.split(":")[:2] for line in listed if line.startswith("companion/")]
        first, last = line_of(self.root, BEGIN.strip()), line_of(self.root, END.strip())
        self.assertEqual(len(faulted), 21)
        self.assertTrue(all(path == "companion/grade.cpp" and first < int(line) < last
                            for path, line in faulted), faulted)

    def test_a_sample_is_fixed_by_its_seed(self):
        first, again = self.tool("--list", "--size", "5", "--seed", "3"), \
            self.tool("--list", "--size", "5", "--seed", "3")
        other = self.tool("--list", "--size", "5", "--seed", "4")
        self.assertEqual(first.stdout, again.stdout)
        self.assertEqual(first.stdout.count("\ncompanion/grade.cpp:"), 5)
        self.assertNotEqual(first.stdout, other.stdout)

    def test_every_file_is_as_it_was_after_a_run_and_the_tree_built_from_them(self):
        self.assertEqual(files_of(self.root), self.files)
        self.assertIn("no work to do", self.work_left)
        self.assertEqual(list((self.root / "build" / "mutate" / "backup").rglob("*.cpp")), [])

    def test_a_copy_left_by_a_killed_run_is_put_back_first(self):
        grade = self.root / "companion" / "grade.cpp"
        backup = self.root / "build" / "mutate" / "backup" / "companion" / "grade.cpp"
        backup.parent.mkdir(parents=True, exist_ok=True)
        backup.write_bytes(grade.read_bytes())
        grade.write_text("half a fault")
        listed = self.tool("--list")
        self.assertIn("companion/grade.cpp put back", listed.stdout)
        self.assertEqual(files_of(self.root), self.files)
        self.assertFalse(backup.exists())

    def test_sigterm_restores_the_file_and_a_second_run_meanwhile_is_refused(self):
        backups = self.root / "build" / "mutate" / "backup"
        with subprocess.Popen(self.command("--tests", "grade_fast"), stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True) as running:
            deadline = time.monotonic() + 60
            while not list(backups.rglob("*.cpp")) and time.monotonic() < deadline:
                time.sleep(0.02)
            second = self.tool("--list")
            running.send_signal(signal.SIGTERM)
            _, stderr = running.communicate(timeout=30)
        self.assertEqual(second.returncode, 2)
        self.assertIn("another run", second.stderr)
        self.assertEqual(running.returncode, 130, stderr)
        self.assertEqual(files_of(self.root), self.files)
        self.assertEqual(list(backups.rglob("*.cpp")), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
