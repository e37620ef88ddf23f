#include "MateTree.h"

#include "OnlineMates.h"
#include "PelmarkError.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "RosterModel.h"
#include "ServerListView.h"
#include "SingleByteText.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSet>
#include <QTreeView>
#include <utility>

namespace {

// Drawing stays off until the outermost bracket ends, so nested operations redraw once.
class UpdateBracket {
public:
    explicit UpdateBracket(QWidget* widget) : m_widget(widget), m_was(widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdateBracket() {
        if (m_was)
            m_widget->setUpdatesEnabled(true);
    }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    QWidget* m_widget;
    bool m_was;
};

// Making a node current scrolls to it, and scrolling opens its group: in the all-mates
// view every group must stay collapsed after a build.
class NoAutoScroll {
public:
    explicit NoAutoScroll(QAbstractItemView* view) : m_view(view), m_was(view->hasAutoScroll()) {
        m_view->setAutoScroll(false);
    }
    ~NoAutoScroll() { m_view->setAutoScroll(m_was); }
    NoAutoScroll(const NoAutoScroll&) = delete;
    NoAutoScroll& operator=(const NoAutoScroll&) = delete;

private:
    QAbstractItemView* m_view;
    bool m_was;
};

QString textOf(const QModelIndex& node) {
    return node.data(Qt::DisplayRole).toString();
}

} // namespace

MateTree::MateTree(Widgets widgets, QuillonPubStats& stats, const ProfileStore& store,
                   SightingsSource& sightings, QObject* parent)
    : QObject(parent), m_w(widgets), m_stats(stats), m_store(store), m_sightings(sightings),
      m_model(new RosterModel(this)), m_proxy(new RosterViewProxy(this)) {
    m_proxy->setRosterModel(m_model);
    m_w.onOffline->setCheckable(true);
    m_proxy->setAllMates(m_w.onOffline->isChecked());
    m_w.tvMates->setModel(m_proxy);
    m_w.tvMates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_w.onOffline, &QAction::toggled, this, &MateTree::showView);
}

void MateTree::setImages(const QList<QIcon>& mateImages) {
    QList<QVariant> images;
    for (const QIcon& icon : mateImages)
        images.append(icon);
    m_model->setImages(std::move(images));
}

void MateTree::describeMatesBy(std::function<QString(const QModelIndex&)> describer) {
    m_proxy->setMateDescriber(std::move(describer));
}

void MateTree::follow(const RosterCommands& commands) {
    connect(&commands, &RosterCommands::groupCreated, this, &MateTree::AddGroupNode);
    connect(&commands, &RosterCommands::groupDeleted, this, &MateTree::removeGroupNode);
    connect(&commands, &RosterCommands::mateAdded, this,
            [this](const QString& group, const MateRecord& record) { AddMateNode(record, group); });
    connect(&commands, &RosterCommands::mateDeleted, this, &MateTree::removeMateNode);
    connect(&commands, &RosterCommands::mateChanged, this,
            [this](const QString& group, const MateRecord& oldRecord, const MateRecord& record) {
                RenameMateNode(oldRecord, record, group);
            });
}

bool MateTree::allMates() const {
    return m_proxy->allMates();
}

// The command acted on the remembered node; that node goes, and the first node is
// remembered instead, as it always has been after a delete. Nobody chose that node, so no
// rebuild carries it over.
void MateTree::removeGroupNode(const QString& group) {
    const QModelIndex node = FindGroupNode(group);
    if (!node.isValid())
        return;
    m_lastRemoved = choiceOf(node);
    m_model->removeNode(m_proxy->mapToSource(node));
    rememberFirstNode();
    forgetChoice();
}

void MateTree::removeMateNode(const QString& group, const QString& text) {
    QModelIndex node = rememberedIndex();
    if (!RosterModel::isMate(node) || textOf(node) != text || textOf(node.parent()) != group)
        node = childWithText(FindGroupNode(group), text);
    if (!node.isValid())
        return;
    // The entry is out of the list already; the choice still knows the mate's LFS name.
    const bool chosen =
        m_choice && m_choice->isMate && m_choice->group == group && m_choice->text == text;
    m_lastRemoved = chosen ? *m_choice : choiceOf(node);
    const QModelIndex groupNode = node.parent();
    // The group's last node in this view: the state of what is left is not known.
    if (m_proxy->rowCount(groupNode) == 1)
        m_model->setGroupImage(m_proxy->mapToSource(groupNode), RosterModel::GroupNotKnown);
    m_model->removeNode(m_proxy->mapToSource(node));
    rememberFirstNode();
    forgetChoice();
}

QModelIndex MateTree::rememberedIndex() const {
    if (m_remembered.isValid())
        return m_proxy->mapFromSource(m_remembered);
    return m_proxy->index(0, 0);
}

