#include "ProgramSettings.h"

#include "IniFile.h"

namespace {
const QString ServiceSection = QStringLiteral("SERVICE");
} // namespace

ProgramSettings::ProgramSettings(QString configPath, QObject* parent)
    : QObject(parent), m_path(std::move(configPath)) {}

void ProgramSettings::readAll(const QString& defaultService) {
    const IniFile file(m_path);
    statsServer = file.readString(ServiceSection, QStringLiteral("StatsServer"), defaultService);
    highlightsServer =
        file.readString(ServiceSection, QStringLiteral("HighlightsServer"), defaultService);
    app = ReadAppSettings(file);
    options = ReadPresenceOptions(file);
    filters = ReadServerFilterOptions(file);
    Q_EMIT appSettingsChanged();
    Q_EMIT optionsChanged();
}

void ProgramSettings::readAppSettings() {
    app = ReadAppSettings(IniFile(m_path));
    Q_EMIT appSettingsChanged();
}

void ProgramSettings::writeAppSettings() const {
    IniFile file(m_path);
    WriteAppSettings(file, app);
}

void ProgramSettings::readOptions() {
    options = ReadPresenceOptions(IniFile(m_path));
    Q_EMIT optionsChanged();
}

void ProgramSettings::writeFilters(const ServerFilterOptions& newFilters) {
    IniFile file(m_path);
    WriteServerFilterOptions(file, newFilters);
    filters = newFilters;
}
