"""Field layouts: extra, missing, the same name with another type or in another case; every
dBASE type (C, N, F, L, D); a field source whose fields are not the first input's."""

from datetime import date

import shapefile as shp

from builders import EXTRA, ID, NAME, layer
from expectation import Case
from layers import Field
from shapes import line, points


def lines(x0, count):
    return [line(x0 + 100 * i, 300, 1 + i % 2) for i in range(count)]


def spots(x0, count):
    return [points(x0 + 10 * i, 400) for i in range(count)]


LANES, WIDTH, CODE = Field("LANES", "N", 4), Field("WIDTH", "N", 8, 2), Field("CODE", "C", 6)

# Every dBASE type, with widths and decimals the output must keep.
TYPED = (ID, NAME, Field("COUNT", "N", 9), Field("LENGTH", "N", 14, 3),
         Field("RATIO", "F", 19, 11), Field("PAVED", "L", 1), Field("BUILT", "D", 8))


def typed(i):
    return {"NAME": f"road {i}", "COUNT": 1000 * i - 7, "LENGTH": 12.125 * i + 0.001,
            "RATIO": 1 / (i + 3), "PAVED": [True, False, None][i % 3],
            "BUILT": [date(1987, 6, 30), date(2024, 2, 29), None][i % 3]}


CASES = [
    Case("layouts", "line", [
        layer("a", shp.POLYLINE, lines(0, 3), 1, (ID, NAME, LANES, WIDTH, CODE),
              lambda i: {"NAME": f"a{i}", "LANES": 2 + i, "WIDTH": 7.5 + i, "CODE": f"A-{i}"}),
        # Names in another case, an extra field, no CODE; LANES kept as text.
        layer("b", shp.POLYLINE, lines(1000, 3), 101,
              (ID, Field("name", "C", 30), Field("LANES", "C", 5), Field("Width", "N", 8, 2),
               Field("SURFACE", "C", 10)),
              lambda i: {"name": f"b{i}", "LANES": str(4 + i), "Width": 3.25 * i,
                         "SURFACE": "asphalt"}),
        # No WIDTH; CODE as a number.
        layer("c", shp.POLYLINE, lines(2000, 3), 201, (ID, NAME, LANES, Field("CODE", "N", 6)),
              lambda i: {"NAME": f"c{i}", "LANES": 1, "CODE": 420 + i}),
    ]),
    # a and b have the field source's layout and are copied as bytes; c lists the fields in
    # the opposite order and goes through GDAL's features.
    Case("dbase_types", "point", [
        layer("a", shp.POINT, spots(0, 6), 1, TYPED, typed),
        layer("b", shp.POINT, spots(100, 6), 101, TYPED, typed),
        layer("c", shp.POINT, spots(200, 6), 201, TYPED[::-1], typed),
    ], byte_copy=("a", "b")),
    # Numbers kept as text by the second input: an integer field gets integers (rounded where
    # the text has a fraction), a field of two decimals loses the third, a word no number.
    Case("numbers_from_text", "line", [
        layer("a", shp.POLYLINE, lines(0, 1), 1, (ID, LANES, WIDTH),
              lambda i: {"LANES": 2, "WIDTH": 7.5}),
        layer("b", shp.POLYLINE, lines(1000, 4), 101,
              (ID, Field("LANES", "C", 6), Field("WIDTH", "C", 8)),
              lambda i: [{"LANES": "1e3", "WIDTH": "1.234"}, {"LANES": "3,5", "WIDTH": "2"},
                         {"LANES": "12", "WIDTH": ""}, {"LANES": "x", "WIDTH": "3,506"}][i]),
    ]),
    # The field source has two fields the first input lacks; the second has them, and more.
    Case("field_source", "line", [
        layer("a", shp.POLYLINE, lines(0, 3), 1, (ID, NAME, LANES),
              lambda i: {"NAME": f"a{i}", "LANES": i}),
        layer("b", shp.POLYLINE, lines(1000, 3), 101, (ID, NAME, LANES, EXTRA) + TYPED[5:],
              lambda i: {"NAME": f"b{i}", "LANES": i, "PAVED": i % 2 == 0,
                         "BUILT": date(2001, 1, 1 + i)}),
    ], source=layer("source", shp.POLYLINE, [], 0, (ID, NAME, LANES, TYPED[5], TYPED[6]))),
]
