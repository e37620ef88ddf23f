#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

// One host the user joined, and when the last join of it was started.
struct RecentHost {
    QByteArray name; // as the host list gives it
    QDateTime joined;
    bool operator==(const RecentHost&) const = default;
};

// The last hosts the program started the game to join, newest first and each once, kept
// in a JSON file of their own in the data folder.
class RecentHosts {
public:
    static constexpr qsizetype MaxHosts = 20;
    static constexpr qint64 MaxFileBytes = 64 * 1024;

    explicit RecentHosts(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // A missing, refused or damaged file is an empty list; nothing is reported. A file of
    // which anything is left out (damaged, over MaxFileBytes, more than MaxHosts entries,
    // an entry that is no host and time) is kept aside first (KeepDamagedCopy).
    void load();
    // Written as a whole to a temporary file first; false when the folder refuses it.
    bool save() const;
    // The list a file's object holds; false when anything in it was left out.
    bool read(const QJsonObject& root);
    QJsonObject toJson() const;

    // A join of the host: it goes to the front, and the oldest beyond MaxHosts drops out.
    // An empty name or one longer than any host's is left out.
    void add(const QByteArray& host, const QDateTime& joined);
    const QList<RecentHost>& hosts() const { return m_hosts; }
    QSet<QByteArray> names() const;

private:
    QString m_path;
    QList<RecentHost> m_hosts;
};
