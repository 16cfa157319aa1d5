"""Compares what the independent readers saw in an output with what a lossless merge must give
(expectation.py), and the merge's summary with what it wrote and refused."""

import math
from collections import Counter
from functools import partial

from pyproj import CRS

from shapes import orientation_faults, polygon_set, polygons_of, ring_key

DBASE_TEXT_LIMIT = 254
GPKG_TYPES = {"C": ("TEXT",), "L": ("BOOLEAN",), "D": ("DATE",), "F": ("REAL", "DOUBLE", "FLOAT"),
              "N": ("REAL", "DOUBLE", "FLOAT"),
              "N0": ("INTEGER", "INT", "MEDIUMINT", "SMALLINT", "TINYINT")}


class Findings:
    """Faults by topic, each with a count and its first examples."""

    def __init__(self):
        self.examples, self.counts = {}, Counter()

    def add(self, topic, text):
        self.counts[topic] += 1
        self.examples.setdefault(topic, [])
        if len(self.examples[topic]) < 3:
            self.examples[topic].append(text)

    def lines(self):
        return [f"{topic} ({self.counts[topic]}): " + "; ".join(examples)
                for topic, examples in self.examples.items()]


def judge_shapefile(expected, output, summary):
    found = Findings()
    for fault in output.faults:
        found.add("format", fault)
    if expected.mixed_code_pages and output.encoding != "utf-8":
        found.add("code page", f"inputs in several code pages, the output declares "
                               f"{output.encoding}")
    if output.shape_type != expected.shape_type.code:
        found.add("shape type", f"{output.shape_type}, the field source's is "
                                f"{expected.shape_type.code}")
    _declared_system(expected, output.system, found)
    columns = _column_map(expected.fields, [f.name for f in output.fields],
                          output.encoding or "latin-1")
    _shapefile_fields(expected, output, columns, found)
    cut = _features(expected, output.features, columns, found, _ShapefileText(expected, output),
                    partial(_shapefile_shape, tol=expected.tolerance))
    _summary(expected, summary, cut, found)
    return found.lines()


def judge_geopackage(expected, output, summary):
    found = Findings()
    for fault in output.faults:
        found.add("format", fault)
    _geopackage_dimensions(expected, output, found)
    _declared_system(expected, output.system, found)
    _geopackage_columns(expected, output, found)
    columns = _column_map(expected.fields, [name for name, _ in output.columns])
    _features(expected, output.features, columns, found, _exact_text,
              partial(_geopackage_shape, tol=expected.tolerance))
    _summary(expected, summary, 0, found)
    return found.lines()


def judge_filegdb(expected, gdb, summary):
    """Read through OGR, the only File Geodatabase reader there is: every feature by ID with
    its vertices (direction and grouping left to the other judges), and the declared system."""
    from systems import read_filegdb

    found = Findings()
    code, features = read_filegdb(gdb, "merged")
    want_code = expected.crs.to_epsg() if expected.crs else None
    if code != want_code:
        found.add("coordinate system", f"EPSG:{code}, expected EPSG:{want_code}")
    if sorted(features) != sorted(expected.features):
        found.add("features", f"IDs {sorted(features)[:8]}, expected "
                              f"{sorted(expected.features)[:8]}")
    for key, want in expected.features.items():
        if key not in features:
            continue
        got, values = features[key]
        # Sorted on a grid of the tolerance: coordinates a rounding apart keep one order.
        grid = partial(_on_grid, tol=expected.tolerance)
        vertices = sorted(((v[0], v[1]) for part in want.shape or () for v in part), key=grid)
        got = sorted(got, key=grid)
        if not _close(vertices, got, expected.tolerance):
            found.add("geometry", f"ID {key}: {got[:2]}..., expected {vertices[:2]}...")
        for field, w in zip(expected.fields, want.values):
            g = values.get(field.name.casefold())
            # Integers wider than 32 bits are doubles there, the format having no other type.
            g = int(g) if isinstance(w, int) and isinstance(g, float) and g.is_integer() else g
            if _same_value(w, g):
                found.add("values", f"ID {key} field {field.name}: {_brief_value(g)}, input "
                                    f"{_brief_value(w)}")
    _summary(expected, summary, 0, found)
    return found.lines()


def _on_grid(vertex, tol):
    return tuple(round(c / tol) for c in vertex) if tol else vertex


def _declared_system(expected, declared, found):
    """The output declares the system its coordinates are in, or none where it has none."""
    crs = CRS.from_user_input(declared) if declared else None
    if (crs is None) != (expected.crs is None) or (
            crs and not crs.equals(expected.crs, ignore_axis_order=True)):
        found.add("coordinate system", f"declares {crs.name if crs else 'none'}, expected "
                                       f"{expected.crs.name if expected.crs else 'none'}")


