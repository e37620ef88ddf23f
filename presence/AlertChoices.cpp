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

// Came online: the groups switched off and the mates' choices, as the file always had
// them. Changed host: the groups switched on and the mates' choices, under keys of their
// own, written only when there is any, so that a file of before reads as it did.
struct EventKeys {
    QString groups;
    QString mates;
    bool defaultOn;
};
const EventKeys Keys[] = {
    {QStringLiteral("groupsOff"), QStringLiteral("mates"), true},
    {QStringLiteral("hostChangeGroupsOn"), QStringLiteral("hostChangeMates"), false}};

const EventKeys& keysOf(AlertEvent event) {
    return Keys[int(event)];
}

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
    for (const AlertEvent event : {AlertEvent::CameOnline, AlertEvent::ChangedHost}) {
        Choices& made = choices.of(event);
        for (const QJsonValue& group : root.value(keysOf(event).groups).toArray()) {
            if (group.isString())
                made.groupsFlipped.insert(group.toString());
        }
        const QJsonObject mates = root.value(keysOf(event).mates).toObject();
        for (auto group = mates.begin(); group != mates.end(); ++group) {
            const QJsonObject names = group.value().toObject();
            for (auto mate = names.begin(); mate != names.end(); ++mate) {
                const std::optional<MateAlert> alert = alertFromName(mate.value().toString());
                const QByteArray lfsName = TrimBytes(FromDisplay(mate.key()));
                if (alert && !lfsName.isEmpty())
                    made.mates[group.key()].insert(lfsName, *alert);
            }
        }
    }
    return choices;
}

void AlertChoices::save(const QString& path) const {
    if (!WriteWholeFile(path, QJsonDocument(toJson()).toJson()))
        throw PelmarkError(ErrorText::CannotWrite(path), PelmarkError::Kind::File);
}

QJsonObject AlertChoices::toJson() const {
    QJsonObject root;
    for (const AlertEvent event : {AlertEvent::CameOnline, AlertEvent::ChangedHost}) {
        const Choices& made = of(event);
        QJsonArray groups;
        QStringList flipped(made.groupsFlipped.begin(), made.groupsFlipped.end());
        flipped.sort(); // a stable file for the same choices
        for (const QString& group : std::as_const(flipped))
            groups.append(group);
        QJsonObject mates;
        for (auto group = made.mates.begin(); group != made.mates.end(); ++group) {
            QJsonObject names;
            for (auto mate = group->begin(); mate != group->end(); ++mate)
                names.insert(ToDisplay(mate.key()), alertName(mate.value()));
            if (!names.isEmpty())
                mates.insert(group.key(), names);
        }
        const bool always = keysOf(event).defaultOn; // the keys the file always had
        if (always || !groups.isEmpty())
            root.insert(keysOf(event).groups, groups);
        if (always || !mates.isEmpty())
            root.insert(keysOf(event).mates, mates);
    }
    return root;
}

bool AlertChoices::groupAlerts(const QString& group, AlertEvent event) const {
    return keysOf(event).defaultOn != of(event).groupsFlipped.contains(group);
}

void AlertChoices::setGroupAlerts(const QString& group, bool on, AlertEvent event) {
    if (on == keysOf(event).defaultOn)
        of(event).groupsFlipped.remove(group);
    else
        of(event).groupsFlipped.insert(group);
}

MateAlert AlertChoices::mateAlert(const QString& group, const QByteArray& lfsName,
                                  AlertEvent event) const {
    const auto names = of(event).mates.constFind(group);
    if (names == of(event).mates.constEnd())
        return MateAlert::AsGroup;
    return names->value(TrimBytes(lfsName), MateAlert::AsGroup);
}

void AlertChoices::setMateAlert(const QString& group, const QByteArray& lfsName, MateAlert alert,
                                AlertEvent event) {
    auto& mates = of(event).mates;
    const QByteArray name = TrimBytes(lfsName);
    if (alert != MateAlert::AsGroup) {
        mates[group].insert(name, alert);
        return;
    }
    const auto names = mates.find(group);
    if (names == mates.end())
        return;
    names->remove(name);
    if (names->isEmpty())
        mates.erase(names);
}

bool AlertChoices::wantsAlert(const QByteArray& lfsName, const QStringList& groups,
                              AlertEvent event) const {
    bool always = false;
    bool byGroup = false;
    for (const QString& group : groups) {
        switch (mateAlert(group, lfsName, event)) {
        case MateAlert::Never:
            return false;
        case MateAlert::Always:
            always = true;
            break;
        case MateAlert::AsGroup:
            byGroup = byGroup || groupAlerts(group, event);
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
    for (Choices& made : m_events) {
        for (auto it = made.groupsFlipped.begin(); it != made.groupsFlipped.end();)
            it = present.contains(*it) ? ++it : made.groupsFlipped.erase(it);
        for (auto group = made.mates.begin(); group != made.mates.end();) {
            for (auto mate = group->begin(); mate != group->end();) {
                const QString key = group.key() + QLatin1Char('\n') + ToDisplay(mate.key());
                mate = entries.contains(key) ? ++mate : group->erase(mate);
            }
            group = group->isEmpty() ? made.mates.erase(group) : ++group;
        }
    }
}
