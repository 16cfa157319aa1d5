#include "formats/DbfValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\0';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Splits a plain decimal literal ([+-]digits[.digits], a comma for the point) into its parts;
// false for anything else (exponents, words).
bool splitDecimal(QByteArrayView text, bool& negative, QByteArrayView& whole,
                  QByteArrayView& fraction) {
    negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    qsizetype point = 0;
    while (point < text.size() && isDigit(text[point])) {
        ++point;
    }
    whole = text.first(point);
    fraction = {};
    if (point < text.size()) {
        if (text[point] != '.' && text[point] != ',') {
            return false;
        }
        fraction = text.sliced(point + 1);
        for (const char c : fraction) {
            if (!isDigit(c)) {
                return false;
            }
        }
    }
    return !whole.isEmpty() || !fraction.isEmpty();
}

// Rounds the decimal digits whole.fraction to `decimals` places, half away from zero.
QByteArray roundDecimal(bool negative, QByteArrayView whole, QByteArrayView fraction,
                        int decimals) {
    QByteArray digits = QByteArray(whole.data(), whole.size()) +
                        QByteArray(fraction.data(), std::min<qsizetype>(fraction.size(), decimals));
    digits.append(QByteArray(decimals - std::min<qsizetype>(fraction.size(), decimals), '0'));
    if (fraction.size() > decimals && fraction[decimals] >= '5') {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits[i] == '9'; --i) {
            digits[i] = '0';
        }
        if (i < 0) {
            digits.prepend('1');
        } else {
            digits[i] = char(digits[i] + 1);
        }
    }
    QByteArray integral = digits.left(digits.size() - decimals);
    while (integral.size() > 1 && integral.front() == '0') {
        integral.remove(0, 1);
    }
    if (integral.isEmpty()) {
        integral = "0";
    }
    QByteArray result = integral;
    if (decimals > 0) {
        result += '.' + digits.right(decimals);
    }
    const bool zero = result.count('0') + result.count('.') == result.size();
    return negative && !zero ? '-' + result : result;
}

}  // namespace

namespace DbfValue {

QByteArrayView trimmed(QByteArrayView value) {
    while (!value.isEmpty() && isBlank(value.front())) {
        value = value.sliced(1);
    }
    return trimmedRight(value);
}

QByteArrayView trimmedRight(QByteArrayView value) {
    while (!value.isEmpty() && isBlank(value.back())) {
        value.chop(1);
    }
    return value;
}

std::optional<QByteArray> formatNumber(QByteArrayView text, int decimals, bool* rounded) {
    text = trimmed(text);
    bool negative = false;
    QByteArrayView whole, fraction;
    if (splitDecimal(text, negative, whole, fraction)) {
        if (rounded) {
            const QByteArrayView dropped =
                fraction.sliced(std::min<qsizetype>(fraction.size(), decimals));
            *rounded = std::any_of(dropped.begin(), dropped.end(), [](char c) { return c != '0'; });
        }
        return roundDecimal(negative, whole, fraction, decimals);
    }
    const auto number = parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, *number,
                                       std::chars_format::fixed, std::min(decimals, 30));
    if (written.ec != std::errc()) {
        return std::nullopt;
    }
    const QByteArrayView fixed(buffer, written.ptr - buffer);
    if (rounded) {
        *rounded = parseNumber(fixed) != number;
    }
    return formatNumber(fixed, decimals);
}

std::optional<double> parseNumber(QByteArrayView text) {
    text = trimmed(text);
    if (!text.isEmpty() && text.front() == '+') {
        text = text.sliced(1);
    }
    // Numbers are short: copied where a comma can become the point without an allocation.
    char plain[64];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof plain)) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        plain[i] = text[i] == ',' ? '.' : text[i];
    }
    double value = 0;
    const auto parsed = std::from_chars(plain, plain + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != plain + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> parseInteger(QByteArrayView text) {
    text = trimmed(text);
    if (!text.isEmpty() && text.front() == '+') {
        text = text.sliced(1);
    }
    std::int64_t value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.isEmpty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

char logical(QByteArrayView text) {
    text = trimmed(text);
    switch (text.isEmpty() ? '?' : text.front()) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return 'T';
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return 'F';
        default:
            return '?';
    }
}

std::optional<QByteArray> date(QByteArrayView text) {
    text = trimmed(text);
    QByteArray digits;
    if (text.size() == 8) {
        digits = QByteArray(text.data(), 8);
    } else if (text.size() == 10 && text[4] == text[7] &&
               (text[4] == '-' || text[4] == '/' || text[4] == '.')) {
        digits = QByteArray(text.data(), 4) + QByteArray(text.data() + 5, 2) +
                 QByteArray(text.data() + 8, 2);
    } else {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
    }
    const int month = digits.mid(4, 2).toInt();
    const int day = digits.mid(6, 2).toInt();
    if (month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    return digits;
}

bool isCalendarDate(int year, int month, int day) {
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

qsizetype utf8PrefixLength(QByteArrayView text, qsizetype limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    qsizetype cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return cut;
}

QByteArray utf8Prefix(const QByteArray& text, qsizetype limit) {
    return text.left(utf8PrefixLength(text, limit));
}

int utf8Characters(QByteArrayView text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace DbfValue
