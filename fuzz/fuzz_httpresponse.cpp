#include "HttpResponseParser.h"

#include <cstdint>
#include <cstdlib>

// The parser must read a reply the same whether it comes in one piece or in many, never
// hold more body than its limit, and never end on an interim reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + (data[0] & 0x3f);
    const bool closed = data[0] & 0x80;
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    constexpr qint64 Limit = 4096;

    HttpResponseParser whole(Limit);
    whole.feed(QByteArrayView(reply));
    HttpResponseParser pieces(Limit);
    for (qsizetype at = 0; at < reply.size(); at += piece)
        pieces.feed(reply.mid(at, piece));
    if (closed) {
        whole.finish();
        pieces.finish();
    }
    if (whole.state() != pieces.state() || whole.failure() != pieces.failure() ||
        whole.status() != pieces.status() || whole.body() != pieces.body() ||
        whole.keepAlive() != pieces.keepAlive() || whole.headers() != pieces.headers())
        std::abort();
    if (whole.body().size() > Limit)
        std::abort();
    if (whole.state() == HttpResponseParser::State::Done &&
        (whole.status() < 200 || whole.status() > 599))
        std::abort();
    return 0;
}
