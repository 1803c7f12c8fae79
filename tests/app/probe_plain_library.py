#!/usr/bin/env python3
"""A library without windows has no GUI module of Qt on its include path.

Usage: probe_plain_library.py CXX FLAGS_FILE

FLAGS_FILE, written by the build for one library, holds the library's own compile flags: its
include folders (those of everything it links, Qt's among them), definitions and options, then
its headers. Compiled with those flags, a file that includes all of the library's headers must
build, so the flags are sound; the same file including <QWidget> or <QPainter> must not, and
must fail for want of that header alone.
"""
import pathlib
import subprocess
import sys
import tempfile

FORBIDDEN = ["QWidget", "QPainter"]


def read_flags(path):
    sections, current = {}, None
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], [])
        elif line and current is not None:
            current.append(line)
    return sections


def compile_probe(cxx, sections, text, scratch):
    probe = pathlib.Path(scratch) / "probe.cpp"
    probe.write_text(text, encoding="utf-8")
    command = [cxx, "-std=c++20", "-fsyntax-only"]
    command += ["-I" + d for d in sections.get("includes", [])]
    command += ["-D" + d for d in sections.get("defines", [])]
    command += sections.get("options", [])
    command.append(str(probe))
    return subprocess.run(command, capture_output=True, text=True)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    cxx, sections = argv[1], read_flags(argv[2])
    headers = sorted({pathlib.Path(h).name for h in sections.get("sources", [])
                      if h.endswith(".h")})
    if not headers or not sections.get("includes"):
        print(f"{argv[2]} names no headers or no include folders")
        return 1
    own = "".join(f'#include "{h}"\n' for h in headers)
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        sound = compile_probe(cxx, sections, own + "#include <QObject>\n", scratch)
        if sound.returncode != 0:
            failures.append("the library's own headers do not build with its flags:\n"
                            + sound.stderr)
        for header in FORBIDDEN:
            result = compile_probe(cxx, sections, own + f"#include <{header}>\n", scratch)
            missing = header in result.stderr and (
                "No such file" in result.stderr or "file not found" in result.stderr)
            if result.returncode == 0:
                failures.append(f"<{header}> builds with the library's flags")
            elif not missing:
                failures.append(f"<{header}> failed for another reason:\n{result.stderr}")
    if failures:
        print("\n".join(failures))
        return 1
    print(f"{len(headers)} headers build; {', '.join(FORBIDDEN)} are not on the include path")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
