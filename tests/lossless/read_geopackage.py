"""Reads an output GeoPackage layer with readers that are not the merge's own: SQLite itself
(integrity_check, rtreecheck, the rows, the geometry blobs parsed here), GDAL's GeoPackage
validator with and without --extra, and OGR's feature count."""

import sqlite3
import struct
from datetime import date

from osgeo import ogr
from osgeo_utils.samples import validate_gpkg

from shapes import OutputFeature, measure

ENVELOPE_SIZES = {0: 0, 1: 32, 2: 48, 3: 48, 4: 64}


class GeoPackageOutput:
    """One layer of a GeoPackage as the independent readers saw it; `faults` lists what they
    refused or what breaks the format's rules."""

    def __init__(self, path, table):
        self.faults = []
        self._validate(path)
        db = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
        try:
            self._check_database(db)
            row = db.execute("SELECT column_name, geometry_type_name, z, m FROM"
                             " gpkg_geometry_columns WHERE table_name = ?", (table,)).fetchone()
            if row is None:
                self.faults.append(f"no layer {table!r} in gpkg_geometry_columns")
                self.columns, self.features = [], []
                return
            self.geometry_column, self.geometry_type, self.has_z, self.has_m = row
            (self.system,) = db.execute(
                "SELECT definition FROM gpkg_spatial_ref_sys JOIN gpkg_geometry_columns USING "
                "(srs_id) WHERE table_name = ? AND srs_id > 0", (table,)).fetchone() or (None,)
            self.columns = [(name, declared) for _, name, declared, *_ in
                            db.execute(f'PRAGMA table_info("{table}")')
                            if name not in ("fid", self.geometry_column)]
            self.features = self._read_rows(db, table)
            self._check_rtree(db, table)
        finally:
            db.close()
        self._check_ogr_count(path, table)

    def _validate(self, path):
        """validate_gpkg.py --extra, run in this process (its extra checks come on top of the
        standard ones), keeping on after an error, warnings taken as errors."""
        errors = validate_gpkg.check(str(path), abort_at_first_error=False, extra_checks=True,
                                     warning_msg=False, warning_as_error=True)
        for requirement, message in errors:
            self.faults.append(f"validate_gpkg.py --extra: "
                               f"{f'Req {requirement}: ' if requirement else ''}{message}")

    def _check_database(self, db):
        result = db.execute("PRAGMA integrity_check").fetchall()
        if result != [("ok",)]:
            self.faults.append(f"integrity_check: {result[:5]}")
        for (name,) in db.execute("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                  "sql LIKE 'CREATE VIRTUAL TABLE%USING rtree%'"):
            (result,) = db.execute("SELECT rtreecheck(?)", (name,)).fetchone()
            if result != "ok":
                self.faults.append(f"rtreecheck({name}): {result}")

    def _read_rows(self, db, table):
        names = ", ".join(f'"{n}"' for n, _ in self.columns)
        select = f'SELECT fid, "{self.geometry_column}"{", " + names if names else ""}'
        features = []
        for fid, blob, *values in db.execute(f'{select} FROM "{table}" ORDER BY fid'):
            try:
                shape, polygons, box = parse_blob(blob) if blob is not None else (None, None, None)
            except (ValueError, struct.error) as error:
                self.faults.append(f"fid {fid}: geometry blob unreadable: {error}")
                shape, polygons, box = None, None, None
            row = [_typed(v, declared) for v, (_, declared) in zip(values, self.columns)]
            features.append(OutputFeature(shape, row, polygons, box, fid))
        return features

    def _check_rtree(self, db, table):
        """The spatial index holds exactly the non-empty geometries, each box around it (boxes
        are stored as 32-bit floats, rounded outwards)."""
        name = f"rtree_{table}_{self.geometry_column}"
        try:
            boxes = {r[0]: r[1:] for r in db.execute(f'SELECT * FROM "{name}"')}
        except sqlite3.OperationalError:
            self.faults.append(f"no spatial index {name}")
            return
        wrong = []
        for feature in self.features:
            if feature.shape is None:
                continue
            minx, maxx, miny, maxy = boxes.pop(feature.fid, None) or (1, 0, 1, 0)
            box = feature.box
            if not (minx <= box[0] and maxx >= box[2] and miny <= box[1] and maxy >= box[3]):
                wrong.append(feature.fid)
        if wrong or boxes:
            self.faults.append(f"spatial index: {len(wrong)} geometries without their box "
                               f"(first fid {wrong[:1]}), {len(boxes)} boxes without geometry")

    def _check_ogr_count(self, path, table):
        dataset = ogr.Open(str(path))
        layer = dataset.GetLayerByName(table) if dataset else None
        if layer is None:
            self.faults.append(f"OGR cannot open layer {table!r}")
        elif layer.GetFeatureCount() != len(self.features):
            self.faults.append(f"OGR counts {layer.GetFeatureCount()} features, SQLite "
                               f"{len(self.features)}")


def _typed(value, declared):
    declared = declared.upper()
    if value is None:
        return None
    if declared == "BOOLEAN":
        return bool(value)
    if declared == "DATE":
        return date.fromisoformat(value)
    return None if value == "" else value


def parse_blob(blob):
    """(shape, polygons, x/y box) of a GeoPackage geometry blob: its header, then ISO WKB.
    polygons lists (outer, holes) for areas, None otherwise."""
    if blob[:2] != b"GP":
        raise ValueError("no GP magic")
    flags = blob[3]
    envelope = ENVELOPE_SIZES[(flags >> 1) & 7]
    (tag, content), _ = _wkb(blob, 8 + envelope)
    if tag in ("LineString", "Polygon"):
        content = [content] if content else []
    if tag.endswith("Point"):
        shape = (tuple(content),) if content else None
    elif tag.endswith("LineString"):
        shape = tuple(tuple(p) for p in content) or None
    elif tag.endswith("Polygon"):
        shape = tuple(ring for outer, holes in content for ring in (outer, *holes)) or None
    else:
        raise ValueError(f"unexpected geometry {tag}")
    if shape is None:
        return None, None, None
    polygons = content if tag.endswith("Polygon") else None
    xs = [v[0] for part in shape for v in part]
    ys = [v[1] for part in shape for v in part]
    box = (min(xs), min(ys), max(xs), max(ys))
    if envelope and struct.unpack_from(("<" if flags & 1 else ">") + "4d", blob, 8) != (
            box[0], box[2], box[1], box[3]):
        raise ValueError("the envelope in the header is not the geometry's")
    return shape, polygons, box


NAMES = {1: "Point", 2: "LineString", 3: "Polygon", 4: "MultiPoint", 5: "MultiLineString",
         6: "MultiPolygon"}


def _wkb(data, pos):
    """Parses one WKB geometry at `pos`; returns ((name, content), next position). Content:
    Point a list of one vertex (none when empty), LineString a list of vertices, Polygon
    (outer, holes), multi types the list of their members' contents."""
    order = "<" if data[pos] == 1 else ">"
    (code,) = struct.unpack_from(order + "I", data, pos + 1)
    pos += 5
    has_z = code // 1000 in (1, 3) or bool(code & 0x80000000)
    has_m = code // 1000 in (2, 3) or bool(code & 0x40000000)
    base = (code & 0x0FFFFFFF) % 1000
    width = 2 + has_z + has_m

    def vertices(count, at):
        flat = struct.unpack_from(f"{order}{count * width}d", data, at)
        out = []
        for i in range(count):
            v = flat[i * width:(i + 1) * width]
            out.append((v[0], v[1], v[2] if has_z else None,
                        measure(v[2 + has_z]) if has_m else None))
        return out, at + 8 * count * width

    def count_at(at):
        return struct.unpack_from(order + "I", data, at)[0], at + 4

    name = NAMES.get(base)
    if base == 1:
        (vertex,), pos = vertices(1, pos)
        return (name, [] if vertex[0] != vertex[0] else [vertex]), pos
    n, pos = count_at(pos)
    if base == 2:
        line, pos = vertices(n, pos)
        return (name, tuple(line)), pos
    if base == 3:
        rings = []
        for _ in range(n):
            count, pos = count_at(pos)
            ring, pos = vertices(count, pos)
            rings.append(tuple(ring))
        return (name, (rings[0], rings[1:]) if rings else None), pos
    if base in (4, 5, 6):
        members = []
        for _ in range(n):
            (_, content), pos = _wkb(data, pos)
            members.extend(content) if base == 4 else members.append(content)
        return (name, members), pos
    raise ValueError(f"WKB type {code}")
