#include "host/FeatureCopier.h"

#include <QString>

#include <cstdlib>

namespace {
// Length of the longest prefix of `text` within `limit` bytes that ends on a UTF-8 boundary.
qsizetype utf8Cut(const QByteArray& text, qsizetype limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    qsizetype cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return cut;
}

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
                             bool textWidthInBytes, bool utf8Output)
    : m_outputDefn(outputDefn),
      m_fit(outputType),
      m_textWidthInBytes(textWidthInBytes),
      m_utf8Output(utf8Output),
      m_feature(new OGRFeature(&outputDefn)) {}

void FeatureCopier::beginInput(OGRFeatureDefn& inputDefn, const QByteArray& decodeFrom) {
    const int outputCount = m_outputDefn.GetFieldCount();
    m_inputIndex.assign(static_cast<std::size_t>(outputCount), -1);
    for (int out = 0; out < outputCount; ++out) {
        const QString name = QString::fromUtf8(m_outputDefn.GetFieldDefn(out)->GetNameRef());
        for (int in = 0; in < inputDefn.GetFieldCount(); ++in) {
            if (name.compare(QString::fromUtf8(inputDefn.GetFieldDefn(in)->GetNameRef()),
                             Qt::CaseInsensitive) == 0) {
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
        text.truncate(m_utf8Output ? utf8Cut(text, width) : width);
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
