"""Where a Processing vector destination points, as `conflux merge`'s output options: a file
(a shapefile, or a GeoPackage or File Geodatabase to add a layer to), a layer of a database file
("ogr:dbname=... table=..."), or a PostGIS table ("postgis:..." from a saved connection)."""

import re
from pathlib import Path

from qgis.core import QgsDataSourceUri

DATABASE_FILE = re.compile(r"^ogr:dbname='?(?P<path>[^']+?)'? table=\"?(?P<table>[^\"]+?)\"?"
                           r"(?: \(\w+\))?$")


class Output:
    """`arguments` for conflux merge, `environment` for it (a password goes there, never on the
    command line), and `layer`, the source QGIS loads the result from."""

    def __init__(self, arguments, layer, environment=None):
        self.arguments, self.layer, self.environment = arguments, layer, environment or {}


def output(destination):
    if destination.startswith("postgis:"):
        return _postgis(destination[len("postgis:"):])
    match = DATABASE_FILE.match(destination)
    if match:
        return _database_file(match["path"], match["table"])
    path = Path(destination)
    if path.suffix.lower() == ".shp":
        return Output(["--out", str(path.parent), "--name", path.stem], str(path))
    return _database_file(str(path), path.stem)


def _database_file(path, table):
    """A new layer in a GeoPackage or File Geodatabase, made first when it is not there."""
    arguments = ["--gdb", path, "--class", table]
    if not Path(path).exists():
        arguments.append("--create")
    return Output(arguments, f"{path}|layername={table}")


def _postgis(text):
    uri = QgsDataSourceUri(text)
    password = uri.password()
    uri.setPassword("")
    conninfo = uri.connectionInfo(False)
    arguments = ["--pg", conninfo, "--schema", uri.schema() or "public", "--class", uri.table()]
    environment = {"PGPASSWORD": password} if password else {}
    return Output(arguments, "postgis:" + text, environment)