RosterNode MateTree::rememberedNode() const {
    const QModelIndex node = rememberedIndex();
    if (!node.isValid())
        throw PelmarkError(ErrorText::InvalidIndex());
    RosterNode ref;
    ref.text = textOf(node);
    ref.isMate = RosterModel::isMate(node);
    ref.group = node.data(RosterModel::GroupRole).toString();
    return ref;
}

std::optional<RosterNode> MateTree::rememberedMate() const {
    if (m_proxy->rowCount() == 0)
        return std::nullopt;
    const RosterNode node = rememberedNode();
    if (!node.isMate)
        return std::nullopt;
    return node;
}

QModelIndex MateTree::FindGroupNode(const QString& group) const {
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex node = m_proxy->index(row, 0);
        if (textOf(node) == group)
            return node;
    }
    return {};
}

QModelIndex MateTree::childWithText(const QModelIndex& group, const QString& text) const {
    if (!group.isValid())
        return {};
    for (int row = 0; row < m_proxy->rowCount(group); ++row) {
        const QModelIndex child = m_proxy->index(row, 0, group);
        if (textOf(child) == text)
            return child;
    }
    return {};
}

void MateTree::AddGroupNode(const QString& group) {
    UpdateBracket bracket(m_w.tvMates);
    holdRemembered();
    m_model->addGroup(group);
}

int MateTree::BuildMateNodes() {
    UpdateBracket bracket(m_w.tvMates);
    const int online = m_model->rebuild(m_stats, m_sightings.current());
    if (!allMates())
        expandOnlineGroups();
    markServers(m_sightings.current().hostsWithMates());
    return online;
}

// In the online-only view the groups with a mate online are open, the others closed.
void MateTree::expandOnlineGroups() {
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex group = m_proxy->index(row, 0);
        if (group.data(RosterModel::ImageIndexRole).toInt() == RosterModel::MatesOnline)
            m_w.tvMates->expand(group);
    }
}

// The rows of the hosts with mates get image 2; the counter counts every such row.
void MateTree::markServers(const QSet<QByteArray>& hosts) {
    const int marked = m_w.lvServer ? m_w.lvServer->proxy().markMateHosts(hosts) : 0;
    if (m_w.lSvrMates)
        m_w.lSvrMates->setText(QStringLiteral("Servers with mates: %1").arg(marked));
}

void MateTree::AddMateNode(const MateRecord& record, const QString& group) {
    // The commands' follower has made the sightings for the new mate already.
    UpdateBracket bracket(m_w.tvMates);
    holdRemembered();
    const QModelIndex node = m_model->addMate(group, record, m_sightings.current());
    if (!node.isValid() || !m_model->isOnline(node))
        return;
    ++onlineMateCount;
    const auto seen = m_sightings.current().find(m_model->key(node));
    if (m_w.lvServer && seen && seen->marksHost)
        m_w.lvServer->proxy().markMateHosts({seen->host});
    if (!allMates())
        m_w.tvMates->expand(m_proxy->mapFromSource(node.parent()));
}

void MateTree::RenameMateNode(const MateRecord& oldRecord, const MateRecord& newRecord,
                              const QString& group) {
    const QModelIndex node =
        childWithText(FindGroupNode(group), ToDisplay(oldRecord.trimmedDisplayName()));
    if (!node.isValid())
        return;
    UpdateBracket bracket(m_w.tvMates);
    holdRemembered();
    const bool remembered = m_remembered == m_proxy->mapToSource(node);
    const QString text = ToDisplay(newRecord.trimmedDisplayName());
    m_model->renameMate(m_proxy->mapToSource(node), text);
    // The remembered text is what Edit mate looks the mate up by.
    if (remembered) {
        rememberedDisplayName = text;
        if (m_choice && m_choice->isMate)
            m_choice->text = text;
    }
}

// The first node, held from now on wherever the tree's changes move it.
void MateTree::rememberFirstNode() {
    m_remembered = m_proxy->mapToSource(m_proxy->index(0, 0));
}

// A change is about to move nodes: the node the commands act on must stay the one it is
// now, or a following delete would act on another mate or group.
void MateTree::holdRemembered() {
    if (!m_remembered.isValid())
        rememberFirstNode();
}

MateTree::Choice MateTree::choiceOf(const QModelIndex& node) const {
    Choice choice;
    choice.isMate = RosterModel::isMate(node);
    choice.text = textOf(node);
    choice.group = node.data(RosterModel::GroupRole).toString();
    choice.lfsName = node.data(RosterModel::LfsNameRole).toByteArray();
    return choice;
}

