#include "host/TextPlan.h"

#include "formats/shapefile/ShapefileFiles.h"
#include "platform/CodePage.h"
#include "platform/DbfTableHeader.h"
#include "platform/TextDecoder.h"

#include <QFile>

std::optional<QByteArray> declaredCodePage(const QString& shpPath) {
    const QString cpgPath = ShapefileFiles::sidecar(shpPath, QStringLiteral("cpg"));
    if (!cpgPath.isEmpty()) {
        QFile cpg(cpgPath);
        if (cpg.open(QIODevice::ReadOnly)) {
            if (auto page = CodePage::codePageFromCpg(cpg.read(256))) {
                return page;
            }
        }
    }
    const auto header =
        DbfTableHeader::readFile(ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf")));
    if (header && header->languageDriver != 0) {
        return CodePage::codePageFromLanguageDriver(header->languageDriver);
    }
    return std::nullopt;
}

QByteArray sampleText(const QString& shpPath, qsizetype limit) {
    const QString dbfPath = ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf"));
    const auto header = DbfTableHeader::readFile(dbfPath);
    QFile file(dbfPath);
    if (!header || !file.open(QIODevice::ReadOnly) || !file.seek(header->headerLength)) {
        return {};
    }
    QByteArray sample;
    const qsizetype records = std::max<qsizetype>(1, (4 * limit) / header->recordLength);
    for (qsizetype i = 0; i < records && sample.size() < limit; ++i) {
        const QByteArray record = file.read(header->recordLength);
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

QByteArray readingCodePage(const QString& shpPath) {
    return declaredCodePage(shpPath).value_or(CodePage::guessCodePage(sampleText(shpPath)));
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

QByteArray utf8Prefix(const QByteArray& text, qsizetype limit) {
    if (text.size() <= limit) {
        return text;
    }
    qsizetype cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return text.left(cut);
}

TextPlan TextPlan::decide(const std::vector<QString>& shpPaths, bool utf8Output) {
    std::vector<std::optional<QByteArray>> declared;
    declared.reserve(shpPaths.size());
    for (const QString& path : shpPaths) {
        declared.push_back(declaredCodePage(path));
    }
    TextPlan plan;
    plan.inputDecode.resize(shpPaths.size());
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
    for (std::size_t i = 0; i < shpPaths.size(); ++i) {
        const QByteArray page =
            declared[i] ? *declared[i] : CodePage::guessCodePage(sampleText(shpPaths[i]));
        if (page != "UTF-8") {
            plan.inputDecode[i] = page;
        }
    }
    return plan;
}
