#pragma once

#include <QByteArrayView>
#include <algorithm>
#include <array>
#include <cstring>

// A quick "certainly not" for names looked up by the thousand: a host list holds tens of
// thousands of racers, few of them anybody's mate, and hashing every one of them into a
// hash set cost more than the rest of the matching. A name the sieve lets through still
// has to be looked up; one it stops is certainly not among the names added.
class NameSieve {
public:
    void add(QByteArrayView name) {
        const quint32 bit = slot(name);
        m_bits[bit >> 6] |= quint64(1) << (bit & 63);
    }
    bool mayContain(QByteArrayView name) const {
        const quint32 bit = slot(name);
        return (m_bits[bit >> 6] >> (bit & 63)) & 1;
    }

private:
    static constexpr int Bits = 1 << 16;
    // Length, first and last eight bytes, mixed: a few instructions per name, where a
    // loop over every byte cost as much as the hash set it spares. Names that differ only
    // in the middle share a slot, which costs a look-up, never a wrong answer.
    static quint32 slot(QByteArrayView name) {
        const qsizetype n = name.size();
        quint64 head = 0;
        quint64 tail = 0;
        if (n > 0)
            std::memcpy(&head, name.data(), size_t(std::min<qsizetype>(n, 8)));
        if (n > 8)
            std::memcpy(&tail, name.data() + n - 8, 8);
        quint64 h = head * 0x9E3779B97F4A7C15ull ^ tail * 0xC2B2AE3D27D4EB4Full ^
                    quint64(n) * 0x165667B19E3779F9ull;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        return quint32(h >> 48);
    }
    std::array<quint64, Bits / 64> m_bits{};
};
