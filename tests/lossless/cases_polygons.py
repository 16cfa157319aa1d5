"""Polygons with holes and several parts, flat, with Z (rings that are not planar) and with M,
null shapes among them."""

import shapefile as shp

from builders import STANDARD, WIDER, layer, m_of, russian, z_of
from expectation import Case
from layers import Field
from shapes import polygon


def polygons(x0, count, z=None, m=None):
    """count polygons: one part without holes, then with one and two holes, then two parts."""
    forms = [(1, 0), (1, 1), (1, 2), (2, 1)]
    return [polygon(x0 + 300 * i, 9000, *forms[i % 4], z=z, m=m) for i in range(count)]


POLYGON_M_SOURCE = layer("source", shp.POLYGONM, [], 0, STANDARD + (Field("AREA", "N", 14, 3),))

CASES = [
    Case("polygon_holes_parts", "polygon", [
        layer("a", shp.POLYGON, polygons(0, 4), 1),
        layer("b", shp.POLYGON, polygons(5000, 4), 101),
    ], byte_copy=("a", "b")),
    # Through GDAL's features (another layout), where rings that are not planar get wound by
    # their 3-D orientation.
    Case("polygonz_nonplanar_holes", "polygon", [
        layer("a", shp.POLYGONZ, polygons(0, 4, z_of), 1),
        layer("b", shp.POLYGONZ, polygons(5000, 4, z_of), 101, WIDER),
    ]),
    Case("polygonm_multipart", "polygon", [
        layer("a", shp.POLYGONM, polygons(0, 4, m=m_of), 1),
        layer("b", shp.POLYGONM, polygons(5000, 4, m=m_of), 101, WIDER),
    ]),
    # Both inputs start with a null shape and are recoded, so the first record written goes
    # through GDAL's features and is null, whichever input the scan lists first.
    Case("polygonm_first_null", "polygon", [
        layer("a", shp.POLYGONM, [None] + polygons(5000, 4, m=m_of), 1, values=russian,
              code_page="cp1251"),
        layer("b", shp.POLYGONM, [None] + polygons(9000, 4, m=m_of), 101, values=russian,
              code_page="cp866"),
    ], source=POLYGON_M_SOURCE),
]
