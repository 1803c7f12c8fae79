#!/usr/bin/env python3
"""Checks, from the build's compile_commands.json, that the stricter warnings reach exactly the
project's own sources: every C and C++ file of the source tree is compiled with all of them, and
nothing generated into the build folder (moc, uic, rcc, the D-Bus adaptor) gets a single one.

Usage: check_strict_warnings.py <compile_commands.json> <source root> <build root>
           --c-flags=FLAG,... --cxx-flags=FLAG,...
"""
import argparse
import json
import os
import shlex
import sys


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("commands")
    parser.add_argument("source_root")
    parser.add_argument("build_root")
    # Lists come comma-separated: a flag given on its own would read as an option here.
    parser.add_argument("--c-flags", required=True, type=lambda text: text.split(","))
    parser.add_argument("--cxx-flags", required=True, type=lambda text: text.split(","))
    options = parser.parse_args()

    source_root = os.path.realpath(options.source_root)
    build_root = os.path.realpath(options.build_root)
    with open(options.commands, encoding="utf-8") as file:
        entries = json.load(file)

    faults = []

    own = generated = 0
    every_flag = set(options.c_flags) | set(options.cxx_flags)
    for entry in entries:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        present = every_flag.intersection(arguments)
        in_build = os.path.commonpath([path, build_root]) == build_root
        in_source = os.path.commonpath([path, source_root]) == source_root
        if in_build or not in_source:
            generated += 1
            if present:
                faults.append(f"{path}: generated, yet built with {' '.join(sorted(present))}")
            continue
        relative = os.path.relpath(path, source_root)
        own += 1
        wanted = set(options.c_flags)
        if not relative.endswith(".c"):
            wanted |= set(options.cxx_flags)
        missing = wanted - set(arguments)
        if missing:
            faults.append(f"{relative}: built without {' '.join(sorted(missing))}")

    for fault in faults:
        print(fault)
    if own == 0 or generated == 0:
        print(f"expected both own and generated sources, found {own} and {generated}")
        return 1
    print(f"{own} own sources with the stricter warnings, {generated} generated without")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
