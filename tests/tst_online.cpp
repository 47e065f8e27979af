// The update check against a server of the test's own, and the commands that open web
// pages and files with the desktop's default program.
#include "TestWindow.h"

#include "common/TextFile.h"
#include "net/HttpAnswerReader.h"
#include "net/ReleaseNumber.h"
#include "net/UpdateCheck.h"
#include "online/ReleaseFetch.h"
#include "net/WebAddresses.h"
#include "ui/main/Form1.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <thread>

using namespace vt;

namespace {

// A one-page HTTP server on 127.0.0.1. Each request is answered by answer(path): the
// whole raw response, or an empty array to accept and never answer.
class LocalServer
{
public:
    std::function<QByteArray(const QByteArray &path)> answer;
    QList<QByteArray> requests;

    LocalServer()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                auto *received = new QByteArray;
                QObject::connect(socket, &QObject::destroyed, [received] { delete received; });
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                    *received += socket->readAll();
                    if (!received->contains("\r\n\r\n"))
                        return;
                    requests << *received;
                    const QByteArray path = received->split(' ').value(1);
                    received->clear();
                    const QByteArray response = answer ? answer(path) : QByteArray();
                    if (!response.isEmpty()) {
                        socket->write(response);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }
    QString url(const QString &path = QStringLiteral("/version.txt")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

private:
    QTcpServer server;
};

QByteArray httpResponse(int status, const QByteArray &body, const QByteArray &extraHeaders = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: text/plain\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

const QString Running = QStringLiteral("002008000");

// An HTTP server on 127.0.0.1 that answers in chunks, from a thread of its own so that
// it sends as fast as the client takes: the body given in one chunk, or, given a chunk
// size, an endless answer (1 GB) in chunks of that size, or 1 GB announced as a single
// chunk. Its send buffer is small and fixed, so what it counts as sent is what the client
// took, give or take the sockets' buffers. It stops after 10 s whatever happens, so a
// client that never stops reading cannot hang the test.
class ChunkedServer
{
public:
    static constexpr qint64 OneChunk = 0;      // the body, in one chunk
    static constexpr qint64 Announced1GB = -1; // one chunk of 1 GB, sent in 64 KiB writes
    ChunkedServer(const QByteArray &body, qint64 chunkSize)
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&address), size) != 0
            || ::listen(listener, 4) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        port = ntohs(address.sin_port);
        worker = std::thread([this, body, chunkSize] { serve(body, chunkSize); });
    }
    ~ChunkedServer()
    {
        ::shutdown(listener, SHUT_RDWR);
        if (worker.joinable())
            worker.join();
        ::close(listener);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/version.txt").arg(port); }
    qint64 sentBytes() const { return sent; }

private:
    void serve(const QByteArray &body, qint64 chunkSize)
    {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        QElapsedTimer clock;
        clock.start();
        const timeval wait{0, 100 * 1000};
        ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        const int sendBuffer = 32 * 1024; // the kernel doubles it
        ::setsockopt(client, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        QByteArray request;
        char buffer[4096];
        while (!request.contains("\r\n\r\n") && clock.elapsed() < 10000) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, n);
        }
        const qint64 total = qint64(1) << 30;
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n";
        if (chunkSize == OneChunk) {
            head += QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n0\r\n\r\n";
            sendAll(client, head, clock);
        } else if (chunkSize == Announced1GB) {
            if (sendAll(client, head + QByteArray::number(total, 16) + "\r\n", clock)) {
                const QByteArray piece(64 * 1024, '9');
                while (sent < total && sendAll(client, piece, clock)) {
                }
            }
        } else if (sendAll(client, head, clock)) {
            // About 64 KiB of chunks per write.
            const QByteArray chunk = QByteArray::number(chunkSize, 16) + "\r\n" + QByteArray(chunkSize, '9') + "\r\n";
            const qint64 perWrite = std::max<qint64>(1, 64 * 1024 / chunk.size());
            const QByteArray piece = chunk.repeated(perWrite);
            while (sent < total && sendAll(client, piece, clock)) {
            }
        }
        ::close(client);
    }
    // False once the client has gone or the 10 s are over. Counts the bytes of the body
    // and the chunks' lines the system took, the head apart.
    bool sendAll(int client, const QByteArray &bytes, const QElapsedTimer &clock)
    {
        const bool head = bytes.startsWith("HTTP/");
        for (qsizetype done = 0; done < bytes.size();) {
            if (clock.elapsed() > 10000)
                return false;
            const ssize_t n = ::send(client, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                return false;
            done += n;
            if (!head)
                sent += n;
        }
        return true;
    }

    int listener = -1;
    quint16 port = 0;
    std::thread worker;
    std::atomic<qint64> sent{0};
};

// The largest resident size this process has had, in KiB.
long peakResidentKiB()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Sets an environment variable for one test and puts it back afterwards.
struct EnvGuard
{
    QByteArray name, old;
    bool wasSet;
    EnvGuard(const char *n, const QByteArray &value) : name(n), old(qgetenv(n)), wasSet(qEnvironmentVariableIsSet(n))
    {
        qputenv(n, value);
    }
    ~EnvGuard()
    {
        if (wasSet)
            qputenv(name.constData(), old);
        else
            qunsetenv(name.constData());
    }
};

} // namespace

