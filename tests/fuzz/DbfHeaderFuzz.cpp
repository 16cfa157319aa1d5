// The dBASE header reader and the table reader behind the grid's counts and the viewer: any
// bytes give a header that agrees with the file, or a refusal, and every record of an accepted
// table reads without fault.
#include "FuzzTarget.h"
#include "platform/CodePage.h"
#include "platform/DbfFixture.h"
#include "platform/DbfReader.h"
#include "platform/DbfTableHeader.h"
#include "platform/TextDecoder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <vector>

namespace {

// One in-memory file for all inputs, opened by path through /proc like any table.
int memoryFile() {
    static const int fd = ::memfd_create("dbf-fuzz", MFD_CLOEXEC);
    return fd;
}

QList<QByteArray> seeds() {
    DbfFixture typed;
    typed.fields = {{"NAME", 'C', 12}, {"AREA", 'N', 8, 2}, {"DAY", 'D', 8},
                    {"OK", 'L', 1},    {"ID", 'I', 4},      {"R", 'F', 6, 1}};
    typed.records = {{"North", "12.50", "20240131", "T", "\x01\x00\x00\x00", "1.5"},
                     {"\xCF\xE0\xF0\xEA", "", "", "?", "\xFF\xFF\xFF\xFF", "-2.0"}};
    typed.deleted = {false, true};
    typed.languageDriver = 0xC9;
    DbfFixture bare;
    bare.records = {{}, {}};
    DbfFixture longText;
    longText.fields = {{"NOTE", 'C', 300}};
    longText.records = {{"a long note"}};
    longText.terminator = 0x0A;
    return {typed.bytes(), bare.bytes(), longText.bytes(), typed.header()};
}

// iconv loads a code page's module on first use and unloads it when its last user goes; held
// here, the modules stay loaded, and a run costs microseconds instead of a library load.
void keepCodePagesLoaded() {
    static const std::vector<TextDecoder> loaded = [] {
        std::vector<TextDecoder> decoders;
        for (const char* guessed : {"CP1251", "CP866", "KOI8-R"})
            decoders.emplace_back(guessed);
        for (int driver = 1; driver < 256; ++driver) {
            if (const auto page = CodePage::codePageFromLanguageDriver(quint8(driver)))
                decoders.emplace_back(*page);
        }
        return decoders;
    }();
    (void)loaded;
}

void run(const QByteArray& input) {
    keepCodePagesLoaded();
    const int fd = memoryFile();
    FUZZ_CHECK(fd >= 0 && ::ftruncate(fd, 0) == 0);
    FUZZ_CHECK(::pwrite(fd, input.constData(), size_t(input.size()), 0) == input.size());
    DbfTableHeader header;
    QString error;
    const bool valid = header.read(fd, QStringLiteral("fuzz.dbf"), error);
    FUZZ_CHECK(valid == error.isEmpty());
    if (valid) {
        qsizetype length = 1;
        for (const DbfTableHeader::Field& field : header.fields) {
            FUZZ_CHECK(field.length > 0 && field.offset == length);
            length += field.length;
        }
        FUZZ_CHECK(header.recordLength == length);
        FUZZ_CHECK(header.headerLength + header.recordCount * header.recordLength <= input.size());
    }
    const DbfReader reader(QStringLiteral("/proc/self/fd/%1").arg(fd));
    FUZZ_CHECK(reader.isOpen() == valid);
    if (!valid)
        return;
    FUZZ_CHECK(reader.recordCount() == header.recordCount);
    FUZZ_CHECK(reader.fieldCount() == header.fields.size());
    for (qint64 index = 0; index < std::min<qint64>(reader.recordCount(), 64); ++index) {
        const auto record = reader.record(index);
        FUZZ_CHECK(record.has_value());
        for (qsizetype field = 0; field < reader.fieldCount(); ++field)
            reader.displayText(*record, field);
    }
}

}  // namespace

CONFLUX_FUZZ_TARGET(DbfHeader, seeds, run, 4096,
                    {QByteArray(1, '\x0D'), QByteArray(1, '\x0A'), "C", "N", "F", "D", "L",
                     QByteArray(32, '\0')});
