#include "HostListDecoder.h"
#include "TrackNaming.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)IsRefusalReply(reply);
    HostList hosts;
    if (DecodeHostList(reply, hosts) != DecodeResult::Ok)
        return 0;
    for (const HostRecord& h : hosts) {
        for (qsizetype j = 0; j <= h.racerCount; ++j)
            (void)h.racerSlot(j);
        if (h.name.size() > HostRecord::NameSize || h.rawName.size() != HostRecord::NameSize)
            std::abort();
        (void)VersionText(h);
        (void)RulesText(h);
        (void)PlayersText(h);
        (void)CarsText(h);
        (void)TrackKey(h);
    }
    return 0;
}