class TstOnline : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    // First: it needs a process that has not set up encryption yet.
    void unknownNameSetsUpNoEncryption();

    void releaseNumberText_data();
    void releaseNumberText();
    void questionText_data();
    void questionText();
    void updateAddress_data();
    void updateAddress();

    void answerReader_data();
    void answerReader();
    void serverAnswer_data();
    void serverAnswer();
    void silentServerCostsAtMostTheBound();
    void calledOffCheckEndsAtOnce();
    void answerCapIsExact();
    void chunkedAnswer_data();
    void chunkedAnswer();
    void selfSignedCertificateIsRefused();
    void systemProxyIsUsed();
    void checkInTheProgramsModule_data();
    void checkInTheProgramsModule();

    void yesOpensProductPageAndEndsWithoutSaving();
    void noLeavesTheStartAlone();

    void openInShell_data();
    void openInShell();
};

void TstOnline::initTestCase()
{
    // The local server must be reached directly, whatever proxy the machine names.
    for (const char *v : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(v);
}

namespace {

bool tlsLibraryLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libssl.so");
}

} // namespace

void TstOnline::unknownNameSetsUpNoEncryption()
{
    QVERIFY2(!tlsLibraryLoaded(), "an earlier test set up encryption; this one must run first");
    // A name under .invalid never resolves; without a network no name does.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!fetchReleaseText(QUrl(QStringLiteral("https://update.vantrelo.invalid/version.txt")),
                              ReleaseFetchLimits{1500, 64 * 1024, 4096})
                 .has_value());
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!tlsLibraryLoaded());
    // The same server through a proxy: the proxy looks the name up, so encryption is set up
    // for the tunnel whatever this machine knows of the name.
    LocalServer proxy;
    proxy.answer = [](const QByteArray &) { return QByteArray("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n"); };
    EnvGuard guard("https_proxy", proxy.url(QString()).toLatin1());
    QVERIFY(!fetchReleaseText(QUrl(QStringLiteral("https://update.vantrelo.invalid/version.txt"))).has_value());
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY(tlsLibraryLoaded());
}

void TstOnline::releaseNumberText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.8.0") << 2 << 8 << 0 << "002008000";
    QTest::newRow("two-digit parts") << 10 << 99 << 12 << "010099012";
    QTest::newRow("three-digit part") << 2 << 100 << 7 << "002100007";
    QTest::newRow("part above 999 keeps its digits") << 1234 << 5 << 6 << "1234005006";
}

void TstOnline::releaseNumberText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(vt::releaseNumberText(major, minor, revision), text);
}

