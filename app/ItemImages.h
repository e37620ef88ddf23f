#pragma once

#include "ServerListModel.h"

#include <QIcon>
#include <QList>
#include <QTreeWidgetItem>

// Nodes carry their image index in the role the server list's rows use, so that the
// index can be read back (tests, counters) and the picture follows from the image list.

inline int ItemImage(const QTreeWidgetItem* item) {
    const QVariant v = item->data(0, ServerListModel::ImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

inline void SetItemImage(QTreeWidgetItem* item, int index, const QList<QIcon>& images) {
    item->setData(0, ServerListModel::ImageIndexRole, index);
    if (index >= 0 && index < images.size())
        item->setIcon(0, images.at(index));
}