// A mate is found by its LFS name, which no edit changes, so a new nick in the file
// still finds it; a mate without one only by its text.
QModelIndex MateTree::findChoice(const Choice& choice) const {
    const QModelIndex group = FindGroupNode(choice.group);
    if (!choice.isMate || !group.isValid())
        return group;
    if (choice.lfsName.isEmpty())
        return childWithText(group, choice.text);
    for (int row = 0; row < m_proxy->rowCount(group); ++row) {
        const QModelIndex child = m_proxy->index(row, 0, group);
        if (child.data(RosterModel::LfsNameRole).toByteArray() == choice.lfsName)
            return child;
    }
    return {};
}

void MateTree::rememberNode(const QModelIndex& node, bool select) {
    if (RosterModel::isMate(node))
        rememberedGroup = textOf(node.parent());
    rememberedDisplayName = textOf(node);
    m_remembered = m_proxy->mapToSource(node);
    if (select)
        makeCurrent(node, QItemSelectionModel::ClearAndSelect);
}

// A tree tells a screen reader which node became current by the node's row, and a node in
// a collapsed group has no row: the reader would hear of the hidden header instead. Such a
// node becomes current without the view hearing of it; nothing of it shows anyway, and the
// next move is told as every move is.
void MateTree::makeCurrent(const QModelIndex& node, QItemSelectionModel::SelectionFlags how) {
    QTreeView* tree = m_w.tvMates;
    NoAutoScroll still(tree);
    const bool hidden = node.parent().isValid() && !tree->isExpanded(node.parent());
    {
        const QSignalBlocker quiet(hidden ? tree->selectionModel() : nullptr);
        tree->selectionModel()->setCurrentIndex(node, how);
    }
    if (hidden)
        tree->viewport()->update(); // the selection it had is gone
}

void MateTree::forgetChoice() {
    m_choice.reset();
    m_choiceGone = false;
}

// A chosen node that is gone stays the choice: the commands refuse to act until the
// user chooses again, or until a later build brings the node back.
void MateTree::carryOver(bool select) {
    const QModelIndex node = m_choice ? findChoice(*m_choice) : QModelIndex();
    m_choiceGone = m_choice && !node.isValid();
    if (!node.isValid()) {
        rememberFirstNode();
        rememberedDisplayName.clear();
        rememberedGroup.clear();
        return;
    }
    rememberNode(node, select);
}

void MateTree::chooseRestored(const QString& group) {
    const std::optional<Choice> removed = std::exchange(m_lastRemoved, std::nullopt);
    if (m_choice && !m_choiceGone)
        return;
    QModelIndex node = removed && removed->group == group ? findChoice(*removed) : QModelIndex();
    if (!node.isValid())
        node = FindGroupNode(group);
    if (!node.isValid())
        return;
    m_choice = choiceOf(node);
    m_choiceGone = false;
    rememberNode(node);
}

MateTree::ViewState MateTree::viewState() const {
    QTreeView* tree = m_w.tvMates;
    ViewState state;
    const QModelIndexList nodes = NodesInTreeOrder(*m_proxy);
    for (const QModelIndex& node : nodes)
        state.shape.append({RosterModel::isMate(node), textOf(node),
                            node.data(RosterModel::ImageIndexRole).toInt()});
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        state.expanded.append(tree->isExpanded(m_proxy->index(row, 0)));
    const QModelIndex current = tree->currentIndex();
    state.current = current.isValid() ? int(nodes.indexOf(current)) : -1;
    state.selected = current.isValid() && tree->selectionModel()->isSelected(current);
    state.scroll = tree->verticalScrollBar()->value();
    return state;
}

// The same nodes again: nothing may move under the user's mouse, so what he opened,
// closed, selected and scrolled to comes back. Any change gives the plain build.
void MateTree::keepViewState(const ViewState& before) {
    QTreeView* tree = m_w.tvMates;
    if (viewState().shape != before.shape)
        return;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        tree->setExpanded(m_proxy->index(row, 0), before.expanded.at(row));
    if (before.current >= 0) {
        makeCurrent(NodesInTreeOrder(*m_proxy).at(before.current),
                    before.selected ? QItemSelectionModel::ClearAndSelect
                                    : QItemSelectionModel::Clear);
    } else {
        NoAutoScroll still(tree);
        tree->setCurrentIndex({});
    }
    tree->doItemsLayout();
    tree->verticalScrollBar()->setValue(before.scroll);
}

void MateTree::RebuildRoster() {
    // One profile that cannot be read must not hide the others: the tree is built from
    // what was loaded, and the error is told afterwards.
    std::optional<PelmarkError> failure;
    const quint64 held = m_stats.revision();
    try {
        m_store.LoadRoster(m_stats);
    } catch (const PelmarkError& e) {
        failure = e;
    }
    // A roster that changed has had its sightings made anew, with this host list.
    if (m_stats.revision() == held)
        m_sightings.remake();
    if (!allMates() && m_model->wouldKeep(m_stats, m_sightings.current())) {
        keepBuild();
    } else {
        UpdateBracket bracket(m_w.tvMates);
        // The all-mates view starts collapsed at every build, whatever was open before.
        const std::optional<ViewState> before =
            allMates() ? std::nullopt : std::optional<ViewState>(viewState());
        onlineMateCount = BuildMateNodes();
        mateTotal = int(m_stats.mates().size());
        updateMateInfo();
        carryOver();
        // Laid out before the repaint, which a layout left for later would repeat.
        m_w.tvMates->doItemsLayout();
        if (before)
            keepViewState(*before);
    }
    if (failure)
        throw *failure;
}

