#pragma once

#include "ProgramSettings.h"

#include <QObject>

class Desktop;
class QSplitter;
class QWidget;

// Keeps the main window's size, position, maximised state and splitter across runs, in
// the settings file. The place is restored only where it fits one of the current
// screens; otherwise, and on a fresh file, the window keeps the layout's place, made to
// fit the screen. It is written when the window closes, and only when it changed.
class WindowPlace : public QObject {
    Q_OBJECT
public:
    WindowPlace(QWidget* window, QSplitter* splitter, ProgramSettings& settings, Desktop& desktop);

    // Once the settings are read, before the window shows.
    void restore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProgramSettings::WindowPlace current() const;

    QWidget* m_window;
    QSplitter* m_splitter;
    ProgramSettings& m_settings;
    Desktop& m_desktop;
    ProgramSettings::WindowPlace m_opened; // as restored: closing there writes nothing
    QList<int> m_pendingSplitter;
    bool m_shown = false;
};
