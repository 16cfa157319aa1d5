"""Input shapefiles of the merges, written with pyshp and patched byte by byte where pyshp has
no word for the case (deleted records, a code page given by the language driver byte only)."""

from dataclasses import dataclass
from pathlib import Path

import shapefile

from shapes import SHAPE_TYPES

# How a layer declares its text: the name of the Python codec, and where it is declared.
CPG_NAMES = {"cp1251": "CP1251", "utf-8": "UTF-8"}
LANGUAGE_DRIVERS = {"cp866": 0x26}


@dataclass
class Field:
    name: str
    type: str  # C, N, F, L, D
    size: int
    decimals: int = 0


@dataclass
class Layer:
    name: str
    shape_type: int
    fields: list
    records: list  # (shape, {field name: value}); the shape in the form of shapes.py
    code_page: str | None = None  # a key of CPG_NAMES (.cpg) or LANGUAGE_DRIVERS (byte 29 only)
    deleted: frozenset = frozenset()  # record positions marked deleted
    crs: str | None = None  # the system the coordinates are in ("EPSG:32637")
    prj: str | None = None  # the .prj's text; None: no .prj

    @property
    def type(self):
        return SHAPE_TYPES[self.shape_type]

    def field(self, name):
        """The field called `name`, case ignored in every alphabet, as the merge matches."""
        return next((f for f in self.fields if f.name.casefold() == name.casefold()), None)

    def live_records(self):
        return [r for i, r in enumerate(self.records) if i not in self.deleted]

    def write(self, folder):
        base = Path(folder) / self.name
        with shapefile.Writer(str(base), shapeType=self.shape_type,
                              encoding=self.code_page or "ascii") as writer:
            for f in self.fields:
                writer.field(f.name, f.type, f.size, f.decimals)
            for shape, values in self.records:
                self._check_fit(values)
                _write_shape(writer, self.type, shape)
                writer.record(**values)
        if self.code_page in CPG_NAMES:
            base.with_suffix(".cpg").write_text(CPG_NAMES[self.code_page])
        if self.prj is not None:
            base.with_suffix(".prj").write_text(self.prj)
        self._patch_dbf(base.with_suffix(".dbf"))
        return base.with_suffix(".shp")

    def _check_fit(self, values):
        """pyshp would cut a text silently; a case must not expect what its input lacks."""
        for f in self.fields:
            value = values.get(f.name)
            if f.type == "C" and value and len(value.encode(self.code_page or "ascii")) > f.size:
                raise ValueError(f"{self.name}: {value!r} does not fit {f.name} C({f.size})")

    def _patch_dbf(self, path):
        data = bytearray(path.read_bytes())
        data[29] = LANGUAGE_DRIVERS.get(self.code_page, 0)
        header = int.from_bytes(data[8:10], "little")
        length = int.from_bytes(data[10:12], "little")
        for i in self.deleted:
            data[header + i * length] = ord("*")
        path.write_bytes(bytes(data))


def _write_shape(writer, shape_type, shape):
    if shape is None:
        writer.null()
        return
    z, m = shape_type.has_z, shape_type.has_m

    def vertex(v):
        return (v[0], v[1]) + ((v[2],) if z else ()) + ((v[3],) if m or z else ())

    parts = [[vertex(v) for v in part] for part in shape]
    suffix = "z" if z else "m" if m else ""
    if shape_type.family == "point":
        getattr(writer, "point" + suffix)(*parts[0][0])
    elif shape_type.family == "multipoint":
        getattr(writer, "multipoint" + suffix)(parts[0])
    elif shape_type.family == "line":
        getattr(writer, "line" + suffix)(parts)
    else:
        getattr(writer, "poly" + suffix)(parts)
