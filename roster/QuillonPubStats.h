#pragma once

#include "HostRecord.h"
#include "MateRecord.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

// The program's three shared lists and the look-ups on them. The main window owns
// the single instance. Look-ups answer indices, never pointers, so that no caller
// keeps a reference into a list across a wait.
class QuillonPubStats {
public:
    QStringList groups;     // one name per profile file, in file-system order
    HostList hosts;         // the last successful decode
    QList<MateEntry> mates; // all groups' entries, group by group

    // First entry of that group whose LFS name equals the record's; -1 when none.
    int FindMateIndex(const QString& group, const MateRecord& record) const;
    // First entry of that group whose trimmed LFS name is this one; -1 when none. A mate
    // is known by group and LFS name, which no edit changes.
    int FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const;
    // Removes the first entry with the same group and LFS name.
    void RemoveMate(const MateEntry& entry);

    // True when an S1 or S2 host lists the name among its racers (slots trimmed).
    bool IsMateOnline(QByteArrayView name) const;
    int FindMateByDisplayName(QByteArrayView displayName) const;
    int FindMate(QByteArrayView displayName, const QString& group) const;
    // The host of the last host in the list that lists the mate; empty when none.
    QByteArray FindMateHost(QByteArrayView displayName) const;
    // The private flag of the first host with exactly that name; false when none.
    bool HostNeedsPassword(QByteArrayView hostName) const;
};

// The matching of one tree build: the answers of IsMateOnline and FindMateHost from
// one pass over the hosts instead of one per mate (1,000 mates on 1,000 hosts took
// seconds). Valid only while the lists it was made from stay as they are.
class MateMatcher {
public:
    explicit MateMatcher(const QuillonPubStats& stats);
    bool IsMateOnline(QByteArrayView name) const;
    QByteArray FindMateHost(QByteArrayView displayName) const;

private:
    struct Racer {
        bool online = false; // listed by an S1 or S2 host
        QByteArray lastHost; // the last host listing it, of any version type
    };
    const QuillonPubStats& m_stats;
    // Only the mates' trimmed LFS names are kept: the hosts list far more racers than
    // the roster has mates.
    QHash<QByteArray, Racer> m_racers;
    QHash<QByteArray, int> m_firstByDisplayName; // display name -> first entry
};