void TstOnline::questionText_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("one break") << "New.<BR>Open?" << "New.\n\nOpen?";
    QTest::newRow("two breaks") << "a<BR>b<BR>c" << "a\n\nb\n\nc";
    QTest::newRow("lower case stays") << "a<br>b" << "a<br>b";
    QTest::newRow("mixed case stays") << "a<Br>b<BR>" << "a<Br>b\n\n";
    QTest::newRow("none") << "plain" << "plain";
}

void TstOnline::questionText()
{
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QCOMPARE(updateQuestionText(entry), text);
}

void TstOnline::updateAddress_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("url"); // empty: no check
    QTest::newRow("unset: the maker's file") << false << QByteArray() << QString::fromLatin1(VersionFileUrl);
    QTest::newRow("empty: off") << true << QByteArray() << QString();
    QTest::newRow("blank: off") << true << QByteArray("  ") << QString();
    QTest::newRow("local server") << true << QByteArray("http://127.0.0.1:8/v.txt") << "http://127.0.0.1:8/v.txt";
    QTest::newRow("https") << true << QByteArray("https://example.org/v") << "https://example.org/v";
    QTest::newRow("a file is refused") << true << QByteArray("file:///etc/hostname") << QString();
    QTest::newRow("no host") << true << QByteArray("http:///v") << QString();
}

void TstOnline::updateAddress()
{
    QFETCH(bool, set);
    QFETCH(QByteArray, value);
    QFETCH(QString, url);
    EnvGuard guard(UpdateUrlVariable, value);
    if (!set)
        qunsetenv(UpdateUrlVariable);
    const std::optional<QUrl> got = updateCheckUrl();
    QCOMPARE(got.has_value(), !url.isEmpty());
    if (got)
        QCOMPARE(got->toString(), url);
}

void TstOnline::answerReader_data()
{
    // Limits of 16 body bytes and 3 pieces keep the rows short.
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("closedAfter"); // the server closes once all is sent
    QTest::addColumn<int>("state");        // HttpAnswerReader::State
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    const int reading = int(HttpAnswerReader::State::Reading);
    const int done = int(HttpAnswerReader::State::Done);
    const int failed = int(HttpAnswerReader::State::Failed);
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    QTest::newRow("length") << ok + "Content-Length: 9\r\n\r\n002008001" << false << done << 200 << QByteArray("002008001");
    QTest::newRow("length, more sent than said") << ok + "Content-Length: 3\r\n\r\n002008001" << false << done << 200 << QByteArray("002");
    QTest::newRow("length, closed early") << ok + "Content-Length: 9\r\n\r\n0020" << true << failed << 200 << QByteArray();
    QTest::newRow("length, not all there yet") << ok + "Content-Length: 9\r\n\r\n0020" << false << reading << 200 << QByteArray("0020");
    QTest::newRow("length at the limit") << ok + "Content-Length: 16\r\n\r\n" + QByteArray(16, '7') << false << done << 200 << QByteArray(16, '7');
    QTest::newRow("length over the limit, refused on the head") << ok + "Content-Length: 17\r\n\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("two lengths") << ok + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab" << false << failed << 200 << QByteArray();
    QTest::newRow("signed length") << ok + "Content-Length: +1\r\n\r\na" << false << failed << 200 << QByteArray();
    QTest::newRow("zero length") << ok + "Content-Length: 0\r\n\r\n" << false << done << 200 << QByteArray();
    QTest::newRow("until closed") << ok + "\r\n002008001" << true << done << 200 << QByteArray("002008001");
    QTest::newRow("until closed, past the limit") << ok + "\r\n" + QByteArray(17, '7') << true << failed << 200 << QByteArray();
    QTest::newRow("bare line ends") << QByteArray("HTTP/1.0 200 OK\nContent-Length: 2\n\nab") << false << done << 200 << QByteArray("ab");
    QTest::newRow("chunks") << chunked + "3\r\n002\r\n6;x=y\r\n008001\r\n0\r\n\r\n" << false << done << 200 << QByteArray("002008001");
    QTest::newRow("chunks with trailers") << chunked + "2\r\nab\r\n0\r\nX-A: b\r\n\r\n" << false << done << 200 << QByteArray("ab");
    QTest::newRow("chunks closed after the last one") << chunked + "2\r\nab\r\n0\r\n" << true << done << 200 << QByteArray("ab");
    QTest::newRow("chunks closed before the last one") << chunked + "2\r\nab\r\n" << true << failed << 200 << QByteArray();
    QTest::newRow("upper-case size") << chunked + "A\r\n0123456789\r\n0\r\n\r\n" << false << done << 200 << QByteArray("0123456789");
    QTest::newRow("chunk over the limit, refused on its size") << chunked + "11\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("chunks adding up past the limit") << chunked + "8\r\n12345678\r\n9\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("huge size") << chunked + "40000000\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("size past 64 bits") << chunked + "1000000000000000000001\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("a fourth chunk") << chunked + "1\r\na\r\n1\r\nb\r\n1\r\nc\r\n1\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("not hexadecimal") << chunked + "g\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("chunk longer than it said") << chunked + "1\r\nab\r\n0\r\n\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("compressed") << ok + "Transfer-Encoding: gzip, chunked\r\n\r\n1\r\na\r\n0\r\n\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("chunks win over a length") << ok + "Content-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n" << false << done << 200 << QByteArray("a");
    QTest::newRow("interim answer first") << "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 1\r\n\r\na" << false << done << 200 << QByteArray("a");
    QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false << done << 204 << QByteArray();
    QTest::newRow("redirect: the head is enough") << QByteArray("HTTP/1.1 302 Found\r\nLocation: https://a/b\r\n\r\n") << false << done << 302 << QByteArray();
    QTest::newRow("error status: no body taken") << QByteArray("HTTP/1.1 404 No\r\nContent-Length: 9\r\n\r\n002008001") << false << done << 404 << QByteArray();
    QTest::newRow("not http") << QByteArray("002008001\r\n") << false << failed << 0 << QByteArray();
    QTest::newRow("header without a colon") << ok + "Oops\r\n\r\n" << false << failed << 200 << QByteArray();
    QTest::newRow("endless header line") << ok + "X-A: " + QByteArray(9000, 'a') << false << failed << 200 << QByteArray();
    QTest::newRow("endless head") << ok + QByteArray("X-A: a\r\n").repeated(5000) << false << failed << 200 << QByteArray();
}

