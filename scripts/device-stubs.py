#!/usr/bin/env python3
"""Writes the device build's link stubs, darwin/stubs/*.tbd, from darwin/imports.txt.

Each stub is a text-based dylib stub (TAPI v4) for both architectures that exports exactly the
symbols the list allows from that library, with compatibility version 1. With --check, writes
nothing and fails when a checked-in stub differs from what the list gives. With --check-objects
ARCH OBJECT..., fails when the objects need a symbol that none of them defines and the list does
not allow for that architecture: the check for objects that no linker here can link.
"""
import argparse
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
ARCHITECTURES = ("armv7", "arm64")


def read_imports(path):
    """The list as {install name: [(symbol, architectures)]}, in the list's order."""
    libraries = {}
    current = None
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        if not line[0].isspace():
            current = libraries.setdefault(line.strip(), [])
            continue
        fields = line.split()
        if current is None or len(fields) > 2 or (len(fields) == 2 and fields[1] not in ARCHITECTURES):
            sys.exit(f"{path}:{number}: expected a symbol and at most one architecture")
        current.append((fields[0], tuple(fields[1:]) or ARCHITECTURES))
    return libraries


def stub_text(install_name, symbols):
    lines = [
        "--- !tapi-tbd",
        "tbd-version:     4",
        f"targets:         [ {', '.join(a + '-ios' for a in ARCHITECTURES)} ]",
        f"install-name:    '{install_name}'",
        "current-version: 1",
        "compatibility-version: 1",
        "exports:",
    ]
    for architectures in (ARCHITECTURES,) + tuple((a,) for a in ARCHITECTURES):
        names = sorted(name for name, only in symbols if only == architectures)
        if names:
            lines.append(f"  - targets:         [ {', '.join(a + '-ios' for a in architectures)} ]")
            lines.append(f"    symbols:         [ {', '.join(names)} ]")
    lines.append("...")
    return "\n".join(lines) + "\n"


def stub_name(install_name):
    return pathlib.PurePosixPath(install_name).name.split(".")[0] + ".tbd"


def symbols_of(objects, *options):
    listing = subprocess.run(["llvm-nm-16", "--just-symbol-name", *options, *objects],
                             check=True, capture_output=True, text=True).stdout
    return {line for line in listing.splitlines() if line and not line.endswith(":")}


def check_objects(architecture, objects):
    allowed = {name for symbols in read_imports(ROOT / "darwin" / "imports.txt").values()
               for name, architectures in symbols if architecture in architectures}
    needed = symbols_of(objects, "--undefined-only") - symbols_of(objects, "--defined-only")
    if needed - allowed:
        sys.exit(f"{architecture} objects need symbols that darwin/imports.txt does not allow: "
                 + ", ".join(sorted(needed - allowed)))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    parser.add_argument("--check-objects", nargs="+", metavar=("ARCH", "OBJECT"))
    arguments = parser.parse_args()
    if arguments.check_objects:
        check_objects(arguments.check_objects[0], arguments.check_objects[1:])
        return
    stubs = ROOT / "darwin" / "stubs"
    wanted = {stub_name(name): stub_text(name, symbols)
              for name, symbols in read_imports(ROOT / "darwin" / "imports.txt").items()}
    present = {path.name for path in stubs.glob("*.tbd")}
    if arguments.check:
        stale = sorted(name for name, text in wanted.items()
                       if not (stubs / name).is_file() or (stubs / name).read_text() != text)
        stale += sorted(present - wanted.keys())
        if stale:
            sys.exit("stubs differ from darwin/imports.txt (run scripts/device-stubs.py): "
                     + ", ".join(stale))
        return
    stubs.mkdir(exist_ok=True)
    for name in present - wanted.keys():
        (stubs / name).unlink()
    for name, text in wanted.items():
        (stubs / name).write_text(text)


if __name__ == "__main__":
    main()
