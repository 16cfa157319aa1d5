#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

// Reading and writing single dBASE values as text, the way the format stores them: numbers
// right-aligned with a fixed count of decimals, dates as YYYYMMDD, logicals as one letter.
// Numbers are handled as decimal text, so a value is never bent by binary rounding.
namespace DbfValue {

// `value` without leading and trailing blanks (and NULs, which some writers pad with).
QByteArrayView trimmed(QByteArrayView value);
// `value` without trailing blanks and NULs: dBASE pads text on the right.
QByteArrayView trimmedRight(QByteArrayView value);

// The number in `text` written with `decimals` digits after the point (rounded half away from
// zero), or nullopt when `text` holds no finite number. A comma counts as the decimal point.
// `rounded` (when given) tells whether a digit other than 0 was dropped.
std::optional<QByteArray> formatNumber(QByteArrayView text, int decimals, bool* rounded = nullptr);
// The number in `text` as a double / as an integer (nullopt when it holds none or, for the
// integer, another number).
std::optional<double> parseNumber(QByteArrayView text);
std::optional<std::int64_t> parseInteger(QByteArrayView text);

// 'T', 'F', or '?' (unknown) for the text of a logical value (T/Y/F/N, either case).
char logical(QByteArrayView text);
// The date in `text` as YYYYMMDD (from YYYYMMDD, YYYY-MM-DD, YYYY/MM/DD or YYYY.MM.DD);
// nullopt for anything else, or a month or day out of range.
std::optional<QByteArray> date(QByteArrayView text);
// True for a day of the proleptic Gregorian calendar in the years 1 to 9999 (no 30th of
// February, which date() lets through as dBASE tables hold it).
bool isCalendarDate(int year, int month, int day);

// The longest prefix of UTF-8 `text` within `limit` bytes that ends on a character boundary.
QByteArray utf8Prefix(const QByteArray& text, qsizetype limit);
qsizetype utf8PrefixLength(QByteArrayView text, qsizetype limit);
// The characters (code points) of UTF-8 `text`, as text columns count their length.
int utf8Characters(QByteArrayView text);

}  // namespace DbfValue
