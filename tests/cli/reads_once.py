"""A merge reads each input's headers once: python3 reads_once.py CONFLUX.

Merges three polygon shapefiles (each with .cpg and .prj) under strace and counts the opens of
every file of every input: the .cpg and .prj once (the probe), the .shx once (the records' index;
the probe only looks at its size), the .shp twice (the probe's header, the records), the .dbf
three times (the scan's counts, the probe's header, the rows). Exits 77 (skipped) where strace
cannot trace.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
from collections import Counter
from pathlib import Path

from osgeo import ogr, osr

MOST = {".cpg": 1, ".prj": 1, ".shx": 1, ".shp": 2, ".dbf": 3}
OPEN = re.compile(r'open(?:at)?\((?:AT_FDCWD, )?"([^"]+)", .*\) = \d+$')


def write_inputs(root):
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(32637)
    for name in ("a", "b", "c"):
        path = root / name / f"{name}.shp"
        path.parent.mkdir()
        data = ogr.GetDriverByName("ESRI Shapefile").CreateDataSource(str(path))
        layer = data.CreateLayer(name, srs, ogr.wkbPolygon, ["ENCODING=CP1251"])
        layer.CreateField(ogr.FieldDefn("NAME", ogr.OFTString))
        feature = ogr.Feature(layer.GetLayerDefn())
        feature.SetField("NAME", "участок")
        feature.SetGeometry(ogr.CreateGeometryFromWkt("POLYGON ((0 0,0 1,1 1,0 0))"))
        layer.CreateFeature(feature)
        data = None
    return sorted(root.rglob("*.shp"))


def main(conflux):
    if not shutil.which("strace"):
        print("strace is not installed")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        root, out = Path(folder) / "in", Path(folder) / "out"
        root.mkdir()
        out.mkdir()
        inputs = write_inputs(root)
        trace = Path(folder) / "trace"
        run = subprocess.run(["strace", "-f", "-qq", "-e", "trace=open,openat", "-o", str(trace),
                              conflux, "merge", str(root), "--kind", "polygon", "--out", str(out)],
                             capture_output=True, text=True,
                             # LeakSanitizer cannot work under a tracer; the other tests run it
                             env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
        if not trace.exists() or "Operation not permitted" in run.stderr:
            print(f"strace cannot trace here: {run.stderr.strip()}")
            return 77
        if run.returncode != 0:
            print(f"the merge failed ({run.returncode}): {run.stdout}{run.stderr}")
            return 1
        opened = Counter(m[1] for line in trace.read_text().splitlines()
                         if (m := OPEN.search(line)))
        faults = []
        for shp in inputs:
            for extension, most in MOST.items():
                path = str(shp.with_suffix(extension))
                if opened[path] > most:
                    faults.append(f"{path} opened {opened[path]} times, at most {most}")
        print("\n".join(faults) or "every input's files opened no more than their reads need")
        return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
