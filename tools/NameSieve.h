#pragma once

#include <QByteArrayView>
#include <array>

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
    // FNV-1a, folded to 16 bits: cheap, and spread well enough for names.
    static quint32 slot(QByteArrayView name) {
        quint32 h = 2166136261u;
        for (const char c : name) {
            h ^= static_cast<unsigned char>(c);
            h *= 16777619u;
        }
        return (h ^ (h >> 16)) & (Bits - 1);
    }
    std::array<quint64, Bits / 64> m_bits{};
};
