// The update check's talk with the server. Built into a module of its own
// (online/OnlineModule.cpp) that the check's thread opens: linked into the program, Qt
// Network and the libraries it brings (Kerberos, the proxy library) would load with every
// start, before the window could show.
#include "online/ReleaseFetch.h"

#include "net/HttpAnswerReader.h"
#include "net/ReleaseNumber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostInfo>
#include <QNetworkProxyFactory>
#include <QSslSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace vt {

namespace {

// Redirects followed before the answer is taken as none.
constexpr int MaxRedirects = 5;
// What the socket holds before the reader has taken it apart: the rest stays in the
// system's buffers, and the server waits.
constexpr qint64 SocketBufferBytes = 16 * 1024;
// How often a check on its own thread looks whether it was called off.
constexpr int InterruptionPollMs = 10;

} // namespace

namespace {

// The system's proxy for url, as far as a plain socket can use one: a SOCKS proxy, or an
// HTTP proxy that tunnels (CONNECT). A caching-only proxy is passed by.
QNetworkProxy systemProxyFor(const QUrl &url)
{
    for (const QNetworkProxy &proxy : QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url))) {
        if (proxy.type() == QNetworkProxy::NoProxy || proxy.type() == QNetworkProxy::Socks5Proxy
            || proxy.type() == QNetworkProxy::HttpProxy)
            return proxy;
    }
    return QNetworkProxy(QNetworkProxy::NoProxy);
}

QByteArray requestFor(const QUrl &url)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() >= 0)
        host += ':' + QByteArray::number(url.port());
    return "GET " + target + " HTTP/1.1\r\nHost: " + host
           + "\r\nUser-Agent: VB OpenUrl\r\nAccept: */*\r\nAccept-Encoding: identity\r\n"
             "Cache-Control: no-cache\r\nPragma: no-cache\r\nConnection: close\r\n\r\n";
}

