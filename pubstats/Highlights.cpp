#include "Highlights.h"

#include "QuillonTools.h"
#include "SingleByteText.h"

QString HighlightsFileName(const QString& country) {
    if (country == AllCountries)
        return QStringLiteral("highlights.txt");
    return QStringLiteral("highlights_") +
           ReplaceChar(country, QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".txt");
}

QByteArray RemoveTags(QByteArrayView line) {
    QByteArray out;
    out.reserve(line.size());
    qsizetype pos = 0;
    while (pos < line.size()) {
        const qsizetype open = line.indexOf('<', pos);
        if (open < 0)
            break;
        const qsizetype close = line.indexOf('>', open + 1);
        if (close < 0)
            break; // an unclosed '<' ends the removal; the rest stays as text
        out += line.sliced(pos, open - pos);
        pos = close + 1;
    }
    out += line.sliced(pos);
    return out;
}

QByteArray BuildTickerText(QByteArrayView reply, int n) {
    QByteArray text;
    if (n <= 0 || !reply.contains('\n'))
        return text;
    n = std::min(n, MaxTickerLines);
    qsizetype pos = 0; // start of the next line; past the end once the lines ran out
    for (int i = 1; i <= n; ++i) {
        QByteArrayView line;
        if (pos <= reply.size()) {
            qsizetype end = reply.indexOf('\n', pos);
            if (end < 0)
                end = reply.size();
            line = reply.sliced(pos, end - pos);
            pos = end + 1;
        }
        QByteArray clean = RemoveTags(line);
        if (i < n) {
            text += TrimBytes(clean);
            text += " || ";
        } else {
            text += clean;
        }
    }
    return text;
}

QByteArray FallbackMessage(const QString& country) {
    return "County highligts of  \"" + FromDisplay(country) + "\" not availabe, using \"" +
           FromDisplay(AllCountries) + "\" instead:        ";
}
