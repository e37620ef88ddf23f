#include "ServerFilterOptions.h"

#include "IniFile.h"

namespace {
const QString Section = QStringLiteral("FILTER");
const QString HideEmpty = QStringLiteral("HideEmpty");
const QString HideFull = QStringLiteral("HideFull");
const QString HidePrivate = QStringLiteral("HidePrivate");
const QString OnlyFavourites = QStringLiteral("OnlyFavouritesAndMates");
const QString OnlyFavouritesRecent = QStringLiteral("OnlyFavouritesRecentAndMates");
} // namespace

ServerFilterOptions ReadServerFilterOptions(const IniFile& file) {
    ServerFilterOptions o;
    o.hideEmpty = file.readInteger(Section, HideEmpty, 0) != 0;
    o.hideFull = file.readInteger(Section, HideFull, 0) != 0;
    o.hidePrivate = file.readInteger(Section, HidePrivate, 0) != 0;
    o.onlyFavouritesAndMates = file.readInteger(Section, OnlyFavourites, 0) != 0;
    o.onlyFavouritesRecentAndMates = file.readInteger(Section, OnlyFavouritesRecent, 0) != 0;
    return o;
}

void WriteServerFilterOptions(IniFile& file, const ServerFilterOptions& o) {
    file.writeInteger(Section, HideEmpty, o.hideEmpty ? 1 : 0);
    file.writeInteger(Section, HideFull, o.hideFull ? 1 : 0);
    file.writeInteger(Section, HidePrivate, o.hidePrivate ? 1 : 0);
    file.writeInteger(Section, OnlyFavourites, o.onlyFavouritesAndMates ? 1 : 0);
    file.writeInteger(Section, OnlyFavouritesRecent, o.onlyFavouritesRecentAndMates ? 1 : 0);
}
