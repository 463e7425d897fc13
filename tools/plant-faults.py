#!/usr/bin/env python3
"""Plants faults in the portable core, one line at a time, and reports which the native tests catch.

Lines are drawn uniformly at random from the portable core (src/ without its win32/, plugin/
and res/ folders) until a line takes a mutation; one mutation that fits the line is planted:
a comparison flipped, && and || swapped, + and - swapped, ++ and -- swapped, true and false
swapped, an integer constant off by one, or a statement dropped. The native build is updated
incrementally: the suite of the mutated folder is built and run first, and only a fault it
misses has every other target built and the whole native ctest run (-j2, per-test timeout); the file is restored afterwards, also when interrupted. The build tree
is snapshot once and put back after each fault with the file's own time stamp, so a fault in a
header costs one rebuild of its dependents, not two.

Not counted: a mutant that does not compile, and one whose object code is unchanged (compared
without debug sections), which cannot change behaviour; for a header, every object of the core
and the tools is compared, once the mutant has survived the suites' build. The remaining survivors are listed
with their diffs; whether one is equivalent after all is a reader's judgement.

    tools/plant-faults.py [--count 40] [--seed N] [--build build/native] [--log FILE] [--resume]

A survivor of the native suites may still fail the other suites of the test command: --replay LOG
plants the survivors of an earlier log again in another build, e.g. the sanitizer build, or the
Windows stand-in with every target and a Wine environment already started by the caller:

    tools/plant-faults.py --replay build/native/plant-faults.log --build build/sanitize --log F
    . tools/wine-env.sh; wine_start "$PWD/build/win64-standin" /usr/lib/wine/wine64
    tools/plant-faults.py --replay build/native/plant-faults.log --build build/win64-standin --targets all --log F
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SKIPPED_FOLDERS = {"win32", "plugin", "res"}
COMPARISONS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ", " != ": " == "}
SWAPS = {" && ": " || ", " || ": " && ", " + ": " - ", " - ": " + ", "++": "--", "--": "++",
         "true": "false", "false": "true"}
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)(?![\w.'])")
STRING = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')
# What the native ctest run executes: the suites, the inspection tool and the sample it reads.
TARGETS = ["test_aribtext", "test_broadcast", "test_changelog", "test_fuzz_regressions", "test_geometry",
           "test_hardening", "test_oracle", "test_settings", "test_store", "test_tools", "test_ts", "test_ui_dialogs",
           "test_ui_list", "lumara-inspect", "sample_stream"]
# Folder of src/ -> the native suite that mirrors it.
SUITES = {"aribtext": "test_aribtext", "broadcast": "test_broadcast", "store": "test_store", "ts": "test_ts",
          "settings": "test_settings", "geometry": "test_geometry", "changelog": "test_changelog",
          "ui/list": "test_ui_list", "ui/dialogs": "test_ui_dialogs"}


class Interrupted(Exception):
    pass


def core_files():
    files = []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".cpp", ".h") or SKIPPED_FOLDERS & set(path.relative_to(ROOT / "src").parts):
            continue
        files.append(path)
    return files


def code_lines(text):
    """Indexes of the lines that hold code (not comments, preprocessor lines or blanks)."""
    lines, inside_comment = [], False
    for i, line in enumerate(text.split("\n")):
        stripped = line.strip()
        if inside_comment:
            inside_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            inside_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("//", "#")) or stripped in ("{", "}", "};"):
            continue
        lines.append(i)
    return lines


def code_part(line):
    """The line with string literals blanked and its trailing comment cut, same length."""
    blanked = STRING.sub(lambda m: '"' + "\x00" * (len(m.group()) - 2) + '"', line)
    cut = blanked.find("//")
    return blanked if cut < 0 else blanked[:cut] + "\x00" * (len(blanked) - cut)


def mutations(line):
    """Every mutated form of a line, as (description, new line)."""
    code = code_part(line)
    found = []
    for old, new in list(COMPARISONS.items()) + list(SWAPS.items()):
        start = 0
        while (at := code.find(old, start)) >= 0:
            start = at + len(old)
            if old in ("true", "false") and (code[at - 1:at].isalnum() or code[start:start + 1].isalnum()):
                continue
            if old in ("++", "--") and (code[at - 1:at] in ("+", "-") or code[start:start + 1] in ("+", "-", "=")):
                continue
            found.append((f"'{old.strip()}' -> '{new.strip()}'", line[:at] + new + line[start:]))
    for m in NUMBER.finditer(code):
        text = m.group()
        value = int(text, 16) if text[:2] in ("0x", "0X") else int(text)
        for delta in (1, -1):
            if value + delta < 0:
                continue
            new = f"0x{value + delta:X}" if text[:2] in ("0x", "0X") else str(value + delta)
            found.append((f"{text} -> {new}", line[:m.start()] + new + line[m.end():]))
    stripped = code.replace("\x00", "").strip()
    keyword = re.match(r"(return|throw|using|typedef|static_assert|template|friend|case|default|namespace|struct|"
                       r"class|enum|const|constexpr|static|inline|extern)\b|[{}]", stripped)
    declaration = re.match(r"[A-Za-z_][\w:<>,]*[\s*&]+[A-Za-z_]\w*\s*[({=;\[]", stripped)
    balanced = stripped.count("(") == stripped.count(")")
    if stripped.endswith(";") and balanced and not keyword and not declaration:
        indent = line[: len(line) - len(line.lstrip())]
        found.append(("statement dropped", indent + ";"))
    return found


def run(cmd, timeout, log, cwd=ROOT):
    """Exit status of a command, or "timeout"; its process group ends with it, also on interruption."""
    child = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        output, _ = child.communicate(timeout=timeout)
        log.write(output.decode(errors="replace")[-3000:])
        return child.returncode
    except subprocess.TimeoutExpired:
        return "timeout"
    finally:
        if child.poll() is None:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()


def object_digest(build, source):
    """The object code of a source file without its debug sections, or None."""
    rel = source.relative_to(ROOT / "src")
    return stripped_object(build / "src" / "CMakeFiles" / "lumara_core.dir" / (str(rel) + ".o"))


def product_objects(build):
    """The objects of the core and the tools: what a header's fault can reach outside the tests."""
    return sorted(list((build / "src" / "CMakeFiles").rglob("*.o")) + list((build / "tools" / "CMakeFiles").rglob("*.o")))


