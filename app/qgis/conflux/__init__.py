"""Conflux in QGIS's Processing Toolbox: finds shapefiles by folder and file masks and merges
them, through the installed `conflux` command line."""


def classFactory(iface):  # noqa: N802 (QGIS's own name)
    from .plugin import ConfluxPlugin

    return ConfluxPlugin(iface)