// Runs loop until something in it quits, the time left runs out or the check's owner
// calls it off; the latter two call stop, which must quit the loop.
void runBounded(QEventLoop &loop, qint64 remainingMs, const std::function<void()> &stop)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, stop);
    // Time already up ends the loop at its first turn.
    deadline.start(int(std::max<qint64>(0, remainingMs)));
    // A check on a thread of its own is called off by its owner (see BackgroundUpdateCheck).
    QTimer calledOff;
    QObject::connect(&calledOff, &QTimer::timeout, &loop, [&stop] {
        if (QThread::currentThread()->isInterruptionRequested())
            stop();
    });
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        calledOff.start(InterruptionPollMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Whether the name has an address, asked within the time left. The answer stays in Qt's
// cache of names, where the socket finds it.
bool resolves(const QString &host, qint64 remainingMs)
{
    QEventLoop loop;
    bool found = false;
    bool answered = false;
    const int lookup = QHostInfo::lookupHost(host, &loop, [&](const QHostInfo &info) {
        answered = true;
        found = info.error() == QHostInfo::NoError && !info.addresses().isEmpty();
        loop.quit();
    });
    if (!answered)
        runBounded(loop, remainingMs, [&loop] { loop.quit(); });
    if (!answered)
        QHostInfo::abortHostLookup(lookup);
    return found;
}

struct Exchange
{
    bool ok = false;
    int status = 0;
    QByteArray location;
    QByteArray body;
};

// One GET on one connection, ended at the first sign of trouble or when clock passes
// the time limit. The answer is read in blocks as it comes, by this thread: no byte is
// taken from the system's buffers that the reader has not asked for.
Exchange exchange(const QUrl &url, const ReleaseFetchLimits &limits, const QElapsedTimer &clock)
{
    Exchange result;
    const qint64 remaining = limits.timeoutMs - clock.elapsed();
    const bool encrypted = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    if (remaining <= 0 || QThread::currentThread()->isInterruptionRequested())
        return result;
    const QNetworkProxy proxy = systemProxyFor(url);
    // Without a proxy the server's name is looked up first: a machine off the network
    // finds out in a moment, and never sets up encryption (several milliseconds of
    // processor, on every start) for a connection it cannot make. A proxy looks the name
    // up itself.
    if (proxy.type() == QNetworkProxy::NoProxy && !resolves(url.host(), remaining))
        return result;
    if (encrypted && !QSslSocket::supportsSsl())
        return result;

    QSslSocket socket; // used unencrypted for http
    socket.setProxy(proxy);
    socket.setReadBufferSize(SocketBufferBytes);
    // Certificate errors are never ignored: the handshake fails on its own.
    HttpAnswerReader reader(limits.maxBytes, limits.maxPieces);
    QEventLoop loop;
    bool over = false;
    auto end = [&](bool ok) {
        if (over)
            return;
        over = true;
        result.ok = ok;
        loop.quit();
    };
    // The head decides: a success is read to its end, anything else needs no body.
    auto settle = [&] {
        if (reader.state() == HttpAnswerReader::State::Failed)
            end(false);
        else if (reader.state() == HttpAnswerReader::State::Done || (reader.headComplete() && reader.status() >= 300))
            end(true);
    };
    auto take = [&] {
        while (!over && socket.bytesAvailable() > 0) {
            reader.feed(socket.read(SocketBufferBytes));
            // The deadline is looked at here too: under a stream of data its timer may
            // come late.
            if (clock.hasExpired(limits.timeoutMs))
                end(false);
            else
                settle();
        }
    };
    auto closedByServer = [&] {
        take();
        if (!over) {
            reader.closed();
            settle();
        }
    };
    const QByteArray request = requestFor(url);
    auto send = [&] { socket.write(request); };
    if (encrypted)
        QObject::connect(&socket, &QSslSocket::encrypted, &loop, send);
    else
        QObject::connect(&socket, &QSslSocket::connected, &loop, send);
    QObject::connect(&socket, &QSslSocket::readyRead, &loop, take);
    QObject::connect(&socket, &QSslSocket::disconnected, &loop, closedByServer);
    QObject::connect(&socket, &QSslSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            closedByServer();
        else
            end(false);
    });
    const quint16 defaultPort = encrypted ? 443 : 80;
    if (encrypted)
        socket.connectToHostEncrypted(url.host(), quint16(url.port(defaultPort)));
    else
        socket.connectToHost(url.host(), quint16(url.port(defaultPort)));
    if (!over)
        runBounded(loop, limits.timeoutMs - clock.elapsed(), [&] { end(false); });
    socket.disconnect(&loop);
    socket.abort();

    if (result.ok) {
        result.status = reader.status();
        result.location = reader.location();
        result.body = reader.body();
    }
    return result;
}

} // namespace

std::optional<QByteArray> fetchReleaseText(const QUrl &url, const ReleaseFetchLimits &limits)
{
    if (!url.isValid() || !isWebAddress(url) || url.host().isEmpty())
        return std::nullopt;
    QElapsedTimer clock;
    clock.start();
    QUrl at = url;
    for (int hop = 0; hop <= MaxRedirects; ++hop) {
        const Exchange answer = exchange(at, limits, clock);
        if (!answer.ok)
            return std::nullopt;
        if (answer.status >= 200 && answer.status < 300)
            return answer.body;
        const bool redirect = answer.status == 301 || answer.status == 302 || answer.status == 303
                              || answer.status == 307 || answer.status == 308;
        if (!redirect || answer.location.isEmpty())
            return std::nullopt;
        // Only redirects that stay encrypted are followed: a plain-HTTP hop could be
        // answered by anyone on the way.
        const QUrl to = at.resolved(QUrl::fromEncoded(answer.location));
        if (!to.isValid() || to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0
            || to.host().isEmpty())
            return std::nullopt;
        at = to;
    }
    return std::nullopt;
}

bool newerReleaseOnServer(const QUrl &url, const QString &runningText, const ReleaseFetchLimits &limits)
{
    const std::optional<QByteArray> answer = fetchReleaseText(url, limits);
    // Latin-1 keeps one character per byte, so the length test counts what was sent.
    return answer && offersNewerRelease(QString::fromLatin1(*answer), runningText);
}

} // namespace vt
