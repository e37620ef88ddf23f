#include "AlertChoices.h"

#include "BoundedFile.h"
#include "MateRecord.h"
#include "PelmarkError.h"
#include "SingleByteText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Far beyond any roster; a larger file is not ours.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

const QString GroupsOffKey = QStringLiteral("groupsOff");
const QString MatesKey = QStringLiteral("mates");

QString alertName(MateAlert alert) {
    return alert == MateAlert::Always ? QStringLiteral("always") : QStringLiteral("never");
}

std::optional<MateAlert> alertFromName(const QString& name) {
    if (name == QLatin1String("always"))
        return MateAlert::Always;
    if (name == QLatin1String("never"))
        return MateAlert::Never;
    return std::nullopt;
}

} // namespace

AlertChoices AlertChoices::load(const QString& path) {
    return fromJson(ReadJsonObjectFile(path, MaxFileSize));
}

AlertChoices AlertChoices::fromJson(const QJsonObject& root) {
    AlertChoices choices;
    for (const QJsonValue& group : root.value(GroupsOffKey).toArray()) {
        if (group.isString())
            choices.m_groupsOff.insert(group.toString());
    }
    const QJsonObject mates = root.value(MatesKey).toObject();
    for (auto group = mates.begin(); group != mates.end(); ++group) {
        const QJsonObject names = group.value().toObject();
        for (auto mate = names.begin(); mate != names.end(); ++mate) {
            const std::optional<MateAlert> alert = alertFromName(mate.value().toString());
            const QByteArray lfsName = TrimBytes(FromDisplay(mate.key()));
            if (alert && !lfsName.isEmpty())
                choices.m_mates[group.key()].insert(lfsName, *alert);
        }
    }
    return choices;
}

void AlertChoices::save(const QString& path) const {
    if (!WriteWholeFile(path, QJsonDocument(toJson()).toJson()))
        throw PelmarkError(ErrorText::CannotWrite(path), PelmarkError::Kind::File);
}

QJsonObject AlertChoices::toJson() const {
    QJsonArray groupsOff;
    QStringList off(m_groupsOff.begin(), m_groupsOff.end());
    off.sort(); // a stable file for the same choices
    for (const QString& group : std::as_const(off))
        groupsOff.append(group);
    QJsonObject mates;
    for (auto group = m_mates.begin(); group != m_mates.end(); ++group) {
        QJsonObject names;
        for (auto mate = group->begin(); mate != group->end(); ++mate)
            names.insert(ToDisplay(mate.key()), alertName(mate.value()));
        if (!names.isEmpty())
            mates.insert(group.key(), names);
    }
    QJsonObject root;
    root.insert(GroupsOffKey, groupsOff);
    root.insert(MatesKey, mates);
    return root;
}

bool AlertChoices::groupAlerts(const QString& group) const {
    return !m_groupsOff.contains(group);
}

void AlertChoices::setGroupAlerts(const QString& group, bool on) {
    if (on)
        m_groupsOff.remove(group);
    else
        m_groupsOff.insert(group);
}

MateAlert AlertChoices::mateAlert(const QString& group, const QByteArray& lfsName) const {
    const auto names = m_mates.constFind(group);
    if (names == m_mates.constEnd())
        return MateAlert::AsGroup;
    return names->value(TrimBytes(lfsName), MateAlert::AsGroup);
}

void AlertChoices::setMateAlert(const QString& group, const QByteArray& lfsName, MateAlert alert) {
    const QByteArray name = TrimBytes(lfsName);
    if (alert != MateAlert::AsGroup) {
        m_mates[group].insert(name, alert);
        return;
    }
    const auto names = m_mates.find(group);
    if (names == m_mates.end())
        return;
    names->remove(name);
    if (names->isEmpty())
        m_mates.erase(names);
}

bool AlertChoices::wantsAlert(const QByteArray& lfsName, const QStringList& groups) const {
    bool always = false;
    bool byGroup = false;
    for (const QString& group : groups) {
        switch (mateAlert(group, lfsName)) {
        case MateAlert::Never:
            return false;
        case MateAlert::Always:
            always = true;
            break;
        case MateAlert::AsGroup:
            byGroup = byGroup || groupAlerts(group);
            break;
        }
    }
    return always || byGroup;
}

void AlertChoices::prune(const QStringList& groups, const QList<MateEntry>& roster) {
    const QSet<QString> present(groups.begin(), groups.end());
    QSet<QString> entries; // group + '\n' + trimmed LFS name, Latin-1
    for (const MateEntry& mate : roster)
        entries.insert(mate.group + QLatin1Char('\n') +
                       ToDisplay(TrimBytes(mate.record.lfsName())));
    for (auto it = m_groupsOff.begin(); it != m_groupsOff.end();)
        it = present.contains(*it) ? ++it : m_groupsOff.erase(it);
    for (auto group = m_mates.begin(); group != m_mates.end();) {
        for (auto mate = group->begin(); mate != group->end();) {
            const QString key = group.key() + QLatin1Char('\n') + ToDisplay(mate.key());
            mate = entries.contains(key) ? ++mate : group->erase(mate);
        }
        group = group->isEmpty() ? m_mates.erase(group) : ++group;
    }
}
