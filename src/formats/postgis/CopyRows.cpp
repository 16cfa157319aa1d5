#include "formats/postgis/CopyRows.h"

#include "formats/DbfValue.h"

#include <bit>

namespace {
template <typename T>
void appendBigEndian(std::string& out, T value) {
    for (int shift = (sizeof(T) - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> shift) & 0xff));
    }
}

// Days from 1970-01-01 (Howard Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}
}  // namespace

bool daysSince2000(int year, int month, int day, std::int32_t& days) {
    if (!DbfValue::isCalendarDate(year, month, day)) {
        return false;
    }
    days = static_cast<std::int32_t>(daysFromCivil(year, month, day) - daysFromCivil(2000, 1, 1));
    return true;
}

void CopyRows::begin() {
    m_buffer.append("PGCOPY\n\377\r\n\0", 11);
    appendBigEndian<std::int32_t>(m_buffer, 0);  // flags
    appendBigEndian<std::int32_t>(m_buffer, 0);  // header extension
}

void CopyRows::end() {
    appendBigEndian<std::int16_t>(m_buffer, -1);
}

void CopyRows::beginRow(int columns) {
    appendBigEndian<std::int16_t>(m_buffer, static_cast<std::int16_t>(columns));
}

void CopyRows::length(std::size_t bytes) {
    appendBigEndian<std::int32_t>(m_buffer, static_cast<std::int32_t>(bytes));
}

void CopyRows::null() {
    appendBigEndian<std::int32_t>(m_buffer, -1);
}

void CopyRows::text(std::string_view utf8) {
    length(utf8.size());
    m_buffer.append(utf8);
}

void CopyRows::integer(std::int64_t value, bool bigint) {
    if (bigint) {
        length(8);
        appendBigEndian<std::int64_t>(m_buffer, value);
    } else {
        length(4);
        appendBigEndian<std::int32_t>(m_buffer, static_cast<std::int32_t>(value));
    }
}

void CopyRows::real(double value) {
    length(8);
    appendBigEndian<std::uint64_t>(m_buffer, std::bit_cast<std::uint64_t>(value));
}

void CopyRows::numeric(const DecimalNumber& value) {
    const std::size_t lengthAt = m_buffer.size();
    length(0);
    value.appendBinary(m_buffer);
    const auto bytes = static_cast<std::uint32_t>(m_buffer.size() - lengthAt - 4);
    for (int i = 0; i < 4; ++i) {
        m_buffer[lengthAt + i] = static_cast<char>((bytes >> (24 - 8 * i)) & 0xff);
    }
}

void CopyRows::boolean(bool value) {
    length(1);
    m_buffer.push_back(value ? 1 : 0);
}

void CopyRows::date(int year, int month, int day) {
    std::int32_t days = 0;
    daysSince2000(year, month, day, days);
    length(4);
    appendBigEndian<std::int32_t>(m_buffer, days);
}

void CopyRows::wkb(std::string_view bytes) {
    length(bytes.size());
    m_buffer.append(bytes);
}
