#include "MateTree.h"

#include "ItemImages.h"
#include "PelmarkError.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "ServerListView.h"
#include "SightingsSource.h"
#include "SingleByteText.h"

#include <QAbstractButton>
#include <QCollator>
#include <QContextMenuEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <optional>
#include <utility>

namespace {

// Siblings sort by the locale's collation, case-sensitively, as the tree always has.
class MateNode : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        return collator().compare(text(0), other.text(0)) < 0;
    }

private:
    static const QCollator& collator() {
        static const QCollator c = [] {
            // The C locale would sort by character code, every capital before every
            // small letter; users expect a dictionary order.
            const QLocale system;
            QCollator made(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
            made.setCaseSensitivity(Qt::CaseSensitive);
            return made;
        }();
        return c;
    }
};

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

int subtreeSize(const QTreeWidgetItem* item) {
    int size = 1;
    for (int i = 0; i < item->childCount(); ++i)
        size += subtreeSize(item->child(i));
    return size;
}

const QTreeWidgetItem* nodeWithin(const QTreeWidgetItem* item, int& row) {
    if (row == 0)
        return item;
    --row;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const int size = subtreeSize(child);
        if (row < size)
            return nodeWithin(child, row);
        row -= size;
    }
    return nullptr;
}

// Rows before `item` among the nodes under `parent` (or the roots), in tree order.
int rowsBefore(const QTreeWidget* tree, const QTreeWidgetItem* parent,
               const QTreeWidgetItem* item) {
    int row = 0;
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem* sibling = parent ? parent->child(i) : tree->topLevelItem(i);
        if (sibling == item)
            return row;
        row += subtreeSize(sibling);
    }
    return -1;
}

