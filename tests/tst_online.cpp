// The update check against a server of the test's own, and the commands that open web
// pages and files with the desktop's default program.
#include "TestWindow.h"

#include "common/TextFile.h"
#include "net/ReleaseNumber.h"
#include "net/UpdateCheck.h"
#include "net/WebAddresses.h"
#include "ui/main/Form1.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

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
// it sends as fast as the client takes: the body given in one chunk, or, with endless
// set, 1 GB announced as one chunk and sent in 64 KiB pieces. It stops after 10 s
// whatever happens, so a client that never stops reading cannot hang the test.
class ChunkedServer
{
public:
    enum class Chunks { One, Large, OneByte };
    ChunkedServer(const QByteArray &body, Chunks chunks)
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
        worker = std::thread([this, body, chunks] { serve(body, chunks); });
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
    void serve(const QByteArray &body, Chunks chunks)
    {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        QElapsedTimer clock;
        clock.start();
        const timeval wait{0, 100 * 1000};
        ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        QByteArray request;
        char buffer[4096];
        while (!request.contains("\r\n\r\n") && clock.elapsed() < 10000) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, n);
        }
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n";
        if (chunks == Chunks::One) {
            head += QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n0\r\n\r\n";
            sendAll(client, head, clock);
        } else if (chunks == Chunks::Large) {
            if (sendAll(client, head + QByteArray::number(qint64(1) << 30, 16) + "\r\n", clock)) {
                const QByteArray piece(64 * 1024, '9');
                while (sent < (qint64(1) << 30) && sendAll(client, piece, clock))
                    sent += piece.size();
            }
        } else if (sendAll(client, head, clock)) {
            QByteArray piece;
            for (int k = 0; k < 8192; ++k)
                piece += "1\r\n9\r\n";
            while (sent < (qint64(1) << 30) && sendAll(client, piece, clock))
                sent += 8192;
        }
        ::close(client);
    }
    // False once the client has gone or the 10 s are over.
    bool sendAll(int client, const QByteArray &bytes, const QElapsedTimer &clock)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            if (clock.elapsed() > 10000)
                return false;
            const ssize_t n = ::send(client, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                return false;
            done += n;
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

    void releaseNumberText_data();
    void releaseNumberText();
    void questionText_data();
    void questionText();
    void updateAddress_data();
    void updateAddress();

    void serverAnswer_data();
    void serverAnswer();
    void silentServerCostsAtMostTheBound();
    void answerCapIsExact();
    void chunkedAnswer_data();
    void chunkedAnswer();

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
    QTest::addColumn<int>("chunks");
    QTest::addColumn<bool>("read"); // the answer is taken
    const int one = int(ChunkedServer::Chunks::One);
    QTest::newRow("release number in one chunk") << QByteArray("002008001") << one << true;
    QTest::newRow("64 KiB exactly") << QByteArray(64 * 1024, '0') << one << true;
    QTest::newRow("one byte over 64 KiB") << QByteArray(64 * 1024 + 1, '0') << one << false;
    QTest::newRow("1 GB in one chunk") << QByteArray() << int(ChunkedServer::Chunks::Large) << false;
    QTest::newRow("1 GB in chunks of one byte") << QByteArray() << int(ChunkedServer::Chunks::OneByte) << false;
}

void TstOnline::chunkedAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(int, chunks);
    QFETCH(bool, read);
    ChunkedServer server(body, ChunkedServer::Chunks(chunks));
    const long peakBefore = peakResidentKiB();
    QElapsedTimer clock;
    clock.start();
    const std::optional<QByteArray> answer = fetchReleaseText(QUrl(server.url()));
    const qint64 ms = clock.elapsed();
    QCOMPARE(answer.has_value(), read);
    if (read)
        QCOMPARE(*answer, body);
    // Refused soon after the cap is passed, within the 3 s bound, and without reading the
    // whole answer: the network thread may read ahead of the cap, never to the end.
    const QString measured = QStringLiteral("%1 ms, %2 bytes sent, peak +%3 KiB")
                                 .arg(ms).arg(server.sentBytes()).arg(peakResidentKiB() - peakBefore);
    QVERIFY2(ms < 2500, qPrintable(measured));
    QVERIFY2(server.sentBytes() < 512 * 1024 * 1024, qPrintable(measured));
    if (chunks != int(ChunkedServer::Chunks::One))
        qInfo("%s", qPrintable(measured));
}

void TstOnline::yesOpensProductPageAndEndsWithoutSaving()
{
    LocalServer server;
    server.answer = [](const QByteArray &) { return httpResponse(200, "002008001"); };
    EnvGuard guard(UpdateUrlVariable, server.url().toLatin1());
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    rec.answerUpdate = true;
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
