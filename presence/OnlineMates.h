#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

class Sightings;
struct MateEntry;

// One person of the roster who is online: a racer in two groups is one person.
struct OnlineMate {
    QByteArray lfsName;     // trimmed, the key everything else uses
    QByteArray displayName; // of the person's first entry
    QByteArray host;        // the host's display name
    QByteArray track;       // the track's name as the server list shows it
    QStringList groups;     // every group the person stands in, in roster order
};

// The roster's persons who are online by the sightings, in the order of their first
// entry. The host is that of the first of his entries that has one.
QList<OnlineMate> OnlinePersons(const Sightings& sightings, const QList<MateEntry>& roster);

// "Online mates: 13/18": the roster's entries online and in all, as the mate tree counts
// them (a racer in two groups is two). The tray says it in the same words.
QString OnlineMatesText(int online, int total);
