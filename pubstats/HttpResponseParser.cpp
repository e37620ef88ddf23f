#include "HttpResponseParser.h"

#include <QByteArrayList>
#include <algorithm>
#include <utility>

namespace {

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The comma-separated tokens of header values, trimmed and lower-cased.
QByteArrayList tokens(const QList<QByteArray>& values) {
    QByteArrayList result;
    for (const QByteArray& value : values)
        for (const QByteArray& token : value.split(','))
            result << token.trimmed().toLower();
    return result;
}

// A decimal number of at most 15 digits (far beyond any limit we accept), or -1.
qint64 decimal(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 15 || !std::all_of(text.begin(), text.end(), isDigit))
        return -1;
    return text.toLongLong();
}

} // namespace

HttpResponseParser::HttpResponseParser(qint64 bodyLimit) : m_bodyLimit(bodyLimit) {}

QList<QByteArray> HttpResponseParser::values(QByteArrayView name) const {
    QList<QByteArray> result;
    for (const auto& [key, value] : m_headers)
        if (sameName(key, name))
            result << value;
    return result;
}

HttpResponseParser::State HttpResponseParser::feed(QByteArrayView bytes) {
    if (m_state == State::Done && !bytes.isEmpty())
        m_keepAlive = false; // bytes nobody asked for: the connection is out of step
    if (m_state == State::Done || m_state == State::Failed || bytes.isEmpty())
        return m_state;
    m_started = true;
    qsizetype at = 0;
    while (at < bytes.size() && (m_state == State::Head || m_state == State::Body)) {
        if (m_step == Step::Data) {
            qsizetype n = bytes.size() - at;
            if (m_framing != Framing::UntilClose)
                n = qsizetype(std::min<qint64>(n, m_remaining));
            if (!appendBody(bytes.sliced(at, n)))
                return m_state;
            at += n;
            if (m_framing == Framing::UntilClose)
                continue;
            m_remaining -= n;
            if (m_remaining == 0) {
                if (m_framing == Framing::Chunked)
                    m_step = Step::ChunkEnd;
                else
                    finishResponse();
            }
            continue;
        }
        bool complete = false;
        at = takeLine(bytes, at, complete);
        if (m_state == State::Failed)
            return m_state;
        if (complete && !onLine(std::exchange(m_line, {})))
            return m_state;
    }
    if (m_state == State::Done && at < bytes.size())
        m_keepAlive = false;
    return m_state;
}

HttpResponseParser::State HttpResponseParser::feed(QByteArray&& bytes) {
    if (m_state == State::Body && m_step == Step::Data && m_framing == Framing::Length &&
        m_body.isEmpty() && bytes.size() == m_remaining) {
        m_body = std::move(bytes);
        m_remaining = 0;
        finishResponse();
        return m_state;
    }
    return feed(QByteArrayView(bytes));
}

HttpResponseParser::State HttpResponseParser::finish() {
    if (m_state == State::Body && m_framing == Framing::UntilClose) {
        m_keepAlive = false;
        finishResponse();
    } else if (m_state == State::Head || m_state == State::Body) {
        fail(Failure::Truncated);
    }
    return m_state;
}

qsizetype HttpResponseParser::takeLine(QByteArrayView bytes, qsizetype at, bool& complete) {
    const qsizetype newline = bytes.indexOf('\n', at);
    complete = newline >= 0;
    const qsizetype end = complete ? newline : bytes.size();
    const qsizetype taken = end - at + (complete ? 1 : 0);
    if (m_line.size() + (end - at) > MaxLineLength) {
        fail(Failure::HeadTooLarge);
        return bytes.size();
    }
    // Chunk-size lines are not part of the head; a body of many small chunks is fine.
    if (m_step != Step::ChunkSize && m_step != Step::ChunkEnd) {
        m_headSize += taken;
        if (m_headSize > MaxHeadSize) {
            fail(Failure::HeadTooLarge);
            return bytes.size();
        }
    }
    m_line.append(bytes.sliced(at, end - at));
    if (complete && m_line.endsWith('\r'))
        m_line.chop(1);
    return at + taken;
}

bool HttpResponseParser::onLine(QByteArray line) {
    switch (m_step) {
    case Step::StatusLine:
        // Stray blank lines before a response are tolerated; they count toward the head.
        return line.isEmpty() || onStatusLine(line);
    case Step::HeaderLine:
        return line.isEmpty() ? onHeadEnd() : onHeaderLine(line);
    case Step::ChunkSize:
        return onChunkSize(line);
    case Step::ChunkEnd:
        if (!line.isEmpty()) {
            fail(Failure::Malformed);
            return false;
        }
        m_step = Step::ChunkSize;
        return true;
    case Step::Trailer:
        if (line.isEmpty())
            finishResponse();
        return true;
    case Step::Data:
        break;
    }
    return true;
}

