#!/usr/bin/env python3
"""Checks the includes of src/ against the folder edges docs/design.md allows.

The design page holds the list, one line per folder, in its "folder-edges" block:
    ui/list:  broadcast changelog settings store ts
    res:      !ui/list
A line that starts with a space continues the one above; "#" starts a comment. A folder may
include its own headers and those of the folders on its line; a target marked "!" is an edge
that breaks a rule below, tolerated until it goes and printed on every run.
Fails when
- a file includes a header of a folder its line does not name (the file and the include named);
- the list names an edge no file has any more, a folder src/ does not hold, or lacks a folder
  that holds sources: the page says what the code is;
- a listed edge breaks a rule without its "!", or carries a "!" while breaking none;
- folders include each other, directly or round a longer loop;
- a portable file (outside plugin/, res/ and the win32/ folders) includes a Windows header.

Every folder is a node of its own, a win32/ folder apart from the portable folder above it.
An include resolves as the compiler finds it: a quoted name beside the including file first,
then from src/ ("broadcast/byte_reader.h"); what resolves to no file of src/ (system headers,
the generated version header) is not ours.
"""
import os
import re
import sys

SOURCES = (".h", ".cpp", ".rc", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s+(["<])([^">]+)[">]', re.MULTILINE)
WINDOWS_HEADER = re.compile(r'^\s*#\s*include\s+<(windows|commctrl|winuser|wingdi|winbase)\.h>', re.MULTILINE | re.IGNORECASE)
EDGE_BLOCK = re.compile(r"^```folder-edges\n(.*?)^```", re.MULTILINE | re.DOTALL)


def is_windows_folder(folder):
    parts = folder.split("/")
    return "win32" in parts or parts[0] in ("plugin", "res")


# What no allowed edge may do (docs/design.md, "Layers"); an edge that does is a marked breach.
RULES = (
    ("the portable core includes no Windows folder",
     lambda a, b: not is_windows_folder(a) and is_windows_folder(b)),
    ("no folder includes plugin/", lambda a, b: b == "plugin"),
    ("res/ includes nothing of ours", lambda a, b: a == "res"),
)


def broken_rules(a, b):
    return [name for name, breaks in RULES if breaks(a, b)]


def read_allowed(design):
    """{folder: {target: marked breach}} from the design's block, or an error text."""
    with open(design, encoding="utf-8") as f:
        blocks = EDGE_BLOCK.findall(f.read())
    if len(blocks) != 1:
        return None, f"{design}: expected one ```folder-edges block, found {len(blocks)}"
    allowed, folder = {}, None
    for number, raw in enumerate(blocks[0].splitlines(), 1):
        line = raw.split("#")[0].strip()
        if not line:
            continue
        if raw[0].isspace() and folder is not None:  # a long line's continuation
            targets = line
        else:
            folder, colon, targets = line.partition(":")
            folder = folder.strip()
            if not colon or not folder or folder in allowed:
                return None, f"{design}: folder-edges line {number} is not 'folder: targets' or repeats a folder: {line}"
            allowed[folder] = {}
        allowed[folder].update((t.lstrip("!"), t.startswith("!")) for t in targets.split())
    return allowed, None


def resolve(src, here, mark, header):
    """The folder (relative to src/) of the file an include names, or None when not ours."""
    candidates = [os.path.join(src, header)]
    if mark == '"':
        candidates.insert(0, os.path.join(src, here, header))
    for path in candidates:
        if os.path.isfile(path):
            return os.path.relpath(os.path.dirname(os.path.normpath(path)), src).replace(os.sep, "/")
    return None


def scan(src):
    """The folders holding sources, the folder edges with every include behind them, and the
    portable files that include a Windows header."""
    folders, edges, portable_windows = set(), {}, []
    for root, _, files in os.walk(src):
        here = os.path.relpath(root, src).replace(os.sep, "/")
        for name in sorted(files):
            if not name.endswith(SOURCES):
                continue
            folders.add(here)
            where = f"{here}/{name}"
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                text = f.read()
            if not is_windows_folder(here) and WINDOWS_HEADER.search(text):
                portable_windows.append(where)
            for mark, header in INCLUDE.findall(text):
                target = resolve(src, here, mark, header)
                if target is not None and target != here:
                    close = '"' if mark == '"' else ">"
                    edges.setdefault((here, target), []).append(f"{where}: #include {mark}{header}{close}")
    return folders, edges, portable_windows


def cycles(edges):
    """Tarjan's strongly connected components, larger than one folder."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, []).append(b)
        graph.setdefault(b, [])
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in graph[node]:
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                component.append(top)
                if top == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def check_edges(folders, edges, allowed, design):
    """The failures and the marked breaches, as lines to print."""
    failures, breaches = [], []
    for folder in sorted(folders - allowed.keys()):
        failures.append(f"src/{folder} holds sources but {design} lists no folder-edges line for it")
    for folder in sorted(allowed.keys() - folders):
        failures.append(f"{design} lists folder {folder}, which holds no sources in src/")
    for (a, b), includes in sorted(edges.items()):
        if b in allowed.get(a, {}):
            continue
        rules = broken_rules(a, b)
        why = f"; it would break: {', '.join(rules)}" if rules else ""
        failures.append(f"{a} may not include {b} (not on its line in {design}){why}:")
        failures.extend(f"  {include}" for include in includes)
    for a, targets in sorted(allowed.items()):
        for b, marked in sorted(targets.items()):
            rules = broken_rules(a, b)
            if rules and not marked:
                failures.append(f"{design} allows {a} -> {b}, which breaks: {', '.join(rules)}; "
                                "remove it, or mark it '!' as a breach still to remove")
            elif marked and not rules:
                failures.append(f"{design} marks {a} -> {b} as a breach, but it breaks no rule: drop the '!'")
            if (a, b) not in edges:
                failures.append(f"{design} allows {a} -> {b}, but no file of {a}/ includes {b}/ any more: "
                                "remove it from the folder-edges list")
            elif rules and marked:
                breaches.append(f"breach still to remove: {a} -> {b} ({', '.join(rules)}):")
                breaches.extend(f"  {include}" for include in edges[(a, b)])
    return failures, breaches


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src")
    design = sys.argv[2] if len(sys.argv) > 2 else os.path.join(src, "..", "docs", "design.md")
    allowed, error = read_allowed(design)
    design = os.path.relpath(design, os.path.join(src, ".."))
    if error:
        print(error)
        return 1
    folders, edges, portable_windows = scan(src)
    failures, breaches = check_edges(folders, edges, allowed, design)
    for path in portable_windows:
        failures.append(f"portable file includes a Windows header: {path}")
    for component in cycles(edges):
        members = set(component)
        failures.append("include cycle between folders: " + ", ".join(component))
        for (a, b), includes in sorted(edges.items()):
            if a in members and b in members:
                failures.append(f"  {a} -> {b}: {includes[0]}")
    for line in failures + breaches:
        print(line)
    if failures:
        return 1
    print(f"{len(folders)} folders, {len(edges)} folder edges, each as {design} lists it; "
          "no cycle; no Windows header in the portable core")
    return 0


if __name__ == "__main__":
    sys.exit(main())