void TstOnline::answerReader()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, closedAfter);
    QFETCH(int, state);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    // Whole, and byte by byte: where the connection cuts the answer changes nothing.
    for (const qsizetype block : {answer.size(), qsizetype(1)}) {
        HttpAnswerReader reader(16, 3);
        for (qsizetype k = 0; k < answer.size(); k += block)
            reader.feed(QByteArrayView(answer).sliced(k, qMin(block, answer.size() - k)));
        if (closedAfter)
            reader.closed();
        QCOMPARE(int(reader.state()), state);
        if (status)
            QCOMPARE(reader.status(), status);
        QCOMPARE(reader.body(), body);
    }
    // The location a redirect names is handed on as sent.
    if (status == 302) {
        HttpAnswerReader reader(16, 3);
        reader.feed(answer);
        QCOMPARE(reader.location(), QByteArray("https://a/b"));
    }
}

void TstOnline::serverAnswer_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("offered");
    QTest::newRow("newer") << httpResponse(200, "002008001") << true;
    QTest::newRow("same") << httpResponse(200, "002008000") << false;
    QTest::newRow("older") << httpResponse(200, "001999999") << false;
    QTest::newRow("newer major") << httpResponse(200, "003000000") << true;
    QTest::newRow("ten characters (line end)") << httpResponse(200, "002008001\n") << false;
    QTest::newRow("eight characters") << httpResponse(200, "02008001") << false;
    QTest::newRow("empty body") << httpResponse(200, "") << false;
    QTest::newRow("nine letters") << httpResponse(200, "Not Found") << false;
    QTest::newRow("error status with a release body") << httpResponse(404, "009999999") << false;
    QTest::newRow("1 MB body cut at the cap") << httpResponse(200, QByteArray(1 << 20, '9')) << false;
    QTest::newRow("no length, closed after the body")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n002008001") << true;
    QTest::newRow("redirect to plain http is not followed")
        << httpResponse(302, "", "Location: /plain\r\n") << false;
    QTest::newRow("not http at all") << QByteArray("002008001") << false;
}

