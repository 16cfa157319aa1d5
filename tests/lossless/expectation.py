"""What a lossless merge of a case must give, worked out from the inputs alone.

The output takes the field-source file's fields, in its order, and its shape type with its Z
and M. Each live record of each admitted input becomes one feature: its shape (a missing Z reads
as 0 in an output with Z, a missing measure as no data), and for each output field the value of
the input's field of the same name (case ignored), converted to the output field's type, or
nothing when the input has no such field. Deleted records and shapes that cannot take the
output's type (a multipoint of several points into a point output) are not merged and are
reported by reason.
"""

from collections import Counter
from dataclasses import dataclass, field
from decimal import ROUND_HALF_UP, Decimal, InvalidOperation

from layers import Layer
from shapes import SHAPE_TYPES, project
from systems import Way, output_crs, tolerance


@dataclass
class Case:
    name: str
    kind: str  # point, line, polygon: the merge's --kind
    inputs: list  # Layers written into the scanned folder, admitted when of `kind`
    source: Layer | None = None  # a field source outside the scanned folder (--source)
    byte_copy: tuple = ()  # inputs with the output's layout and code page: records kept as bytes
    geopackage: bool = True  # also merge into a GeoPackage
    scan: bool = False  # check `conflux scan`'s field and record counts of the inputs
    t_srs: str | None = None  # --t-srs as given
    t_srs_prj: int | None = None  # --t-srs as the path of a .prj of this EPSG code
    s_srs: str | None = None  # --s-srs
    filegdb: bool = True  # also merge into a File Geodatabase
    status: int = 0  # the exit status expected; other than 0: nothing may be written


@dataclass
class ExpectedFeature:
    shape: tuple | None
    values: list
    code_page: str | None  # the input's, for judging text recoded into UTF-8


@dataclass
class Expected:
    fields: list
    shape_type: object  # shapes.ShapeType
    admitted: list
    features: dict = field(default_factory=dict)  # by id (or by position without an ID field)
    deleted: int = 0
    other_geometry: int = 0
    crs: object = None  # the output's coordinate system (pyproj), None: none
    tolerance: float = 0  # how far a reprojected coordinate may lie from pyproj's
    changes: Counter = field(default_factory=Counter)  # reasons for the coordinates, with counts

    @property
    def mixed_code_pages(self):
        """Inputs in different code pages can only be merged into UTF-8 text."""
        return len({layer.code_page for layer in self.admitted}) > 1

    @property
    def id_index(self):
        return next((i for i, f in enumerate(self.fields) if f.name == "ID"), None)

    def reasons(self, text_shortened=0):
        counts = {"deleted records": self.deleted, "other geometry": self.other_geometry,
                  "text shortened": text_shortened, **self.changes}
        return {reason: n for reason, n in counts.items() if n}


KIND_FAMILIES = {"point": ("point", "multipoint"), "line": ("line",), "polygon": ("polygon",)}


def admitted_inputs(case):
    """The inputs of the case's kind, by name: the first is the field source unless the case
    names one."""
    chosen = [i for i in case.inputs if i.type.family in KIND_FAMILIES[case.kind]]
    return sorted(chosen, key=lambda layer: (layer.name.upper(), layer.name))


def expect(case):
    admitted = admitted_inputs(case)
    source = case.source or admitted[0]
    out = Expected(source.fields, SHAPE_TYPES[source.shape_type], admitted)
    out.crs = output_crs(case, source)
    for layer in admitted:
        out.deleted += len(layer.deleted)
        way = Way(layer, case, out.crs)
        if way.transformer:
            out.tolerance = tolerance(out.crs)
        for shape, values in layer.live_records():
            if not fits(shape, layer.type.family, out.shape_type.family):
                out.other_geometry += 1
                continue
            changed = set()
            row = [convert(values, layer.field(target.name), target, changed)
                   for target in out.fields]
            key = row[out.id_index] if out.id_index is not None else len(out.features)
            assert key not in out.features, f"case {case.name}: ID {key} is not unique"
            projected = way.move(project(shape, out.shape_type.has_z, out.shape_type.has_m))
            if shape and not projected:
                out.changes[way.failed] += 1
                continue
            if way.written:
                out.changes[way.written] += 1
            out.changes.update(changed)
            out.features[key] = ExpectedFeature(projected, row, layer.code_page)
    return out


def fits(shape, family, output_family):
    return not (shape and output_family == "point" and family == "multipoint"
                and len(shape[0]) != 1)


def convert(values, field_, target, changes=None):
    """The value of input field `field_` as output field `target` holds it; what the
    conversion changed goes into `changes` (a set of reasons)."""
    value = values.get(field_.name) if field_ else None
    if value is None or value == "":
        return None
    if target.type == "C":  # trailing blanks only pad a dBASE text
        return value.rstrip() if isinstance(value, str) else str(value)
    if target.type in "NF" and isinstance(value, str):
        return _number_from_text(value, target, changes if changes is not None else set())
    if target.type == "N" and target.decimals == 0:
        return int(value)
    if target.type in "NF":
        stored = float(format(value, f".{field_.decimals}f")) if field_.type in "NF" else value
        return float(format(float(stored), f".{target.decimals}f"))
    return value


def _number_from_text(text, target, changes):
    """A number written as text ("1e3", "3,5"): rounded half away from zero to the field's
    decimals (an integer field gets an integer); text that is no number is left empty."""
    try:
        number = Decimal(text.strip().replace(",", "."))
    except InvalidOperation:
        changes.add("value not convertible (left empty)")
        return None
    rounded = number.quantize(Decimal(1).scaleb(-target.decimals), rounding=ROUND_HALF_UP)
    if rounded != number:
        changes.add("number rounded")
    return int(rounded) if target.decimals == 0 else float(rounded)
