#pragma once

#include "ServerListModel.h"
#include "Widgets.h"

#include <QIcon>
#include <optional>

// The server list as the window shows it: the rows of a ServerListModel in the order of
// a ServerSortProxy, less those its filter hides. Rows are addressed as shown.
class ServerListView : public FocusTreeView {
    Q_OBJECT
public:
    explicit ServerListView(QWidget* parent = nullptr);

    ServerListModel& rows() { return *m_model; }
    const ServerListModel& rows() const { return *m_model; }
    ServerSortProxy& proxy() { return *m_proxy; }
    const ServerSortProxy& proxy() const { return *m_proxy; }
    void setImages(const QList<QIcon>& images);

    int rowCount() const { return m_proxy->rowCount(); }
    // The model row of a shown row.
    int modelRow(int row) const { return m_proxy->sourceRow(row); }
    QString rowText(int row, int column) const;
    int rowImage(int row) const;
    QRect rowRect(int row) const;

    // The selected row, or -1; its caption, or nothing.
    int selectedRow() const;
    std::optional<QString> selectedCaption() const;
    // Selects the row and scrolls it wholly into view; -1 clears the selection.
    void selectRow(int row);
    // The first row whose caption equals the text without regard to case; false when none.
    bool selectCaption(const QString& caption);

    // Sorts by the column (one outside the columns counts as Name) and shows the indicator.
    void sortRows(int column, Qt::SortOrder order);

Q_SIGNALS:
    // A right click (the row under it selected first) or the Menu key on the selected row.
    void rowMenuRequested(int row, const QPoint& globalPos);
    // A right click where no row is (the empty list, below the last row), or the Menu key
    // without a current row.
    void listMenuRequested(const QPoint& globalPos);

protected:
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    ServerListModel* m_model;
    ServerSortProxy* m_proxy;
};
