#!/usr/bin/env python3
"""Fails when two folders of src/ include each other, directly or round a longer loop, or
when a portable file (outside plugin/, res/ and the win32/ folders) includes a Windows header.

Every folder is a node of its own, a win32/ folder apart from the portable folder above it, so
a Windows file that reaches back into a sibling window's folder shows up as a cycle too.
Includes are written from src/ ("broadcast/byte_reader.h"); a bare name ("resource.h") is the
including file's own folder.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
WINDOWS_HEADER = re.compile(r'^\s*#\s*include\s+<(windows|commctrl|winuser|wingdi|winbase)\.h>', re.MULTILINE | re.IGNORECASE)


def is_windows_folder(folder):
    parts = folder.split(os.sep)
    return "win32" in parts or parts[0] in ("plugin", "res")


def folder_graph(src, portable_windows):
    """portable_windows collects the portable files that include a Windows header."""
    edges = {}  # (from, to) -> an example "file -> header" for the message
    for root, _, files in os.walk(src):
        here = os.path.relpath(root, src)
        for name in files:
            if not name.endswith((".h", ".cpp", ".rc", ".inc")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            if not is_windows_folder(here) and WINDOWS_HEADER.search(text):
                portable_windows.append(os.path.join(here, name))
            for header in INCLUDE.findall(text):
                if "/" not in header:
                    continue
                target = os.path.dirname(header)
                if target == here or not os.path.isdir(os.path.join(src, target)):
                    continue
                edges.setdefault((here, target), f"{os.path.join(here, name)} -> {header}")
    return edges


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


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    portable_windows = []
    edges = folder_graph(src, portable_windows)
    found = cycles(edges)
    for path in portable_windows:
        print(f"portable file includes a Windows header: {path}")
    for component in found:
        members = set(component)
        print("include cycle between folders: " + ", ".join(component))
        for (a, b), example in sorted(edges.items()):
            if a in members and b in members:
                print(f"  {a} -> {b}: {example}")
    if found or portable_windows:
        return 1
    print(f"no include cycle among {len({n for e in edges for n in e})} folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
