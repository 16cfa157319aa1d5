"""Runs one group of lossless-merge cases: python3 run_group.py CONFLUX GROUP.

Each case's inputs are written into a fresh folder, merged by the built `conflux merge` into a
shapefile and into a GeoPackage, read back with independent readers and judged. Every fault
found is printed; the exit status is 1 when any case has one. Set LOSSLESS_KEEP=1 to keep the
folders for a look.
"""

import importlib
import os
import shutil
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))

from byte_copy import byte_copy_faults  # noqa: E402
from conflux_cli import merge, scan  # noqa: E402
from builders import prj_text  # noqa: E402
from expectation import admitted_inputs, expect  # noqa: E402
from judge import judge_filegdb, judge_geopackage, judge_shapefile  # noqa: E402
from read_geopackage import GeoPackageOutput  # noqa: E402
from read_shapefile import ShapefileOutput  # noqa: E402
from systems import reference_faults  # noqa: E402


def run_case(conflux, case, folder):
    """Merges one case into both outputs; returns the faults found, each prefixed by where."""
    root, out = folder / "in", folder / "out"
    root.mkdir()
    out.mkdir()
    for layer in case.inputs:
        layer.write(root)
    # The field source is always named: the scan lists a folder in the file system's order, so
    # "the first admitted input" would vary from machine to machine.
    source = root / f"{admitted_inputs(case)[0].name}.shp"
    if case.source:
        (folder / "source").mkdir()
        source = case.source.write(folder / "source")
    extra = systems_arguments(case, folder)
    if case.status:
        summary = merge(conflux, root, case.kind, source, out=out, extra=extra)
        return [f"exit status {summary.status}, expected {case.status}: {summary.text.strip()}"
                ] * (summary.status != case.status) + [
            f"written though refused: {sorted(p.name for p in out.iterdir())}"] * any(out.iterdir())
    expected = expect(case)
    faults = scan_faults(conflux, case, root) if case.scan else []
    faults += reference_faults(case, root, expected)
    faults += judged("shapefile", merge(conflux, root, case.kind, source, out=out, extra=extra),
                     lambda summary: judge_shapefile(expected, ShapefileOutput(
                         out / "merged.shp"), summary) + byte_copy_faults(case, folder))
    for gdb, wanted, judge in ((out / "out.gpkg", case.geopackage, judge_geopackage_at),
                               (out / "out.gdb", case.filegdb, judge_filegdb)):
        if wanted:
            faults += judged(gdb.suffix[1:], merge(conflux, root, case.kind, source, gdb=gdb,
                                                   extra=extra),
                             lambda summary: judge(expected, gdb, summary))
    return faults


def judge_geopackage_at(expected, gpkg, summary):
    return judge_geopackage(expected, GeoPackageOutput(gpkg, "merged"), summary)


def systems_arguments(case, folder):
    """--t-srs (as given, or the path of a .prj written for it) and --s-srs."""
    extra = []
    if case.t_srs_prj:
        prj = folder / "target.prj"
        prj.write_text(prj_text(case.t_srs_prj))
        extra += ["--t-srs", str(prj)]
    elif case.t_srs:
        extra += ["--t-srs", case.t_srs]
    return extra + (["--s-srs", case.s_srs] if case.s_srs else [])


def judged(output, summary, judge):
    if summary.status != 0:
        return [f"{output}: merge failed ({summary.status}): {summary.text.strip()}"]
    return [f"{output}: {fault}" for fault in judge(summary)]


def scan_faults(conflux, case, root):
    """The scan lists every input with its field count and record count (deleted records
    included: they are rows of the table)."""
    listed = scan(conflux, root)
    faults = []
    for layer in case.inputs:
        want = [str(len(layer.fields)), str(len(layer.records))]
        if listed.get(layer.name) != want:
            faults.append(f"scan: {layer.name} shows {listed.get(layer.name)} for fields and "
                          f"records, expected {want}")
    return faults


def main(conflux, group):
    cases = importlib.import_module(f"cases_{group}").CASES
    failed = 0
    keep = os.environ.get("LOSSLESS_KEEP") == "1"
    for case in cases:
        started = time.monotonic()
        folder = Path(tempfile.mkdtemp(prefix=f"lossless-{case.name}-"))
        faults = run_case(conflux, case, folder)
        took = time.monotonic() - started
        print(f"{'FAIL' if faults else 'ok  '} {case.name} ({took:.1f} s)"
              + (f"  [{folder}]" if keep else ""))
        for fault in faults:
            print("     " + fault.replace("\n", "\n       "))
        failed += bool(faults)
        if not keep:
            shutil.rmtree(folder)
    print(f"{len(cases) - failed} of {len(cases)} cases lossless")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1]), sys.argv[2]))
