#include "QuillonPubStats.h"

#include "NameSieve.h"
#include "SingleByteText.h"

#include <algorithm>

namespace {

bool listsRacer(const HostRecord& host, QByteArrayView name) {
    for (qsizetype j = 0; j < host.racerCount; ++j) {
        if (TrimmedView(host.racerSlot(j)) == name)
            return true;
    }
    return false;
}

} // namespace

int QuillonPubStats::FindMateIndex(const QString& group, const MateRecord& record) const {
    const QByteArray lfsName = record.lfsName();
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.lfsName() == lfsName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && TrimmedView(entry.record.lfsName()) == trimmedLfsName)
            return int(i);
    }
    return -1;
}

void QuillonPubStats::RemoveMate(const MateEntry& entry) {
    const int index = FindMateIndex(entry.group, entry.record);
    if (index >= 0)
        mates.removeAt(index);
}

bool QuillonPubStats::IsMateOnline(QByteArrayView name) const {
    // An empty slot is not a racer, so a blank name never matches one.
    if (name.isEmpty())
        return false;
    for (const HostRecord& host : hosts) {
        if (host.isS1OrS2() && listsRacer(host, name))
            return true;
    }
    return false;
}

int QuillonPubStats::FindMateByDisplayName(QByteArrayView displayName) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        if (mates.at(i).record.displayName() == displayName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMate(QByteArrayView displayName, const QString& group) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.displayName() == displayName)
            return int(i);
    }
    return -1;
}

QByteArray QuillonPubStats::FindMateHost(QByteArrayView displayName) const {
    const int index = FindMateByDisplayName(displayName);
    if (index < 0)
        return {};
    const QByteArray lfsName = mates.at(index).record.lfsName();
    if (lfsName.isEmpty())
        return {};
    // Every version type counts here: a join can still use a host the matching skips.
    QByteArray found;
    for (const HostRecord& host : hosts) {
        if (listsRacer(host, lfsName))
            found = host.name;
    }
    return found;
}

bool QuillonPubStats::HostNeedsPassword(QByteArrayView hostName) const {
    for (const HostRecord& host : hosts) {
        if (host.name == hostName)
            return host.isPrivate();
    }
    return false;
}

MateMatcher::MateMatcher(const QuillonPubStats& stats) : m_stats(stats) {
    NameSieve sieve;
    m_racers.reserve(stats.mates.size());
    for (const MateEntry& entry : stats.mates) {
        const QByteArray name = TrimBytes(entry.record.lfsName());
        if (!name.isEmpty()) {
            m_racers.insert(name, Racer{});
            sieve.add(name);
        }
    }
    for (const HostRecord& host : stats.hosts) {
        for (qsizetype j = 0; j < host.racerCount; ++j) {
            const QByteArrayView racer = TrimmedView(host.racerSlot(j));
            if (racer.isEmpty() || !sieve.mayContain(racer))
                continue;
            // A raw view as key: no copy for the many racers who are nobody's mate.
            auto it = m_racers.find(QByteArray::fromRawData(racer.data(), racer.size()));
            if (it == m_racers.end())
                continue;
            if (host.isS1OrS2())
                it->online = true;
            it->lastHost = host.name;
        }
    }
    m_firstByDisplayName.reserve(stats.mates.size());
    for (qsizetype i = stats.mates.size() - 1; i >= 0; --i)
        m_firstByDisplayName.insert(stats.mates.at(i).record.displayName(), int(i));
}

bool MateMatcher::IsMateOnline(QByteArrayView name) const {
    const auto it = m_racers.constFind(QByteArray::fromRawData(name.data(), name.size()));
    if (it != m_racers.constEnd())
        return it->online;
    return m_stats.IsMateOnline(name); // not a mate's name: the plain scan answers
}

QByteArray MateMatcher::FindMateHost(QByteArrayView displayName) const {
    const int index = m_firstByDisplayName.value(displayName.toByteArray(), -1);
    if (index < 0)
        return {};
    // Keys are trimmed: an LFS name with blanks around it finds no host, as in the scan.
    return m_racers.value(m_stats.mates.at(index).record.lfsName()).lastHost;
}
