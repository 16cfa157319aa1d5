#include "discovery/WildcardMask.h"

#include "errors/ConfluxError.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {

[[noreturn]] void throwInvalid(const QString& mask) {
    throw ConfluxError(ErrorNumber::InvalidPattern,
                       QStringLiteral("Invalid pattern: %1").arg(mask));
}

bool isLoneSurrogate(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 == text.size() || !text[i + 1].isLowSurrogate();
    return c.isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate());
}

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

// Upper case in every alphabet. A lone surrogate stands for a byte of a file name that is not
// UTF-8 (FileNameCodec) and stays as it is: QString::toUpper would make every one of them
// U+FFFD, so that names differing only in such bytes would match each other's masks.
QString upperCase(const QString& text) {
    if (isAscii(text))
        return text.toUpper();
    QString result;
    result.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLoneSurrogate(text, i))
            continue;
        result += text.sliced(start, i - start).toUpper();
        result += text[i];
        start = i + 1;
    }
    result += text.sliced(start).toUpper();
    return result;
}

}  // namespace

bool WildcardMask::Token::accepts(char16_t c) const {
    switch (kind) {
        case Kind::Literal:
            return c == literal;
        case Kind::AnyOne:
            return true;
        case Kind::Digit:
            return c >= u'0' && c <= u'9';
        case Kind::AnyRun:
            return true;
        case Kind::Set:
            break;
    }
    bool inList = false;
    for (const auto& [low, high] : ranges) {
        if (c >= low && c <= high) {
            inList = true;
            break;
        }
    }
    return inList != negated;
}

WildcardMask::WildcardMask(const QString& mask) : m_mask(mask) {
    const QString upper = upperCase(mask);
    const qsizetype length = upper.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = upper[i].unicode();
        Token token;
        if (c == u'*') {
            // Runs of "*" mean the same as one.
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Kind::AnyRun)
                continue;
            token.kind = Token::Kind::AnyRun;
        } else if (c == u'?') {
            token.kind = Token::Kind::AnyOne;
        } else if (c == u'#') {
            token.kind = Token::Kind::Digit;
        } else if (c == u'[') {
            const qsizetype close = upper.indexOf(u']', i + 1);
            if (close < 0)
                throwInvalid(mask);
            qsizetype j = i + 1;
            token.kind = Token::Kind::Set;
            // "!" negates only as the first character of a list that has more in it.
            if (j < close - 1 && upper[j] == u'!') {
                token.negated = true;
                ++j;
            }
            for (; j < close; ++j) {
                const char16_t low = upper[j].unicode();
                // A "-" at either end of the list is literal.
                if (j + 2 < close && upper[j + 1] == u'-') {
                    const char16_t high = upper[j + 2].unicode();
                    if (high < low)
                        throwInvalid(mask);
                    token.ranges.emplace_back(low, high);
                    j += 2;
                } else {
                    token.ranges.emplace_back(low, low);
                }
            }
            i = close;
            // "[]" stands for the empty text: it adds nothing to match.
            if (token.ranges.empty())
                continue;
        } else {
            token.literal = c;
        }
        m_tokens.push_back(std::move(token));
    }
    m_matchesAnything = m_tokens.size() == 1 && m_tokens.front().kind == Token::Kind::AnyRun;
    for (auto token = m_tokens.rbegin(); token != m_tokens.rend(); ++token) {
        if (token->kind != Token::Kind::Literal || token->literal >= 0x80)
            break;
        m_asciiTail.prepend(char(token->literal));
    }
}

bool WildcardMask::excludes(QByteArrayView nameBytes) const {
    const qsizetype n = m_asciiTail.size();
    if (n == 0 || nameBytes.size() < n)
        return false;
    // Only a tail of plain ASCII is certain: other characters may upper-case into ASCII ones.
    const QByteArrayView tail = nameBytes.last(n);
    for (qsizetype i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(tail[i]);
        if (byte >= 0x80)
            return false;
        if (char(asciiUpper(byte)) != m_asciiTail[i])
            return true;
    }
    return false;
}

bool WildcardMask::matches(const QString& name) const {
    if (m_matchesAnything)
        return true;
    // Most names are ASCII: upper-cased on the fly, with no copy of the name.
    const bool ascii = isAscii(name);
    const QString upper = ascii ? name : upperCase(name);
    const std::size_t count = m_tokens.size();
    // active[i]: the name read so far can stand before mask token i; active[count] = the
    // whole mask is consumed.
    QVarLengthArray<char, 64> first(count + 1, 0);
    QVarLengthArray<char, 64> second(count + 1, 0);
    char* active = first.data();
    char* next = second.data();
    const auto closeOverRuns = [&](char* set) {
        for (std::size_t i = 0; i < count; ++i) {
            if (set[i] && m_tokens[i].kind == Token::Kind::AnyRun)
                set[i + 1] = 1;
        }
    };
    active[0] = 1;
    closeOverRuns(active);
    for (const QChar ch : upper) {
        const char16_t c = ascii ? asciiUpper(ch.unicode()) : ch.unicode();
        std::fill(next, next + count + 1, 0);
        bool any = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!active[i])
                continue;
            const Token& token = m_tokens[i];
            if (token.kind == Token::Kind::AnyRun) {
                next[i] = 1;
                any = true;
            } else if (token.accepts(c)) {
                next[i + 1] = 1;
                any = true;
            }
        }
        if (!any)
            return false;
        closeOverRuns(next);
        std::swap(active, next);
    }
    return active[count] != 0;
}

bool matchesMask(const QString& name, const QString& mask) {
    return WildcardMask(mask).matches(name);
}
