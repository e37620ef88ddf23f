#pragma once

class IniFile;

// The longest damping the user can choose, in minutes.
inline constexpr int MaxAlertDampingMinutes = 120;
// A host's player limit is one byte: no favourite can have more racers than this.
inline constexpr int MaxHostRacers = 255;

// The settings of the mates-online alerts and the tray, section OPTIONS.
struct PresenceOptions {
    bool notifications = true;  // the master switch of the desktop notifications
    int dampingMinutes = 10;    // 0..120: back within this time is not announced again
    bool keepInTray = false;    // closing the window leaves the program in the tray
    bool joinFreedSlot = false; // a watched host with a free slot is joined, not told
    int favouriteRacers = 0;    // 0 off; else tell when a favourite has at least this many
};

// Defaults for whatever is missing or out of range.
PresenceOptions ReadPresenceOptions(const IniFile& file);
// Each writes its own key alone; they throw PelmarkError "In %s kann nicht geschrieben
// werden" when the file cannot be written.
void WriteNotificationsOption(IniFile& file, bool on);
void WriteDampingOption(IniFile& file, int minutes);
void WriteKeepInTrayOption(IniFile& file, bool on);
void WriteJoinFreedSlotOption(IniFile& file, bool on);
void WriteFavouriteRacersOption(IniFile& file, int racers);
