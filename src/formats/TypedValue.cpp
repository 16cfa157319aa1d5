#include "formats/TypedValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>

bool isCalendarDate(const DateValue& date) {
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
        return false;
    }
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    return date.day <= kMonthDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
}

int utf8Characters(std::string_view utf8) {
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::optional<double> decimalAsDouble(std::string_view ascii) {
    const std::size_t first = ascii.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    ascii = ascii.substr(first, ascii.find_last_not_of(" \t") - first + 1);
    if (ascii.size() > 1 && ascii.front() == '+') {
        ascii.remove_prefix(1);
    }
    double value = 0;
    const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != ascii.data() + ascii.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}
