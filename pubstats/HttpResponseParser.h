#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

// Reads one HTTP/1.x response to a GET from bytes as they arrive, in pieces of any size.
// Every line it buffers is bounded, and so is the body, so a hostile server cannot make
// it hold more than the limits. Interim 1xx responses are skipped.
class HttpResponseParser {
public:
    static constexpr qsizetype MaxLineLength = 8 * 1024;
    static constexpr qsizetype MaxHeadSize = 64 * 1024;
    static constexpr int MaxHeaderCount = 100;
    static constexpr int MaxInterimResponses = 8;

    enum class State { Head, Body, Done, Failed };
    enum class Failure { None, Malformed, HeadTooLarge, BodyTooLarge, Truncated };
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    explicit HttpResponseParser(qint64 bodyLimit);

    // Takes the next bytes of the connection and returns the state after them.
    State feed(QByteArrayView bytes);
    // The same; a piece that is exactly the rest of a body becomes the body without a copy.
    State feed(QByteArray&& bytes);
    // The server closed the connection: ends a body that runs to the close, or fails.
    State finish();

    State state() const { return m_state; }
    Failure failure() const { return m_failure; }
    // Whether any byte of a response has arrived (a reused connection that fails before
    // that may be retried).
    bool started() const { return m_started; }

    // Once failed, these hold nothing: no status, reason, headers or body.
    int status() const { return m_status; }
    const QByteArray& reason() const { return m_reason; }
    const Headers& headers() const { return m_headers; }
    // The values of every header of that name (matched without regard to case), in order.
    QList<QByteArray> values(QByteArrayView name) const;
    const QByteArray& body() const { return m_body; }
    // Once done: the connection may carry the next request.
    bool keepAlive() const { return m_keepAlive; }

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class Step { StatusLine, HeaderLine, Data, ChunkSize, ChunkEnd, Trailer };

    qsizetype takeLine(QByteArrayView bytes, qsizetype at, bool& complete);
    bool onLine(QByteArray line);
    bool onStatusLine(const QByteArray& line);
    bool onHeaderLine(const QByteArray& line);
    bool onHeadEnd();
    bool onChunkSize(const QByteArray& line);
    bool appendBody(QByteArrayView bytes);
    void fail(Failure failure);
    void finishResponse();

    qint64 m_bodyLimit;
    State m_state = State::Head;
    Failure m_failure = Failure::None;
    Step m_step = Step::StatusLine;
    Framing m_framing = Framing::None;
    bool m_started = false;
    bool m_keepAlive = false;
    bool m_http10 = false;
    int m_interim = 0;
    qsizetype m_headSize = 0;
    qint64 m_remaining = 0; // of the body (Length) or of the current chunk
    QByteArray m_line;
    int m_status = 0;
    QByteArray m_reason;
    Headers m_headers;
    QByteArray m_body;
};
