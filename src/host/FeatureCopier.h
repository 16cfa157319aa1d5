#pragma once

#include "host/GeometryFit.h"
#include "platform/TextDecoder.h"

#include <ogrsf_frmts.h>

#include <QByteArray>

#include <optional>
#include <vector>

// Copies features of one input at a time into the output layer through GDAL: attributes by
// field name (case ignored) converted to the output's types, text recoded as planned,
// geometries fitted to the output's type.
class FeatureCopier {
public:
    enum class Result { Written, OtherGeometry, WriteError };

    // `textWidthInBytes`: text fields are cut to their width in bytes, at a character boundary
    // when `utf8Output` (shapefile output); otherwise text keeps its length.
    FeatureCopier(OGRFeatureDefn& outputDefn, OGRwkbGeometryType outputType, bool textWidthInBytes,
                  bool utf8Output);

    // Prepares the field map for the next input; `decodeFrom` empty keeps text bytes as they are.
    void beginInput(OGRFeatureDefn& inputDefn, const QByteArray& decodeFrom);

    // Writes one input feature (its geometry is taken) to `output`.
    Result copy(OGRFeature& input, OGRLayer& output);
    // The feature copy() wrote last.
    const OGRFeature& written() const { return *m_feature; }
    // Fills `output` (a feature of the output's layout) from `input`, taking its geometry;
    // Written means ready to be written.
    Result convert(OGRFeature& input, OGRFeature& output);

private:
    void copyField(OGRFeature& input, int inputIndex, OGRFeature& output, int outputIndex);
    void copyText(OGRFeature& input, int inputIndex, OGRFeature& output, int outputIndex);

    OGRFeatureDefn& m_outputDefn;
    GeometryFit m_fit;
    bool m_textWidthInBytes;
    bool m_utf8Output;
    std::vector<int> m_inputIndex;  // per output field: the input field, or -1
    std::optional<TextDecoder> m_decoder;
    OGRFeatureUniquePtr m_feature;
};
