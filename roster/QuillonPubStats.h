#pragma once

#include "MateRecord.h"

#include <QList>
#include <QObject>
#include <QStringList>

// The roster: its groups and their entries, and the look-ups on them (the host list is the
// host-list service's). The main window owns the single instance; the profile store fills
// it, the roster commands change it, and every change is told by changed(). Look-ups answer
// indices, never pointers, so that no caller keeps a reference into a list across a wait.
class QuillonPubStats : public QObject {
    Q_OBJECT
public:
    explicit QuillonPubStats(QObject* parent = nullptr) : QObject(parent) {}

    const QStringList& groups() const { return m_groups; }    // one name per profile file
    const QList<MateEntry>& mates() const { return m_mates; } // all entries, group by group
    // Counts the changes: two equal revisions hold the same lists, so a reader can tell
    // without comparing them whether what it made from the roster still stands.
    quint64 revision() const { return m_revision; }

    // Both lists anew (a load of the files); a change only when they differ from the held.
    void assign(QStringList groups, QList<MateEntry> mates);
    void clear() { assign({}, {}); }
    void appendGroup(const QString& name);
    // The group and the entries filed under its name (cut as entries keep it).
    void removeGroup(const QString& name);
    void appendMate(MateEntry entry);
    void setMates(QList<MateEntry> mates);
    void setRecord(int index, const MateRecord& record);
    // Removes the first entry with the same group and LFS name.
    void RemoveMate(const MateEntry& entry);

    // First entry of that group whose LFS name equals the record's; -1 when none.
    int FindMateIndex(const QString& group, const MateRecord& record) const;
    // First entry of that group whose trimmed LFS name is this one; -1 when none. A mate
    // is known by group and LFS name, which no edit changes.
    int FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const;
    // First entry of that group whose display name is exactly this one; -1 when none.
    int FindMate(QByteArrayView displayName, const QString& group) const;

Q_SIGNALS:
    void changed();

private:
    void touch();

    QStringList m_groups;
    QList<MateEntry> m_mates;
    quint64 m_revision = 0;
};
