"""dBASE tables that GDAL and the common writers accept though they are not what pyshp writes:
no fields at all, a field array ended by 0x0A, character fields longer than 255. The scan must
count them and the merge must take them whole."""

import struct

import shapefile as shp

from builders import ID, NAME, layer
from expectation import Case
from layers import Field, Layer
from shapes import points


class RawTableLayer(Layer):
    """A layer whose .dbf is written here byte by byte."""

    terminator = b"\r"

    def write(self, folder):
        shp_path = Layer(self.name, self.shape_type, [Field("X", "C", 1)],
                         [(s, {}) for s, _ in self.records]).write(folder)
        shp_path.with_suffix(".dbf").write_bytes(self.table())
        return shp_path

    def table(self):
        header_length = 32 + 32 * len(self.fields) + 1
        record_length = 1 + sum(f.size for f in self.fields)
        data = struct.pack("<BBBBIHH20x", 3, 124, 1, 1, len(self.records), header_length,
                           record_length)
        for f in self.fields:
            # A character field's length above 255 goes on in the decimal-count byte.
            size, decimals = (f.size & 0xFF, f.size >> 8) if f.type == "C" else (f.size, f.decimals)
            data += struct.pack("<11sc4xBB14x", f.name.encode(), f.type.encode(), size, decimals)
        data += self.terminator
        for i, (_, values) in enumerate(self.records):
            data += b"*" if i in self.deleted else b" "
            for f in self.fields:
                value = values.get(f.name)
                text = "" if value is None else str(value)
                data += text.rjust(f.size).encode() if f.type == "N" else text.ljust(
                    f.size).encode()
        return data + b"\x1a"


class LineFeedTableLayer(RawTableLayer):
    terminator = b"\n"


def spots(x0, count):
    return [points(x0 + 10 * i, 700) for i in range(count)]


def raw(kind, name, count, first_id, fields, values=None, **options):
    made = layer(name, shp.POINT, spots(first_id, count), first_id, fields, values, **options)
    return kind(made.name, made.shape_type, made.fields, made.records, deleted=made.deleted)


NOTE = Field("NOTE", "C", 300)


CASES = [
    # Without an ID field the features are matched by their order, so one input only.
    Case("table_without_fields", "point", [
        raw(RawTableLayer, "a", 4, 1, (), lambda i: {}, deleted=frozenset({2})),
    ], scan=True),
    Case("field_array_ended_by_line_feed", "point", [
        raw(LineFeedTableLayer, "a", 3, 1, (ID, NAME)),
        raw(LineFeedTableLayer, "b", 2, 101, (ID, NAME)),
    ], scan=True, byte_copy=("a", "b")),
    # 300 characters: more than a .dbf field of the output holds, so cut and reported there.
    Case("character_field_over_255", "point", [
        raw(RawTableLayer, "a", 2, 1, (ID, NOTE), lambda i: {"NOTE": f"{i} " + "x" * 297}),
        raw(RawTableLayer, "b", 2, 101, (ID, NOTE), lambda i: {"NOTE": f"short {i}"}),
    ], scan=True),
]