def stripped_object(obj):
    if not obj.exists():
        return None
    with tempfile.NamedTemporaryFile(suffix=".o") as copy:
        done = subprocess.run(["objcopy", "--strip-debug", str(obj), copy.name], stderr=subprocess.DEVNULL)
        return Path(copy.name).read_bytes() if done.returncode == 0 else None


class Planter:
    def __init__(self, args):
        self.args = args
        self.build = (ROOT / args.build).resolve()
        self.journal = self.build.parent / (self.build.name + ".plant-faults.pending")
        self.snapshot = self.build.parent / (self.build.name + ".plant-faults.snapshot")
        self.log = open(args.log, "a")
        self.output = open(args.log + ".output", "a")  # what the builds and tests printed
        self.targets = args.targets.split(",")

    def recover(self):
        """Restores a file a killed run left mutated."""
        if self.journal.exists():
            saved = json.loads(self.journal.read_text())
            Path(saved["path"]).write_text(saved["text"])  # a fresh time stamp: its dependents rebuild
            self.journal.unlink()
            print(f"restored {saved['path']} left by an interrupted run")

    def take_snapshot(self):
        self.sync(self.build, self.snapshot)

    def put_back_snapshot(self):
        self.sync(self.snapshot, self.build)

    @staticmethod
    def sync(source, target):
        """Makes target a copy of source, copying only files whose size or time stamp differ."""
        def files(root):
            found = {}
            for folder, dirs, names in os.walk(root):
                dirs[:] = [d for d in dirs if not (folder == str(root) and d == "Testing")]
                for name in names:
                    if not name.startswith("plant-faults"):
                        path = Path(folder, name)
                        found[path.relative_to(root)] = path.lstat()
            return found
        wanted, present = files(source), files(target)
        for rel in present.keys() - wanted.keys():
            (target / rel).unlink()
        for rel, st in wanted.items():
            have = present.get(rel)
            if have is None or have.st_size != st.st_size or have.st_mtime_ns != st.st_mtime_ns:
                (target / rel).parent.mkdir(parents=True, exist_ok=True)
                if (target / rel).is_symlink() or (target / rel).exists():
                    (target / rel).unlink()
                shutil.copy2(source / rel, target / rel, follow_symlinks=False)

    def build_targets(self, targets):
        cmd = ["cmake", "--build", str(self.build), "-j2", "--target", *targets]
        return run(cmd, 900, self.output) == 0

    def suite_first(self, source):
        rel = source.relative_to(ROOT / "src").as_posix()
        for folder, suite in sorted(SUITES.items(), key=lambda kv: -len(kv[0])):
            if rel.startswith(folder + "/"):
                return suite
        return None

    def suite_fails(self, suite):
        binary = self.build / "tests" / suite
        if not binary.exists():
            return None
        # A suite takes seconds; a fault that loops while it allocates must end before it fills the memory.
        status = run(["env", "TZ=JST-9", str(binary), "--gtest_brief=1"], min(90, self.args.timeout * 4), self.output,
                     binary.parent)
        return f"{suite}: {status}" if status != 0 else None

    def tests_fail(self):
        status = run(["ctest", "--test-dir", str(self.build), "-j2", "--timeout", str(self.args.timeout),
                      "--stop-on-failure", "-E", self.args.exclude], 1800, self.output)
        return None if status == 0 else f"ctest: {status}"

    def plant(self, source, index, description, new_line, lines):
        original = "\n".join(lines)
        before = self.digests.get(source)
        mutated = lines[:index] + [new_line] + lines[index + 1:]
        stamp = source.stat()
        self.journal.write_text(json.dumps({"path": str(source), "text": original}))
        try:
            source.write_text("\n".join(mutated))
            # The mirroring suite alone first: most faults fail there, before the other suites relink.
            suite = self.suite_first(source)
            first = [suite] if suite in self.targets else self.targets
            if not self.build_targets(first):
                return "no-compile", None
            if before is not None and object_digest(self.build, source) == before:
                return "equivalent", None
            failed = self.suite_fails(suite) if first != self.targets else None
            if not failed:
                if first != self.targets and not self.build_targets(self.targets):
                    return "no-compile", None
                # A header's fault that leaves every product object as it was cannot change behaviour.
                if source.suffix == ".h" and self.products and \
                        all(stripped_object(o) == d for o, d in self.products.items()):
                    return "equivalent", None
                failed = self.tests_fail()
            return ("caught", failed) if failed else ("survived", None)
        finally:
            source.write_text(original)
            os.utime(source, ns=(stamp.st_atime_ns, stamp.st_mtime_ns))
            self.put_back_snapshot()
            self.journal.unlink()

    def replay(self):
        """The survivors of an earlier log, planted again in this build."""
        results = []
        for line in Path(self.args.replay).read_text(errors="replace").splitlines():
            if not line.startswith('{"where"'):
                continue
            earlier = json.loads(line)
            if earlier["status"] != "survived":
                continue
            file, number = earlier["where"].rsplit(":", 1)
            source, index = ROOT / file, int(number) - 1
            lines = source.read_text().split("\n")
            if lines[index].strip() != earlier["old"]:
                print(f"skipped {earlier['where']}: the line changed since", flush=True)
                continue
            indent = lines[index][: len(lines[index]) - len(lines[index].lstrip())]
            started = time.time()
            status, detail = self.plant(source, index, earlier["mutation"], indent + earlier["new"], lines)
            entry = dict(earlier, status=status, detail=detail, seconds=round(time.time() - started))
            self.log.write(json.dumps(entry, ensure_ascii=False) + "\n")
            self.log.flush()
            results.append(entry)
            print(f"{status:10} {earlier['where']}  {earlier['mutation']}  ({entry['seconds']} s)", flush=True)
        return results

    def sample(self):
        rng = random.Random(self.args.seed)
        files = core_files()
        self.digests = {f: object_digest(self.build, f) for f in files if f.suffix == ".cpp"}
        texts = {f: f.read_text() for f in files}
        population = [(f, i) for f in files for i in range(len(texts[f].split("\n")))]
        counted, results, tried = 0, [], set()
        earlier = {}
        if self.args.resume and Path(self.args.log).exists():
            for line in Path(self.args.log).read_text(errors="replace").splitlines():
                if line.startswith('{"where"'):
                    entry = json.loads(line)
                    earlier[(entry["where"], entry["new"])] = entry
        while counted < self.args.count:
            source, index = rng.choice(population)
            lines = texts[source].split("\n")
            if index not in code_lines(texts[source]) or (source, index) in tried:
                continue
            options = mutations(lines[index])
            if not options:
                continue
            tried.add((source, index))
            description, new_line = rng.choice(options)
            where = f"{source.relative_to(ROOT)}:{index + 1}"
            started = time.time()
            entry = earlier.get((where, new_line.strip()))
            if entry is None:
                status, detail = self.plant(source, index, description, new_line, lines)
                entry = {"where": where, "mutation": description, "status": status, "detail": detail,
                         "old": lines[index].strip(), "new": new_line.strip(), "seconds": round(time.time() - started)}
                self.log.write(json.dumps(entry, ensure_ascii=False) + "\n")
                self.log.flush()
            status = entry["status"]
            results.append(entry)
            if status in ("caught", "survived"):
                counted += 1
            print(f"[{counted}/{self.args.count}] {status:10} {where}  {description}  ({entry['seconds']} s)", flush=True)
        return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--count", type=int, default=40, help="behaviour-changing faults to plant")
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--build", default="build/native")
    parser.add_argument("--timeout", type=int, default=120, help="seconds per ctest test")
    parser.add_argument("--targets", default=",".join(TARGETS), help="comma-separated build targets")
    parser.add_argument("--exclude", default="^$", help="ctest -E regex of tests not run")
    parser.add_argument("--log", default="build/native/plant-faults.log")
    parser.add_argument("--resume", action="store_true", help="take the results the log holds for the same faults")
    parser.add_argument("--replay", help="plant the survivors of this log again instead of sampling")
    args = parser.parse_args()

    def stop(signum, frame):
        raise Interrupted(signal.Signals(signum).name)

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, stop)
    planter = Planter(args)
    planter.recover()
    if not planter.build_targets(planter.targets):
        print("the unmutated build fails", file=sys.stderr)
        return 1
    planter.take_snapshot()
    if not args.replay:
        print(f"seed {args.seed}", flush=True)
    try:
        planter.products = {o: stripped_object(o) for o in product_objects(planter.build)}
        if args.replay:
            planter.digests = {}
        results = planter.replay() if args.replay else planter.sample()
    except Interrupted as e:
        print(f"interrupted ({e}); the file and the build are restored", file=sys.stderr)
        return 130
    caught = [r for r in results if r["status"] == "caught"]
    survived = [r for r in results if r["status"] == "survived"]
    skipped = {s: sum(r["status"] == s for r in results) for s in ("no-compile", "equivalent")}
    print(f"\ncaught {len(caught)} of {len(caught) + len(survived)} "
          f"({100.0 * len(caught) / max(1, len(caught) + len(survived)):.1f}%); not counted: "
          f"{skipped['no-compile']} not compiling, {skipped['equivalent']} with unchanged object code")
    for r in survived:
        print(f"survived: {r['where']}  {r['mutation']}\n    - {r['old']}\n    + {r['new']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
