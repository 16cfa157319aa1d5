#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <utility>
#include <vector>

// A compiled wildcard mask: "*" any run (also none), "?" any one character, "#" one digit
// 0-9, "[list]" one character of the list (ranges "a-z"), "[!list]" one character not in it,
// everything else literal. The whole name must match the whole mask; both are upper-cased
// (every alphabet) before comparing, then compared by UTF-16 code unit.
// Inside a list "*", "?", "#" and "[" are literal, "-" first or last is literal, "!" negates
// only right after "[" ("[!]" is a literal "!"), and "[]" stands for the empty text. Ranges
// are taken after upper-casing, so "[a-z]" and "[A-Z]" are the same list.
//
// Matching simulates all mask positions at once, so it costs at most name length x mask
// length whatever the mask (no backtracking blow-up on "*a*a*a*b").
class WildcardMask {
public:
    // Compiles mask. Throws ConfluxError(ErrorNumber::InvalidPattern) naming the mask when a
    // "[" is not closed or a range runs downwards ("[z-a]").
    explicit WildcardMask(const QString& mask);

    // True when the whole upper-cased name matches the whole mask.
    bool matches(const QString& name) const;
    // True when a file name, as its bytes, certainly does not match (its last bytes are ASCII
    // and differ from the literal end of the mask, such as ".SHP"): a walk can pass over it
    // without decoding it. False says nothing.
    bool excludes(QByteArrayView nameBytes) const;

    // The mask as given (not upper-cased).
    const QString& mask() const { return m_mask; }

private:
    // One mask position; a bracketed list is one token. Characters are UTF-16 code units.
    struct Token {
        enum class Kind { Literal, AnyOne, Digit, AnyRun, Set };
        Kind kind = Kind::Literal;
        char16_t literal = 0;
        bool negated = false;
        std::vector<std::pair<char16_t, char16_t>> ranges;  // inclusive, for Set

        bool accepts(char16_t c) const;
    };

    QString m_mask;
    std::vector<Token> m_tokens;
    bool m_matchesAnything = false;  // the mask is one "*"
    QByteArray m_asciiTail;          // the literal ASCII characters the mask ends with
};

// One-off match of name against mask; throws like WildcardMask's constructor.
bool matchesMask(const QString& name, const QString& mask);
