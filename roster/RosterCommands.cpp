#include "RosterCommands.h"

#include "Desktop.h"
#include "ItemImages.h"
#include "MateTree.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "QuillonTools.h"
#include "SingleByteText.h"

#include <QTreeWidget>

namespace {

// A trimmed field that holds only its placeholder stands for an empty one.
QByteArray withoutPlaceholder(const QByteArray& field, QByteArrayView placeholder) {
    const QByteArray trimmed = TrimBytes(field);
    return trimmed == placeholder ? QByteArray() : trimmed;
}

} // namespace

RosterCommands::RosterCommands(QuillonPubStats& stats, const ProfileStore& store, MateTree& tree,
                               Desktop& desktop, QObject* parent)
    : QObject(parent), m_stats(stats), m_store(store), m_tree(tree), m_desktop(desktop) {}

void RosterCommands::CreateGroup() {
    const std::optional<QString> answer =
        m_desktop.inputBox(QStringLiteral("Create a new group"), QStringLiteral("Group name:"));
    if (!answer)
        return;
    const QString name = TrimText(*answer);
    for (const char c : ForbiddenFileNameChars) {
        if (name.contains(QLatin1Char(c))) {
            m_desktop.showMessage(
                QStringLiteral("Group name not allowed! Do not use the character \"%1\"")
                    .arg(QLatin1Char(c)));
            return;
        }
    }
    // Mate entries keep 50 characters of the group name; a longer one would leave the
    // group's mates without a node. An empty name would make a file named ".profile".
    if (name.isEmpty() || name.size() > MateEntry::GroupNameMax || m_store.ProfileExists(name)) {
        m_desktop.beep();
        return;
    }
    m_store.CreateProfile(name);
    m_stats.groups.append(name);
    m_tree.AddGroupNode(name);
    Q_EMIT groupCreated(name);
}

void RosterCommands::DeleteGroup() {
    QTreeWidgetItem* node = m_tree.NodeAt(m_tree.rememberedPosition);
    if (node->parent()) {
        m_desktop.beep();
        return;
    }
    const QString group = node->text(0);
    m_store.DeleteProfile(group);
    Q_EMIT groupDeleted(group);
    m_stats.groups.removeOne(group);
    const QString entryGroup = group.left(MateEntry::GroupNameMax);
    m_stats.mates.removeIf([&](const MateEntry& e) { return e.group == entryGroup; });
    delete node;
    if (m_tree.NodeCount() > 0)
        m_tree.rememberedPosition = 0;
}

void RosterCommands::DeleteMate() {
    QTreeWidgetItem* node = m_tree.NodeAt(m_tree.rememberedPosition);
    QTreeWidgetItem* groupNode = node->parent();
    if (!groupNode) {
        m_desktop.beep();
        return;
    }
    const QString group = groupNode->text(0);
    const int index = m_stats.FindMate(FromDisplay(node->text(0)), group);
    if (index < 0)
        return;
    // The file is written before the list changes hands, so a failed write leaves the
    // list, the tree and (through the temporary file) the old profile as they were.
    QList<MateEntry> remaining = m_stats.mates;
    remaining.removeAt(index);
    m_store.RewriteProfile(group, remaining);
    m_stats.mates = std::move(remaining);
    if (groupNode->childCount() == 1)
        SetItemImage(groupNode, 0, m_tree.mateImages());
    delete node;
    if (m_tree.NodeCount() > 0)
        m_tree.rememberedPosition = 0;
}

QString RosterCommands::AddMateGroup() const {
    const QTreeWidgetItem* node = m_tree.NodeAt(m_tree.rememberedPosition);
    return node->parent() ? node->parent()->text(0) : node->text(0);
}

std::optional<RosterCommands::EditPreset> RosterCommands::EditMatePreset() const {
    if (m_tree.NodeCount() == 0)
        return std::nullopt;
    if (!m_tree.NodeAt(m_tree.rememberedPosition)->parent())
        return std::nullopt;
    const int index =
        m_stats.FindMate(FromDisplay(m_tree.rememberedDisplayName), m_tree.rememberedGroup);
    if (index < 0)
        return std::nullopt;
    const MateRecord& record = m_stats.mates.at(index).record;
    EditPreset preset;
    preset.group = m_tree.rememberedGroup;
    preset.lfsName = record.lfsName();
    preset.nick = record.nick();
    preset.team = withoutPlaceholder(record.team(), "[TEAM]");
    preset.homepage = withoutPlaceholder(record.homepage(), "[HOMEPAGE]");
    return preset;
}

RosterCommands::AddResult RosterCommands::AddMate(const QString& group, const MateRecord& record) {
    if (m_stats.FindMateIndex(group, record) >= 0) {
        m_desktop.beep();
        return AddResult::Duplicate;
    }
    m_store.AppendMateRecord(group, record);
    m_stats.mates.append(MateEntry::make(group, record));
    m_tree.AddMateNode(record, group, m_tree.allMates());
    return AddResult::Added;
}

bool RosterCommands::ApplyMate(const QString& group, const MateRecord& record) {
    if (record.lfsName().isEmpty())
        return false;
    const int index = m_stats.FindMateIndex(group, record);
    if (index < 0)
        return false;
    const MateRecord oldRecord = m_stats.mates.at(index).record;
    // The file first: when it cannot be written the list keeps what the file holds.
    m_store.ReplaceMateRecord(group, oldRecord, record);
    m_stats.mates[index].record = record;
    m_tree.RenameMateNode(oldRecord, record, group);
    return true;
}
