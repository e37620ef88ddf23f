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

QString Bounded(const QString& text, qsizetype limit) {
    return text.size() <= limit ? text : text.left(limit);
}
