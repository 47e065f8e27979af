#pragma once
// One HTTP/1.x answer read as it comes off the connection, held to a limit on the body
// whatever its transfer encoding: a declared length, chunks, or "until the server
// closes". Nothing beyond the limit is ever kept, and a chunk or a length that announces
// more is refused before a byte of it is read. Widget- and socket-free, so every shape of
// answer can be fed to it in tests.
#include <QByteArray>
#include <QByteArrayView>

namespace vt {

class HttpAnswerReader
{
public:
    enum class State { Reading, Done, Failed };

    // maxBody: the longest body taken. maxPieces: the most chunks a chunked body may come
    // in (a body without chunks is bounded by its length and the caller's deadline).
    HttpAnswerReader(qint64 maxBody, int maxPieces);

    // More bytes from the connection. Once Done or Failed, further bytes are ignored.
    State feed(QByteArrayView bytes);
    // The server closed the connection: an answer that ran until the close is complete,
    // any other unfinished one has failed.
    State closed();

    State state() const { return m_state; }
    // The final answer's status and head are in (an interim 1xx answer is skipped).
    bool headComplete() const { return m_stage > Stage::Headers; }
    int status() const { return m_status; }
    // The Location header of the final answer, as sent.
    QByteArray location() const { return m_location; }
    // The body once Done: only an answer with a 2xx status has one read.
    const QByteArray &body() const { return m_body; }

private:
    enum class Stage { StatusLine, Headers, Length, UntilClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Finished };
    // The longest line of a head or a chunk's size line, and the whole head.
    static constexpr qsizetype MaxLineBytes = 8 * 1024;
    static constexpr qsizetype MaxHeadBytes = 32 * 1024;

    bool step();           // one step on the pending bytes; false when more are needed
    bool takeLine(QByteArray &line);
    bool statusLine(const QByteArray &line);
    bool headerLine(const QByteArray &line);
    bool headEnded();
    bool chunkSizeLine(const QByteArray &line);
    void fail();
    void finish();

    qint64 m_maxBody;
    int m_maxPieces;
    State m_state = State::Reading;
    Stage m_stage = Stage::StatusLine;
    QByteArray m_pending; // received, not yet taken apart; at most a line or a block
    qsizetype m_headBytes = 0;
    int m_status = 0;
    qint64 m_contentLength = -1;
    bool m_chunked = false;
    bool m_otherEncoding = false;
    QByteArray m_location;
    qint64 m_chunkLeft = 0;
    int m_pieces = 0;
    QByteArray m_body;
};

} // namespace vt
