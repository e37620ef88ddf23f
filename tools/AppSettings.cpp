#include "AppSettings.h"

#include "IniFile.h"

namespace {
const QString Section = QStringLiteral("SETTINGS");
const QString ServiceSection = QStringLiteral("SERVICE");
const QString IdentKeyName = QStringLiteral("IdentKey");
} // namespace

AppSettings ReadAppSettings(const IniFile& file) {
    const AppSettings defaults;
    AppSettings s;
    s.lfsPath = file.readString(Section, QStringLiteral("LFSPath"), defaults.lfsPath);
    s.interval = static_cast<quint32>(file.readInteger(Section, QStringLiteral("Interval"),
                                                       static_cast<qint32>(defaults.interval)));
    s.country = file.readString(Section, QStringLiteral("Country"), defaults.country);
    s.numHighlights =
        file.readInteger(Section, QStringLiteral("NumHighlights"), defaults.numHighlights);
    s.identKey = file.readString(ServiceSection, IdentKeyName, defaults.identKey);
    return s;
}

void WriteAppSettings(IniFile& file, const AppSettings& s) {
    file.writeString(Section, QStringLiteral("LFSPath"), s.lfsPath);
    file.writeInteger(Section, QStringLiteral("Interval"), s.interval);
    file.writeString(Section, QStringLiteral("Country"), s.country);
    file.writeInteger(Section, QStringLiteral("NumHighlights"), s.numHighlights);
}

void WriteIdentKey(IniFile& file, const QString& key) {
    file.writeString(ServiceSection, IdentKeyName, key);
}
