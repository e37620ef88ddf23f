#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;
class QWidget;

// The main window's keys: F5 refreshes now, Ctrl+Q quits, and Enter in a list acts as
// a double click on its current row does.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> refresh;
        std::function<void()> quit;
    };

    WindowKeys(QWidget* window, Handlers handlers);
    // Enter (either key) on the view runs onEnter, and the view does nothing else with it.
    void onEnter(QAbstractItemView* view, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPair<QObject*, std::function<void()>>> m_enter;
};
