"""Runs the built `conflux merge` and `conflux scan` and reads what they print."""

import re
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

from osgeo import ogr


@dataclass
class Summary:
    status: int
    text: str  # standard output and standard error, for messages
    merged: int | None = None  # "Featurs merged"
    new_count: int | None = None  # "new Feature count"
    not_merged: int | None = None  # "not merged"
    # The lines under "Not merged, by reason:" and "Merged with a change:"; {} for "none"
    reasons: dict = field(default_factory=dict)


def merge(conflux, root, kind, source=None, out=None, gdb=None, name="merged", extra=()):
    """Merges every shapefile under `root` of `kind` into the shapefile out/name.shp or into
    the layer `name` of the GeoPackage or File Geodatabase `gdb`, which is created empty
    first. `extra`: further arguments."""
    command = [str(conflux), "merge", str(root), "--kind", kind, *extra]
    if source:
        command += ["--source", str(source)]
    if gdb and str(gdb).endswith(".gdb"):
        command += ["--gdb", str(gdb), "--class", name, "--create"]
    elif gdb:
        ogr.GetDriverByName("GPKG").CreateDataSource(str(gdb)).FlushCache()  # closed when dropped
        command += ["--gdb", str(gdb), "--class", name]
    else:
        command += ["--out", str(out), "--name", name]
    run = subprocess.run(command, capture_output=True, text=True, timeout=120)
    return parse(run.returncode, run.stdout + run.stderr)


def parse(status, text):
    summary = Summary(status, text)
    lines = text.splitlines()
    for attribute, label in (("merged", "Featurs merged "), ("new_count", "new Feature count "),
                             ("not_merged", "not merged ")):
        for line in lines:
            if line.startswith(label) and line[len(label):].lstrip("-").isdigit():
                setattr(summary, attribute, int(line[len(label):]))
    for heading in ("Not merged, by reason:", "Merged with a change:"):
        for line in lines[lines.index(heading) + 1:] if heading in lines else []:
            if match := re.fullmatch(r"(.+): (\d+)", line):
                summary.reasons[match[1]] = int(match[2])
            elif line != "none" and not line.startswith("("):
                break
    return summary


def scan(conflux, root):
    """`conflux scan`'s field count and record count of each file it lists, by base name."""
    run = subprocess.run([str(conflux), "scan", str(root)], capture_output=True, text=True,
                         timeout=60)
    rows = (line.split("\t") for line in run.stdout.splitlines())
    return {Path(row[0]).stem: row[1:3] for row in rows}
