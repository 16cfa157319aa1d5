#include "Mutator.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<unsigned char, 10> kBytes{0x00, 0x01, 0x0A, 0x0D, 0x1A,
                                               0x20, 0x2A, 0x7F, 0x80, 0xFF};
constexpr std::array<qint64, 12> kIntegers{0,   1,   -1,     2,      16,     32,
                                           255, 256, 0x7FFF, 0xFFFF, 0x8000, 0x7FFFFFFF};

}  // namespace

Mutator::Mutator(std::uint64_t seed, qsizetype maxLength, QList<QByteArray> dictionary)
    : m_random(seed), m_maxLength(maxLength), m_dictionary(std::move(dictionary)) {}

QByteArray Mutator::mutate(const QList<QByteArray>& corpus) {
    QByteArray data = corpus.at(below(corpus.size()));
    const qsizetype count = 1 + below(5);
    for (qsizetype i = 0; i < count; ++i)
        mutateOnce(data, corpus);
    data.truncate(m_maxLength);
    return data;
}

void Mutator::mutateOnce(QByteArray& data, const QList<QByteArray>& corpus) {
    const qsizetype size = data.size();
    switch (below(9)) {
        case 0:  // flip a bit
            if (size > 0)
                data[below(size)] ^= char(1 << below(8));
            break;
        case 1:  // any byte
            if (size > 0)
                data[below(size)] = char(m_random());
            break;
        case 2:  // a byte that means something in many formats
            if (size > 0)
                data[below(size)] = char(kBytes[below(kBytes.size())]);
            break;
        case 3:
            putInteger(data);
            break;
        case 4:  // insert random bytes
            data.insert(below(size + 1), QByteArray(1 + below(8), char(m_random())));
            break;
        case 5:  // erase a run
            if (size > 0)
                data.remove(below(size), 1 + below(std::min<qsizetype>(size, 64)));
            break;
        case 6: {  // repeat a run
            if (size == 0)
                break;
            const qsizetype from = below(size);
            data.insert(below(size + 1), data.mid(from, 1 + below(size - from)));
            break;
        }
        case 7:  // a dictionary token
            if (!m_dictionary.isEmpty())
                data.insert(below(size + 1), m_dictionary.at(below(m_dictionary.size())));
            break;
        default: {  // splice with another entry
            const QByteArray& other = corpus.at(below(corpus.size()));
            data = data.left(below(size + 1)) + other.mid(below(other.size() + 1));
            break;
        }
    }
}

// A small, large or boundary integer, 1, 2 or 4 bytes, either byte order, at any offset.
void Mutator::putInteger(QByteArray& data) {
    const qsizetype width = qsizetype(1) << below(3);
    if (data.size() < width)
        return;
    qint64 value = kIntegers[below(kIntegers.size())];
    if (below(4) == 0)
        value = data.size() + below(5) - 2;  // a length near the truth
    const qsizetype at = below(data.size() - width + 1);
    char bytes[4];
    qToLittleEndian<quint32>(quint32(value), bytes);
    if (below(2) == 0)
        std::reverse(bytes, bytes + width);
    std::copy(bytes, bytes + width, data.begin() + at);
}
