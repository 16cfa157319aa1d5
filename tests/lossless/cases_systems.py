"""Inputs in several coordinate systems: each reprojected into the output's, or counted."""

import shapefile as shp
from pyproj import Transformer

from builders import STANDARD, WIDER, in_system, layer, m_of, z_of
from expectation import Case
from shapes import line, points, polygon

UTM37, UTM38 = in_system(32637), in_system(32638, "epsg")


def degrees(shape):
    """A shape drawn in zone 37N metres, in WGS 84 degrees."""
    to_degrees = Transformer.from_crs("EPSG:32637", "EPSG:4326", always_xy=True)
    return tuple(tuple((*to_degrees.transform(v[0], v[1]), *v[2:]) for v in part)
                 for part in shape)


def areas(x0, y0, count, **options):
    return [polygon(x0 + 400 * i, y0, parts=2, holes=1, **options) for i in range(count)]


def paths(x0, y0, count):
    return [line(x0 + 200 * i, y0, parts=2) for i in range(count)]


CASES = [
    # Sheets along a zone boundary; the second declares its system in the EPSG's own words.
    Case("utm_zones", "line", [
        layer("a", shp.POLYLINE, paths(500000, 6100000, 3), 1, **UTM37),
        layer("b", shp.POLYLINE, paths(260000, 6100000, 3), 101, **UTM38),
    ]),
    # Pulkovo 1942 in two Gauss-Krüger zones into a WGS 84 field source: another datum too.
    Case("gauss_kruger_into_degrees", "polygon", [
        layer("a", shp.POLYGON, [degrees(s) for s in areas(500000, 6100000, 2)], 1,
              **in_system(4326)),
        layer("b", shp.POLYGON, areas(7500000, 6100000, 2), 101, **in_system(28407)),
        layer("c", shp.POLYGON, areas(8300000, 6100000, 2), 201, **in_system(28408, "epsg")),
    ]),
    Case("degrees_into_metres", "polygon", [
        layer("a", shp.POLYGON, areas(500000, 6100000, 2), 1, **UTM37),
        layer("b", shp.POLYGON, [degrees(s) for s in areas(520000, 6100000, 2)], 101,
              **in_system(4326)),
    ]),
    # One system described by two programs: nothing moves, the records stay bytes.
    Case("same_system_two_styles", "polygon", [
        layer("a", shp.POLYGON, areas(500000, 6100000, 2), 1, **UTM37),
        layer("b", shp.POLYGON, areas(510000, 6100000, 2), 101, **in_system(32637, "epsg")),
    ], byte_copy=("a", "b")),
    # Heights stay as read between flat systems; measures always do.
    Case("z_and_m", "polygon", [
        layer("a", shp.POLYGONZ, areas(500000, 6100000, 1, z=z_of, m=m_of), 1, **UTM37),
        layer("b", shp.POLYGONZ, areas(260000, 6100000, 2, z=z_of, m=m_of), 101, WIDER, **UTM38),
    ]),
    Case("without_prj", "point", [
        layer("a", shp.POINT, [points(500000, 6100000, 1)] * 1, 1, **UTM37),
        layer("b", shp.POINT, [points(500100 + 10 * i, 6100000) for i in range(3)], 101),
    ]),
    Case("without_prj_given_s_srs", "point", [
        layer("a", shp.POINT, [points(500000, 6100000)], 1, **UTM37),
        layer("b", shp.POINT, [points(260000 + 10 * i, 6100000) for i in range(3)], 101,
              crs="EPSG:32638"),
    ], s_srs="EPSG:32638"),
    # Without a system for the output nothing can be moved: the user is told.
    Case("template_without_prj", "point", [
        layer("a", shp.POINT, [points(500000, 6100000)], 1),
        layer("b", shp.POINT, [points(260000 + 10 * i, 6100000) for i in range(2)], 101, **UTM38),
    ]),
    Case("outside_the_domain", "point", [
        layer("a", shp.POINT, [points(500000, 6100000)], 1, **UTM37),
        layer("b", shp.POINT, [points(39.0, 55.5), points(39.0, 95.0), points(40.0, 56.0)], 101,
              **in_system(4326)),
    ]),
    Case("t_srs_code", "line", [
        layer("a", shp.POLYLINE, paths(500000, 6100000, 2), 1, **UTM37),
        layer("b", shp.POLYLINE, paths(260000, 6100000, 2), 101, **UTM38),
    ], t_srs="EPSG:3857", geopackage=False),
    Case("t_srs_wkt", "line", [
        layer("a", shp.POLYLINE, paths(500000, 6100000, 2), 1, **UTM37),
    ], t_srs=UTM38["prj"], geopackage=False),
    Case("t_srs_prj_file", "point", [
        layer("a", shp.POINT, [points(500000 + 10 * i, 6100000) for i in range(3)], 1, STANDARD,
              **UTM37),
    ], t_srs_prj=4326),
    Case("t_srs_unknown", "point", [
        layer("a", shp.POINT, [points(500000, 6100000)], 1, **UTM37),
    ], t_srs="EPSG:99999", status=2),
]
