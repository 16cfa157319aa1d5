"""The "Conflux" provider and its two algorithms."""

from pathlib import Path

from qgis.core import QgsProcessingProvider
from qgis.PyQt.QtGui import QIcon

from .merge import MergeAlgorithm
from .scan import ScanAlgorithm


class ConfluxProvider(QgsProcessingProvider):
    def id(self):
        return "conflux"

    def name(self):
        return "Conflux"

    def longName(self):  # noqa: N802
        return "Conflux: shapefiles from folder trees"

    def icon(self):
        return QIcon(str(Path(__file__).with_name("icon.png")))

    def loadAlgorithms(self):  # noqa: N802
        self.addAlgorithm(ScanAlgorithm())
        self.addAlgorithm(MergeAlgorithm())
