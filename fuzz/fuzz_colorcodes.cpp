#include "QuillonTools.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray out = StripColorCodes(text);
    if (out.size() > text.size())
        std::abort();
    // Stripping is done in one pass; no code survives that the pass would remove.
    for (qsizetype i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '^' && out[i + 1] >= '0' && out[i + 1] <= '8' && !text.contains("^^"))
            std::abort();
    (void)ExtractField(text, static_cast<int>(size % 7), '\n');
    return 0;
}