QTreeWidgetItem* childWithText(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

MateTree::MateTree(Widgets widgets, QuillonPubStats& stats, const ProfileStore& store,
                   SightingsSource& sightings, QObject* parent)
    : QObject(parent), m_w(widgets), m_stats(stats), m_store(store), m_sightings(sightings) {
    m_w.tvMates->setSortingEnabled(false);
    m_w.tvMates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (m_w.bOnOffline && !m_w.bOnOffline->property("Tag").isValid())
        m_w.bOnOffline->setProperty("Tag", 1);
}

void MateTree::setImages(QList<QIcon> mateImages) {
    m_mateImages = std::move(mateImages);
}

void MateTree::follow(const RosterCommands& commands) {
    connect(&commands, &RosterCommands::groupCreated, this, &MateTree::AddGroupNode);
    connect(&commands, &RosterCommands::groupDeleted, this, &MateTree::removeGroupNode);
    connect(&commands, &RosterCommands::mateAdded, this,
            [this](const QString& group, const MateRecord& record) {
                AddMateNode(record, group, allMates());
            });
    connect(&commands, &RosterCommands::mateDeleted, this, &MateTree::removeMateNode);
    connect(&commands, &RosterCommands::mateChanged, this,
            [this](const QString& group, const MateRecord& oldRecord, const MateRecord& record) {
                RenameMateNode(oldRecord, record, group);
            });
}

// The command acted on the remembered node; that node goes, and the position falls back
// to the first node as it always has after a delete. Nobody chose that node, so no
// rebuild carries it over.
void MateTree::removeGroupNode(const QString& group) {
    const int row = FindGroupNode(group);
    if (row < 0)
        return;
    QTreeWidgetItem* node = NodeAt(row);
    m_lastRemoved = choiceOf(node);
    delete node;
    if (NodeCount() > 0)
        rememberedPosition = 0;
    forgetChoice();
}

void MateTree::removeMateNode(const QString& group, const QString& text) {
    QTreeWidgetItem* node = rememberedItem();
    if (!node || !node->parent() || node->text(0) != text || node->parent()->text(0) != group) {
        const int row = FindGroupNode(group);
        node = row < 0 ? nullptr : childWithText(NodeAt(row), text);
    }
    if (!node)
        return;
    // The entry is out of the list already; the choice still knows the mate's LFS name.
    const bool chosen =
        m_choice && m_choice->isMate && m_choice->group == group && m_choice->text == text;
    m_lastRemoved = chosen ? *m_choice : choiceOf(node);
    QTreeWidgetItem* groupNode = node->parent();
    if (groupNode->childCount() == 1)
        SetItemImage(groupNode, 0, m_mateImages);
    delete node;
    if (NodeCount() > 0)
        rememberedPosition = 0;
    forgetChoice();
}

RosterNode MateTree::rememberedNode() const {
    const QTreeWidgetItem* node = NodeAt(rememberedPosition);
    RosterNode ref;
    ref.text = node->text(0);
    ref.isMate = node->parent() != nullptr;
    ref.group = ref.isMate ? node->parent()->text(0) : ref.text;
    return ref;
}

std::optional<RosterNode> MateTree::rememberedMate() const {
    if (NodeCount() == 0)
        return std::nullopt;
    const RosterNode node = rememberedNode();
    if (!node.isMate)
        return std::nullopt;
    return node;
}

std::optional<QString> MateTree::shownMateText(QByteArrayView lfsName) const {
    const QList<MateEntry>& mates = m_stats.mates;
    for (int row = 0; row < NodeCount(); ++row) {
        const QTreeWidgetItem* node = NodeAt(row);
        const int entry = NodeEntry(node);
        if (entry >= 0 && TrimBytes(mates.at(entry).record.lfsName()) == lfsName)
            return node->text(0);
    }
    return std::nullopt;
}

bool MateTree::allMates() const {
    return !m_w.bOnOffline || m_w.bOnOffline->property("Tag").toInt() != 1;
}

int MateTree::NodeCount() const {
    int count = 0;
    for (int i = 0; i < m_w.tvMates->topLevelItemCount(); ++i)
        count += subtreeSize(m_w.tvMates->topLevelItem(i));
    return count;
}

QTreeWidgetItem* MateTree::NodeAt(int absoluteRow) const {
    if (absoluteRow >= 0) {
        int row = absoluteRow;
        for (int i = 0; i < m_w.tvMates->topLevelItemCount(); ++i) {
            QTreeWidgetItem* root = m_w.tvMates->topLevelItem(i);
            const int size = subtreeSize(root);
            if (row < size)
                return const_cast<QTreeWidgetItem*>(nodeWithin(root, row));
            row -= size;
        }
    }
    throw PelmarkError(ErrorText::InvalidIndex());
}

int MateTree::AbsoluteRow(const QTreeWidgetItem* item) const {
    if (!item || item->treeWidget() != m_w.tvMates)
        return -1;
    int row = 0;
    for (const QTreeWidgetItem* node = item; node; node = node->parent()) {
        row += rowsBefore(m_w.tvMates, node->parent(), node);
        if (node->parent())
            ++row; // the parent itself comes before its children
    }
    return row;
}

int MateTree::FindGroupNode(const QString& group) const {
    int row = 0;
    for (int i = 0; i < m_w.tvMates->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* root = m_w.tvMates->topLevelItem(i);
        if (root->text(0) == group)
            return row;
        row += subtreeSize(root);
    }
    return -1;
}

void MateTree::fillGroupNodes() {
    m_w.tvMates->clear();
    for (const QString& group : std::as_const(m_stats.groups)) {
        auto* node = new MateNode(m_w.tvMates, QStringList{group});
        SetItemImage(node, 0, m_mateImages);
    }
}

void MateTree::sortTree() {
    m_w.tvMates->sortItems(0, Qt::AscendingOrder);
}

void MateTree::AddGroupNode(const QString& group) {
    UpdateBracket bracket(m_w.tvMates);
    QTreeWidgetItem* remembered = rememberedItem();
    auto* node = new MateNode(m_w.tvMates, QStringList{group});
    SetItemImage(node, 0, m_mateImages);
    sortTree();
    followNode(remembered);
}

QSet<QString> MateTree::cutGroupNames() const {
    QSet<QString> cut;
    for (const QString& group : std::as_const(m_stats.groups)) {
        if (group.size() > MateEntry::GroupNameMax)
            cut.insert(group.left(MateEntry::GroupNameMax));
    }
    return cut;
}

QTreeWidgetItem* MateTree::groupNodeForEntry(const QString& entryGroup,
                                             const QSet<QString>& cutNames) const {
    // An entry of a group whose name was cut to 50 characters cannot tell its group
    // apart from one that is named by the cut text, so it gets no node at all rather
    // than one under a foreign group. Such groups show as nodes without mates.
    if (entryGroup.size() > MateEntry::GroupNameMax || cutNames.contains(entryGroup))
        return nullptr;
    const int row = FindGroupNode(entryGroup);
    return row < 0 ? nullptr : NodeAt(row);
}

int MateTree::BuildMateNodes(bool allMates) {
    UpdateBracket bracket(m_w.tvMates);
    const QSet<QString> cutNames = cutGroupNames();
    const Sightings& sightings = m_sightings.current();
    int online = 0;
    QTreeWidgetItem* groupNode = nullptr;
    for (qsizetype i = 0; i < m_stats.mates.size(); ++i) {
        const MateEntry& entry = m_stats.mates.at(i);
        // Entries of one group stand together, so the node is looked up per run.
        if (i == 0 || entry.group != m_stats.mates.at(i - 1).group)
            groupNode = groupNodeForEntry(entry.group, cutNames);
        if (groupNode &&
            addMateEntryNode(sightings.find(MateKey::of(entry)), entry.record, groupNode, allMates))
            ++online;
    }
    sortTree();
    markServers(sightings.hostsWithMates());
    return online;
}

bool MateTree::addMateEntryNode(const std::optional<MateSighting>& seen, const MateRecord& record,
                                QTreeWidgetItem* groupNode, bool allMates) {
    // Set once per group, not once per mate: every change repaints the node.
    const int groupImage = ItemImage(groupNode);
    if (groupImage != 2 && groupImage != 1)
        SetItemImage(groupNode, 1, m_mateImages);
    const bool online = seen && seen->online;
    if (allMates || online) {
        auto* node = new MateNode(groupNode, QStringList{ToDisplay(record.displayName())});
        SetItemImage(node, online ? 4 : 3, m_mateImages);
    }
    if (online) {
        SetItemImage(groupNode, 2, m_mateImages);
        if (!allMates)
            groupNode->setExpanded(true);
    }
    return online;
}

// The rows of the hosts with mates get image 2; the counter counts every such row.
void MateTree::markServers(const QSet<QByteArray>& hosts) {
    const int marked = m_w.lvServer ? m_w.lvServer->proxy().markMateHosts(hosts) : 0;
    if (m_w.lSvrMates)
        m_w.lSvrMates->setText(QStringLiteral("Servers with mates: %1").arg(marked));
}

void MateTree::AddMateNode(const MateRecord& record, const QString& group, bool allMates) {
    const QSet<QString> cutNames = cutGroupNames();
    if (group.size() > MateEntry::GroupNameMax)
        return; // its entry carries a cut name; the build would not place it either
    QTreeWidgetItem* groupNode = groupNodeForEntry(group, cutNames);
    if (!groupNode)
        return;
    UpdateBracket bracket(m_w.tvMates);
    QTreeWidgetItem* remembered = rememberedItem();
    // The commands' follower has made the sightings for the new mate already.
    const std::optional<MateSighting> seen =
        m_sightings.current().find(MateKey::of(MateEntry::make(group, record)));
    if (addMateEntryNode(seen, record, groupNode, allMates))
        ++onlineMateCount;
    if (m_w.lvServer && seen && seen->marksHost)
        m_w.lvServer->proxy().markMateHosts({seen->host});
    sortTree();
    followNode(remembered);
}

void MateTree::RenameMateNode(const MateRecord& oldRecord, const MateRecord& newRecord,
                              const QString& group) {
    const int row = FindGroupNode(group);
    if (row < 0)
        return;
    QTreeWidgetItem* node = childWithText(NodeAt(row), ToDisplay(oldRecord.trimmedDisplayName()));
    if (!node)
        return;
    UpdateBracket bracket(m_w.tvMates);
    QTreeWidgetItem* remembered = rememberedItem();
    node->setText(0, ToDisplay(newRecord.trimmedDisplayName()));
    sortTree();
    followNode(remembered);
    // The remembered text is what Edit mate looks the mate up by.
    if (remembered == node) {
        rememberedDisplayName = node->text(0);
        if (m_choice && m_choice->isMate)
            m_choice->text = node->text(0);
    }
}

QTreeWidgetItem* MateTree::rememberedItem() const {
    return rememberedPosition >= 0 && rememberedPosition < NodeCount() ? NodeAt(rememberedPosition)
                                                                       : nullptr;
}

void MateTree::followNode(const QTreeWidgetItem* remembered) {
    // Sorting moves nodes; the remembered position must keep naming the node the
    // user chose, or a following delete would act on another mate or group.
    if (remembered)
        rememberedPosition = AbsoluteRow(remembered);
}

MateTree::Choice MateTree::choiceOf(const QTreeWidgetItem* node) const {
    Choice choice;
    choice.isMate = node->parent() != nullptr;
    choice.text = node->text(0);
    choice.group = choice.isMate ? node->parent()->text(0) : choice.text;
    const int entry = NodeEntry(node);
    if (entry >= 0)
        choice.lfsName = TrimBytes(m_stats.mates.at(entry).record.lfsName());
    return choice;
}

// A mate is found by its LFS name, which no edit changes, so a new nick in the file
// still finds it; a node without an entry only by its text.
QTreeWidgetItem* MateTree::findChoice(const Choice& choice) const {
    const int row = FindGroupNode(choice.group);
    if (row < 0)
        return nullptr;
    QTreeWidgetItem* groupNode = NodeAt(row);
    if (!choice.isMate)
        return groupNode;
    if (choice.lfsName.isEmpty())
        return childWithText(groupNode, choice.text);
    const int entry = m_stats.FindMateByLfsName(choice.group, choice.lfsName);
    return entry < 0
               ? nullptr
               : childWithText(groupNode, ToDisplay(m_stats.mates.at(entry).record.displayName()));
}

void MateTree::rememberNode(QTreeWidgetItem* node) {
    if (node->parent())
        rememberedGroup = node->parent()->text(0);
    rememberedDisplayName = node->text(0);
    rememberedPosition = AbsoluteRow(node);
    // Making a node current scrolls to it, and scrolling opens its group: in the all-mates
    // view every group must stay collapsed after a build.
    QTreeWidget* tree = m_w.tvMates;
    const bool autoScroll = tree->hasAutoScroll();
    tree->setAutoScroll(false);
    tree->setCurrentItem(node);
    tree->setAutoScroll(autoScroll);
}

void MateTree::forgetChoice() {
    m_choice.reset();
    m_choiceGone = false;
}

// A chosen node that is gone stays the choice: the commands refuse to act until the
// user chooses again, or until a later build brings the node back.
void MateTree::carryOver() {
    QTreeWidgetItem* node = m_choice ? findChoice(*m_choice) : nullptr;
    m_choiceGone = m_choice && !node;
    if (!node) {
        rememberedPosition = 0;
        rememberedDisplayName.clear();
        rememberedGroup.clear();
        return;
    }
    rememberNode(node);
}

void MateTree::chooseRestored(const QString& group) {
    const std::optional<Choice> removed = std::exchange(m_lastRemoved, std::nullopt);
    if (m_choice && !m_choiceGone)
        return;
    QTreeWidgetItem* node = removed && removed->group == group ? findChoice(*removed) : nullptr;
    if (!node) {
        const int row = FindGroupNode(group);
        node = row < 0 ? nullptr : NodeAt(row);
    }
    if (!node)
        return;
    m_choice = choiceOf(node);
    m_choiceGone = false;
    rememberNode(node);
}

MateTree::ViewState MateTree::viewState() const {
    QTreeWidget* tree = m_w.tvMates;
    ViewState state;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QTreeWidgetItem* node = *it;
        state.shape.append({node->parent() != nullptr, node->text(0), ItemImage(node)});
    }
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        state.expanded.append(tree->topLevelItem(i)->isExpanded());
    state.current = AbsoluteRow(tree->currentItem());
    state.selected = tree->currentItem() && tree->currentItem()->isSelected();
    state.scroll = tree->verticalScrollBar()->value();
    return state;
}

