#include "SingleByteText.h"

QByteArray FromDisplay(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        out[i] = c > 0xFF ? '?' : static_cast<char>(c);
    }
    return out;
}

QByteArrayView TrimmedView(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && static_cast<unsigned char>(bytes[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(bytes[end - 1]) <= 32)
        --end;
    return bytes.sliced(begin, end - begin);
}

QByteArray TrimBytes(QByteArrayView bytes) {
    return TrimmedView(bytes).toByteArray();
}

QString TrimText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString WithoutFormatCharacters(const QString& text) {
    const auto hidden = [](QChar c) {
        return c.category() == QChar::Other_Format && c.unicode() != 0x00AD;
    };
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A pair of surrogates is one character: its category is that of the pair.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            if (QChar::category(code) != QChar::Other_Format)
                clean.append(c).append(text.at(i + 1));
            ++i;
        } else if (c.unicode() == 0x2028 || c.unicode() == 0x2029) {
            clean.append(QLatin1Char(' '));
        } else if (!hidden(c)) {
            clean.append(c);
        }
    }
    return clean;
}

QString Bounded(const QString& text, qsizetype limit) {
    const QString clean = WithoutFormatCharacters(text);
    return clean.size() <= limit ? clean : clean.left(limit);
}
