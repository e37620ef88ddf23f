#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class QLocale;
struct OnlineMate;

// Where and when a mate was last seen online.
struct LastSighting {
    QDateTime seen;  // the last refresh that saw him
    QDateTime since; // the first refresh of that stretch online
    QByteArray host;
    QByteArray track;
    bool operator==(const LastSighting& other) const = default;
};

// The last sighting of every mate ever seen online, by trimmed LFS name, kept in a file
// of the data folder.
class LastSeenStore {
public:
    explicit LastSeenStore(QString path) : m_path(std::move(path)) {}

    // A missing or damaged file is an empty history; reading never fails. A damaged
    // file is kept beside as "<path>.damaged" (see ReadJsonObjectFile).
    void load();
    // The history a file's object holds, and the object a save writes.
    void read(const QJsonObject& root);
    QJsonObject toJson() const;
    // The sightings of one successful refresh. True when anything changed.
    bool record(const QDateTime& now, const QList<OnlineMate>& online);
    // Written atomically; false when the file system refuses.
    bool save() const;
    // Saves what record() changed when it matters: at once when a mate came, went or
    // moved; when only the times of mates still online moved on, at most every
    // SeenSavePeriod, since that would write the file at every refresh all day long.
    static constexpr qint64 SeenSavePeriod = 10 * 60; // seconds
    bool saveIfDue(const QDateTime& now);
    // What is not saved yet, for the end of a run.
    bool saveUnsaved();

    std::optional<LastSighting> find(const QByteArray& lfsName) const;
    // Seen by the last recorded refresh.
    bool isOnline(const QByteArray& lfsName) const { return m_online.contains(lfsName); }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    QHash<QByteArray, LastSighting> m_sightings;
    QSet<QByteArray> m_online;
    bool m_unsaved = false; // times of mates still online moved on
    bool m_urgent = false;  // a mate came, went or moved
    QDateTime m_savedAt;
};

// The mate node's tooltip: "Online on HOST (TRACK) since HH:MM", "Last seen DATE TIME on
// HOST (TRACK)" in the locale's short format, or "Not seen online yet".
QString SightingText(const std::optional<LastSighting>& sighting, bool online,
                     const QLocale& locale);
