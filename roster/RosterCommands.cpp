#include "RosterCommands.h"

#include "Desktop.h"
#include "PelmarkError.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "QuillonTools.h"
#include "SingleByteText.h"

#include <QFileInfo>

namespace {

// Far beyond any roster (some 40,000 mates); a larger file is no group of ours to keep.
constexpr qint64 UndoLimit = 16 * 1024 * 1024;
// Free names tried for an undo whose place is taken.
constexpr int RestoreNameTries = 100;

// A trimmed field that holds only its placeholder stands for an empty one.
QByteArray withoutPlaceholder(const QByteArray& field, QByteArrayView placeholder) {
    const QByteArray trimmed = TrimBytes(field);
    return trimmed == placeholder ? QByteArray() : trimmed;
}

} // namespace

RosterCommands::RosterCommands(QuillonPubStats& stats, const ProfileStore& store, Desktop& desktop,
                               QObject* parent)
    : QObject(parent), m_stats(stats), m_store(store), m_desktop(desktop) {}

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
    m_stats.appendGroup(name);
    Q_EMIT groupCreated(name);
}

void RosterCommands::DeleteGroup(const RosterNode& node) {
    if (node.isMate) {
        m_desktop.beep();
        return;
    }
    const QString group = node.text;
    std::optional<Snapshot> before = snapshot(group);
    std::optional<TrashEntry> trashed = m_store.DeleteProfile(group);
    // A file that could not be deleted needs no undo.
    if (!m_store.ProfileExists(group)) {
        if (before) {
            before->deleted = true;
            before->trashed = std::move(trashed);
        }
        remember(std::move(before));
    }
    m_stats.removeGroup(group);
    Q_EMIT groupDeleted(group);
}

void RosterCommands::DeleteMate(const RosterNode& node) {
    if (!node.isMate) {
        m_desktop.beep();
        return;
    }
    const QString& group = node.group;
    const int index = m_stats.FindMate(FromDisplay(node.text), group);
    if (index < 0)
        return;
    // The file is written before the list changes hands, so a failed write leaves the
    // list, the tree and (through the temporary file) the old profile as they were.
    QList<MateEntry> remaining = m_stats.mates();
    remaining.removeAt(index);
    std::optional<Snapshot> before = snapshot(group);
    m_store.RewriteProfile(group, remaining);
    remember(std::move(before));
    m_stats.setMates(std::move(remaining));
    Q_EMIT mateDeleted(group, node.text);
}

std::optional<RosterCommands::EditPreset>
RosterCommands::EditMatePreset(const QString& displayName, const QString& group) const {
    const int index = m_stats.FindMate(FromDisplay(displayName), group);
    if (index < 0)
        return std::nullopt;
    const MateRecord& record = m_stats.mates().at(index).record;
    EditPreset preset;
    preset.group = group;
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
    std::optional<Snapshot> before = snapshot(group);
    m_store.AppendMateRecord(group, record);
    remember(std::move(before));
    m_stats.appendMate(MateEntry::make(group, record));
    Q_EMIT mateAdded(group, record);
    return AddResult::Added;
}

bool RosterCommands::ApplyMate(const QString& group, const MateRecord& record) {
    if (record.lfsName().isEmpty())
        return false;
    const int index = m_stats.FindMateIndex(group, record);
    if (index < 0)
        return false;
    const MateRecord oldRecord = m_stats.mates().at(index).record;
    // The file first: when it cannot be written the list keeps what the file holds.
    std::optional<Snapshot> before = snapshot(group);
    m_store.ReplaceMateRecord(group, oldRecord, record);
    remember(std::move(before));
    m_stats.setRecord(index, record);
    Q_EMIT mateChanged(group, oldRecord, record);
    return true;
}

void RosterCommands::Undo() {
    if (!m_undo)
        return;
    const QString group = m_undo->group;
    const bool taken = placeTaken(*m_undo);
    const QString target = taken ? freeGroupName(group) : group;
    if (target.isEmpty())
        throw PelmarkError(ErrorText::CannotWrite(m_store.ProfilePath(group)),
                           PelmarkError::Kind::File);
    // A failed write keeps the snapshot for another try.
    m_store.WriteProfileBytes(target, m_undo->bytes);
    // The bytes are back in the groups folder; a copy left in the trash would only be
    // restored over them later.
    if (m_undo->trashed)
        RemoveFromTrash(*m_undo->trashed, m_undo->bytes);
    remember(std::nullopt);
    Q_EMIT undone(target);
    if (taken)
        m_desktop.showMessage(
            QStringLiteral("\"%1\" has changed since, so it stays as it is; the undone "
                           "version is saved as \"%2\".")
                .arg(QFileInfo(m_store.ProfilePath(group)).fileName(),
                     QFileInfo(m_store.ProfilePath(target)).fileName()));
}

bool RosterCommands::placeTaken(const Snapshot& undo) const {
    if (!m_store.ProfileExists(undo.group))
        return false;
    if (undo.deleted)
        return true;
    const std::optional<QByteArray> now = m_store.ReadProfileBytes(undo.group, UndoLimit);
    return !now || !undo.left || *now != *undo.left;
}

QString RosterCommands::freeGroupName(const QString& group) const {
    for (int i = 1; i <= RestoreNameTries; ++i) {
        const QString suffix =
            i == 1 ? QStringLiteral(" (restored)") : QStringLiteral(" (restored %1)").arg(i);
        // Within what a mate entry keeps of a group name, so that the mates keep their node.
        const QString name = group.left(MateEntry::GroupNameMax - suffix.size()) + suffix;
        if (!m_store.ProfileExists(name))
            return name;
    }
    return {};
}

std::optional<RosterCommands::Snapshot> RosterCommands::snapshot(const QString& group) const {
    std::optional<QByteArray> bytes = m_store.ReadProfileBytes(group, UndoLimit);
    if (!bytes)
        return std::nullopt;
    Snapshot before;
    before.group = group;
    before.bytes = std::move(*bytes);
    return before;
}

void RosterCommands::remember(std::optional<Snapshot> before) {
    // What the change left, to tell at the undo whether someone else wrote the file since.
    if (before && !before->deleted)
        before->left = m_store.ReadProfileBytes(before->group, UndoLimit);
    const bool had = m_undo.has_value();
    m_undo = std::move(before);
    if (had != m_undo.has_value())
        Q_EMIT undoAvailable(m_undo.has_value());
}
