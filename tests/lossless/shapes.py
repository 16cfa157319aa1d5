"""Geometries in one form that every reader's output is brought to before comparing.

A shape is a tuple of parts, each a tuple of vertices (x, y, z, m). z is None where the output
has no Z; m is None where it has no measures or the measure is "no data". Points and
multipoints are one part holding their points; lines list their paths; polygons list their
rings, each outer ring followed by its holes. A null shape is None.
"""

import math
from dataclasses import dataclass
from typing import NamedTuple

import shapefile


@dataclass(frozen=True)
class ShapeType:
    code: int  # the .shp header's shape type
    family: str  # point, multipoint, line, polygon
    has_z: bool
    has_m: bool


SHAPE_TYPES = {
    t.code: t
    for t in (
        ShapeType(shapefile.POINT, "point", False, False),
        ShapeType(shapefile.MULTIPOINT, "multipoint", False, False),
        ShapeType(shapefile.POLYLINE, "line", False, False),
        ShapeType(shapefile.POLYGON, "polygon", False, False),
        # Z types keep a measure beside each height too (a record may leave them out).
        ShapeType(shapefile.POINTZ, "point", True, True),
        ShapeType(shapefile.MULTIPOINTZ, "multipoint", True, True),
        ShapeType(shapefile.POLYLINEZ, "line", True, True),
        ShapeType(shapefile.POLYGONZ, "polygon", True, True),
        ShapeType(shapefile.POINTM, "point", False, True),
        ShapeType(shapefile.MULTIPOINTM, "multipoint", False, True),
        ShapeType(shapefile.POLYLINEM, "line", False, True),
        ShapeType(shapefile.POLYGONM, "polygon", False, True),
    )
}


class OutputFeature(NamedTuple):
    """One feature as a reader saw it in an output."""

    shape: tuple | None
    values: list  # in the output's field order
    polygons: list | None = None  # GeoPackage areas: (outer ring, holes) as written
    box: tuple | None = None  # GeoPackage: x/y bounds of the shape
    fid: int | None = None  # GeoPackage: the row's feature id


def measure(value):
    """A measure, or None for "no data". The shapefile format calls every measure below -10^38
    no data (pyshp's own threshold, -10e38, is ten times lower, so it is applied here again);
    NaN is how other formats say the same."""
    if value is None or math.isnan(value) or value < -1e38:
        return None
    return value


def signed_area(ring):
    """Twice the signed x/y area: positive for counter-clockwise rings."""
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:]))


def square(x0, y0, size, clockwise, z=None, m=None):
    """A closed square ring; z and m are functions of (x, y, vertex index) or None."""
    corners = [(x0, y0), (x0, y0 + size), (x0 + size, y0 + size), (x0 + size, y0)]
    if not clockwise:
        corners.reverse()
    corners.append(corners[0])
    return tuple(
        (x, y, z(x, y, i % 4) if z else None, m(x, y, i % 4) if m else None)
        for i, (x, y) in enumerate(corners)
    )


def polygon(x0, y0, parts=1, holes=0, z=None, m=None):
    """Shapefile polygon rings: `parts` outer rings (clockwise) side by side, each with `holes`
    holes (counter-clockwise), in the order outer, its holes, next outer."""
    rings = []
    for p in range(parts):
        left = x0 + 100.5 * p
        rings.append(square(left, y0, 90.25, True, z, m))
        for h in range(holes):
            rings.append(square(left + 10 + 40 * h, y0 + 10, 30.125, False, z, m))
    return tuple(rings)


def path(x0, y0, points, z=None, m=None, step=(3.5, 1.25)):
    return tuple(
        (
            x0 + i * step[0],
            y0 + (i % 3) * step[1],
            z(x0 + i * step[0], y0, i) if z else None,
            m(x0 + i * step[0], y0, i) if m else None,
        )
        for i in range(points)
    )


def line(x0, y0, parts=1, points=4, z=None, m=None):
    return tuple(path(x0 + 50 * p, y0 + 7 * p, points + p, z, m) for p in range(parts))


def points(x0, y0, count=1, z=None, m=None):
    return (path(x0, y0, count, z, m, step=(1.5, 2.75)),)


def project(shape, has_z, has_m):
    """The shape as an output with these dimensions holds it: a missing Z reads as 0, a missing
    measure as no data."""
    if shape is None:
        return None
    return tuple(
        tuple(
            (x, y, (z or 0.0) if has_z else None, measure(m) if has_m else None)
            for x, y, z, m in part
        )
        for part in shape
    )


def ring_key(ring):
    """A ring regardless of its direction (for formats that do not fix ring orientation)."""
    return min(ring, tuple(reversed(ring)))


def polygons_of(rings):
    """Groups shapefile-ordered rings into (outer, holes) by orientation: a counter-clockwise
    ring is a hole of the outer ring before it."""
    groups = []
    for ring in rings:
        if signed_area(ring) < 0 or not groups:
            groups.append([ring, []])
        else:
            groups[-1][1].append(ring)
    return groups


def polygon_set(polygons):
    """Polygons as a comparable set, ring direction and hole order ignored."""
    return sorted((ring_key(outer), sorted(ring_key(h) for h in holes)) for outer, holes in polygons)


def orientation_faults(rings):
    """Rings that break the shapefile rule (outer rings clockwise, holes counter-clockwise,
    in x/y): a ring is a hole when it lies inside another ring of the shape."""
    faults = []
    for i, ring in enumerate(rings):
        inside = any(j != i and contains(other, ring[0]) for j, other in enumerate(rings))
        clockwise = signed_area(ring) < 0
        if inside == clockwise:
            faults.append(f"ring {i} ({'hole' if inside else 'outer'}) wound the wrong way")
    return faults


def contains(ring, point):
    """Even-odd point-in-ring test in x/y; a point on an edge may go either way."""
    x, y = point[0], point[1]
    inside = False
    for a, b in zip(ring, ring[1:]):
        if (a[1] > y) != (b[1] > y) and x < a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1]):
            inside = not inside
    return inside


def bounds(shapes):
    """(xmin, ymin, xmax, ymax), (zmin, zmax), (mmin, mmax) over the vertices of the shapes;
    None for a range with no values."""
    vertices = [v for s in shapes if s for part in s for v in part]
    if not vertices:
        return None, None, None

    def span(values):
        values = [v for v in values if v is not None]
        return (min(values), max(values)) if values else None

    xs, ys = span(v[0] for v in vertices), span(v[1] for v in vertices)
    return (xs[0], ys[0], xs[1], ys[1]), span(v[2] for v in vertices), span(v[3] for v in vertices)
