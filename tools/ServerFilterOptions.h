#pragma once

class IniFile;

// The server list's standing filters, kept in the settings file's section FILTER.
struct ServerFilterOptions {
    bool hideEmpty = false;
    bool hideFull = false;
    bool hidePrivate = false;
    bool onlyFavouritesAndMates = false;
    bool onlyFavouritesRecentAndMates = false; // the favourite and recent hosts, and mates'

    bool any() const {
        return hideEmpty || hideFull || hidePrivate || onlyFavouritesAndMates ||
               onlyFavouritesRecentAndMates;
    }
    bool operator==(const ServerFilterOptions&) const = default;
};

ServerFilterOptions ReadServerFilterOptions(const IniFile& file);
// Throws PelmarkError "In %s kann nicht geschrieben werden" when the file cannot be written.
void WriteServerFilterOptions(IniFile& file, const ServerFilterOptions& options);
