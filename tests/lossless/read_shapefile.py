"""Reads an output shapefile with readers that are not the merge's own: pyshp for every record
and shape, shapelib's shpdump -validate (ring order) and dbfdump -h (field descriptors), and
the .shp/.shx/.dbf headers by their bytes."""

import re
import struct
import subprocess
from pathlib import Path

import shapefile

from layers import Field
from shapes import SHAPE_TYPES, OutputFeature, bounds, measure

# .cpg texts and language-driver bytes a reader must understand, as Python codecs.
CPG_CODECS = {"UTF-8": "utf-8", "UTF8": "utf-8", "CP1251": "cp1251", "1251": "cp1251",
              "WINDOWS-1251": "cp1251", "ANSI 1251": "cp1251", "CP866": "cp866", "866": "cp866",
              "OEM 866": "cp866"}
DRIVER_CODECS = {0x26: "cp866", 0x65: "cp866", 0xC9: "cp1251", 0x57: "cp1252"}
# dbfdump's descriptor line; its own type name after the slash is garbled for D and L fields.
DBFDUMP_FIELD = re.compile(rb"^Field \d+: Type=(.)/[^,]*, Title=`(.*)', Width=(\d+), "
                           rb"Decimals=(\d+)$")


class ShapefileOutput:
    """Everything the independent readers saw in one output shapefile; `faults` lists what
    they refused or what breaks the format's rules."""

    def __init__(self, shp_path):
        self.base = Path(shp_path).with_suffix("")
        self.faults = []
        self.encoding = self._declared_encoding()
        prj = self.sidecar("prj")
        self.system = prj.read_text() if prj.exists() else None  # the .prj's text
        self.shape_type = self._shp_header_type()
        self.fields = self._dbfdump_fields()
        self.features = self._pyshp_features()
        self._check_headers()
        self._check_index()
        self._check_table()
        self._check_rings()

    def sidecar(self, extension):
        return self.base.with_suffix("." + extension)

    def _declared_encoding(self):
        cpg = self.sidecar("cpg")
        if cpg.exists():
            text = cpg.read_text("ascii", "replace").strip().upper()
            if text not in CPG_CODECS:
                self.faults.append(f".cpg declares {text!r}, which readers do not know")
            return CPG_CODECS.get(text)
        return DRIVER_CODECS.get(self.sidecar("dbf").read_bytes()[29])

    def _shp_header_type(self):
        return struct.unpack("<i", self.sidecar("shp").read_bytes()[32:36])[0]

    def _dbfdump_fields(self):
        run = subprocess.run(["dbfdump", "-h", str(self.sidecar("dbf"))], capture_output=True)
        if run.returncode != 0:
            self.faults.append(f"dbfdump failed: {run.stderr.decode(errors='replace')}")
        fields = []
        for line in run.stdout.splitlines():
            if match := DBFDUMP_FIELD.match(line):
                name = match[2].decode(self.encoding or "latin-1", "replace")
                fields.append(Field(name, match[1].decode(), int(match[3]), int(match[4])))
        return fields

    def _pyshp_features(self):
        with shapefile.Reader(str(self.base), encoding=self.encoding or "latin-1",
                              encodingErrors="replace") as reader:
            shapes, records = reader.shapes(), reader.records()  # records() skips deleted ones
            if len(shapes) != reader.numRecords:
                self.faults.append(f"{len(shapes)} shapes but {reader.numRecords} records")
            if len(records) != reader.numRecords:
                self.faults.append(f"{reader.numRecords - len(records)} records marked deleted")
                return []
            self._check_record_boxes(shapes)
            return [OutputFeature(self._canonical(shape), [_blank_to_none(v) for v in record])
                    for shape, record in zip(shapes, records)]

    def _check_record_boxes(self, shapes):
        """A record's own box, which readers trust for spatial queries, spans its points."""
        wrong = [i for i, shape in enumerate(shapes) if shape.shapeType not in (0, 1, 11, 21)
                 and shape.points and list(shape.bbox) != [
                     min(p[0] for p in shape.points), min(p[1] for p in shape.points),
                     max(p[0] for p in shape.points), max(p[1] for p in shape.points)]]
        if wrong:
            self.faults.append(f"{len(wrong)} records whose box is not their points' (first: "
                               f"{wrong[0]})")

    def _canonical(self, shape):
        if shape.shapeType == 0:
            return None
        kind = SHAPE_TYPES[self.shape_type]
        z = list(getattr(shape, "z", [])) if kind.has_z else None
        m = list(getattr(shape, "m", [])) if kind.has_m else None
        vertices = [
            (p[0], p[1], z[i] if z is not None else None, measure(m[i]) if m else None)
            for i, p in enumerate(shape.points)
        ]
        if kind.family in ("point", "multipoint"):
            return (tuple(vertices),)
        starts = list(shape.parts) + [len(vertices)]
        return tuple(tuple(vertices[a:b]) for a, b in zip(starts, starts[1:]))

    def _check_headers(self):
        """The .shp and .shx headers: file code, length, type, and the true ranges of the
        shapes present (a record without measures does not widen the M range)."""
        xy, z, m = bounds(feature.shape for feature in self.features)
        kind = SHAPE_TYPES.get(self.shape_type)
        for extension in ("shp", "shx"):
            data = self.sidecar(extension).read_bytes()
            code, length = struct.unpack(">i20xi", data[:28])
            version, shape_type = struct.unpack("<ii", data[28:36])
            box = struct.unpack("<8d", data[36:100])
            where = f".{extension} header"
            if (code, version, 2 * length) != (9994, 1000, len(data)):
                self.faults.append(f"{where}: code {code}, version {version}, length {2 * length}"
                                   f" for {len(data)} bytes")
            if shape_type != self.shape_type:
                self.faults.append(f"{where}: shape type {shape_type}, .shp says {self.shape_type}")
            if xy and box[:4] != xy:
                self.faults.append(f"{where}: box {box[:4]}, shapes span {xy}")
            if kind and kind.has_z and z and box[4:6] != z:
                self.faults.append(f"{where}: Z range {box[4:6]}, shapes span {z}")
            if kind and kind.has_m and m and box[6:8] != m:
                self.faults.append(f"{where}: M range {box[6:8]}, measures span {m}")

    def _check_index(self):
        """Every .shx entry points at the .shp record of its number, with its length."""
        shp, shx = self.sidecar("shp").read_bytes(), self.sidecar("shx").read_bytes()
        entries = (len(shx) - 100) // 8
        position, bad = 100, []
        for i in range(entries):
            offset, length = struct.unpack(">ii", shx[100 + 8 * i:108 + 8 * i])
            number, content = struct.unpack(">ii", shp[2 * offset:2 * offset + 8] or b"\0" * 8)
            if (2 * offset, number, content) != (position, i + 1, length):
                bad.append(i)
            position = 2 * offset + 8 + 2 * content
        if bad:
            self.faults.append(f".shx: {len(bad)} entries do not match their .shp records "
                               f"(first: {bad[0]})")
        if position != len(shp) and entries:
            self.faults.append(f".shp has {len(shp) - position} bytes after its last record")

    def _check_table(self):
        """The .dbf header agrees with its descriptors and with the file's size."""
        data = self.sidecar("dbf").read_bytes()
        records, header, length = struct.unpack("<4xIHH", data[:12])
        expected_length = 1 + sum(f.size for f in self.fields)
        if header != 33 + 32 * len(self.fields) or data[header - 1] != 0x0D:
            self.faults.append(f".dbf header length {header} for {len(self.fields)} fields")
        if length != expected_length:
            self.faults.append(f".dbf record length {length}, its fields need {expected_length}")
        if len(data) - (header + records * length) not in (0, 1):
            self.faults.append(f".dbf holds {len(data)} bytes for {records} records")

    def _check_rings(self):
        run = subprocess.run(["shpdump", "-validate", str(self.sidecar("shp"))],
                             capture_output=True, text=True, errors="replace")
        if run.returncode != 0:
            self.faults.append(f"shpdump failed: {run.stderr.strip()}")
        for line in run.stdout.splitlines():
            if re.match(r"\s*[1-9]\d* (objects? has invalid ring orderings|rings? wound)", line):
                self.faults.append(f"shpdump -validate: {line.strip()}")


def _blank_to_none(value):
    """dBASE keeps no null text: a blank text and a missing one are the same."""
    return None if value == "" else value
