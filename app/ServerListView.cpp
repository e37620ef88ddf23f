#include "ServerListView.h"

#include "Pictures.h"
#include "PlainText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

// A favourite host's name in bold; its status picture stays as it is. A host a slot
// watch waits on has a small hourglass on its status picture: every column keeps its width.
class FavouriteDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != 0 || !index.data(ServerListModel::WatchedRole).toBool())
            return;
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget* view = item.widget;
        const QStyle* style = view ? view->style() : QApplication::style();
        const QRect picture = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, view);
        if (m_hourglass.isNull())
            m_hourglass = Pictures::GlyphIcon(Pictures::Glyph::SlotWatch);
        const int size = std::max(8, picture.height() * 3 / 4);
        m_hourglass.paint(
            painter, QRect(picture.right() - size + 5, picture.bottom() - size + 3, size, size));
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == 0 && index.data(ServerListModel::FavouriteRole).toBool())
            option->font.setBold(true);
    }

private:
    mutable QIcon m_hourglass; // drawn when first shown
};

} // namespace

ServerListView::ServerListView(QWidget* parent)
    : FocusTreeView(parent), m_model(new ServerListModel(this)),
      m_proxy(new ServerSortProxy(this)) {
    m_proxy->setServerModel(m_model);
    setModel(m_proxy);
    setItemDelegate(new FavouriteDelegate(this));
    // The order comes from the header clicks the window handles, not from the view.
    setSortingEnabled(false);
}

void ServerListView::contextMenuEvent(QContextMenuEvent* event) {
    // The Menu key asks for the current row's menu, beside the row; a click for the menu
    // of the row under the pointer, which it selects first.
    const bool byKey = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = byKey ? currentIndex() : indexAt(event->pos());
    if (!index.isValid()) {
        Q_EMIT listMenuRequested(viewport()->mapToGlobal(byKey ? QPoint() : event->pos()));
        return;
    }
    selectRow(index.row());
    const QPoint at = byKey ? visualRect(index).bottomLeft() : event->pos();
    Q_EMIT rowMenuRequested(index.row(), viewport()->mapToGlobal(at));
}

bool ServerListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return FocusTreeView::viewportEvent(event);
    // A host name may look like markup: escaped inside a paragraph, it shows as written.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    if (!index.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const QString text = m_model->toolTip(m_proxy->sourceRow(index.row()));
    QToolTip::showText(help->globalPos(), PlainToolTip(text), viewport(), visualRect(index));
    return true;
}

void ServerListView::setImages(const QList<QIcon>& images) {
    QList<QVariant> decorations;
    decorations.reserve(images.size());
    for (const QIcon& icon : images)
        decorations.append(icon);
    m_model->setImages(std::move(decorations));
}

QString ServerListView::rowText(int row, int column) const {
    return m_model->text(modelRow(row), column);
}

int ServerListView::rowImage(int row) const {
    return m_model->image(modelRow(row));
}

QRect ServerListView::rowRect(int row) const {
    return visualRect(m_proxy->index(row, 0));
}

int ServerListView::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

std::optional<QString> ServerListView::selectedCaption() const {
    const int row = selectedRow();
    if (row < 0)
        return std::nullopt;
    return rowText(row, 0);
}

void ServerListView::selectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex index = m_proxy->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

bool ServerListView::selectCaption(const QString& caption) {
    for (int row = 0; row < rowCount(); ++row) {
        if (rowText(row, 0).compare(caption, Qt::CaseInsensitive) == 0) {
            selectRow(row);
            return true;
        }
    }
    return false;
}

void ServerListView::sortRows(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ServerListModel::ColumnCount)
        column = 0; // a hand-edited settings file may hold any column
    m_proxy->sort(column, order);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, order);
}