def _geopackage_dimensions(expected, output, found):
    """Z as the field source's shape type has it; M wherever a measure is present (a Z type
    without any measure may go either way: no data has no GeoPackage form of its own)."""
    kind = expected.shape_type
    measured = any(v[3] is not None for f in expected.features.values() if f.shape
                   for part in f.shape for v in part)
    has_m = bool(output.has_m)
    if bool(output.has_z) != kind.has_z or (measured and not has_m) or (has_m and not kind.has_m):
        found.add("dimensions", f"layer declares z={output.has_z} m={output.has_m} for "
                                f"shape type {kind.code}{' with measures' if measured else ''}")


def _shapefile_fields(expected, output, columns, found):
    got, want = output.fields, expected.fields
    if not want and [g.name for g in got] == ["FID"]:
        return  # GDAL's writer numbers the records of a table without fields; nothing is lost
    if None in columns or len(got) != len(want) or columns != sorted(columns):
        found.add("field names", f"{[g.name for g in got]}, the field source has "
                                 f"{[w.name for w in want]}")
    names = [g.name.casefold() for g in got]
    if len(set(names)) != len(names):
        found.add("field names", f"{[g.name for g in got]} are not unique")
    for w, column in zip(want, columns):
        if column is None:
            continue
        g = got[column]
        if g.name.casefold() != w.name.casefold() and len(g.name.encode(output.encoding)) > 10:
            found.add("field names", f"{g.name!r} for {w.name!r} is longer than 10 bytes")
        if g.type != w.type:
            found.add("field types", f"{w.name} is {g.type}({g.size},{g.decimals}), the field "
                                     f"source declares {w.type}({w.size},{w.decimals})")
        elif w.type == "C" and not min(w.size, DBASE_TEXT_LIMIT) <= g.size <= DBASE_TEXT_LIMIT:
            found.add("field widths", f"{w.name} is C({g.size}), the field source C({w.size})")
        elif w.type != "C" and (g.size, g.decimals) != (w.size, w.decimals):
            found.add("field widths", f"{w.name} is {g.type}({g.size},{g.decimals}), the field "
                                      f"source {w.type}({w.size},{w.decimals})")


def _geopackage_columns(expected, output, found):
    names = [name for name, _ in output.columns]
    if names != [f.name for f in expected.fields]:
        found.add("columns", f"{names}, the field source has {[f.name for f in expected.fields]}")
        return
    for i, ((name, declared), f) in enumerate(zip(output.columns, expected.fields)):
        base, _, width = declared.upper().partition("(")
        key = "N0" if f.type == "N" and f.decimals == 0 else f.type
        if base not in GPKG_TYPES[key]:
            found.add("column types", f"{name} is {declared} for a {f.type}({f.size},"
                                      f"{f.decimals}) field")
        if width:
            longest = max((len(f.values[i]) for f in output.features
                           if isinstance(f.values[i], str)), default=0)
            if longest > int(width.rstrip(")")):
                found.add("column widths", f"{name} is declared {declared} but holds "
                                           f"{longest} characters")


def _column_map(fields, names, encoding=None):
    """The output position of each field of the field source: the field of the same name (case
    ignored), else, for a name longer than the 10 bytes a .dbf holds, the field in its place;
    None when the output has no such field (reported with the names)."""
    folded = [n.casefold() for n in names]
    positions = []
    for j, f in enumerate(fields):
        if f.name.casefold() in folded:
            positions.append(folded.index(f.name.casefold()))
        elif encoding and j < len(names) and len(f.name.encode(encoding, "replace")) > 10:
            positions.append(j)
        else:
            positions.append(None)
    return positions


def _features(expected, features, columns, found, text_rule, shape_rule):
    """Matches the output's features to the inputs' by ID; returns how many texts were cut."""
    id_column = columns[expected.id_index] if expected.id_index is not None else None
    by_key = {}
    for position, feature in enumerate(features):
        key = feature.values[id_column] if id_column is not None else position
        if key in by_key:
            found.add("duplicate features", f"ID {key}")
        by_key[key] = feature
    missing = sorted(set(expected.features) - set(by_key), key=str)
    extra = sorted(set(by_key) - set(expected.features), key=str)
    if missing:
        found.add("missing features", f"{len(missing)} of {len(expected.features)}, IDs "
                                      f"{missing[:8]}")
    if extra:
        found.add("unexpected features", f"IDs {extra[:8]}")
    cut = 0
    for key, want in expected.features.items():
        if key not in by_key:
            continue
        got = by_key[key]
        if problem := shape_rule(want.shape, got, expected.shape_type.family):
            found.add("geometry", f"ID {key}: {problem}")
        for i, w in enumerate(want.values):
            if columns[i] is None:
                continue
            g = got.values[columns[i]]
            verdict = text_rule(w, g, columns[i], i, want) if isinstance(w, str) \
                else _same_value(w, g)
            if verdict == "cut":
                cut += 1
            elif verdict:
                found.add("values", f"ID {key} field {expected.fields[i].name}: {_brief_value(g)}"
                                    f", input {_brief_value(w)}")
    return cut


