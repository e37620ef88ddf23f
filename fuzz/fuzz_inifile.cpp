#include "IniFile.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool plainName(const QByteArray& s) {
    if (s.isEmpty())
        return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    return true;
}
bool plainValue(const QByteArray& s) {
    return !s.contains('\n') && !s.contains('\r') && s.trimmed() == s && !s.startsWith('"') &&
           !s.startsWith('\'');
}
} // namespace

// The first bytes pick a section, a key and a value; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const uint8_t pick = data[0];
    const auto take = [&](size_t n) {
        n = std::min(n, size);
        QByteArray out(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n));
        data += n;
        size -= n;
        return out;
    };
    take(1);
    const QByteArray section = take(pick % 8);
    const QByteArray key = take(pick % 5);
    const QByteArray value = take(pick % 7);
    IniDocument doc(take(size));
    (void)doc.value(section, key);
    (void)ParseIniInteger(value);
    doc.setValue(section, key, value);
    // Whatever the file held, a plain key written is the key read back.
    if (plainName(section) && plainName(key) && plainValue(value)) {
        const auto back = doc.value(section, key);
        if (!back || *back != value)
            std::abort();
    }
    return 0;
}
