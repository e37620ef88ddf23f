#include "ServiceAnswer.h"

#include <QChar>
#include <cstdint>
#include <cstdlib>

// Whatever the service sends instead of a host list, the line shown from it is bounded,
// trimmed, and holds no control or format character that could hide or reorder text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QString> line = ServiceAnswerLine(reply);
    if (!line)
        return 0;
    if (line->isEmpty() || line->size() > MaxAnswerLineLength || *line != line->trimmed())
        std::abort();
    if (line->back().isHighSurrogate())
        std::abort();
    for (const QChar c : *line) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) ||
            (c.category() == QChar::Other_Format && u != 0x00AD))
            std::abort();
    }
    if (!ServiceAnsweredText(*line).endsWith(*line))
        std::abort();
    return 0;
}