def _same_value(want, got):
    """True when the values differ (names the fault, as the text rules do)."""
    if want is None or got is None:
        return want is not got
    if isinstance(want, float):
        return not (isinstance(got, (int, float)) and math.isclose(want, got, rel_tol=1e-12))
    return type(want) is not type(got) or want != got


def _exact_text(want, got, column, index, feature):
    return want != got


class _ShapefileText:
    """A text must come out whole unless it cannot fit: longer than 254 bytes in the output's
    code page, or longer than both the field source's width and the output field's, where the
    output is not UTF-8 recoded from another page (such fields are widened to what the values
    need, up to 254 bytes). A text that is cut must be a prefix that fits its field, and is
    counted."""

    def __init__(self, expected, output):
        self.widths = [f.size for f in output.fields]
        self.template = [f.size for f in expected.fields]
        self.encoding = output.encoding or "latin-1"

    def __call__(self, want, got, column, index, feature):
        if want == got:
            return False
        need = len(want.encode(self.encoding, "replace"))
        width = self.widths[column]
        recoded = self.encoding == "utf-8" and feature.code_page not in (None, "utf-8")
        must_fit = need <= DBASE_TEXT_LIMIT and (need <= max(self.template[index], width)
                                                 or recoded)
        fits = len((got or "").encode(self.encoding, "replace")) <= width
        widened = not recoded or width >= min(need, DBASE_TEXT_LIMIT)
        return "cut" if not must_fit and widened and want.startswith(got or "") and fits else True


def _close(a, b, tol):
    """Equal, coordinates within `tol` of each other (0: exactly equal)."""
    if isinstance(a, (tuple, list)) and isinstance(b, (tuple, list)):
        return len(a) == len(b) and all(_close(x, y, tol) for x, y in zip(a, b))
    if isinstance(a, float) and isinstance(b, float):
        return a == b or abs(a - b) <= tol
    return a == b


def _shapefile_shape(want, got, family, tol):
    """Shapefile rings keep their direction: outer rings clockwise, holes counter-clockwise."""
    shape = got.shape
    if want is None or shape is None:
        return None if want is shape else f"{_brief(shape)}, input {_brief(want)}"
    if family != "polygon":
        return None if _close(want, shape, tol) else _difference(want, shape, tol)
    faults = orientation_faults(shape)
    if not _close(sorted(want), sorted(shape), tol):
        faults.insert(0, _difference(sorted(want), sorted(shape), tol))
    return "; ".join(faults) or None


def _geopackage_shape(want, got, family, tol):
    """GeoPackage polygons say which holes are whose; ring direction is not fixed by the
    format (GDAL keeps the shapefile's), so it is not compared."""
    shape, polygons = got.shape, got.polygons
    if want is None or shape is None:
        return None if want is shape else f"{_brief(shape)}, input {_brief(want)}"
    if family != "polygon":
        return None if _close(want, shape, tol) else _difference(want, shape, tol)
    if polygons is None or not _close(polygon_set(polygons), polygon_set(polygons_of(want)), tol):
        rings = sorted(map(ring_key, want)), sorted(map(ring_key, shape))
        if _close(rings[0], rings[1], tol):
            return "holes grouped under other outer rings than the input's"
        return _difference(*rings, tol)
    return None


def _difference(want, got, tol=0):
    if len(want) != len(got):
        return f"{len(got)} parts, input {len(want)}"
    for p, (a, b) in enumerate(zip(want, got)):
        if len(a) != len(b):
            return f"part {p} has {len(b)} vertices, input {len(a)}"
        for v, (x, y) in enumerate(zip(a, b)):
            if not _close(x, y, tol):
                return f"part {p} vertex {v} is {_vertex(y)}, input {_vertex(x)}"
    return "parts differ"


def _vertex(v):
    return "(" + ", ".join("-" if c is None else f"{c:g}" for c in v) + ")"


def _brief_value(value):
    text = repr(value)
    return text if len(text) <= 60 else f"{text[:40]}...{text[-12:]} ({len(value)} characters)"


def _brief(shape):
    return "null" if shape is None else f"{len(shape)} parts"


def _summary(expected, summary, cut, found):
    total = sum(len(layer.records) for layer in expected.admitted)
    want = {"Featurs merged": len(expected.admitted), "new Feature count": len(expected.features),
            "not merged": total - len(expected.features)}
    got = {"Featurs merged": summary.merged, "new Feature count": summary.new_count,
           "not merged": summary.not_merged}
    for label in want:
        if want[label] != got[label]:
            found.add("summary", f"{label!r} says {got[label]}, expected {want[label]}")
    if summary.reasons != expected.reasons(cut):
        found.add("summary", f"reasons {summary.reasons or 'none'}, expected "
                             f"{expected.reasons(cut) or 'none'}")