// Most refreshes find the mates where they were. In the online-only view a build that
// gives the nodes the tree shows keeps its expansion, selection and scrolling, so the
// tree is left as it is (nothing laid out or painted again) and only what a build does
// besides its nodes is done. The all-mates view is built each time: a build collapses its
// groups and tells a screen reader the current node again.
void MateTree::keepBuild() {
    markServers(m_sightings.current().hostsWithMates());
    updateMateInfo();
    carryOver(false);
}

void MateTree::updateMateInfo() {
    if (m_w.lMateInfo)
        m_w.lMateInfo->setText(OnlineMatesText(onlineMateCount, mateTotal));
    Q_EMIT mateCountsChanged(onlineMateCount, mateTotal);
}

void MateTree::bOnOfflineClick() {
    m_w.onOffline->trigger();
}

// The switch neither reads the files nor asks who races where again: it builds from the
// lists as they are.
void MateTree::showView(bool allMates) {
    QAction* action = m_w.onOffline;
    action->setEnabled(false);
    // Enabled again however the build ends.
    struct Reenable {
        QAction* a;
        ~Reenable() { a->setEnabled(true); }
    } reenable{action};

    UpdateBracket bracket(m_w.tvMates);
    m_proxy->setAllMates(allMates);
    onlineMateCount = BuildMateNodes();
    mateTotal = int(m_stats.mates().size());
    carryOver();
    updateMateInfo();
}

void MateTree::tvMatesMouseUp() {
    const QModelIndexList selected = m_w.tvMates->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const QModelIndex node = selected.first();
    m_remembered = m_proxy->mapToSource(node);
    if (RosterModel::isMate(node))
        rememberedGroup = textOf(node.parent());
    rememberedDisplayName = textOf(node);
    m_choice = choiceOf(node);
    m_choiceGone = false;
}

void MateTree::tvMatesKeyUp(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        tvMatesMouseUp();
        break;
    default:
        break;
    }
}

// The host of the remembered mate's row in the server list; a group or a mate off line
// selects nothing.
void MateTree::tvMatesDblClick() {
    const QModelIndex node = rememberedIndex();
    if (!node.isValid())
        throw PelmarkError(ErrorText::InvalidIndex());
    if (!RosterModel::isMate(node) || !m_w.lvServer)
        return;
    const auto seen = m_sightings.current().find(m_model->key(m_proxy->mapToSource(node)));
    if (seen && !seen->host.isEmpty())
        m_w.lvServer->selectCaption(ToDisplay(seen->host));
}

void MateTree::enableNodeMenu() {
    m_w.tvMates->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_w.tvMates, &QWidget::customContextMenuRequested, this, &MateTree::tvMatesContextMenu);
    m_w.tvMates->installEventFilter(this);
    m_w.tvMates->viewport()->installEventFilter(this);
}

// The Menu key's event stands at the current node in the tree's own coordinates, not the
// viewport's, and at the top when there is none: the right click's way would then open
// another node's menu.
bool MateTree::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        openSelectedNodeMenu();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void MateTree::openSelectedNodeMenu() {
    const QModelIndexList selected = m_w.tvMates->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const QModelIndex node = selected.first();
    m_w.tvMates->scrollTo(node);
    requestNodeMenu(node, m_w.tvMates->visualRect(node).center());
}

void MateTree::tvMatesContextMenu(const QPoint& pos) {
    const QModelIndex node = m_w.tvMates->indexAt(pos);
    if (!node.isValid()) {
        // Below the nodes only what needs none is offered; the remembered node stays.
        Q_EMIT nodeMenuRequested({}, {}, m_w.tvMates->viewport()->mapToGlobal(pos));
        return;
    }
    requestNodeMenu(node, pos);
}

// The menu's commands act on the remembered node, so the node becomes the chosen one.
void MateTree::requestNodeMenu(const QModelIndex& node, const QPoint& viewportPos) {
    m_w.tvMates->setCurrentIndex(node);
    tvMatesMouseUp();
    const bool isMate = RosterModel::isMate(node);
    Q_EMIT nodeMenuRequested(node.data(RosterModel::GroupRole).toString(),
                             isMate ? textOf(node) : QString(),
                             m_w.tvMates->viewport()->mapToGlobal(viewportPos));
}