void TstOnline::serverAnswer()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, offered);
    LocalServer server;
    server.answer = [&](const QByteArray &path) {
        // Where a redirect leads, a newer release waits: only refusing the hop keeps it unseen.
        return path == "/plain" ? httpResponse(200, "002008001") : response;
    };
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(newerReleaseOnServer(QUrl(server.url()), Running), offered);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!server.requests.isEmpty()); // a broken answer may be asked again
    const QByteArray request = server.requests.first().toLower();
    QVERIFY(request.startsWith("get /version.txt "));
    QVERIFY(request.contains("\r\nuser-agent: vb openurl\r\n"));
    QVERIFY(request.contains("\r\ncache-control: no-cache\r\n"));
}

void TstOnline::silentServerCostsAtMostTheBound()
{
    LocalServer server; // accepts and never answers
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!fetchReleaseText(QUrl(server.url())).has_value());
    const qint64 ms = clock.elapsed();
    QVERIFY2(ms >= 2500 && ms < 4000, qPrintable(QString::number(ms)));
    QCOMPARE(server.requests.size(), 1);
}

// A start that hands over to a running copy drops its check: it must not sit out the
// 3 s bound of a server that never answers.
void TstOnline::calledOffCheckEndsAtOnce()
{
    LocalServer server; // accepts and never answers
    QElapsedTimer clock;
    {
        BackgroundUpdateCheck check(QUrl(server.url()), QStringLiteral("2.8.0"), newerReleaseOnServer);
        QTRY_COMPARE(server.requests.size(), 1);
        clock.start();
    }
    const qint64 ms = clock.elapsed();
    QVERIFY2(ms < 500, qPrintable(QString::number(ms)));
}

void TstOnline::answerCapIsExact()
{
    LocalServer server;
    QByteArray body;
    server.answer = [&](const QByteArray &) { return httpResponse(200, body); };
    ReleaseFetchLimits limits;
    body = QByteArray(int(limits.maxBytes), '0');
    const auto atCap = fetchReleaseText(QUrl(server.url()), limits);
    QVERIFY(atCap.has_value());
    QCOMPARE(atCap->size(), limits.maxBytes);
    body += '0';
    QVERIFY(!fetchReleaseText(QUrl(server.url()), limits).has_value());
}

void TstOnline::chunkedAnswer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("chunkSize");
    QTest::addColumn<bool>("read"); // the answer is taken
    const qint64 one = ChunkedServer::OneChunk;
    QTest::newRow("release number in one chunk") << QByteArray("002008001") << one << true;
    QTest::newRow("64 KiB exactly") << QByteArray(64 * 1024, '0') << one << true;
    QTest::newRow("one byte over 64 KiB") << QByteArray(64 * 1024 + 1, '0') << one << false;
    QTest::newRow("1 GB in one chunk") << QByteArray() << ChunkedServer::Announced1GB << false;
    QTest::newRow("endless chunks of one byte") << QByteArray() << qint64(1) << false;
    QTest::newRow("endless chunks of 1000 bytes") << QByteArray() << qint64(1000) << false;
    QTest::newRow("endless chunks of 60000 bytes") << QByteArray() << qint64(60000) << false;
    QTest::newRow("endless chunks of 1 MiB") << QByteArray() << qint64(1 << 20) << false;
}