bool HttpResponseParser::onStatusLine(const QByteArray& line) {
    // "HTTP/1.x 200 OK"; the reason may be missing.
    const bool valid = line.size() >= 12 && line.startsWith("HTTP/1.") && isDigit(line[7]) &&
                       line[8] == ' ' && isDigit(line[9]) && isDigit(line[10]) &&
                       isDigit(line[11]) && (line.size() == 12 || line[12] == ' ');
    const int status = valid ? line.mid(9, 3).toInt() : 0;
    if (status < 100 || status > 599) {
        fail(Failure::Malformed);
        return false;
    }
    m_status = status;
    m_http10 = line[7] == '0';
    m_reason = line.mid(13).trimmed();
    m_step = Step::HeaderLine;
    return true;
}

bool HttpResponseParser::onHeaderLine(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = colon > 0 ? line.left(colon) : QByteArray();
    // No name, whitespace in it, or a folded continuation line: not a header we accept.
    if (name.isEmpty() || name.contains(' ') || name.contains('\t')) {
        fail(Failure::Malformed);
        return false;
    }
    if (m_headers.size() >= MaxHeaderCount) {
        fail(Failure::HeadTooLarge);
        return false;
    }
    m_headers.append({name, line.mid(colon + 1).trimmed()});
    return true;
}

bool HttpResponseParser::onHeadEnd() {
    if (m_status < 200) {
        // 101 would switch protocols, which we never ask for.
        if (m_status == 101 || ++m_interim > MaxInterimResponses) {
            fail(Failure::Malformed);
            return false;
        }
        m_status = 0;
        m_reason.clear();
        m_headers.clear();
        m_step = Step::StatusLine;
        return true;
    }
    const QByteArrayList connection = tokens(values("Connection"));
    m_keepAlive = m_http10 ? connection.contains("keep-alive") : !connection.contains("close");
    m_state = State::Body;

    if (m_status == 204 || m_status == 304) {
        finishResponse();
        return true;
    }
    const QByteArrayList coding = tokens(values("Transfer-Encoding"));
    if (!coding.isEmpty()) {
        m_keepAlive =
            m_keepAlive && coding.last() == "chunked" && values("Content-Length").isEmpty();
        m_framing = coding.last() == "chunked" ? Framing::Chunked : Framing::UntilClose;
        m_step = m_framing == Framing::Chunked ? Step::ChunkSize : Step::Data;
        return true;
    }
    const QByteArrayList lengths = tokens(values("Content-Length"));
    if (lengths.isEmpty()) {
        m_keepAlive = false;
        m_framing = Framing::UntilClose;
        m_step = Step::Data;
        return true;
    }
    const qint64 length = decimal(lengths.first());
    if (length < 0 || std::any_of(lengths.begin(), lengths.end(),
                                  [&](const QByteArray& l) { return l != lengths.first(); })) {
        fail(Failure::Malformed);
        return false;
    }
    if (length > m_bodyLimit) {
        fail(Failure::BodyTooLarge);
        return false;
    }
    m_framing = Framing::Length;
    m_remaining = length;
    m_step = Step::Data;
    if (length == 0)
        finishResponse();
    return true;
}

bool HttpResponseParser::onChunkSize(const QByteArray& line) {
    const qsizetype semicolon = line.indexOf(';');
    const QByteArray digits = (semicolon >= 0 ? line.left(semicolon) : line).trimmed();
    bool ok = !digits.isEmpty() && digits.size() <= 15 &&
              std::all_of(digits.begin(), digits.end(), [](char c) {
                  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
              });
    const qint64 size = ok ? digits.toLongLong(&ok, 16) : 0;
    if (!ok) {
        fail(Failure::Malformed);
        return false;
    }
    if (m_body.size() + size > m_bodyLimit) {
        fail(Failure::BodyTooLarge);
        return false;
    }
    m_remaining = size;
    m_step = size == 0 ? Step::Trailer : Step::Data;
    return true;
}

bool HttpResponseParser::appendBody(QByteArrayView bytes) {
    if (m_body.size() + bytes.size() > m_bodyLimit) {
        fail(Failure::BodyTooLarge);
        return false;
    }
    // Checked against the limit in the head already.
    if (m_body.isEmpty() && m_framing == Framing::Length)
        m_body.reserve(qsizetype(m_remaining));
    m_body.append(bytes);
    return true;
}

void HttpResponseParser::fail(Failure failure) {
    m_state = State::Failed;
    m_failure = failure;
    m_keepAlive = false;
    // What was read before the failure depends on how the bytes came in pieces; none of it
    // is a result.
    m_status = 0;
    m_reason.clear();
    m_headers.clear();
    m_body.clear();
    m_line.clear();
}

void HttpResponseParser::finishResponse() {
    m_state = State::Done;
}
