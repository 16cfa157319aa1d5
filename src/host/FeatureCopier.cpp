#include "host/FeatureCopier.h"

#include "host/TextPlan.h"

#include <QString>
#include <QStringList>

#include <cstdlib>

namespace {
// A number written as text; nullopt when the text is not one number.
std::optional<double> parseNumber(const char* text) {
    QByteArray value = QByteArray(text).trimmed().replace(',', '.');
    if (value.isEmpty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double number = std::strtod(value.constData(), &end);
    if (end != value.constData() + value.size()) {
        return std::nullopt;
    }
    return number;
}
}  // namespace

FeatureCopier::FeatureCopier(OGRFeatureDefn& outputDefn, OGRwkbGeometryType outputType,
                             bool textWidthInBytes, const QByteArray& outputCodePage,
                             const QStringList& fieldNames)
    : m_outputDefn(outputDefn),
      m_fieldNames(fieldNames),
      m_fit(outputType),
      m_textWidthInBytes(textWidthInBytes),
      m_outputCodePage(outputCodePage),
      m_utf8Output(outputCodePage == "UTF-8"),
      m_feature(new OGRFeature(&outputDefn)) {}

void FeatureCopier::beginInput(OGRFeatureDefn& inputDefn, const QByteArray& decodeFrom) {
    const int outputCount = m_outputDefn.GetFieldCount();
    m_inputIndex.assign(static_cast<std::size_t>(outputCount), -1);
    // Names stay in their files' code pages: Cyrillic names read as UTF-8 would all look alike.
    const QByteArray& inputCodePage = decodeFrom.isEmpty() ? m_outputCodePage : decodeFrom;
    QStringList inputNames;
    for (int in = 0; in < inputDefn.GetFieldCount(); ++in) {
        inputNames << decodeText(inputDefn.GetFieldDefn(in)->GetNameRef(), inputCodePage);
    }
    for (int out = 0; out < outputCount && out < m_fieldNames.size(); ++out) {
        for (int in = 0; in < inputNames.size(); ++in) {
            if (m_fieldNames[out].compare(inputNames[in], Qt::CaseInsensitive) == 0) {
                m_inputIndex[static_cast<std::size_t>(out)] = in;
                break;
            }
        }
    }
    m_decoder.reset();
    if (!decodeFrom.isEmpty()) {
        m_decoder.emplace(decodeFrom);
    }
}

void FeatureCopier::copyText(OGRFeature& input, int inputIndex, OGRFeature& output,
                             int outputIndex) {
    const bool textSource = input.GetFieldDefnRef(inputIndex)->GetType() == OFTString;
    QByteArray text(input.GetFieldAsString(inputIndex));
    if (textSource && m_decoder) {
        text = m_decoder->decode(text).toUtf8();
    }
    const int width = m_outputDefn.GetFieldDefn(outputIndex)->GetWidth();
    if (m_textWidthInBytes && width > 0 && text.size() > width) {
        text = m_utf8Output ? utf8Prefix(text, width) : text.left(width);
    }
    output.SetField(outputIndex, text.constData());
}

void FeatureCopier::copyField(OGRFeature& input, int inputIndex, OGRFeature& output,
                              int outputIndex) {
    if (!input.IsFieldSetAndNotNull(inputIndex)) {
        return;
    }
    const OGRFieldType from = input.GetFieldDefnRef(inputIndex)->GetType();
    switch (m_outputDefn.GetFieldDefn(outputIndex)->GetType()) {
        case OFTString:
            copyText(input, inputIndex, output, outputIndex);
            return;
        case OFTInteger:
        case OFTInteger64:
        case OFTReal:
            if (from == OFTInteger || from == OFTInteger64) {
                output.SetField(outputIndex, input.GetFieldAsInteger64(inputIndex));
            } else if (from == OFTReal) {
                output.SetField(outputIndex, input.GetFieldAsDouble(inputIndex));
            } else if (auto number = parseNumber(input.GetFieldAsString(inputIndex))) {
                output.SetField(outputIndex, *number);
            }
            return;
        default:
            output.SetField(outputIndex, input.GetFieldAsString(inputIndex));
            return;
    }
}

FeatureCopier::Result FeatureCopier::convert(OGRFeature& input, OGRFeature& output) {
    std::unique_ptr<OGRGeometry> geometry(input.StealGeometry());
    if (geometry) {
        geometry = m_fit.fit(std::move(geometry));
        if (!geometry) {
            return Result::OtherGeometry;
        }
    }
    for (int out = 0; out < m_outputDefn.GetFieldCount(); ++out) {
        output.UnsetField(out);
        const int in = m_inputIndex[static_cast<std::size_t>(out)];
        if (in >= 0) {
            copyField(input, in, output, out);
        }
    }
    output.SetGeometryDirectly(geometry.release());
    output.SetFID(OGRNullFID);
    return Result::Written;
}

FeatureCopier::Result FeatureCopier::copy(OGRFeature& input, OGRLayer& output) {
    const Result result = convert(input, *m_feature);
    if (result != Result::Written) {
        return result;
    }
    return output.CreateFeature(m_feature.get()) == OGRERR_NONE ? Result::Written
                                                                : Result::WriteError;
}
