#pragma once

#include "AppSettings.h"
#include "PresenceOptions.h"
#include "ServerFilterOptions.h"

#include <QList>
#include <QObject>
#include <QString>

// The settings file's contents as the program uses them, read at the few points where
// they may have changed (start, a settings dialog's OK, the ticker's fallback) and never
// at a tick. Pieces that depend on them follow the change signals.
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
    static constexpr int MaxColumns = 16;
    static constexpr int MaxColumnWidth = 4000; // a hand-edited width beyond it is ignored

    // Everything, once at start; missing addresses take defaultService.
    void readAll(const QString& defaultService);
    // SETTINGS and the ident key again; tells appSettingsChanged.
    void readAppSettings();
    // Writes SETTINGS from memory (throws when the file cannot be written).
    void writeAppSettings() const;
    // OPTIONS again; tells optionsChanged.
    void readOptions();
    // Writes FILTER and takes it into memory once written (throws when it cannot be).
    void writeFilters(const ServerFilterOptions& filters);
    // Writes COLUMNS and takes the widths into memory once written (throws when it cannot be).
    void writeColumnWidths(const QList<int>& widths);

Q_SIGNALS:
    void appSettingsChanged();
    void optionsChanged();

private:
    QString m_path;
};
