#pragma once

#include <QString>

class IniFile;

// The four general settings, kept in memory by the main window.
struct AppSettings {
    QString lfsPath;
    quint32 interval = 70000; // milliseconds
    QString country = QStringLiteral("All countries");
    qint32 numHighlights = 20;
    // SERVICE/IdentKey as the file holds it; checked before it is sent.
    QString identKey;
};

// Section SETTINGS of the settings file, and SERVICE/IdentKey; defaults for whatever is
// missing or unparsable.
AppSettings ReadAppSettings(const IniFile& file);
// Writes LFSPath, Interval, Country, NumHighlights in this order. Throws PelmarkError
// "In %s kann nicht geschrieben werden" when the file cannot be written.
void WriteAppSettings(IniFile& file, const AppSettings& settings);
// Writes SERVICE/IdentKey alone; throws like WriteAppSettings.
void WriteIdentKey(IniFile& file, const QString& key);
