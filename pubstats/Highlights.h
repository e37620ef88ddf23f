#pragma once

#include <QByteArray>
#include <QString>

inline const QString AllCountries = QStringLiteral("All countries");

// "highlights.txt" for all countries, else "highlights_" + country with blanks as '_'.
QString HighlightsFileName(const QString& country);

// More ticker lines than this are never built: the setting accepts up to 2^31-1,
// and that many separators would exhaust memory.
inline constexpr int MaxTickerLines = 10000;

// The ticker text: the first n lines of the reply (line feeds separate lines), tags
// removed, joined by " || "; all but the last line trimmed. Empty when n <= 0 or the
// reply holds no line feed.
QByteArray BuildTickerText(QByteArrayView reply, int n);

// Removes "<...>" tags; a '<' without a '>' after it stays with the rest of the line.
QByteArray RemoveTags(QByteArrayView line);

// The text put before the all-countries reply when a country's file cannot be had.
QByteArray FallbackMessage(const QString& country);
