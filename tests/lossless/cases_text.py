"""Text in code pages: CP1251 declared by a .cpg, CP866 by the language driver byte only, UTF-8,
and mixes of them (which make the output UTF-8); long texts, names cut to 10 bytes, fields wider
than the field source's."""

import shapefile as shp

from builders import ID, layer
from expectation import Case
from layers import Field
from shapes import points

NAME_1251 = Field("НАЗВАНИЕ", "C", 40)  # 8 bytes in CP1251 and CP866
NAME = Field("NAME", "C", 30)
NAME_60, NOTE = Field("NAME", "C", 60), Field("NOTE", "C", 30)
HECTARES, SQUARE_METRES = Field("ПЛОЩАДЬ_ГА", "N", 12, 3), Field("ПЛОЩАДЬ_М2", "N", 12, 1)


def spots(x0, count):
    return [points(x0 + 10 * i, 600) for i in range(count)]


def named(field, text):
    """Values of `field`: `text` with the record number, 21 to 30 letters."""
    return lambda i: {field.name: f"{text} № {i} Ёё"[:30]}


def filled(name_width, note_width):
    """Texts as long as the fields hold."""
    return lambda i: {"NAME": f"Озеро Большое Щучье, северный залив {i}"[:name_width],
                      "NOTE": f"Глубина {i} м: дно илистое, берег топкий"[:note_width]}


def areas(i):
    return {HECTARES.name: 1.5 + i, SQUARE_METRES.name: 15000.0 + 10000 * i, "NAME": f"уч {i}"}


LONG_TEXT = "Ш" * 150  # 150 bytes in CP1251, 300 in UTF-8: more than a .dbf field holds

CASES = [
    Case("cp1251_cpg", "point", [
        layer("a", shp.POINT, spots(0, 3), 1, (ID, NAME_1251),
              named(NAME_1251, "Озеро Щучье"), code_page="cp1251"),
        layer("b", shp.POINT, spots(100, 3), 101, (ID, NAME_1251),
              named(NAME_1251, "Река Ёлнать"), code_page="cp1251"),
    ], byte_copy=("a", "b")),
    Case("cp866_language_driver", "point", [
        layer("a", shp.POINT, spots(0, 3), 1, (ID, NAME_1251),
              named(NAME_1251, "Озеро Щучье"), code_page="cp866"),
        layer("b", shp.POINT, spots(100, 3), 101, (ID, NAME_1251),
              named(NAME_1251, "Река Ёлнать"), code_page="cp866"),
    ], byte_copy=("a", "b")),
    Case("utf8_cpg", "point", [
        layer("a", shp.POINT, spots(0, 3), 1, (ID, NAME_60), named(NAME_60, "Озеро Щучье"),
              code_page="utf-8"),
        layer("b", shp.POINT, spots(100, 3), 101, (ID, NAME_60), named(NAME_60, "Река Ёлнать"),
              code_page="utf-8"),
    ], byte_copy=("a", "b")),
    # Recoded into UTF-8, Cyrillic letters take two bytes: the field source's 30 hold 15.
    Case("mixed_code_pages", "point", [
        layer("a", shp.POINT, spots(0, 4), 1, (ID, NAME), named(NAME, "Озеро Щучье"),
              code_page="cp1251"),
        layer("b", shp.POINT, spots(100, 4), 101, (ID, NAME), named(NAME, "Река Ёлнать"),
              code_page="cp866"),
        layer("c", shp.POINT, spots(200, 4), 201, (ID, NAME_60), named(NAME_60, "Бор Лиственный"),
              code_page="utf-8"),
    ]),
    # No .dbf field holds 300 bytes: the text is cut at a letter and reported.
    Case("mixed_text_too_long", "point", [
        layer("a", shp.POINT, spots(0, 2), 1, (ID, Field("NAME", "C", 200)),
              lambda i: {"NAME": LONG_TEXT}, code_page="cp1251"),
        layer("b", shp.POINT, spots(100, 2), 101, (ID, NAME_60), named(NAME_60, "Бор"),
              code_page="utf-8"),
    ]),
    # ПЛОЩАДЬ_ГА and ПЛОЩАДЬ_М2 fill 10 bytes in CP1251; cut to 10 bytes of UTF-8, both read
    # ПЛОЩА.
    Case("colliding_names", "point", [
        layer("a", shp.POINT, spots(0, 3), 1, (ID, HECTARES, SQUARE_METRES, NAME), areas,
              code_page="cp1251"),
        layer("b", shp.POINT, spots(100, 3), 101, (ID, HECTARES, SQUARE_METRES, NAME), areas,
              code_page="cp866"),
    ]),
    # Each input has a text field wider than the other's, with texts that fill it.
    Case("text_wider_than_template", "point", [
        layer("a", shp.POINT, spots(0, 2), 1, (ID, NAME, Field("NOTE", "C", 40)),
              filled(30, 40), code_page="cp1251"),
        layer("b", shp.POINT, spots(100, 2), 101, (ID, Field("NAME", "C", 40), NOTE),
              filled(40, 30), code_page="cp1251"),
    ]),
]
