"""The plugin: registers the provider with QGIS's Processing framework, on the desktop and in
qgis_process alike."""

from qgis.core import QgsApplication

from .provider import ConfluxProvider


class ConfluxPlugin:
    def __init__(self, iface):
        self.iface = iface
        self.provider = None

    def initProcessing(self):  # noqa: N802 (QGIS calls it by this name)
        self.provider = ConfluxProvider()
        QgsApplication.processingRegistry().addProvider(self.provider)

    def initGui(self):  # noqa: N802
        self.initProcessing()

    def unload(self):
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
