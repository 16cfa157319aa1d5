"""conflux:scan, "Find shapefiles": the folder walk of `conflux scan` as a table."""

from qgis.core import (QgsCoordinateReferenceSystem, QgsFeature, QgsField, QgsFields,
                       QgsProcessing, QgsProcessingAlgorithm, QgsProcessingParameterFeatureSink,
                       QgsWkbTypes)
from qgis.PyQt.QtCore import QVariant

from .parameters import add_walk_parameters, walk_arguments
from .runner import Run

ESCAPES = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}


def unescaped(text):
    """A field of `conflux scan`'s output as it was before \\t, \\n, \\r and \\\\ stood in."""
    out, escaped = [], False
    for character in text:
        if escaped:
            out.append(ESCAPES.get(character, "\\" + character))
            escaped = False
        elif character == "\\":
            escaped = True
        else:
            out.append(character)
    return "".join(out)


def count(text):
    return None if text.strip() == "-" else int(text)


class ScanAlgorithm(QgsProcessingAlgorithm):
    OUTPUT = "OUTPUT"

    def name(self):
        return "scan"

    def displayName(self):  # noqa: N802
        return "Find shapefiles"

    def shortHelpString(self):  # noqa: N802
        return ("Walks the root folder to the depth given and lists every shapefile whose file "
                "name matches the file mask and whose folder matches the folder mask, with the "
                "field and record counts of its table (empty where the table cannot be read) and "
                "its shape type code (1 point, 2 multipoint, 3 polyline, 4 polygon).")

    def createInstance(self):  # noqa: N802
        return ScanAlgorithm()

    def initAlgorithm(self, config=None):  # noqa: N802
        add_walk_parameters(self)
        self.addParameter(QgsProcessingParameterFeatureSink(
            self.OUTPUT, "Shapefiles found", QgsProcessing.TypeVector))

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        run = Run(["scan", *walk_arguments(self, parameters, context)], feedback)
        run.check()
        fields = QgsFields()
        for name, kind in (("path", QVariant.String), ("fields", QVariant.Int),
                           ("records", QVariant.Int), ("name", QVariant.String),
                           ("shape_type", QVariant.Int)):
            fields.append(QgsField(name, kind))
        sink, destination = self.parameterAsSink(parameters, self.OUTPUT, context, fields,
                                                 QgsWkbTypes.NoGeometry,
                                                 QgsCoordinateReferenceSystem())
        for line in run.output.splitlines():
            path, field_count, record_count, name, shape_type = line.split("\t")
            feature = QgsFeature(fields)
            feature.setAttributes([unescaped(path), count(field_count), count(record_count),
                                   unescaped(name), count(shape_type)])
            sink.addFeature(feature)
        feedback.pushInfo(run.messages.strip())
        return {self.OUTPUT: destination}
