#include "net/HttpAnswerReader.h"

#include <QList>

namespace vt {

namespace {

// Digits only, no sign, no more than fit: anything else in a length is not a length.
qint64 decimalValue(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18)
        return -1;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

HttpAnswerReader::HttpAnswerReader(qint64 maxBody, int maxPieces) : m_maxBody(maxBody), m_maxPieces(maxPieces) {}

HttpAnswerReader::State HttpAnswerReader::feed(QByteArrayView bytes)
{
    if (m_state != State::Reading || bytes.isEmpty())
        return m_state;
    m_pending.append(bytes.data(), bytes.size());
    while (m_state == State::Reading && step()) {
    }
    return m_state;
}

HttpAnswerReader::State HttpAnswerReader::closed()
{
    if (m_state != State::Reading)
        return m_state;
    // A last chunk without the blank line after its trailers is still a whole body.
    if (m_stage == Stage::UntilClose || m_stage == Stage::Trailers)
        finish();
    else
        fail();
    return m_state;
}

bool HttpAnswerReader::step()
{
    QByteArray line;
    switch (m_stage) {
    case Stage::StatusLine:
        return takeLine(line) && statusLine(line);
    case Stage::Headers:
        if (!takeLine(line))
            return false;
        return line.isEmpty() ? headEnded() : headerLine(line);
    case Stage::Length:
    case Stage::UntilClose:
    case Stage::ChunkData: {
        if (m_pending.isEmpty())
            return false;
        qint64 take = m_pending.size();
        if (m_stage == Stage::Length)
            take = qMin(take, m_contentLength - m_body.size());
        else if (m_stage == Stage::ChunkData)
            take = qMin(take, m_chunkLeft);
        if (m_body.size() + take > m_maxBody) {
            fail();
            return false;
        }
        m_body.append(m_pending.constData(), take);
        m_pending.remove(0, take);
        if (m_stage == Stage::Length && m_body.size() == m_contentLength)
            finish();
        if (m_stage == Stage::ChunkData && (m_chunkLeft -= take) == 0)
            m_stage = Stage::ChunkEnd;
        return true;
    }
    case Stage::ChunkEnd:
        if (!takeLine(line))
            return false;
        if (!line.isEmpty()) {
            fail();
            return false;
        }
        m_stage = Stage::ChunkSize;
        return true;
    case Stage::ChunkSize:
        return takeLine(line) && chunkSizeLine(line);
    case Stage::Trailers:
        if (!takeLine(line))
            return false;
        if (line.isEmpty())
            finish();
        return true;
    case Stage::Finished:
        return false;
    }
    return false;
}

// Takes one line, without its end (CRLF, or a bare LF as lenient servers send). A line
// longer than any head needs fails the answer.
bool HttpAnswerReader::takeLine(QByteArray &line)
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0) {
        if (m_pending.size() > MaxLineBytes)
            fail();
        return false;
    }
    if (end > MaxLineBytes) {
        fail();
        return false;
    }
    line = m_pending.left(end);
    m_pending.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (m_stage == Stage::StatusLine || m_stage == Stage::Headers || m_stage == Stage::Trailers) {
        m_headBytes += end + 1;
        if (m_headBytes > MaxHeadBytes) {
            fail();
            return false;
        }
    }
    return true;
}

bool HttpAnswerReader::statusLine(const QByteArray &line)
{
    // "HTTP/1.1 200 OK": the version, then three digits.
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() < 2 || !parts[0].startsWith("HTTP/1.") || parts[1].size() != 3) {
        fail();
        return false;
    }
    m_status = int(decimalValue(parts[1]));
    if (m_status < 100) {
        fail();
        return false;
    }
    m_contentLength = -1;
    m_chunked = m_otherEncoding = false;
    m_location.clear();
    m_stage = Stage::Headers;
    return true;
}

bool HttpAnswerReader::headerLine(const QByteArray &line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) {
        fail();
        return false;
    }
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-length") {
        const qint64 length = decimalValue(value);
        // Two different lengths: which one the server meant is anyone's guess.
        if (length < 0 || (m_contentLength >= 0 && m_contentLength != length)) {
            fail();
            return false;
        }
        m_contentLength = length;
    } else if (name == "transfer-encoding") {
        // Only plain chunks are understood; a compressed body was not asked for.
        const QByteArray coding = value.split(',').last().trimmed().toLower();
        m_chunked = coding == "chunked";
        m_otherEncoding = !m_chunked || value.contains(',');
    } else if (name == "location") {
        m_location = value;
    }
    return true;
}

bool HttpAnswerReader::headEnded()
{
    if (m_status < 200) {
        // An interim answer ("100 Continue"): the real one follows. Switching protocols
        // is nothing this reader can follow.
        if (m_status == 101) {
            fail();
            return false;
        }
        m_stage = Stage::StatusLine;
        return true;
    }
    // Only a successful answer's body is wanted; for any other the head says it all.
    if (m_status >= 300 || m_status == 204) {
        finish();
        return true;
    }
    if (m_otherEncoding) {
        fail();
        return false;
    }
    if (m_chunked) {
        m_stage = Stage::ChunkSize;
    } else if (m_contentLength >= 0) {
        if (m_contentLength > m_maxBody) {
            fail();
            return false;
        }
        m_stage = Stage::Length;
        if (m_contentLength == 0)
            finish();
    } else {
        m_stage = Stage::UntilClose;
    }
    return true;
}

bool HttpAnswerReader::chunkSizeLine(const QByteArray &line)
{
    // Hexadecimal digits, then perhaps ";name=value" extensions, which mean nothing here.
    qsizetype end = line.indexOf(';');
    const QByteArray digits = (end < 0 ? line : line.left(end)).trimmed();
    if (digits.isEmpty() || digits.size() > 15) {
        fail();
        return false;
    }
    qint64 size = 0;
    for (const char c : digits) {
        const int digit = c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            fail();
            return false;
        }
        size = size * 16 + digit;
    }
    if (size == 0) {
        m_stage = Stage::Trailers;
        return true;
    }
    // A chunk that would carry the body past the limit is refused before it is read.
    if (++m_pieces > m_maxPieces || m_body.size() + size > m_maxBody) {
        fail();
        return false;
    }
    m_chunkLeft = size;
    m_stage = Stage::ChunkData;
    return true;
}

void HttpAnswerReader::fail()
{
    m_state = State::Failed;
    m_stage = Stage::Finished;
    m_pending.clear();
    m_body.clear();
}

void HttpAnswerReader::finish()
{
    m_state = State::Done;
    m_stage = Stage::Finished;
    m_pending.clear();
}

} // namespace vt
