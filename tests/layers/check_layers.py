"""Holds the layers of the source tree: python3 check_layers.py SOURCE_DIR QT_WIDGETS_DIR GDAL_DIR.

Reads every #include "..." under src/ and app/ and fails, naming the file and line, where a
folder includes one that layers.txt does not allow it (which also fails when the table itself
lets a folder include one above it); and where a header of GDAL is included outside gdal/ and
formats/, or one of Qt Widgets outside dialog/, windows/, platform/widgets/ and app/.
"""

import re
import sys
from pathlib import Path

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
GDAL_MAY = {"gdal", "formats"}
WIDGETS_MAY = {"dialog", "windows", "widgets", "app"}


def folder(path):
    """The layer of a source path relative to the tree, or of an include written "dir/x.h"."""
    parts = path.split("/")
    if parts[0] in ("app", "cli"):
        return "app"
    if parts[0] == "src":
        parts = parts[1:]
    if parts[:2] == ["platform", "widgets"]:
        return "widgets"
    return parts[0]


def read_table(path):
    order, allowed = [], {}
    for line in Path(path).read_text().splitlines():
        if line.strip() and not line.startswith("#"):
            name, _, targets = line.partition(":")
            order.append(name.strip())
            allowed[name.strip()] = targets.split()
    faults = [f"layers.txt: {name} may include {target}, which is not below it"
              for name, targets in allowed.items() for target in targets
              if target not in order or order.index(target) <= order.index(name)]
    return allowed, faults


def main(source, widgets_dir, gdal_dir):
    source = Path(source)
    allowed, faults = read_table(Path(__file__).with_name("layers.txt"))
    widgets = {p.name for p in Path(widgets_dir).iterdir()}
    gdal = {p.name for p in Path(gdal_dir).iterdir() if p.suffix == ".h"}
    files = [p for top in ("src", "app") for p in sorted((source / top).rglob("*"))
             if p.suffix in (".cpp", ".h")]
    for path in files:
        relative = path.relative_to(source).as_posix()
        own = folder(relative)
        for number, line in enumerate(path.read_text().splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            where = f"{relative}:{number}"
            if kind == '"' and "/" in name:
                target = folder(name)
                if target != own and target not in allowed.get(own, []):
                    faults.append(f"{where}: {own} includes {name} ({target})")
            elif kind == "<" and name in gdal and own not in GDAL_MAY:
                faults.append(f"{where}: GDAL's {name} outside gdal/ and formats/")
            elif kind == "<" and name in widgets and own not in WIDGETS_MAY:
                faults.append(f"{where}: Qt Widgets' {name} outside the widget folders")
    print("\n".join(faults) or f"{len(files)} files keep their layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
