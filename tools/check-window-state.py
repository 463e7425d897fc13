#!/usr/bin/env python3
"""Fails when a window's object is reached from outside the files of the object that owns it.

The plug-in object owns the main window's (m_list), and the main window owns its two
companions' (m_popup, m_update); anyone else reaches a window through the interface it is
given. The compiler keeps these fields private to their owner's member functions, but not
those functions in their owner's folder: plugin/ may include the list window's header, so a
list-window member written there would reach the companions unseen. Nor does it notice a
field made public again; this check still fails then.
"""
import os
import re
import sys

# window object -> the files (relative to src/, by prefix) of its owner, which may reach it
OWNERS = {
    "m_list": ("plugin/",),
    "m_popup": ("ui/list/win32/",),
    "m_update": ("ui/list/win32/",),
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
    print("every window's object is reached from its owner's files only")
    return 0


if __name__ == "__main__":
    sys.exit(main())
