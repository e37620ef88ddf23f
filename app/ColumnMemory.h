#pragma once

#include <QObject>
#include <QTimer>

class Desktop;
class ProgramSettings;
class QHeaderView;

// Keeps the column widths the user gives the server list across runs, in the settings
// file. A drag resizes a column at every pixel; the widths are written once it stops.
class ColumnMemory : public QObject {
    Q_OBJECT
public:
    static constexpr int SaveDelayMs = 500;

    ColumnMemory(QHeaderView* header, ProgramSettings& settings, Desktop& desktop,
                 QObject* parent = nullptr);
    // Gives the columns the widths the settings hold; the others keep the layout's.
    void apply();

private:
    void save();

    QHeaderView* m_header;
    ProgramSettings& m_settings;
    Desktop& m_desktop;
    QTimer m_saveTimer;
    bool m_applying = false;
};
