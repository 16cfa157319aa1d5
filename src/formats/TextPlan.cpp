#include "formats/TextPlan.h"

#include "platform/CodePage.h"
#include "platform/DbfTableHeader.h"
#include "platform/TextDecoder.h"
#include "shapefile/ShapefileFiles.h"

QByteArray sampleText(const ShapefileProbe& probe, qsizetype limit) {
    const QString dbfPath = probe.companion(QStringLiteral("dbf"));
    const auto& header = probe.table();
    if (!header) {
        return {};
    }
    const qsizetype records = std::max<qsizetype>(1, (4 * limit) / header->recordLength);
    const auto bytes = ShapefileFiles::readRegularFile(
        dbfPath, header->headerLength + records * header->recordLength);
    if (!bytes) {
        return {};
    }
    QByteArray sample;
    for (qsizetype i = 0; i < records && sample.size() < limit; ++i) {
        const QByteArray record =
            bytes->mid(header->headerLength + i * header->recordLength, header->recordLength);
        if (record.size() < header->recordLength) {
            break;
        }
        for (const DbfTableHeader::Field& field : header->fields) {
            if (field.type == 'C') {
                sample += record.mid(field.offset, field.length).trimmed();
                sample += ' ';
            }
        }
    }
    return sample;
}

QByteArray readingCodePage(const ShapefileProbe& probe) {
    return probe.declaredCodePage().value_or(CodePage::guessCodePage(sampleText(probe)));
}

QString decodeText(const QByteArray& bytes, const QByteArray& codePage) {
    if (codePage.isEmpty()) {
        return QString::fromLatin1(bytes);
    }
    if (codePage == "UTF-8") {
        return QString::fromUtf8(bytes);
    }
    return TextDecoder(codePage).decode(bytes);
}

TextPlan TextPlan::decide(const std::vector<ShapefileProbePtr>& inputs, bool utf8Output) {
    std::vector<std::optional<QByteArray>> declared;
    declared.reserve(inputs.size());
    for (const ShapefileProbePtr& input : inputs) {
        declared.push_back(input->declaredCodePage());
    }
    TextPlan plan;
    plan.inputDecode.resize(inputs.size());
    const bool noneDeclared =
        std::none_of(declared.begin(), declared.end(), [](const auto& page) { return page; });
    const bool allSame = !declared.empty() && declared.front() &&
                         std::all_of(declared.begin(), declared.end(),
                                     [&](const auto& page) { return page == declared.front(); });
    if (!utf8Output && allSame) {
        plan.outputCodePage = *declared.front();
        return plan;
    }
    if (!utf8Output && noneDeclared) {
        return plan;
    }
    plan.outputCodePage = "UTF-8";
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const QByteArray page =
            declared[i] ? *declared[i] : CodePage::guessCodePage(sampleText(*inputs[i]));
        if (page != "UTF-8") {
            plan.inputDecode[i] = page;
        }
    }
    return plan;
}
