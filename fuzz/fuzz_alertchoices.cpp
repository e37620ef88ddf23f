#include "AlertChoices.h"
#include "BoundedFile.h"
#include "SingleByteText.h"

#include <cstdint>
#include <cstdlib>

// Any bytes in MateAlerts.json give choices whose save reads back as the same choices.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QJsonObject> root = ParseJsonObject(bytes);
    if (!root)
        return 0;
    const AlertChoices choices = AlertChoices::fromJson(*root);
    const QJsonObject saved = choices.toJson();
    if (!(AlertChoices::fromJson(saved) == choices))
        std::abort();
    const QJsonObject mates = saved.value(QStringLiteral("mates")).toObject();
    for (auto group = mates.begin(); group != mates.end(); ++group) {
        const QJsonObject names = group.value().toObject();
        for (auto mate = names.begin(); mate != names.end(); ++mate)
            (void)choices.wantsAlert(FromDisplay(mate.key()), {group.key()});
    }
    return 0;
}
