#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct MateEntry;

// A mate's own choice; "AsGroup" follows the choice of the group he stands in.
enum class MateAlert { AsGroup, Always, Never };

// Whom to announce, per group and per mate (group name and trimmed LFS name), kept in
// a file of its own in the data folder. Only choices that differ from the defaults are
// stored; a group is announced unless switched off.
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

    bool groupAlerts(const QString& group) const;
    void setGroupAlerts(const QString& group, bool on);
    MateAlert mateAlert(const QString& group, const QByteArray& lfsName) const;
    void setMateAlert(const QString& group, const QByteArray& lfsName, MateAlert alert);

    // For one person standing in these groups: a mate's own choice beats the group's,
    // and where his entries disagree, Never wins (an alert the user turned off once must
    // not come back through another group).
    bool wantsAlert(const QByteArray& lfsName, const QStringList& groups) const;

    // Drops the choices of groups and mates the roster no longer has, so that a group
    // created again under an old name starts with the defaults.
    void prune(const QStringList& groups, const QList<MateEntry>& roster);

    bool operator==(const AlertChoices& other) const = default;

private:
    QSet<QString> m_groupsOff;
    QHash<QString, QHash<QByteArray, MateAlert>> m_mates; // group -> trimmed LFS name -> choice
};
