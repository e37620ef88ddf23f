#include "ServiceAnswer.h"

#include "SingleByteText.h"

#include <QStringDecoder>

namespace {

// Enough to judge a reply by; a text answer of the service is a line or two.
constexpr qsizetype SampleSize = 4096;

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Readable text: not empty, no NUL byte in the sample, and at most one byte in ten of
// the sample a control byte (below the blank, or DEL) other than tab, CR and LF. Bytes
// from 0x80 up count as text, so an answer in UTF-8 or Latin-1 passes. A packed host
// list has NULs in its name padding and small numbers in every entry, and fails.
bool isReadableText(QByteArrayView reply) {
    const QByteArrayView sample = reply.first(std::min(reply.size(), SampleSize));
    if (sample.isEmpty() || sample.contains('\0'))
        return false;
    qsizetype controls = 0;
    for (const char ch : sample) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F)
            ++controls;
    }
    return controls * 10 <= sample.size();
}

QString decoded(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Bounded, and still trimmed and whole: a cut can end in a blank or between the two
// halves of a character.
QString cut(const QString& line) {
    QString bounded = line.left(MaxAnswerLineLength);
    if (bounded.size() < line.size() && bounded.back().isHighSurrogate())
        bounded.chop(1);
    return bounded.trimmed();
}

} // namespace

std::optional<QString> ServiceAnswerLine(QByteArrayView reply) {
    if (!isReadableText(reply))
        return std::nullopt;
    const QByteArrayView sample = reply.first(std::min(reply.size(), SampleSize));
    qsizetype start = 0;
    while (start < sample.size()) {
        qsizetype end = start;
        while (end < sample.size() && sample[end] != '\n' && sample[end] != '\r')
            ++end;
        QString line;
        for (const QChar c : WithoutFormatCharacters(decoded(sample.sliced(start, end - start))))
            if (!isControl(c.unicode()))
                line += c;
        line = line.trimmed();
        if (!line.isEmpty())
            return cut(line);
        start = end + 1;
    }
    return std::nullopt;
}

QString ServiceAnsweredText(const QString& line) {
    return QStringLiteral("The statistics service answered: ") + line;
}
