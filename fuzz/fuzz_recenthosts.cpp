#include "BoundedFile.h"
#include "RecentHosts.h"

#include <cstdint>
#include <cstdlib>

// Any bytes in RecentHosts.json give a bounded list of distinct hosts whose save reads
// back whole and the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QJsonObject> root = ParseJsonObject(bytes);
    if (!root)
        return 0;
    RecentHosts hosts({});
    (void)hosts.read(*root);
    if (hosts.hosts().size() > RecentHosts::MaxHosts ||
        hosts.names().size() != hosts.hosts().size() || hosts.names().contains(QByteArray()))
        std::abort();
    RecentHosts again({});
    if (!again.read(hosts.toJson()) || again.hosts() != hosts.hosts())
        std::abort();
    return 0;
}
