#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class Desktop;
class ProgramSettings;
class QHeaderView;

// Keeps the column widths the user gives the server list across runs, in the settings
// file. A drag resizes a column at every pixel; the widths are written once it stops.
// Wider than fillFrom (its design width) the list's last column reaches its right edge,
// so that a wide window leaves no empty strip; each column still keeps, and writes, the
// width the layout or the user gave it.
class ColumnMemory : public QObject {
    Q_OBJECT
public:
    static constexpr int SaveDelayMs = 500;

    ColumnMemory(QHeaderView* header, int fillFrom, ProgramSettings& settings, Desktop& desktop,
                 QObject* parent = nullptr);
    // Gives the columns the widths the settings hold; the others keep the layout's.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void save();
    void fillLast();
    void resizeQuietly(int column, int width);

    QHeaderView* m_header;
    int m_fillFrom;
    ProgramSettings& m_settings;
    Desktop& m_desktop;
    QTimer m_saveTimer;
    QList<int> m_own;
    bool m_applying = false;
};
