#include "ServerListView.h"

#include <QHeaderView>

ServerListView::ServerListView(QWidget* parent)
    : QTreeView(parent), m_model(new ServerListModel(this)), m_proxy(new ServerSortProxy(this)) {
    m_proxy->setServerModel(m_model);
    setModel(m_proxy);
    // The order comes from the header clicks the window handles, not from the view.
    setSortingEnabled(false);
}

void ServerListView::setImages(const QList<QIcon>& images) {
    QList<QVariant> decorations;
    decorations.reserve(images.size());
    for (const QIcon& icon : images)
        decorations.append(icon);
    m_model->setImages(std::move(decorations));
}

QString ServerListView::rowText(int row, int column) const {
    return m_model->text(m_proxy->sourceRow(row), column);
}

int ServerListView::rowImage(int row) const {
    return m_model->image(m_proxy->sourceRow(row));
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
    const int row = m_proxy->findCaption(caption);
    if (row < 0)
        return false;
    selectRow(row);
    return true;
}

void ServerListView::sortRows(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ServerListModel::ColumnCount)
        column = 0; // a hand-edited settings file may hold any column
    m_proxy->sort(column, order);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, order);
}
