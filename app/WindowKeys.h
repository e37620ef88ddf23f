#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;

// Enter in a list acts as a double click on its current row does. The window's commands
// and their shortcuts are in MainCommands.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Enter (either key) on the view runs onEnter, and the view does nothing else with it.
    void onEnter(QAbstractItemView* view, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPair<QObject*, std::function<void()>>> m_enter;
};
