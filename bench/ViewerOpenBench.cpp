// Opening a large table in the viewer and showing its first screen, against reading the same
// table's header and first 100 records with the plain reader, in the same run. Measure a
// Release build: cmake -DCMAKE_BUILD_TYPE=Release, target bench_viewer_open. The table
// (about 160 MB) is written to bench/data/ on the first run.
#include "platform/DbfReader.h"
#include "windows/FrmBrowse.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kRecords = 1'000'000;
constexpr int kFields = 20;
constexpr int kRuns = 15;

struct FieldSpec {
    char type;
    int length;
    int decimals;
};

// Five times: text, number, date, logical.
FieldSpec fieldSpec(int index) {
    static const FieldSpec cycle[4] = {{'C', 12, 0}, {'N', 10, 2}, {'D', 8, 0}, {'L', 1, 0}};
    return cycle[index % 4];
}

void putLittleEndian(QByteArray& bytes, int at, quint32 value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
    }
}

QByteArray header(int recordLength) {
    QByteArray bytes(32, '\0');
    bytes[0] = 0x03;
    bytes[1] = 126;
    bytes[2] = 12;
    bytes[3] = 6;
    putLittleEndian(bytes, 4, quint32(kRecords), 4);
    putLittleEndian(bytes, 8, quint32(32 + 32 * kFields + 1), 2);
    putLittleEndian(bytes, 10, quint32(recordLength), 2);
    bytes[29] = char(0xC9);  // CP1251
    for (int f = 0; f < kFields; ++f) {
        QByteArray descriptor(32, '\0');
        const QByteArray name = "FIELD" + QByteArray::number(f + 1);
        descriptor.replace(0, name.size(), name);
        descriptor[11] = fieldSpec(f).type;
        descriptor[16] = char(fieldSpec(f).length);
        descriptor[17] = char(fieldSpec(f).decimals);
        bytes += descriptor;
    }
    return bytes + '\x0D';
}

QByteArray record(qint64 index) {
    // "Улица" in CP1251, then the record number.
    static const QByteArray street("\xD3\xEB\xE8\xF6\xE0 ");
    QByteArray bytes(1, ' ');
    for (int f = 0; f < kFields; ++f) {
        const FieldSpec spec = fieldSpec(f);
        QByteArray value;
        switch (spec.type) {
            case 'C':
                value =
                    (street + QByteArray::number(index % 100000)).leftJustified(spec.length, ' ');
                break;
            case 'N':
                value = QByteArray::number(double(index % 9973) / 4.0, 'f', 2)
                            .rightJustified(spec.length, ' ');
                break;
            case 'D':
                value =
                    "2024" +
                    QByteArray::number(101 + index % 12 * 100 + index % 28).rightJustified(4, '0');
                break;
            default:
                value = index % 2 != 0 ? "T" : "F";
        }
        bytes += value;
    }
    return bytes;
}

bool generate(const QString& path) {
    int recordLength = 1;
    for (int f = 0; f < kFields; ++f) {
        recordLength += fieldSpec(f).length;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(header(recordLength));
    // A thousand distinct records, repeated: the viewer reads only what it shows.
    std::vector<QByteArray> distinct;
    for (qint64 i = 0; i < 1000; ++i) {
        distinct.push_back(record(i));
    }
    QByteArray chunk;
    for (qint64 i = 0; i < kRecords; ++i) {
        chunk += distinct[size_t(i % 1000)];
        if (chunk.size() > (4 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk + '\x1A');
    return file.error() == QFileDevice::NoError;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Header plus the first 100 records, every field turned into the text a user reads.
double plainRead(const QString& dbf) {
    QElapsedTimer timer;
    timer.start();
    DbfReader reader(dbf);
    qsizetype characters = 0;
    for (qint64 i = 0; i < 100; ++i) {
        const auto rec = reader.record(i);
        for (qsizetype f = 0; rec && f < reader.fieldCount(); ++f) {
            characters += reader.displayText(*rec, f).size();
        }
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return characters > 0 ? ms : -1;
}

// The viewer's whole opening, then one paint of its first screen, then closing.
double viewerFirstScreen(const QString& shp) {
    QElapsedTimer timer;
    timer.start();
    FrmBrowse& viewer = FrmBrowse::instance();
    if (!viewer.prepareOpen(shp)) {
        return -1;
    }
    viewer.form()->show();
    viewer.form()->grab();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    viewer.Unload();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString dir = QStringLiteral(CONFLUX_BENCH_DATA_DIR);
    QDir().mkpath(dir);
    const QString dbf = dir + QStringLiteral("/viewer_1m.dbf");
    const QString shp = dir + QStringLiteral("/viewer_1m.shp");
    if (!QFileInfo::exists(dbf)) {
        QElapsedTimer timer;
        timer.start();
        if (!generate(dbf)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dbf));
            return 1;
        }
        std::printf("generated %s (%lld records, %d fields) in %.1f s\n", qPrintable(dbf), kRecords,
                    kFields, double(timer.elapsed()) / 1000.0);
    }
    std::vector<double> plain;
    std::vector<double> viewer;
    plainRead(dbf);
    viewerFirstScreen(shp);  // warm the file cache and the widget style once
    for (int run = 0; run < kRuns; ++run) {
        plain.push_back(plainRead(dbf));
        viewer.push_back(viewerFirstScreen(shp));
    }
    if (*std::min_element(viewer.begin(), viewer.end()) < 0 ||
        *std::min_element(plain.begin(), plain.end()) < 0) {
        std::fprintf(stderr, "the table could not be read\n");
        return 1;
    }
    const double p = median(plain);
    const double v = median(viewer);
    std::printf("plain reader, header + first 100 records: %.3f ms (median of %d)\n", p, kRuns);
    std::printf("viewer, open + first screen painted:      %.3f ms (median of %d)\n", v, kRuns);
    std::printf("ratio viewer / plain reader: %.2f (target < 3)\n", v / p);
    return 0;
}
