"""Which coordinate system a case's output holds and where each input's shapes go in it, worked
out from the case alone: shapes moved by pyproj, and the moves checked against GDAL's own
ogr2ogr on the same files, so an output is judged against two references that agree."""

import math
from datetime import date

from osgeo import gdal, ogr
from pyproj import CRS, Transformer

gdal.UseExceptions()

TAKEN = "no coordinate system (taken as the output's)"
DROPPED = "coordinate system dropped (the output has none)"


def output_crs(case, source):
    """The system the output must declare: --t-srs, else the field source's .prj; None."""
    if case.t_srs_prj:
        return CRS.from_epsg(case.t_srs_prj)
    if case.t_srs:
        return CRS.from_user_input(case.t_srs)
    return CRS.from_user_input(source.crs) if source.prj is not None else None


def tolerance(crs):
    """1 mm where the output is in metres, 1e-9 degrees where it is geographic; nothing is
    allowed where no reprojection is involved."""
    return 1e-9 if crs and crs.is_geographic else 1e-3


def description(crs):
    code = crs.to_epsg()
    return f"{crs.name} (EPSG:{code})" if code else crs.name


class Way:
    """How one input's shapes reach the output: `move(shape)` gives the shape in the output's
    system (None: a coordinate cannot be moved); `written` and `failed` name the reasons its
    features are counted under (None: not counted)."""

    def __init__(self, layer, case, out):
        self.transformer, self.written, self.failed = None, None, None
        has_system = layer.prj is not None
        if out is None:
            self.written = DROPPED if has_system else None
            return
        source = layer.crs if has_system else case.s_srs
        if source is None:
            self.written = TAKEN
            return
        crs = CRS.from_user_input(source)
        if crs.equals(out, ignore_axis_order=True):
            return
        self.transformer = Transformer.from_crs(crs, out, always_xy=True)
        self.written = f"reprojected from {description(crs)}"
        self.failed = f"could not be reprojected from {description(crs)}"

    def move(self, shape):
        if self.transformer is None or shape is None:
            return shape
        moved = []
        for part in shape:
            xs, ys = self.transformer.transform([v[0] for v in part], [v[1] for v in part],
                                                errcheck=False)
            if not all(map(math.isfinite, [*xs, *ys])):
                return None
            moved.append(tuple((x, y, *v[2:]) for x, y, v in zip(xs, ys, part)))
        return tuple(moved)


def check_against_ogr2ogr(path, source, out, expected, tol):
    """ogr2ogr -t_srs of input `path` (-s_srs `source` where it has no .prj) must put every
    vertex where pyproj did: `expected` maps an ID to the moved shape (None: not movable)."""
    gdal.PushErrorHandler("CPLQuietErrorHandler")  # a point it cannot move is expected here
    try:
        dataset = gdal.VectorTranslate("", str(path), format="Memory", dstSRS=out.to_wkt(),
                                       srcSRS=source, reproject=True, skipFailures=True)
    finally:
        gdal.PopErrorHandler()
    layer = dataset.GetLayer(0)
    got = {f.GetField("ID"): sorted(_vertices(f.GetGeometryRef())) for f in layer}
    for key, shape in expected.items():
        want = sorted((v[0], v[1]) for part in shape for v in part) if shape else None
        if shape is None and key in got and got[key]:
            raise AssertionError(f"{path.name} ID {key}: ogr2ogr reprojects what pyproj cannot")
        found = got.get(key, [])
        if want and (len(want) != len(found) or not all(
                math.isclose(a, b, abs_tol=tol) for w, g in zip(want, found) for a, b in zip(w, g))):
            raise AssertionError(f"{path.name} ID {key}: ogr2ogr and pyproj disagree")


def _vertices(geometry):
    if geometry is None:
        return []
    if geometry.GetGeometryCount():
        return [v for i in range(geometry.GetGeometryCount())
                for v in _vertices(geometry.GetGeometryRef(i))]
    return [(x, y) for x, y, *_ in geometry.GetPoints() or []]


def read_filegdb(path, name):
    """Each feature's ID, vertices and values by field name (case folded), through OGR's File
    Geodatabase driver (no other reader is packaged), with the layer's EPSG code."""
    dataset = ogr.Open(str(path))
    layer = dataset.GetLayerByName(name)
    srs = layer.GetSpatialRef()
    code = int(srs.GetAuthorityCode(None)) if srs and srs.GetAuthorityCode(None) else None
    has_id = layer.GetLayerDefn().GetFieldIndex("ID") >= 0
    return code, {f.GetField("ID") if has_id else f.GetFID() - 1:
                  (_vertices(f.GetGeometryRef()), _values(f)) for f in layer}


def _values(feature):
    values = {}
    for i in range(feature.GetFieldCount()):
        field = feature.GetFieldDefnRef(i)
        value = feature.GetField(i) if feature.IsFieldSetAndNotNull(i) else None
        if value is not None and field.GetType() in (ogr.OFTDate, ogr.OFTDateTime):
            value = date(*feature.GetFieldAsDateTime(i)[:3])
        elif value is not None and field.GetSubType() == ogr.OFSTInt16:
            value = bool(value)  # the format's stand-in for a logical field
        values[field.GetName().casefold()] = value
    return values


def reference_faults(case, root, expected):
    """Where ogr2ogr and pyproj disagree on the inputs to be reprojected: then neither can
    judge the output."""
    from expectation import admitted_inputs  # the expectation builds on this module
    from shapes import project

    faults = []
    for layer in admitted_inputs(case):
        way = Way(layer, case, expected.crs)
        if not way.transformer:
            continue
        moved = {values["ID"]: way.move(project(shape, False, False))
                 for shape, values in layer.live_records() if shape}
        try:
            check_against_ogr2ogr(root / f"{layer.name}.shp",
                                  None if layer.prj else case.s_srs, expected.crs, moved,
                                  expected.tolerance)
        except AssertionError as disagreement:
            faults.append(f"references: {disagreement}")
    return faults
