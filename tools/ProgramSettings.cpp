#include "ProgramSettings.h"

#include "IniFile.h"

namespace {
const QString ServiceSection = QStringLiteral("SERVICE");
const QString ColumnsSection = QStringLiteral("COLUMNS");
const QString SortSection = QStringLiteral("SORT");
const QString SortColumnKey = QStringLiteral("ColumnIndex");
const QString SortDirectionKey = QStringLiteral("SortDirection");

const QString WindowSection = QStringLiteral("WINDOW");
const QStringList SplitterKeys{QStringLiteral("SplitLeft"), QStringLiteral("SplitRight")};
// Bounds for a hand-edited place: beyond them it is no place on any screen.
constexpr int MaxCoordinate = 100'000;
constexpr int MinSize = 100;
constexpr int MaxSize = 20'000;

ProgramSettings::WindowPlace readWindowPlace(const IniFile& file) {
    const auto value = [&](const char* key) {
        return file.readInteger(WindowSection, QString::fromLatin1(key), 0);
    };
    ProgramSettings::WindowPlace place;
    const QRect geometry(value("Left"), value("Top"), value("Width"), value("Height"));
    const auto within = [](int v, int low, int high) { return v >= low && v <= high; };
    if (!within(geometry.left(), -MaxCoordinate, MaxCoordinate) ||
        !within(geometry.top(), -MaxCoordinate, MaxCoordinate) ||
        !within(geometry.width(), MinSize, MaxSize) || !within(geometry.height(), MinSize, MaxSize))
        return place;
    place.kept = true;
    place.geometry = geometry;
    place.maximised = value("Maximized") != 0;
    for (const QString& key : SplitterKeys) {
        const qint32 width = file.readInteger(WindowSection, key, -1);
        if (within(width, 0, MaxSize))
            place.splitter << width;
    }
    if (place.splitter.size() != SplitterKeys.size())
        place.splitter.clear();
    return place;
}

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
    sortColumn = file.readInteger(SortSection, SortColumnKey, 0);
    sortDescending = file.readInteger(SortSection, SortDirectionKey, 0) != 0;
    window = readWindowPlace(file);
    Q_EMIT appSettingsChanged();
    Q_EMIT optionsChanged();
}

void ProgramSettings::readAppSettings() {
    app = ReadAppSettings(IniFile::snapshot(m_path));
    Q_EMIT appSettingsChanged();
}

void ProgramSettings::saveAppSettings() {
    IniFile file(m_path);
    WriteAppSettings(file, app);
    readAppSettings();
}

void ProgramSettings::setIdentKey(const QString& key) {
    IniFile file(m_path);
    WriteIdentKey(file, key);
    app.identKey = key;
    Q_EMIT appSettingsChanged();
}

void ProgramSettings::setOptions(const PresenceOptions& newOptions) {
    IniFile file(m_path);
    WriteNotificationsOption(file, newOptions.notifications);
    WriteDampingOption(file, newOptions.dampingMinutes);
    WriteKeepInTrayOption(file, newOptions.keepInTray);
    WriteJoinFreedSlotOption(file, newOptions.joinFreedSlot);
    WriteFavouriteRacersOption(file, newOptions.favouriteRacers);
    readOptions();
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

void ProgramSettings::writeSortOrder(int column, bool descending) {
    IniFile file(m_path);
    file.writeInteger(SortSection, SortColumnKey, column);
    file.writeInteger(SortSection, SortDirectionKey, descending ? 1 : 0);
    sortColumn = column;
    sortDescending = descending;
}

void ProgramSettings::writeWindowPlace(const WindowPlace& place) {
    IniFile file(m_path);
    const QRect& g = place.geometry;
    const std::pair<const char*, int> values[] = {{"Left", g.left()},
                                                  {"Top", g.top()},
                                                  {"Width", g.width()},
                                                  {"Height", g.height()},
                                                  {"Maximized", place.maximised ? 1 : 0}};
    for (const auto& [key, value] : values)
        file.writeInteger(WindowSection, QString::fromLatin1(key), value);
    for (qsizetype i = 0; i < place.splitter.size() && i < SplitterKeys.size(); ++i)
        file.writeInteger(WindowSection, SplitterKeys.at(i), place.splitter.at(i));
    window = place;
    window.kept = true;
}
