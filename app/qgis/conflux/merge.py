"""conflux:merge, "Merge shapefiles from folders": `conflux merge` into the destination chosen."""

from qgis.core import (QgsProcessing, QgsProcessingAlgorithm, QgsProcessingParameterBoolean,
                       QgsProcessingParameterEnum, QgsProcessingParameterFile,
                       QgsProcessingParameterString, QgsProcessingParameterVectorDestination)

from .destination import output
from .parameters import add_walk_parameters, walk_arguments
from .runner import Run

KINDS = ["point", "line", "polygon"]


class MergeAlgorithm(QgsProcessingAlgorithm):
    KIND, MASK, SOURCE, REPLACE, OUTPUT = "KIND", "MASK", "SOURCE", "REPLACE", "OUTPUT"

    def name(self):
        return "merge"

    def displayName(self):  # noqa: N802
        return "Merge shapefiles from folders"

    def shortHelpString(self):  # noqa: N802
        return ("Finds shapefiles as \"Find shapefiles\" does, admits those whose name matches "
                "the name mask and whose geometry is of the kind chosen, and merges them into "
                "one new output with the fields of the field source (by default the first "
                "admitted input), reprojected into its coordinate system. The log lists the "
                "features not merged and those merged with a change, by reason. An existing "
                "shapefile or PostGIS table is replaced only when asked; a failed or cancelled "
                "run leaves the output as it was.")

    def createInstance(self):  # noqa: N802
        return MergeAlgorithm()

    def initAlgorithm(self, config=None):  # noqa: N802
        add_walk_parameters(self)
        self.addParameter(QgsProcessingParameterEnum(
            self.KIND, "Geometry kind", options=KINDS, usesStaticStrings=True))
        self.addParameter(QgsProcessingParameterString(
            self.MASK, "Mask for input names", defaultValue="*"))
        self.addParameter(QgsProcessingParameterFile(
            self.SOURCE, "Field source (default: the first admitted input)", extension="shp",
            optional=True))
        self.addParameter(QgsProcessingParameterBoolean(
            self.REPLACE, "Replace an existing shapefile or PostGIS table", defaultValue=False))
        self.addParameter(QgsProcessingParameterVectorDestination(
            self.OUTPUT, "Merged", type=QgsProcessing.TypeVectorAnyGeometry))

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        target = output(self.parameterAsOutputLayer(parameters, self.OUTPUT, context))
        arguments = ["merge", *walk_arguments(self, parameters, context),
                     "--kind", self.parameterAsEnumString(parameters, self.KIND, context),
                     "--mask", self.parameterAsString(parameters, self.MASK, context),
                     *target.arguments, "--progress"]
        source = self.parameterAsFile(parameters, self.SOURCE, context)
        if source:
            arguments += ["--source", source]
        if self.parameterAsBoolean(parameters, self.REPLACE, context):
            arguments.append("--yes")
        run = Run(arguments, feedback, target.environment)
        for line in (run.messages.strip(), run.output.strip()):
            if line and run.status == 0:
                feedback.pushInfo(line)
        run.check()
        return {self.OUTPUT: target.layer}
