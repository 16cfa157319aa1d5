#pragma once

#include "formats/postgis/DecimalNumber.h"

#include <cstdint>
#include <string>
#include <string_view>

// Rows for COPY ... FROM STDIN in the binary form, gathered in a buffer that the owner sends
// and clears as it fills. Each COPY starts with begin() and ends with end().
class CopyRows {
public:
    void begin();
    void end();
    void beginRow(int columns);

    void null();
    void text(std::string_view utf8);
    void integer(std::int64_t value, bool bigint);
    void real(double value);
    void numeric(const DecimalNumber& value);
    void boolean(bool value);
    // A date that daysSince2000() accepts.
    void date(int year, int month, int day);
    // A geometry as WKB.
    void wkb(std::string_view bytes);

    const std::string& buffer() const { return m_buffer; }
    void clear() { m_buffer.clear(); }

private:
    void length(std::size_t bytes);

    std::string m_buffer;
};

// Days from 2000-01-01 to a date of the proleptic Gregorian calendar; false when the date
// does not exist.
bool daysSince2000(int year, int month, int day, std::int32_t& days);
