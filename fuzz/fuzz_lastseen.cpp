#include "BoundedFile.h"
#include "LastSeen.h"
#include "SingleByteText.h"

#include <QLocale>
#include <cstdint>
#include <cstdlib>

// Any bytes in LastSeen.json give a history whose save reads back as the same history.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QJsonObject> root = ParseJsonObject(bytes);
    if (!root)
        return 0;
    LastSeenStore store({});
    store.read(*root);
    const QJsonObject saved = store.toJson();
    for (auto it = saved.begin(); it != saved.end(); ++it) {
        const std::optional<LastSighting> s = store.find(FromDisplay(it.key()));
        if (!s || s->since > s->seen)
            std::abort();
        (void)SightingText(s, false, QLocale::c());
    }
    LastSeenStore again({});
    again.read(saved);
    if (again.toJson() != saved)
        std::abort();
    return 0;
}
