#!/usr/bin/env python3
"""Checks the one-way structure of the sources: every folder includes only
its own headers and those of the layers below it, and no folders include
one another, directly or round about. Prints each offence; exits 1 on any.

Usage: checklayers.py [REPOSITORY]  (default: the folder above this script)
"""
import os
import re
import sys

# Lowest first. A folder may include its own layer's folder and every layer
# below; "resources" (identifiers of the resource script) is open to all.
LAYERS = [
    ("platform", ["platform"]),
    ("core", ["app/core"]),
    ("subsystems", ["settings", "eligibility", "buttons", "buttonwindows", "actions", "traymenu",
                    "language", "hook"]),
    ("app", ["app"]),
]
OPEN_TO_ALL = ("resources",)
# Tests and tools may use anything; nothing may use them.
UNCHECKED = ("tests", "tools")

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def top_folder(path):
    """The layer folder a file belongs to (its own sub-folders count as it)."""
    for _, folders in LAYERS:
        for folder in sorted(folders, key=len, reverse=True):
            if path == folder or path.startswith(folder + "/"):
                return folder
    return None


def layer_of(folder):
    for index, (_, folders) in enumerate(LAYERS):
        if folder in folders:
            return index
    return None


def sources(root):
    for base, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build"]
        for name in files:
            if name.endswith((".h", ".cpp", ".in")):
                yield os.path.relpath(os.path.join(base, name), root)


def allowed(source_folder, target_folder):
    if target_folder == source_folder:
        return True
    source_layer, target_layer = layer_of(source_folder), layer_of(target_folder)
    return target_layer < source_layer


def cycles(edges):
    """Folders that reach themselves through their includes."""
    found = []
    for start in sorted(edges):
        seen, todo = set(), [start]
        while todo:
            for nxt in edges.get(todo.pop(), ()):
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        if start in seen:
            found.append(start)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    offences = []
    edges = {}
    for path in sorted(sources(root)):
        if path.startswith(UNCHECKED):
            continue
        source_folder = top_folder(path)
        if source_folder is None:
            continue
        text = open(os.path.join(root, path), encoding="latin-1").read()
        for include in INCLUDE.findall(text):
            if include.startswith(OPEN_TO_ALL):
                continue
            target_folder = top_folder(include)
            if target_folder is None:
                offences.append(f"{path}: includes {include}, which is outside every layer")
                continue
            if os.path.dirname(path) != os.path.dirname(include):
                edges.setdefault(os.path.dirname(path), set()).add(os.path.dirname(include))
            if not allowed(source_folder, target_folder):
                offences.append(f"{path}: includes {include} ({source_folder} may use only the layers below it)")
    for folder in cycles(edges):
        offences.append(f"{folder}: includes itself through other folders")
    for offence in offences:
        print(f"checklayers: {offence}")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
