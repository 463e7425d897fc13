#!/usr/bin/env python3
"""Fails when a window's state in CEventView is reached from outside that window's files.

Each window keeps its state in one structure of the plug-in object (plugin/window_state.h);
a window that needs another's data asks through a function of that window instead.
"""
import os
import re
import sys

# structure -> the files (relative to src/, by prefix) that may reach it
OWNERS = {
    "m_list": ("ui/list/win32/", "plugin/"),
    "m_popup": ("ui/dialogs/win32/details_popup.",),
    "m_update": ("changelog/win32/update_dialog.",),
}
REACH = re.compile(r"\b(" + "|".join(OWNERS) + r")\.")


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    strays = []
    for root, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            here = os.path.relpath(path, src).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    for field in REACH.findall(line.split("//")[0]):
                        if not here.startswith(OWNERS[field]):
                            strays.append(f"{here}:{number}: reaches {field}")
    for stray in strays:
        print(stray)
    if strays:
        return 1
    print("every window's state is reached from its own files only")
    return 0


if __name__ == "__main__":
    sys.exit(main())
