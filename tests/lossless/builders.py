"""Short ways to build the layers of the cases."""

from osgeo import osr

from layers import Field, Layer

ID = Field("ID", "N", 10)
NAME = Field("NAME", "C", 30)
EXTRA = Field("EXTRA", "C", 12)
STANDARD = (ID, NAME)
WIDER = (ID, NAME, EXTRA)  # another layout, so the records cannot be copied as bytes


def z_of(x, y, i):
    """Heights that change along every ring, so no ring is planar."""
    return 100.0 + 0.75 * x - 0.5 * y + 17.25 * (i % 3)


def m_of(x, y, i):
    return 1000.0 + 2.5 * x + 0.125 * i


def layer(name, shape_type, shapes, first_id, fields=STANDARD, values=None, **options):
    """Record i holds shapes[i], the ID first_id + i and, unless `values(i)` gives the other
    fields, a NAME that tells where it came from."""
    records = []
    for i, shape in enumerate(shapes):
        row = {"ID": first_id + i}
        row.update(values(i) if values else {"NAME": f"{name} {i}"})
        if any(f.name == "EXTRA" for f in fields):
            row.setdefault("EXTRA", f"x{i}")
        records.append((shape, row))
    return Layer(name, shape_type, list(fields), records, **options)


def russian(i):
    """Text that CP1251 and CP866 both hold."""
    return {"NAME": f"Дорога № {i}, участок {7 * i}"}


def prj_text(code, style="esri"):
    """The .prj of EPSG:`code` as programs write it: Esri's WKT (as GDAL writes a shapefile's)
    or the EPSG's own WKT with its names and authority codes."""
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(code)
    if style == "esri":
        srs.MorphToESRI()
    return srs.ExportToWkt()


def in_system(code, style="esri"):
    """The options of a layer whose coordinates are in EPSG:`code`, declared by a .prj."""
    return {"crs": f"EPSG:{code}", "prj": prj_text(code, style)}
