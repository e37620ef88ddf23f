#include "BoundedFile.h"
#include "FavouriteHosts.h"

#include <cstdint>
#include <cstdlib>

// Any bytes in FavouriteHosts.json give a bounded list whose save reads back whole and
// the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QJsonObject> root = ParseJsonObject(bytes);
    if (!root)
        return 0;
    FavouriteHosts hosts({});
    (void)hosts.read(*root);
    if (hosts.hosts().size() > FavouriteHosts::MaxHosts || hosts.hosts().contains(QByteArray()))
        std::abort();
    FavouriteHosts again({});
    if (!again.read(hosts.toJson()) || again.hosts() != hosts.hosts())
        std::abort();
    return 0;
}