// The same nodes again: nothing may move under the user's mouse, so what he opened,
// closed, selected and scrolled to comes back. Any change gives the plain build.
void MateTree::keepViewState(const ViewState& before) {
    QTreeWidget* tree = m_w.tvMates;
    if (viewState().shape != before.shape)
        return;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        tree->topLevelItem(i)->setExpanded(before.expanded.at(i));
    const bool autoScroll = tree->hasAutoScroll();
    tree->setAutoScroll(false);
    if (before.current >= 0)
        tree->setCurrentItem(NodeAt(before.current), 0,
                             before.selected ? QItemSelectionModel::ClearAndSelect
                                             : QItemSelectionModel::Clear);
    else
        tree->setCurrentItem(nullptr);
    tree->setAutoScroll(autoScroll);
    tree->doItemsLayout();
    tree->verticalScrollBar()->setValue(before.scroll);
}

void MateTree::RebuildRoster() {
    UpdateBracket bracket(m_w.tvMates);
    // The all-mates view starts collapsed at every build, whatever was open before.
    const std::optional<ViewState> before =
        allMates() ? std::nullopt : std::optional<ViewState>(viewState());
    m_w.tvMates->clear();
    // One profile that cannot be read must not hide the others: the tree is built from
    // what was loaded, and the error is told afterwards.
    std::optional<PelmarkError> failure;
    try {
        m_store.LoadRoster(m_stats);
    } catch (const PelmarkError& e) {
        failure = e;
    }
    m_sightings.remake();
    fillGroupNodes();
    onlineMateCount = BuildMateNodes(allMates());
    mateTotal = int(m_stats.mates.size());
    updateMateInfo();
    carryOver();
    // Laid out before the repaint, which a layout left for later would repeat.
    m_w.tvMates->doItemsLayout();
    if (before)
        keepViewState(*before);
    if (failure)
        throw *failure;
}

