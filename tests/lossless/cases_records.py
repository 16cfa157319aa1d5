"""Deleted records, empty inputs, and a set large enough that the byte copy runs over several
blocks of records."""

import shapefile as shp

from builders import WIDER, layer
from expectation import Case
from shapes import points, polygon


def spots(x0, count):
    return [points(x0 + 0.5 * i, 800 + (i % 97)) for i in range(count)]


def areas(x0, count):
    return [polygon(x0 + 300 * i, 900, 1, i % 2) for i in range(count)]


# The byte copy reads 8,192 records at a time: three blocks, deleted and null records at their
# edges.
LARGE = 17_000
EDGES = frozenset({0, 8191, 8192, 16383, 16384, LARGE - 1})
NULLS = {1, 8190, 8193, 16385}

CASES = [
    # a and b copied as bytes, c through GDAL's features (another layout).
    Case("deleted_records", "polygon", [
        layer("a", shp.POLYGON, areas(0, 6), 1, deleted=frozenset({0, 3})),
        layer("b", shp.POLYGON, areas(2000, 5), 101, deleted=frozenset({4})),
        layer("c", shp.POLYGON, areas(5000, 5), 201, WIDER, deleted=frozenset({1, 4})),
    ], byte_copy=("a", "b")),
    # Inputs without records: one has the field source's layout, one has not.
    Case("empty_inputs", "polygon", [
        layer("a", shp.POLYGON, areas(0, 3), 1),
        layer("b", shp.POLYGON, [], 0),
        layer("c", shp.POLYGON, [], 0, WIDER),
        layer("d", shp.POLYGON, areas(5000, 2), 101),
    ]),
    Case("all_inputs_empty", "polygon", [
        layer("a", shp.POLYGON, [], 0),
        layer("b", shp.POLYGON, [], 0, WIDER),
    ]),
    Case("large_byte_copy", "point", [
        layer("a", shp.POINT, [None if i in NULLS else s for i, s in enumerate(spots(0, LARGE))],
              1, deleted=EDGES),
        layer("b", shp.POINT, spots(LARGE, 3), 100_001),
    ], byte_copy=("a", "b")),
]
