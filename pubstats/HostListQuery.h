#pragma once

#include <QString>

// What an ident key may hold: the service hands out keys of letters and digits.
constexpr qsizetype MaxIdentKeyLength = 64;
// The same rule as a pattern, for the field that edits the key.
QString IdentKeyPattern();
bool IsValidIdentKey(const QString& key);

struct HostListQuery {
    QString query;            // "action=hosts", with "&idk=KEY" when a valid key is set
    bool keyRejected = false; // a key was set but is not valid, so none was sent
};

HostListQuery MakeHostListQuery(const QString& identKey);