void MateTree::updateMateInfo() {
    if (m_w.lMateInfo)
        m_w.lMateInfo->setText(
            QStringLiteral("Online mates: %1/%2").arg(onlineMateCount).arg(mateTotal));
}

void MateTree::bOnOfflineClick() {
    QAbstractButton* button = m_w.bOnOffline;
    if (!button)
        return;
    button->setEnabled(false);
    // Enabled again however the rebuild ends.
    struct Reenable {
        QAbstractButton* b;
        ~Reenable() { b->setEnabled(true); }
    } reenable{button};

    onlineMateCount = 0;
    mateTotal = 0;
    const int tag = button->property("Tag").toInt();
    if (tag == 0 || tag == 1) {
        const bool toAllMates = tag == 1;
        button->setProperty("Tag", toAllMates ? 0 : 1);
        UpdateBracket bracket(m_w.tvMates);
        fillGroupNodes();
        onlineMateCount = BuildMateNodes(toAllMates);
        mateTotal = int(m_stats.mates.size());
        carryOver();
    }
    updateMateInfo();
}

void MateTree::tvMatesMouseUp() {
    const QList<QTreeWidgetItem*> selected = m_w.tvMates->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* node = selected.first();
    rememberedPosition = AbsoluteRow(node);
    if (node->parent())
        rememberedGroup = node->parent()->text(0);
    rememberedDisplayName = node->text(0);
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

void MateTree::tvMatesDblClick() {
    const int entry = NodeEntry(NodeAt(rememberedPosition));
    if (entry < 0 || !m_w.lvServer)
        return;
    const std::optional<MateSighting> seen =
        m_sightings.current().find(MateKey::of(m_stats.mates.at(entry)));
    if (seen && !seen->host.isEmpty())
        m_w.lvServer->selectCaption(ToDisplay(seen->host));
}

int MateTree::NodeEntry(const QTreeWidgetItem* node) const {
    if (!node || !node->parent())
        return -1;
    const QString group = node->parent()->text(0);
    const QByteArray text = FromDisplay(node->text(0));
    const int entry = m_stats.FindMate(text, group);
    if (entry >= 0)
        return entry;
    // A node renamed by the dialog bears the trimmed display name until the next build.
    for (qsizetype i = 0; i < m_stats.mates.size(); ++i) {
        const MateEntry& e = m_stats.mates.at(i);
        if (e.group == group && e.record.trimmedDisplayName() == text)
            return int(i);
    }
    return -1;
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
    const QList<QTreeWidgetItem*> selected = m_w.tvMates->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* node = selected.first();
    m_w.tvMates->scrollToItem(node);
    requestNodeMenu(node, m_w.tvMates->visualItemRect(node).center());
}

void MateTree::tvMatesContextMenu(const QPoint& pos) {
    QTreeWidgetItem* node = m_w.tvMates->itemAt(pos);
    if (!node) {
        // Below the nodes only what needs none is offered; the remembered node stays.
        Q_EMIT nodeMenuRequested({}, {}, m_w.tvMates->viewport()->mapToGlobal(pos));
        return;
    }
    requestNodeMenu(node, pos);
}

// The menu's commands act on the remembered node, so the node becomes the chosen one.
void MateTree::requestNodeMenu(QTreeWidgetItem* node, const QPoint& viewportPos) {
    m_w.tvMates->setCurrentItem(node);
    tvMatesMouseUp();
    const bool isMate = node->parent() != nullptr;
    Q_EMIT nodeMenuRequested(isMate ? node->parent()->text(0) : node->text(0),
                             isMate ? node->text(0) : QString(),
                             m_w.tvMates->viewport()->mapToGlobal(viewportPos));
}
