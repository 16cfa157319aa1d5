"""Polylines of one and several parts, flat, with Z and with M, null shapes among them."""

import shapefile as shp

from builders import STANDARD, WIDER, layer, m_of, russian, z_of
from expectation import Case
from layers import Field
from shapes import line


def lines(x0, count, z=None, m=None):
    """count lines of 1, 2, 3, 1, ... parts."""
    return [line(x0 + 200 * i, 7000 + 20 * i, 1 + i % 3, 4, z, m) for i in range(count)]


def some_without_measures(shapes):
    """The second shape has no measures: its record says "no data" for each of them."""
    return [tuple(tuple(v[:3] + (None,) for v in p) for p in s) if i == 1 else s
            for i, s in enumerate(shapes)]


# A field source outside the scanned folder with a layout of its own.
LINE_Z_SOURCE = layer("source", shp.POLYLINEZ, [], 0, STANDARD + (Field("LENGTH", "N", 12, 2),))

CASES = [
    Case("polyline", "line", [
        layer("a", shp.POLYLINE, lines(0, 4), 1),
        layer("b", shp.POLYLINE, lines(5000, 3), 101),
    ], byte_copy=("a", "b")),
    # Through GDAL's features (another layout); no measures, heights only.
    Case("polylinez_multipart", "line", [
        layer("a", shp.POLYLINEZ, lines(0, 4, z_of), 1),
        layer("b", shp.POLYLINEZ, lines(5000, 3, z_of), 101, WIDER),
    ]),
    # A PolyLineZ record may carry measures; they are data like the heights. GDAL cannot give a
    # File Geodatabase a measure of "no data": that merge fails whole, the class left unmade.
    Case("polylinez_measures", "line", [
        layer("a", shp.POLYLINEZ, some_without_measures(lines(0, 4, z_of, m_of)), 1),
        layer("b", shp.POLYLINEZ, lines(5000, 3, z_of, m_of), 101, WIDER),
    ], filegdb=False),
    Case("polylinem_multipart", "line", [
        layer("a", shp.POLYLINEM, lines(0, 4, m=m_of), 1),
        layer("b", shp.POLYLINEM, lines(5000, 3, m=m_of), 101, WIDER),
    ]),
    # Both inputs start with a null shape and are recoded (code pages differ), so whichever the
    # scan lists first, the first record written goes through GDAL's features and is null.
    Case("polylinez_first_null", "line", [
        layer("a", shp.POLYLINEZ, [None] + lines(0, 4, z_of, m_of), 1, values=russian,
              code_page="cp1251"),
        layer("b", shp.POLYLINEZ, [None] + lines(5000, 3, z_of, m_of), 101, values=russian,
              code_page="cp866"),
    ], source=LINE_Z_SOURCE),
    Case("polylinem_first_null", "line", [
        layer("a", shp.POLYLINEM, [None] + lines(0, 4, m=m_of), 1, values=russian,
              code_page="cp1251"),
        layer("b", shp.POLYLINEM, [None] + lines(5000, 3, m=m_of), 101, values=russian,
              code_page="cp866"),
    ]),
]
