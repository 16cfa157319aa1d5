"""Points and multipoints, flat, with Z and with M, null shapes among them."""

import shapefile as shp

from builders import WIDER, layer, m_of, russian, z_of
from expectation import Case
from shapes import points


def spread(x0, count, per_shape=1, z=None, m=None):
    return [points(x0 + 10 * i, 5000 + 3 * i, per_shape, z, m) for i in range(count)]


CASES = [
    # Same layout: the second input's records are copied as bytes.
    Case("point", "point", [
        layer("a", shp.POINT, spread(0, 4), 1),
        layer("b", shp.POINT, spread(100, 3), 101),
    ], byte_copy=("a", "b")),
    # A PointZ record may carry a measure; it is data like the height.
    Case("pointz_measures", "point", [
        layer("a", shp.POINTZ, spread(0, 3, z=z_of, m=m_of), 1),
        layer("b", shp.POINTZ, spread(100, 3, z=z_of, m=m_of), 101, WIDER),
    ]),
    # Both inputs start with a null shape, which makes GDAL take them for flat files, and are
    # recoded (code pages differ), so neither is copied as bytes.
    Case("pointz_first_null", "point", [
        layer("a", shp.POINTZ, [None] + spread(0, 3, z=z_of), 1, values=russian,
              code_page="cp1251"),
        layer("b", shp.POINTZ, [None] + spread(100, 3, z=z_of), 101, values=russian,
              code_page="cp866"),
    ]),
    Case("pointm_first_null", "point", [
        layer("a", shp.POINTM, [None] + spread(0, 3, m=m_of), 1, values=russian,
              code_page="cp1251"),
        layer("b", shp.POINTM, [None] + spread(100, 3, m=m_of), 101, values=russian,
              code_page="cp866"),
    ]),
    # A point output takes a multipoint of one point; one of several points has no place in it.
    Case("multipoint_into_point", "point", [
        layer("a", shp.POINT, spread(0, 2), 1),
        layer("b", shp.MULTIPOINT, spread(100, 2) + spread(200, 1, 3), 101),
    ]),
    Case("point_into_multipointz", "point", [
        layer("a", shp.MULTIPOINTZ, spread(0, 3, 4, z_of) + [None], 1),
        layer("b", shp.POINTZ, spread(100, 2, z=z_of), 101, WIDER),
    ]),
    Case("multipointm", "point", [
        layer("a", shp.MULTIPOINTM, [None] + spread(0, 3, 5, m=m_of), 1),
        layer("b", shp.MULTIPOINTM, spread(100, 2, 2, m=m_of), 101, WIDER),
    ]),
]
