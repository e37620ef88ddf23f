#include "MateCommands.h"

#include "Desktop.h"
#include "ErrorHandler.h"
#include "Launcher.h"
#include "MateTree.h"
#include "QuillonPubStats.h"
#include "RosterCommands.h"
#include "RosterModel.h"
#include "SightingsSource.h"
#include "uAddEditMate.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

MateCommands::MateCommands(Parts parts, QObject* parent) : QObject(parent), m_parts(parts) {
    connect(m_parts.roster, &RosterCommands::undone, this, [this](const QString& group) {
        guarded([&] { m_parts.tree->RebuildRoster(); });
        m_parts.tree->chooseRestored(group); // the Menu key then opens the restored node's menu
    });
    // Double clicks are taken from the viewport: only the left button acts, and also
    // where no node is (below the last one).
    QTreeView* tree = m_parts.tree->treeView();
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
}

MateCommands::~MateCommands() {
    delete m_addEditMate.data(); // it holds on to the lists: it goes first
}

template <typename Body> void MateCommands::guarded(Body&& body) {
    Guarded(*m_parts.desktop, std::forward<Body>(body));
}

bool MateCommands::chosenNodeGone() {
    if (!m_parts.tree->chosenGone())
        return false;
    m_parts.desktop->beep();
    return true;
}

void MateCommands::bAddGroupClick() {
    guarded([&] { m_parts.roster->CreateGroup(); });
}

void MateCommands::bDelGroupClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_parts.roster->DeleteGroup(m_parts.tree->rememberedNode());
    });
}

void MateCommands::bDelMateClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_parts.roster->DeleteMate(m_parts.tree->rememberedNode());
    });
}

void MateCommands::bAddMateClick() {
    guarded([&] {
        if (chosenNodeGone())
            return;
        const QString group = RosterCommands::AddMateGroup(m_parts.tree->rememberedNode());
        TfAddEditMate* dialog = addEditMateDialog();
        dialog->PrepareAdd(group);
        dialog->RunModal();
    });
}

void MateCommands::bEditMateClick() {
    guarded([&] {
        if (chosenNodeGone() || !m_parts.tree->rememberedMate())
            return;
        const auto preset = m_parts.roster->EditMatePreset(m_parts.tree->rememberedDisplayName,
                                                           m_parts.tree->rememberedGroup);
        if (!preset)
            return;
        TfAddEditMate* dialog = addEditMateDialog();
        dialog->PrepareEdit(*preset);
        dialog->RunModal();
    });
}

void MateCommands::tvMatesDblClick() {
    guarded([&] {
        if (!chosenNodeGone())
            m_parts.tree->tvMatesDblClick();
    });
}

// The host of the entry behind the chosen mate node: by its group and LFS name, since
// two mates may bear the same nick.
QByteArray MateCommands::chosenMateHost() const {
    const MateTree& tree = *m_parts.tree;
    if (!tree.rememberedMate())
        return {};
    const QModelIndex node = tree.rememberedIndex();
    const MateKey key{node.data(RosterModel::GroupRole).toString(),
                      node.data(RosterModel::LfsNameRole).toByteArray()};
    const std::optional<MateSighting> seen = m_parts.sightings->current().find(key);
    return seen ? seen->host : QByteArray();
}

void MateCommands::joinMate(bool alwaysAskPassword) {
    guarded([&] {
        if (!chosenNodeGone())
            m_parts.launcher->JoinMate(chosenMateHost(), alwaysAskPassword);
    });
}

void MateCommands::joinMateHost(const QByteArray& host) {
    guarded([&] { m_parts.launcher->JoinMate(host, false); });
}

void MateCommands::undo() {
    guarded([&] { m_parts.roster->Undo(); });
}

// It fills itself from the current lists whenever it is shown, so one made at its first
// opening shows what one made at start would.
TfAddEditMate* MateCommands::addEditMateDialog() {
    if (!m_addEditMate) {
        m_addEditMate =
            new TfAddEditMate(*m_parts.stats, *m_parts.roster, *m_parts.desktop, m_parts.window);
        connect(m_parts.roster, &RosterCommands::groupCreated, m_addEditMate,
                &TfAddEditMate::groupCreated);
        connect(m_parts.roster, &RosterCommands::groupDeleted, m_addEditMate,
                &TfAddEditMate::groupDeleted);
    }
    return m_addEditMate;
}

bool MateCommands::eventFilter(QObject* watched, QEvent* event) {
    QTreeView* tree = m_parts.tree->treeView();
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == tree->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        mouse->button() == Qt::LeftButton)
        tvMatesDblClick();
    else if (watched == tree->viewport() && event->type() == QEvent::MouseButtonRelease)
        guarded([&] { m_parts.tree->tvMatesMouseUp(); });
    else if (watched == tree && event->type() == QEvent::KeyRelease)
        guarded([&] { m_parts.tree->tvMatesKeyUp(static_cast<QKeyEvent*>(event)->key()); });
    return QObject::eventFilter(watched, event);
}
