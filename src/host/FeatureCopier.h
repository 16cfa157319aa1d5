#pragma once

#include "host/GeometryFit.h"
#include "platform/TextDecoder.h"

#include <ogrsf_frmts.h>

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// Copies features of one input at a time into the output layer through GDAL: attributes by
// field name (case ignored) converted to the output's types, text recoded as planned,
// geometries fitted to the output's type.
class FeatureCopier {
public:
    enum class Result { Written, OtherGeometry, WriteError };

    // `outputCodePage`: the code page of the output's text and field names ("UTF-8", another
    // page, or empty when unknown). `textWidthInBytes`: text fields are cut to their width in
    // bytes, at a character boundary in UTF-8 (shapefile output); otherwise text keeps its
    // length.
    // `fieldNames`: the output fields' names as text, as the template has them (the output may
    // have had to shorten them).
    FeatureCopier(OGRFeatureDefn& outputDefn, OGRwkbGeometryType outputType, bool textWidthInBytes,
                  const QByteArray& outputCodePage, const QStringList& fieldNames);

    // Prepares the field map for the next input; `decodeFrom` empty keeps text bytes as they are
    // (they are in the output's code page). Names are compared as text, ignoring case.
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
    QStringList m_fieldNames;
    GeometryFit m_fit;
    bool m_textWidthInBytes;
    QByteArray m_outputCodePage;
    bool m_utf8Output;
    std::vector<int> m_inputIndex;  // per output field: the input field, or -1
    std::optional<TextDecoder> m_decoder;
    OGRFeatureUniquePtr m_feature;
};
