#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Characters that a file name (and so a group name) must not hold, in table order.
inline constexpr char ForbiddenFileNameChars[] = {'\\', '/', ':', '*', '?', '"', '<', '>', '|'};

// Removes the game's caret codes: ^0..^8 vanish, ^a becomes '*', ^v becomes '|',
// a caret before anything else stays, a caret at the very end is dropped.
QByteArray StripColorCodes(QByteArrayView text);

// Key filter of the edit fields. Mode 0: digits, Backspace, Tab, Enter. Mode 1: the
// same and '.'. Mode 2: everything but the forbidden file-name characters. Others: nothing.
bool IsAllowedChar(QChar c, int mode);

// The n-th field (from 1) of a text split at a separator; empty past the last field.
QByteArray ExtractField(QByteArrayView text, int n, char separator);

QString ReplaceChar(const QString& text, QChar from, QChar to);

struct TFileVersionInfo {
    QString typeName;
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyRight;
    QString LegalTradeMarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString SpecialBuild;
    QString PrivateBuild;
    QString fileKind;
    bool debug = false;
    bool preRelease = false;
    bool specialBuild = false;
    bool privateBuild = false;
    bool patched = false;
    bool infoInferred = false;
};

// Reads the version block that the build puts into the executable. Never fails:
// a file without one (or that cannot be read) gives an empty record.
TFileVersionInfo ReadFileVersionInfo(const QString& path);

// The version block parser, for files already in memory.
TFileVersionInfo ParseFileVersionInfo(QByteArrayView fileBytes);