void TstOnline::chunkedAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(qint64, chunkSize);
    QFETCH(bool, read);
    ChunkedServer server(body, chunkSize);
    const long peakBefore = peakResidentKiB();
    QElapsedTimer clock;
    clock.start();
    const std::optional<QByteArray> answer = fetchReleaseText(QUrl(server.url()));
    const qint64 ms = clock.elapsed();
    QCOMPARE(answer.has_value(), read);
    if (read)
        QCOMPARE(*answer, body);
    // Refused soon after the cap is passed, within the 3 s bound, and without reading on:
    // what the server got rid of is the 64 KiB cap plus what the sockets' buffers hold.
    const QString measured = QStringLiteral("%1 ms, %2 bytes sent, peak +%3 KiB")
                                 .arg(ms).arg(server.sentBytes()).arg(peakResidentKiB() - peakBefore);
    // Each is refused on the chunk that passes a limit: no reason to take more than a
    // moment, let alone the 3 s.
    QVERIFY2(ms < 500, qPrintable(measured));
    QVERIFY2(server.sentBytes() < 1024 * 1024, qPrintable(measured));
    QVERIFY2(peakResidentKiB() - peakBefore < 8 * 1024, qPrintable(measured));
    if (chunkSize != ChunkedServer::OneChunk)
        qInfo("%s", qPrintable(measured));
}

void TstOnline::selfSignedCertificateIsRefused()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS library");
    QFile certificate(VT_TEST_DATA_DIR "/self-signed.crt");
    QFile key(VT_TEST_DATA_DIR "/self-signed.key");
    QVERIFY(certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(&certificate, QSsl::Pem));
    tls.setPrivateKey(QSslKey(&key, QSsl::Rsa, QSsl::Pem));
    // A server that would offer a newer release to anyone who took its certificate.
    QSslServer server;
    server.setSslConfiguration(tls);
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int handshakes = 0;
    connect(&server, &QSslServer::startedEncryptionHandshake, &server, [&] { ++handshakes; });
    connect(&server, &QSslServer::pendingConnectionAvailable, &server, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write(httpResponse(200, "002008001"));
                socket->disconnectFromHost();
            });
    });
    QElapsedTimer clock;
    clock.start();
    const QUrl url(QStringLiteral("https://127.0.0.1:%1/version.txt").arg(server.serverPort()));
    QVERIFY(!fetchReleaseText(url).has_value());
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(handshakes, 1); // it was asked, and its certificate turned down

    // A redirect to it from plain http is followed (it stays encrypted), and ends the same.
    LocalServer plain;
    plain.answer = [&](const QByteArray &) { return httpResponse(302, "", "Location: " + url.toEncoded() + "\r\n"); };
    QVERIFY(!fetchReleaseText(QUrl(plain.url())).has_value());
    QCOMPARE(plain.requests.size(), 1);
    QCOMPARE(handshakes, 2);
}

void TstOnline::systemProxyIsUsed()
{
    // The system's proxy, named the usual way, is asked to open a tunnel to the server;
    // this one refuses.
    LocalServer proxy;
    proxy.answer = [](const QByteArray &) { return QByteArray("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n"); };
    EnvGuard guard("http_proxy", proxy.url(QString()).toLatin1());
    QVERIFY(!fetchReleaseText(QUrl(QStringLiteral("http://update.vantrelo.example/version.txt"))).has_value());
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY2(proxy.requests.first().startsWith("CONNECT update.vantrelo.example:80 HTTP/1."),
             proxy.requests.first().constData());
}

void TstOnline::checkInTheProgramsModule_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("newer");
    const QString built = QStringLiteral(VT_RUN_DIR "/") + QLatin1String(OnlineModuleName);
    QTest::newRow("newer release") << built << QByteArray("002008001") << true;
    QTest::newRow("same release") << built << QByteArray("002008000") << false;
    // No module: the start goes on as if the server were out of reach.
    QTest::newRow("module missing") << QStringLiteral(VT_RUN_DIR "/plugins/none.so") << QByteArray("002008001") << false;
    // A file that is no module at all.
    QTest::newRow("not a module") << QStringLiteral(VT_RUN_DIR "/Files/Portable.ini") << QByteArray("002008001") << false;
}

