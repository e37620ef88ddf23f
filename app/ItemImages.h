#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidgetItem>

// Rows and nodes carry their image index in a role of their own, so that the index
// can be read back (tests, counters) and the picture follows from the image list.
inline constexpr int ImageIndexRole = Qt::UserRole + 1;

inline int ItemImage(const QTreeWidgetItem* item) {
    const QVariant v = item->data(0, ImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

inline void SetItemImage(QTreeWidgetItem* item, int index, const QList<QIcon>& images) {
    item->setData(0, ImageIndexRole, index);
    if (index >= 0 && index < images.size())
        item->setIcon(0, images.at(index));
}
