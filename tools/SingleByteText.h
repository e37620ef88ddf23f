#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Names in records and on the wire are single bytes. They stay QByteArray in the
// model and become QString only for display, through Latin-1, which maps every byte
// to one character and back without loss.
inline QString ToDisplay(QByteArrayView bytes) {
    return QString::fromLatin1(bytes);
}

// Text typed by the user back to single bytes; a character outside Latin-1 becomes '?'.
QByteArray FromDisplay(const QString& text);

// Trim: removes leading and trailing characters whose code is at most that of the blank.
QByteArray TrimBytes(QByteArrayView bytes);
// The same without a copy, for scans that run once per racer slot.
QByteArrayView TrimmedView(QByteArrayView bytes);
QString TrimText(const QString& text);

// Removes the invisible characters that reorder or hide text (direction marks, embeddings,
// overrides and isolates, zero-width and other format characters), so that a text from
// outside cannot show "missing txt.exe" as "exe.txt gnissim"; line and paragraph
// separators become blanks. The soft hyphen stays: it is Latin-1 and may be in a name.
QString WithoutFormatCharacters(const QString& text);

// Cuts a display text to at most `limit` characters (for labels fed from outside), with
// its format characters removed first.
QString Bounded(const QString& text, qsizetype limit);
