#include "net/UpdateCheck.h"

#include "net/ReleaseNumber.h"
#include "net/WebAddresses.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace vt {

namespace {

// The system's proxy settings for this one manager, without changing the
// application-wide choice.
class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return systemProxyForQuery(query);
    }
};

bool isWebScheme(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

std::optional<QUrl> updateCheckUrl()
{
    if (!qEnvironmentVariableIsSet(UpdateUrlVariable))
        return QUrl(QString::fromLatin1(VersionFileUrl));
    const QString value = qEnvironmentVariable(UpdateUrlVariable).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const QUrl url(value, QUrl::StrictMode);
    if (!url.isValid() || !isWebScheme(url) || url.host().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QByteArray> fetchReleaseText(const QUrl &url, const ReleaseFetchLimits &limits)
{
    if (!url.isValid() || !isWebScheme(url))
        return std::nullopt;

    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxyFactory); // the manager owns it
    manager.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("VB OpenUrl"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setTransferTimeout(limits.timeoutMs);

    QNetworkReply *reply = manager.get(request);
    // The network thread parses no more than a little of the answer ahead of this one.
    // Without a bound it goes on reading a long answer after the abort, until the end
    // (the manager's destruction waits for it), and one in tiny chunks keeps it busy
    // for seconds without handing a byte over: the start came seconds late.
    reply->setReadBufferSize(16 * 1024);
    QElapsedTimer clock;
    clock.start();
    QByteArray body;
    bool failed = false;
    auto fail = [&] {
        failed = true;
        reply->abort();
    };

    // Only redirects that stay encrypted are followed: a plain-HTTP hop could be
    // answered by anyone on the way.
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl &to) {
        if (to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
            emit reply->redirectAllowed();
        else
            fail();
    });
    // Certificate errors are never ignored: the reply fails on its own.
    int pieces = 0;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        // Each chunk of a chunked answer comes as a piece of its own: a release number
        // in thousands of them is no release number, and each one costs time.
        if (++pieces > limits.maxPieces)
            fail();
        while (!failed && reply->bytesAvailable() > 0) {
            body += reply->read(2048);
            // The deadline is looked at here too: under a stream of data its timer may
            // come late.
            if (body.size() > limits.maxBytes || clock.hasExpired(limits.timeoutMs))
                fail();
        }
    });

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { fail(); });
    deadline.start(limits.timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    if (!failed && reply->error() == QNetworkReply::NoError) {
        body += reply->read(limits.maxBytes + 1 - body.size());
        if (body.size() > limits.maxBytes || reply->bytesAvailable() > 0)
            failed = true;
    } else {
        failed = true;
    }
    reply->disconnect(); // the manager deletes the reply as it goes
    if (failed)
        return std::nullopt;
    return body;
}

bool newerReleaseOnServer(const QUrl &url, const QString &runningText, const ReleaseFetchLimits &limits)
{
    const std::optional<QByteArray> answer = fetchReleaseText(url, limits);
    // Latin-1 keeps one character per byte, so the length test counts what was sent.
    return answer && offersNewerRelease(QString::fromLatin1(*answer), runningText);
}

} // namespace vt
