#include "ProgramSettings.h"

#include "IniFile.h"

namespace {
const QString ServiceSection = QStringLiteral("SERVICE");
const QString ColumnsSection = QStringLiteral("COLUMNS");

QString widthKey(int column) {
    return QStringLiteral("Width%1").arg(column);
}

QList<int> readColumnWidths(const IniFile& file) {
    QList<int> widths;
    for (int i = 0; i < ProgramSettings::MaxColumns; ++i) {
        const qint32 width = file.readInteger(ColumnsSection, widthKey(i), 0);
        widths.append(width > 0 && width <= ProgramSettings::MaxColumnWidth ? width : 0);
    }
    return widths;
}
} // namespace

ProgramSettings::ProgramSettings(QString configPath, QObject* parent)
    : QObject(parent), m_path(std::move(configPath)) {}

void ProgramSettings::readAll(const QString& defaultService) {
    const IniFile file = IniFile::snapshot(m_path); // one reading for every section
    statsServer = file.readString(ServiceSection, QStringLiteral("StatsServer"), defaultService);
    highlightsServer =
        file.readString(ServiceSection, QStringLiteral("HighlightsServer"), defaultService);
    app = ReadAppSettings(file);
    options = ReadPresenceOptions(file);
    filters = ReadServerFilterOptions(file);
    columnWidths = readColumnWidths(file);
    Q_EMIT appSettingsChanged();
    Q_EMIT optionsChanged();
}

void ProgramSettings::readAppSettings() {
    app = ReadAppSettings(IniFile::snapshot(m_path));
    Q_EMIT appSettingsChanged();
}

void ProgramSettings::writeAppSettings() const {
    IniFile file(m_path);
    WriteAppSettings(file, app);
}

void ProgramSettings::readOptions() {
    options = ReadPresenceOptions(IniFile::snapshot(m_path));
    Q_EMIT optionsChanged();
}

void ProgramSettings::writeFilters(const ServerFilterOptions& newFilters) {
    IniFile file(m_path);
    WriteServerFilterOptions(file, newFilters);
    filters = newFilters;
}

void ProgramSettings::writeColumnWidths(const QList<int>& widths) {
    IniFile file(m_path);
    for (int i = 0; i < widths.size() && i < MaxColumns; ++i)
        file.writeInteger(ColumnsSection, widthKey(i), widths.at(i));
    columnWidths = widths;
}