void TstOnline::checkInTheProgramsModule()
{
    QFETCH(QString, module);
    QFETCH(QByteArray, body);
    QFETCH(bool, newer);
    LocalServer server;
    server.answer = [&](const QByteArray &) { return httpResponse(200, body); };
    BackgroundUpdateCheck check(QUrl(server.url()), QStringLiteral("002008000"), releaseCheckInModule(module));
    QCOMPARE(check.newerRelease(), newer);
}

void TstOnline::yesOpensProductPageAndEndsWithoutSaving()
{
    LocalServer server;
    server.answer = [](const QByteArray &) { return httpResponse(200, "002008001"); };
    EnvGuard guard(UpdateUrlVariable, server.url().toLatin1());
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    rec.answerUpdate = true;
    rec.releaseCheck = newerReleaseOnServer;
    QVERIFY(!form.load());
    QCOMPARE(rec.questions.size(), 1);
    QCOMPARE(rec.questions.first(), state.Language[112] + "|" + updateQuestionText(state.Language[111]));
    QVERIFY(rec.questions.first().contains("\n\n"));
    QCOMPARE(rec.opened, QStringList{QString::fromLatin1(ProductPageUrl)});
    QCOMPARE(rec.exits, QList<int>{0});
    QVERIFY(!form.isVisible());
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
}

void TstOnline::noLeavesTheStartAlone()
{
    LocalServer server;
    server.answer = [](const QByteArray &) { return httpResponse(200, "002008001"); };
    EnvGuard guard(UpdateUrlVariable, server.url().toLatin1());
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    rec.answerUpdate = false;
    rec.releaseCheck = newerReleaseOnServer;
    QVERIFY(form.load());
    QCOMPARE(rec.questions.size(), 1);
    QVERIFY(rec.opened.isEmpty());
    QVERIFY(rec.exits.isEmpty());
}

void TstOnline::openInShell_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("index");     // the cover-search item, or -1
    QTest::addColumn<QString>("opened"); // what xdg-open receives; "APP" is the program folder
    QTest::newRow("updates: product page") << "mnuAggiornamenti" << -1 << QString::fromLatin1(ProductPageUrl);
    QTest::newRow("more languages") << "mnuAggLingua" << -1 << QString::fromLatin1(LanguagePageUrl);
    QTest::newRow("donation") << "mnuDonazioniFaiunadonazione" << -1 << QString::fromLatin1(DonationPageUrl);
    for (int k = 0; k < int(CoverSearchSites.size()); ++k)
        QTest::addRow("cover search %s", CoverSearchSites[size_t(k)].name)
            << "mnuCercaCoverSito" << k << QString::fromLatin1(CoverSearchSites[size_t(k)].url);
    QTest::newRow("version history") << "mnuVersione" << -1 << "file://APP/Versioni.txt";
    QTest::newRow("help page") << "mnuMenu1Guida" << -1 << "file://APP/Files/Help-en.html";
}

void TstOnline::openInShell()
{
    QFETCH(QString, action);
    QFETCH(int, index);
    QFETCH(QString, opened);

    // An xdg-open of our own, first on PATH, that writes down what it was asked to open.
    QTemporaryDir bin;
    const QString record = bin.filePath("opened.txt");
    QFile script(bin.filePath("xdg-open"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + record.toUtf8() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EnvGuard path("PATH", bin.path().toUtf8() + ":" + qgetenv("PATH"));

    ProgramFolder folder;
    AppState state;
    HookRecorder rec;
    Form1Hooks hooks = defaultForm1Hooks(); // the real opening, through the desktop services
    hooks.warn = rec.hooks().warn;
    hooks.exitNow = rec.hooks().exitNow;
    Form1 form(state, folder.path(), QString(), hooks);
    QVERIFY(form.load());

    QAction *item = nullptr;
    for (QAction *a : form.findChildren<QAction *>(action))
        if (index < 0 || a->data().toInt() == index)
            item = a;
    QVERIFY(item);
    QVERIFY(item->isEnabled());
    item->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
    opened.replace("APP", folder.path());
    QTRY_COMPARE(QString::fromUtf8(fileBytes(record)).trimmed(), opened);
}

QTEST_MAIN(TstOnline)
#include "tst_online.moc"
