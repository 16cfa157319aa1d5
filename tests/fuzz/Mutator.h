#pragma once

#include <QByteArray>
#include <QList>

#include <random>

// Makes inputs from a corpus by the mutations coverage fuzzers use: bit flips, interesting
// byte and integer values, inserted, erased, repeated and spliced runs, dictionary tokens.
// Deterministic for a seed, so a failure in CI is repeated by running with the same seed.
class Mutator {
public:
    Mutator(std::uint64_t seed, qsizetype maxLength, QList<QByteArray> dictionary);

    // A mutant of one corpus entry (1 to 5 mutations), at most maxLength bytes.
    QByteArray mutate(const QList<QByteArray>& corpus);

private:
    void mutateOnce(QByteArray& data, const QList<QByteArray>& corpus);
    void putInteger(QByteArray& data);
    qsizetype below(qsizetype bound) { return qsizetype(m_random() % std::uint64_t(bound)); }

    std::mt19937_64 m_random;
    qsizetype m_maxLength;
    QList<QByteArray> m_dictionary;
};
