#include "Highlights.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int lines = static_cast<int8_t>(data[0]);
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const QByteArray text = BuildTickerText(reply, lines);
    if (lines <= 0 && !text.isEmpty())
        std::abort();
    // Tags never grow a line.
    if (RemoveTags(reply).size() > reply.size())
        std::abort();
    (void)HighlightsFileName(QString::fromLatin1(reply.left(64)));
    return 0;
}
