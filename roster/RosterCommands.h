#pragma once

#include "MateRecord.h"

#include <QObject>
#include <QString>
#include <optional>

class Desktop;
class MateTree;
class ProfileStore;
class QuillonPubStats;

// The roster tool bar's commands, acting on the remembered node. Each one looks its
// group and entry up again when it continues after a modal wait, because a refresh
// may have rebuilt the lists and the tree meanwhile. Errors are thrown (PelmarkError)
// for the top-level handler; checked refusals beep or show their message.
class RosterCommands : public QObject {
    Q_OBJECT
public:
    RosterCommands(QuillonPubStats& stats, const ProfileStore& store, MateTree& tree,
                   Desktop& desktop, QObject* parent = nullptr);

    void CreateGroup();
    void DeleteGroup();
    void DeleteMate();

    // Add mate: the group of the remembered node (its parent's text for a mate node).
    // Throws "Ungültiger Index" when the remembered position names no node.
    QString AddMateGroup() const;

    struct EditPreset {
        QString group;
        QByteArray lfsName;  // as stored
        QByteArray nick;     // as stored
        QByteArray team;     // trimmed; "[TEAM]" gives empty
        QByteArray homepage; // trimmed; "[HOMEPAGE]" gives empty
    };
    // Edit mate: nothing for an empty tree, a group node or a mate without entry.
    std::optional<EditPreset> EditMatePreset() const;

    enum class AddResult { Added, Duplicate };
    // The dialog's Add: duplicate test, append to the file, the entry, the tree node.
    AddResult AddMate(const QString& group, const MateRecord& record);
    // The dialog's Apply: entry by group and LFS name; replace in the list, in the file
    // in place, rename the node. Returns false when no entry was found (nothing stored).
    bool ApplyMate(const QString& group, const MateRecord& record);

Q_SIGNALS:
    // The Add/Edit Mate dialog's drop-down is kept in step with these.
    void groupCreated(const QString& group);
    void groupDeleted(const QString& group);

private:
    QuillonPubStats& m_stats;
    const ProfileStore& m_store;
    MateTree& m_tree;
    Desktop& m_desktop;
};
