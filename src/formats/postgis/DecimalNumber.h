#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A decimal number rounded to a given count of fraction digits (half away from zero, as the
// server rounds), with its digits kept as text so that no digit is lost on the way.
class DecimalNumber {
public:
    // "[blanks][+|-]digits[.digits][blanks]" ("5.", ".5" too); false for anything else.
    bool assign(std::string_view text, int scale);
    void assign(std::int64_t value, int scale);
    // False for an infinite or undefined value. Rounds as printf does (an exact half to even).
    bool assign(double value, int scale);

    bool negative() const { return m_negative; }
    int scale() const { return m_scale; }
    // Digits before the point (0 for a number below one).
    int integerDigits() const { return static_cast<int>(m_digits.size()) - m_scale; }

    // "-12.50"
    void appendText(std::string& out) const;
    // The server's binary form of numeric (base-10000 digits).
    void appendBinary(std::string& out) const;

private:
    bool m_negative = false;
    int m_scale = 0;
    std::string m_digits;  // integer digits without leading zeros, then `m_scale` fraction digits
};
