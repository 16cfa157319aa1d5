#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// platform/ has a dBASE reader with types of the same names; these live in their own
// namespace so the two never meet as one type in the library.
namespace shapefile_dbf {

// The header of a dBASE table: what the merge needs to copy or sample its records as bytes.
struct DbfField {
    QByteArray name;  // as stored, without the padding
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int offset = 0;  // within the record, after the deletion flag
};

struct DbfHeader {
    std::uint8_t languageDriver = 0;
    std::int64_t recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    std::vector<DbfField> fields;

    // Reads the header of `dbfPath`; nullopt when the file is missing or not a dBASE table.
    static std::optional<DbfHeader> read(const QString& dbfPath);
    // Parses a header from its bytes (at least `headerLength` of them).
    static std::optional<DbfHeader> parse(const QByteArray& bytes);

    // Same fields, in the same order, with the same types, lengths and decimals (names compared
    // ignoring case), and the same record length.
    bool sameLayout(const DbfHeader& other) const;
};

}  // namespace shapefile_dbf

using shapefile_dbf::DbfField;
using shapefile_dbf::DbfHeader;

// The language-driver byte's offset in a dBASE header.
inline constexpr int kDbfLanguageDriverOffset = 29;
