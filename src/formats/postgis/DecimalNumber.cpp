#include "formats/postgis/DecimalNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void appendInt16(std::string& out, int value) {
    out.push_back(static_cast<char>((value >> 8) & 0xff));
    out.push_back(static_cast<char>(value & 0xff));
}
}  // namespace

bool DecimalNumber::assign(std::string_view text, int scale) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    m_negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point < text.size() ? text.substr(point + 1) : "";
    if (whole.size() + fraction.size() == 0 || !std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit)) {
        return false;
    }
    m_scale = scale;
    m_digits.assign(whole);
    const std::size_t kept = std::min<std::size_t>(fraction.size(), scale);
    m_digits.append(fraction.substr(0, kept));
    m_digits.append(scale - kept, '0');
    if (fraction.size() > kept && fraction[kept] >= '5') {
        auto digit = m_digits.rbegin();
        for (; digit != m_digits.rend() && *digit == '9'; ++digit) {
            *digit = '0';
        }
        if (digit == m_digits.rend()) {
            m_digits.insert(m_digits.begin(), '1');
        } else {
            ++*digit;
        }
    }
    const std::size_t leadingZeros =
        std::min(m_digits.find_first_not_of('0'), m_digits.size() - scale);
    m_digits.erase(0, leadingZeros);
    if (m_digits.find_first_not_of('0') == std::string::npos) {
        m_negative = false;  // no negative zero
    }
    return true;
}

void DecimalNumber::assign(std::int64_t value, int scale) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    assign(text, scale);
}

bool DecimalNumber::assign(double value, int scale) {
    if (!std::isfinite(value)) {
        return false;
    }
    std::vector<char> text(static_cast<std::size_t>(scale) + 330);
    std::snprintf(text.data(), text.size(), "%.*f", scale, value);
    return assign(text.data(), scale);
}

void DecimalNumber::appendText(std::string& out) const {
    if (m_negative) {
        out.push_back('-');
    }
    const int whole = integerDigits();
    if (whole == 0) {
        out.push_back('0');
    }
    out.append(m_digits, 0, whole);
    if (m_scale > 0) {
        out.push_back('.');
        out.append(m_digits, whole, m_scale);
    }
}

void DecimalNumber::appendBinary(std::string& out) const {
    // Digits grouped by four from the point: the integer part padded on the left, the
    // fraction on the right.
    const int whole = integerDigits();
    const int wholeGroups = (whole + 3) / 4;
    const int fractionGroups = (m_scale + 3) / 4;
    std::vector<int> groups(wholeGroups + fractionGroups, 0);
    for (int i = 0; i < whole; ++i) {
        const int position = wholeGroups * 4 - whole + i;
        groups[position / 4] = groups[position / 4] * 10 + (m_digits[i] - '0');
    }
    for (int i = 0; i < fractionGroups * 4; ++i) {
        const int digit = i < m_scale ? m_digits[whole + i] - '0' : 0;
        groups[wholeGroups + i / 4] = groups[wholeGroups + i / 4] * 10 + digit;
    }
    int weight = wholeGroups - 1;
    std::size_t first = 0;
    while (first < groups.size() && groups[first] == 0) {
        ++first;
        --weight;
    }
    std::size_t end = groups.size();
    while (end > first && groups[end - 1] == 0) {
        --end;
    }
    if (first == end) {
        weight = 0;
    }
    appendInt16(out, static_cast<int>(end - first));
    appendInt16(out, weight);
    appendInt16(out, m_negative ? 0x4000 : 0x0000);
    appendInt16(out, m_scale);
    for (std::size_t i = first; i < end; ++i) {
        appendInt16(out, groups[i]);
    }
}
