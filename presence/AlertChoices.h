#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

struct MateEntry;

// A mate's own choice; "AsGroup" follows the choice of the group he stands in.
enum class MateAlert { AsGroup, Always, Never };
// What a choice is about: a mate who came online, or one online who changed host.
enum class AlertEvent { CameOnline, ChangedHost };

// Whom to announce, per group and per mate (group name and trimmed LFS name), kept in
// a file of its own in the data folder. Only choices that differ from the defaults are
// stored; a group is announced when a mate comes online unless switched off, and when a
// mate changes host only when switched on (a file of before that choice reads as before).
class AlertChoices {
public:
    // A missing, damaged or oversized file gives the defaults; reading never fails. A
    // damaged file is kept beside as "<path>.damaged" (see ReadJsonObjectFile).
    static AlertChoices load(const QString& path);
    // Written whole to a temporary file and renamed over the old one. Throws
    // PelmarkError "In %s kann nicht geschrieben werden" when that fails.
    void save(const QString& path) const;
    // The choices a file's object holds, and the object a save writes.
    static AlertChoices fromJson(const QJsonObject& root);
    QJsonObject toJson() const;

    bool groupAlerts(const QString& group, AlertEvent event = AlertEvent::CameOnline) const;
    void setGroupAlerts(const QString& group, bool on, AlertEvent event = AlertEvent::CameOnline);
    MateAlert mateAlert(const QString& group, const QByteArray& lfsName,
                        AlertEvent event = AlertEvent::CameOnline) const;
    void setMateAlert(const QString& group, const QByteArray& lfsName, MateAlert alert,
                      AlertEvent event = AlertEvent::CameOnline);

    // For one person standing in these groups: a mate's own choice beats the group's,
    // and where his entries disagree, Never wins (an alert the user turned off once must
    // not come back through another group).
    bool wantsAlert(const QByteArray& lfsName, const QStringList& groups,
                    AlertEvent event = AlertEvent::CameOnline) const;

    // Drops the choices of groups and mates the roster no longer has, so that a group
    // created again under an old name starts with the defaults.
    void prune(const QStringList& groups, const QList<MateEntry>& roster);

    bool operator==(const AlertChoices& other) const = default;

private:
    // The choices about one event.
    struct Choices {
        QSet<QString> groupsFlipped; // the groups whose choice is not the event's default
        QHash<QString, QHash<QByteArray, MateAlert>> mates; // group -> trimmed LFS name -> choice
        bool operator==(const Choices& other) const = default;
    };
    Choices& of(AlertEvent event) { return m_events[int(event)]; }
    const Choices& of(AlertEvent event) const { return m_events[int(event)]; }

    std::array<Choices, 2> m_events;
};
