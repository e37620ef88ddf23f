#include "HostListDecoder.h"

#include "QuillonTools.h"
#include "SingleByteText.h"

#include <cstring>
#include <string_view>

bool IsRefusalReply(QByteArrayView reply) {
    // A host list always holds zero bytes in its fixed fields, so a host or racer named
    // "I can't brake" is no refusal. The library's searches vectorise their scans; the
    // whole reply is searched on every refresh.
    const std::string_view bytes(reply.data(), std::size_t(reply.size()));
    return bytes.find('\0') == std::string_view::npos &&
           bytes.find("can't") != std::string_view::npos;
}

namespace {

template <std::size_t N> void copyBytes(std::array<quint8, N>& to, const char* from) {
    std::memcpy(to.data(), from, N);
}

// Counts the entries first, so that a truncated reply is rejected before anything
// is built and the decode itself needs no bounds test per field.
bool countEntries(QByteArrayView reply, qsizetype& count) {
    const qsizetype size = reply.size();
    qsizetype p = 0;
    count = 0;
    while (p + 1 < size) {
        if (size - p < HostRecord::FixedSize)
            return false;
        const qsizetype racers = static_cast<quint8>(reply[p + 52]);
        const qsizetype length = HostRecord::FixedSize + HostRecord::RacerNameSize * racers;
        if (size - p < length)
            return false;
        p += length;
        ++count;
    }
    return true;
}

} // namespace

DecodeResult DecodeHostList(QByteArrayView reply, HostList& hosts) {
    qsizetype count = 0;
    if (!countEntries(reply, count))
        return DecodeResult::Truncated;

    HostList decoded;
    decoded.reserve(count);
    const char* data = reply.data();
    qsizetype p = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char* e = data + p;
        HostRecord& h = decoded.emplace_back();
        h.rawName = QByteArray(e, HostRecord::NameSize);
        // Most names carry no caret at all; the strip would only copy them.
        h.name = std::memchr(e, '^', HostRecord::NameSize) ? TrimBytes(StripColorCodes(h.rawName))
                                                           : TrimBytes(h.rawName);
        copyBytes(h.version, e + 32);
        copyBytes(h.track, e + 36);
        copyBytes(h.carMask, e + 40);
        copyBytes(h.rules, e + 44);
        h.laps = static_cast<quint8>(e[48]);
        h.qualifying = static_cast<quint8>(e[49]);
        copyBytes(h.spare, e + 50);
        h.racerCount = static_cast<quint8>(e[52]);
        const qsizetype namesSize = HostRecord::RacerNameSize * h.racerCount;
        if (namesSize > 0)
            h.racerNames = QByteArray(e + HostRecord::FixedSize, namesSize);
        p += HostRecord::FixedSize + namesSize;
    }
    hosts = std::move(decoded);
    return DecodeResult::Ok;
}

QByteArray VersionText(const HostRecord& host) {
    switch (host.versionType()) {
    case 1:
        return QByteArrayLiteral("S1");
    case 2:
        return QByteArrayLiteral("S2");
    default:
        return {};
    }
}

QByteArray RulesText(const HostRecord& host) {
    static constexpr char letters[] = {'V', 'S', 'Q', 'P', 'M', 'm', 'p'};
    char out[sizeof letters];
    qsizetype n = 0;
    for (int bit = 0; bit < 7; ++bit)
        if (host.rules[0] & (1u << bit))
            out[n++] = letters[bit];
    return n ? QByteArray(out, n) : QByteArray();
}

namespace {
// Decimal, with a leading 0 below 10; written into place, as this runs for every row.
char* padded(char* out, int value) {
    if (value >= 100)
        *out++ = char('0' + value / 100);
    *out++ = char('0' + value / 10 % 10);
    *out++ = char('0' + value % 10);
    return out;
}
} // namespace

QByteArray PlayersText(const HostRecord& host) {
    char text[8];
    char* end = padded(text, host.racerCount);
    *end++ = '/';
    end = padded(end, host.maxPlayers());
    return QByteArray(text, end - text);
}
