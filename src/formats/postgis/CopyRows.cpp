#include "formats/postgis/CopyRows.h"

#include "formats/DbfValue.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
template <typename T>
void appendBigEndian(std::string& out, T value) {
    for (int shift = (sizeof(T) - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> shift) & 0xff));
    }
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, std::string_view bytes) {
    const std::size_t start = out.size();
    out.resize(start + bytes.size() * 2);
    char* hex = out.data() + start;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *hex++ = kHexDigits[value >> 4];
        *hex++ = kHexDigits[value & 0x0f];
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
    if (m_format == Format::Binary) {
        m_buffer.append("PGCOPY\n\377\r\n\0", 11);
        appendBigEndian<std::int32_t>(m_buffer, 0);  // flags
        appendBigEndian<std::int32_t>(m_buffer, 0);  // header extension
    }
}

void CopyRows::end() {
    if (m_format == Format::Binary) {
        appendBigEndian<std::int16_t>(m_buffer, -1);
    }
}

void CopyRows::beginRow(int columns) {
    m_firstField = true;
    if (m_format == Format::Binary) {
        appendBigEndian<std::int16_t>(m_buffer, static_cast<std::int16_t>(columns));
    }
}

void CopyRows::endRow() {
    if (m_format == Format::Text) {
        m_buffer.push_back('\n');
    }
}

void CopyRows::separate() {
    if (!m_firstField) {
        m_buffer.push_back('\t');
    }
    m_firstField = false;
}

void CopyRows::length(std::size_t bytes) {
    appendBigEndian<std::int32_t>(m_buffer, static_cast<std::int32_t>(bytes));
}

void CopyRows::null() {
    if (m_format == Format::Binary) {
        appendBigEndian<std::int32_t>(m_buffer, -1);
        return;
    }
    separate();
    m_buffer.append("\\N");
}

void CopyRows::text(std::string_view utf8) {
    if (m_format == Format::Binary) {
        length(utf8.size());
        m_buffer.append(utf8);
        return;
    }
    separate();
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                m_buffer.append("\\\\");
                break;
            case '\t':
                m_buffer.append("\\t");
                break;
            case '\n':
                m_buffer.append("\\n");
                break;
            case '\r':
                m_buffer.append("\\r");
                break;
            default:
                m_buffer.push_back(c);
        }
    }
}

void CopyRows::integer(std::int64_t value, bool bigint) {
    if (m_format == Format::Binary) {
        if (bigint) {
            length(8);
            appendBigEndian<std::int64_t>(m_buffer, value);
        } else {
            length(4);
            appendBigEndian<std::int32_t>(m_buffer, static_cast<std::int32_t>(value));
        }
        return;
    }
    separate();
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    m_buffer.append(digits, written.ptr);
}

void CopyRows::real(double value) {
    if (m_format == Format::Binary) {
        length(8);
        appendBigEndian<std::uint64_t>(m_buffer, std::bit_cast<std::uint64_t>(value));
        return;
    }
    separate();
    if (std::isnan(value)) {
        m_buffer.append("NaN");
    } else if (std::isinf(value)) {
        m_buffer.append(value < 0 ? "-Infinity" : "Infinity");
    } else {
        char digits[32];
        const auto written = std::to_chars(digits, digits + sizeof digits, value);
        m_buffer.append(digits, written.ptr);
    }
}

void CopyRows::numeric(const DecimalNumber& value) {
    if (m_format == Format::Binary) {
        const std::size_t lengthAt = m_buffer.size();
        length(0);
        value.appendBinary(m_buffer);
        const auto bytes = static_cast<std::uint32_t>(m_buffer.size() - lengthAt - 4);
        for (int i = 0; i < 4; ++i) {
            m_buffer[lengthAt + i] = static_cast<char>((bytes >> (24 - 8 * i)) & 0xff);
        }
        return;
    }
    separate();
    value.appendText(m_buffer);
}

void CopyRows::boolean(bool value) {
    if (m_format == Format::Binary) {
        length(1);
        m_buffer.push_back(value ? 1 : 0);
        return;
    }
    separate();
    m_buffer.push_back(value ? 't' : 'f');
}

void CopyRows::date(int year, int month, int day) {
    if (m_format == Format::Binary) {
        std::int32_t days = 0;
        daysSince2000(year, month, day, days);
        length(4);
        appendBigEndian<std::int32_t>(m_buffer, days);
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    separate();
    m_buffer.append(text);
}

void CopyRows::wkb(std::string_view bytes) {
    if (m_format == Format::Binary) {
        length(bytes.size());
        m_buffer.append(bytes);
        return;
    }
    separate();
    appendHex(m_buffer, bytes);
}
