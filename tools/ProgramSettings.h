#pragma once

#include "AppSettings.h"
#include "PresenceOptions.h"
#include "ServerFilterOptions.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

// The settings file's contents as the program uses them, and the only way to the file:
// read once at start, written by the setters below at the moments the user or the
// ticker's fallback changes something, never at a tick. Pieces that depend on a section
// follow its change signal.
class ProgramSettings : public QObject {
    Q_OBJECT
public:
    explicit ProgramSettings(QString configPath, QObject* parent = nullptr);
    const QString& path() const { return m_path; }

    AppSettings app;             // SETTINGS, and SERVICE/IdentKey
    PresenceOptions options;     // OPTIONS
    ServerFilterOptions filters; // FILTER
    QString statsServer;         // SERVICE/StatsServer, or the default
    QString highlightsServer;
    // COLUMNS: the server list's column widths the user set, by column; 0 where none is
    // kept (the layout's width then).
    QList<int> columnWidths;
    // SORT: the server list's sort column and direction.
    int sortColumn = 0;
    bool sortDescending = false;
    // WINDOW: the main window's place as the user left it. Nothing is kept until the
    // window has once closed somewhere else than where it opened.
    struct WindowPlace {
        bool kept = false;
        QRect geometry; // the normal (not maximised) one: the frame's corner, the inner size
        bool maximised = false;
        QList<int> splitter; // the widths of the splitter's panes, left to right
        bool operator==(const WindowPlace&) const = default;
    };
    WindowPlace window;
    static constexpr int MaxColumns = 16;
    static constexpr int MaxColumnWidth = 4000; // a hand-edited width beyond it is ignored

    // Everything, once at start; missing addresses take defaultService.
    void readAll(const QString& defaultService);
    // Writes SETTINGS from memory, then takes what the file now holds (as the next start
    // would read it) and tells appSettingsChanged. Throws when the file cannot be
    // written; memory then keeps what the caller put there.
    void saveAppSettings();
    // Writes SERVICE/IdentKey and takes it into memory once written; tells
    // appSettingsChanged (throws when it cannot be written).
    void setIdentKey(const QString& key);
    // Writes the keys of OPTIONS one by one, then takes the section as the file
    // holds it and tells optionsChanged (throws when it cannot be written; the keys
    // before the failing one are written, memory stays as it was).
    void setOptions(const PresenceOptions& options);
    // Writes FILTER and takes it into memory once written (throws when it cannot be).
    void writeFilters(const ServerFilterOptions& filters);
    // Writes COLUMNS and takes the widths into memory once written (throws when it cannot be).
    void writeColumnWidths(const QList<int>& widths);
    // Writes SORT and takes it into memory once written (throws when it cannot be).
    void writeSortOrder(int column, bool descending);
    // Writes WINDOW and takes it into memory once written (throws when it cannot be).
    void writeWindowPlace(const WindowPlace& place);

Q_SIGNALS:
    void appSettingsChanged();
    void optionsChanged();

private:
    void readAppSettings();
    void readOptions();

    QString m_path;
};
