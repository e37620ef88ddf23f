#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QLabel;
class QScreen;
class QSplitter;
class QWidget;

// The main window's smallest size: every control the layout places whole and clear of
// its neighbours. The main area needs its design width, where the banner and the join
// buttons stand where the layout put them, or more where the labels beside the banner or
// the status bar's counters need it; the right column needs its minimum width. The size
// follows those texts and the window's screen. Where the screen has less room, the screen
// wins: the minimum is its room. When the window narrows, the right column gives up its
// width before the main area does.
class WindowMinimum : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QSplitter* splitter = nullptr; // the main area, then the right column, in the window
        QWidget* banner = nullptr;     // at the header's right edge
        QList<QLabel*> besideBanner;   // in the banner's header
        QWidget* status = nullptr;
    };
    WindowMinimum(const Parts& parts, int clientDesignWidth);

    // The main area's width that the layout needs, whatever the screen.
    int clientNeed() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();
    void keepMainAreaWhole();
    void followScreen();
    QSize screenRoom() const;

    Parts m_p;
    QWidget* m_window;
    int m_clientDesignWidth;
    QPointer<QScreen> m_screen;
    bool m_shown = false;
};
