#pragma once

#include "RosterModel.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <QTreeView>

// The mate tree as the suites read it: its nodes by row in tree order (every node counted,
// expanded or not), and their texts and pictures.
namespace TreeRows {

inline QString text(const QModelIndex& node) {
    return node.data(Qt::DisplayRole).toString();
}

// The status picture's index; -1 for no node.
inline int image(const QModelIndex& node) {
    const QVariant v = node.data(RosterModel::ImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

inline int count(const QAbstractItemModel& model) {
    return int(NodesInTreeOrder(model).size());
}

// The node at that row; invalid past the end.
inline QModelIndex at(const QAbstractItemModel& model, int row) {
    const QModelIndexList nodes = NodesInTreeOrder(model);
    return row >= 0 && row < nodes.size() ? nodes.at(row) : QModelIndex();
}

// The node's row; -1 for no node.
inline int rowOf(const QModelIndex& node) {
    return node.isValid() ? int(NodesInTreeOrder(*node.model()).indexOf(node)) : -1;
}

// The first child of the node with that text; invalid when none.
inline QModelIndex child(const QModelIndex& group, const QString& name) {
    const QAbstractItemModel* model = group.model();
    for (int row = 0; model && row < model->rowCount(group); ++row) {
        if (text(model->index(row, 0, group)) == name)
            return model->index(row, 0, group);
    }
    return {};
}

// The texts of the roots in order.
inline QStringList groupTexts(const QAbstractItemModel& model) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << text(model.index(row, 0));
    return texts;
}

// "Group[image](child[image] child[image])" for every root, in tree order; "+" after the
// group's picture marks it expanded.
inline QString outline(const QTreeView& view) {
    const QAbstractItemModel& model = *view.model();
    QStringList parts;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex group = model.index(row, 0);
        QString s = QStringLiteral("%1[%2]").arg(text(group)).arg(image(group));
        if (view.isExpanded(group))
            s += QLatin1Char('+');
        QStringList children;
        for (int j = 0; j < model.rowCount(group); ++j) {
            const QModelIndex mate = model.index(j, 0, group);
            children << QStringLiteral("%1[%2]").arg(text(mate)).arg(image(mate));
        }
        if (!children.isEmpty())
            s += QLatin1Char('(') + children.join(QLatin1Char(' ')) + QLatin1Char(')');
        parts << s;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace TreeRows
