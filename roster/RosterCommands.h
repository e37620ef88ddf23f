#pragma once

#include "MateRecord.h"
#include "Trash.h"

#include <QObject>
#include <QString>
#include <optional>

class Desktop;
class ProfileStore;
class QuillonPubStats;

// A node of the mate tree as plain values: its text, and its group (the node's own text
// for a group node, its parent's for a mate node).
struct RosterNode {
    QString text;
    QString group;
    bool isMate = false;
};

// The roster tool bar's commands, acting on the node the user chose. They change the
// lists and the files and say what changed, so that the tree can follow. Each one looks
// its group and entry up again when it continues after a modal wait, because a refresh
// may have rebuilt the lists meanwhile. Errors are thrown (PelmarkError) for the
// top-level handler; checked refusals beep or show their message.
class RosterCommands : public QObject {
    Q_OBJECT
public:
    RosterCommands(QuillonPubStats& stats, const ProfileStore& store, Desktop& desktop,
                   QObject* parent = nullptr);

    void CreateGroup();
    void DeleteGroup(const RosterNode& node);
    void DeleteMate(const RosterNode& node);

    // Add mate: the group of the chosen node.
    static QString AddMateGroup(const RosterNode& node) { return node.group; }

    struct EditPreset {
        QString group;
        QByteArray lfsName;  // as stored
        QByteArray nick;     // as stored
        QByteArray team;     // trimmed; "[TEAM]" gives empty
        QByteArray homepage; // trimmed; "[HOMEPAGE]" gives empty
    };
    // Edit mate: the entry of that display name in that group; nothing without one.
    std::optional<EditPreset> EditMatePreset(const QString& displayName,
                                             const QString& group) const;

    enum class AddResult { Added, Duplicate };
    // The dialog's Add: duplicate test, append to the file, the entry, the tree node.
    AddResult AddMate(const QString& group, const MateRecord& record);
    // The dialog's Apply: entry by group and LFS name; replace in the list, in the file
    // in place, rename the node. Returns false when no entry was found (nothing stored).
    bool ApplyMate(const QString& group, const MateRecord& record);

    // Gives the group's file of the last deleted group, or of the last deleted, added or
    // edited mate, its bytes back, written whole; once. The lists are read again by whoever
    // follows undone(). A change whose file could not be read first leaves nothing to undo.
    // Where another file has taken the place since (a file of the deleted group's name, or
    // other bytes than the change left), that file stays and the bytes go to a free name,
    // "<group> (restored).profile", with a message. A deleted group's entry in the trash
    // is taken out.
    void Undo();
    bool canUndo() const { return m_undo.has_value(); }

Q_SIGNALS:
    // Told once the lists and files hold the change.
    void groupCreated(const QString& group);
    void groupDeleted(const QString& group);
    void mateAdded(const QString& group, const MateRecord& record);
    // text: the deleted node's text.
    void mateDeleted(const QString& group, const QString& text);
    void mateChanged(const QString& group, const MateRecord& oldRecord, const MateRecord& record);
    // The group's file is back as it was before the last change; the lists still hold
    // what they held.
    void undone(const QString& group);
    void undoAvailable(bool available);

private:
    struct Snapshot {
        QString group;
        QByteArray bytes;
        bool deleted = false;           // the change took the file away
        std::optional<QByteArray> left; // what the change left in the file, when it could be read
        std::optional<TrashEntry> trashed;
    };
    std::optional<Snapshot> snapshot(const QString& group) const;
    bool placeTaken(const Snapshot& undo) const;
    QString freeGroupName(const QString& group) const;
    void remember(std::optional<Snapshot> before);

    QuillonPubStats& m_stats;
    const ProfileStore& m_store;
    Desktop& m_desktop;
    std::optional<Snapshot> m_undo;
};
