#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

constexpr qsizetype MaxAnswerLineLength = 200;

// The first non-blank line of a reply that is readable text, with control characters
// removed and cut to MaxAnswerLineLength characters; nothing for any other reply.
std::optional<QString> ServiceAnswerLine(QByteArrayView reply);

// The plain message for such a line.
QString ServiceAnsweredText(const QString& line);
