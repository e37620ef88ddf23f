#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

// The user's favourite hosts, by host name as the host list gives it, kept in a JSON file
// of their own in the data folder.
class FavouriteHosts {
public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr qsizetype MaxHosts = 1000;

    explicit FavouriteHosts(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // A missing, refused or damaged file is an empty list; nothing is reported. A file
    // of which anything is left out (damaged, over MaxFileBytes, more than MaxHosts
    // names, an entry that is no host name) is kept aside first (KeepDamagedCopy).
    void load();
    // Written as a whole to a temporary file first; false when the folder refuses it.
    bool save() const;
    // The list a file's object holds; false when anything in it was left out.
    bool read(const QJsonObject& root);
    QJsonObject toJson() const;

    const QSet<QByteArray>& hosts() const { return m_hosts; }
    bool contains(const QByteArray& host) const { return m_hosts.contains(host); }
    // False when the list is full and the host is not in it.
    bool set(const QByteArray& host, bool favourite);

private:
    QString m_path;
    QSet<QByteArray> m_hosts;
};
