#include "PresenceOptions.h"

#include "IniFile.h"

namespace {
const QString Section = QStringLiteral("OPTIONS");
const QString NotificationsKey = QStringLiteral("DesktopNotifications");
const QString DampingKey = QStringLiteral("OnlineAlertDamping");
const QString KeepInTrayKey = QStringLiteral("KeepInTray");
const QString JoinFreedSlotKey = QStringLiteral("JoinFreedSlot");
const QString FavouriteRacersKey = QStringLiteral("FavouriteRacers");
} // namespace

PresenceOptions ReadPresenceOptions(const IniFile& file) {
    const PresenceOptions defaults;
    PresenceOptions o;
    o.notifications = file.readInteger(Section, NotificationsKey, defaults.notifications) != 0;
    const int damping = file.readInteger(Section, DampingKey, defaults.dampingMinutes);
    o.dampingMinutes =
        damping >= 0 && damping <= MaxAlertDampingMinutes ? damping : defaults.dampingMinutes;
    o.keepInTray = file.readInteger(Section, KeepInTrayKey, defaults.keepInTray) != 0;
    o.joinFreedSlot = file.readInteger(Section, JoinFreedSlotKey, defaults.joinFreedSlot) != 0;
    const int racers = file.readInteger(Section, FavouriteRacersKey, defaults.favouriteRacers);
    o.favouriteRacers = racers >= 0 && racers <= MaxHostRacers ? racers : defaults.favouriteRacers;
    return o;
}

void WriteNotificationsOption(IniFile& file, bool on) {
    file.writeInteger(Section, NotificationsKey, on ? 1 : 0);
}

void WriteDampingOption(IniFile& file, int minutes) {
    file.writeInteger(Section, DampingKey, minutes);
}

void WriteKeepInTrayOption(IniFile& file, bool on) {
    file.writeInteger(Section, KeepInTrayKey, on ? 1 : 0);
}

void WriteJoinFreedSlotOption(IniFile& file, bool on) {
    file.writeInteger(Section, JoinFreedSlotKey, on ? 1 : 0);
}

void WriteFavouriteRacersOption(IniFile& file, int racers) {
    file.writeInteger(Section, FavouriteRacersKey, racers);
}
