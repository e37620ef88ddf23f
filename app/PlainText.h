#pragma once

#include <QString>

// Names from files and the network in menus and tooltips, shown exactly as written.

// An action text shows '&' as a mnemonic mark unless doubled.
inline QString MenuText(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A tooltip is shown as rich text when it looks like markup; escaped inside a paragraph
// it shows exactly as written, line breaks and host names included.
inline QString PlainToolTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}
