"""The walk's parameters, shared by both algorithms, named and defaulted as the command line's
options are."""

from qgis.core import (QgsProcessingParameterFile, QgsProcessingParameterNumber,
                       QgsProcessingParameterString)

ROOT, DIR_MASK, FILE_MASK, DEPTH = "ROOT", "DIR_MASK", "FILE_MASK", "DEPTH"


def add_walk_parameters(algorithm):
    algorithm.addParameter(QgsProcessingParameterFile(
        ROOT, "Root folder", behavior=QgsProcessingParameterFile.Folder))
    algorithm.addParameter(QgsProcessingParameterString(
        DIR_MASK, "Mask for the folder that holds a file", defaultValue="*"))
    algorithm.addParameter(QgsProcessingParameterString(
        FILE_MASK, "Mask for file names (\".shp\" appended)", defaultValue="*"))
    algorithm.addParameter(QgsProcessingParameterNumber(
        DEPTH, "Folder levels walked (the root is level 1)",
        type=QgsProcessingParameterNumber.Integer, minValue=1, defaultValue=2))


def walk_arguments(algorithm, parameters, context):
    """ROOT and the scan options of `conflux scan` and `conflux merge`."""
    return [algorithm.parameterAsFile(parameters, ROOT, context),
            "--dir-mask", algorithm.parameterAsString(parameters, DIR_MASK, context),
            "--file-mask", algorithm.parameterAsString(parameters, FILE_MASK, context),
            "--depth", str(algorithm.parameterAsInt(parameters, DEPTH, context))]
