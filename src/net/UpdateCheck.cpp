#include "net/UpdateCheck.h"

#include "common/BehindTheWindow.h"

#include "net/WebAddresses.h"

#include <QEventLoop>
#include <QLibrary>
#include <QThread>

#include <memory>

namespace vt {

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

std::optional<QUrl> updateCheckUrl()
{
    if (!qEnvironmentVariableIsSet(UpdateUrlVariable))
        return QUrl(QString::fromLatin1(VersionFileUrl));
    const QString value = qEnvironmentVariable(UpdateUrlVariable).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const QUrl url(value, QUrl::StrictMode);
    if (!url.isValid() || !isWebAddress(url) || url.host().isEmpty())
        return std::nullopt;
    return url;
}

namespace {

// The module's one function (online/OnlineModule.cpp).
using ModuleCheck = bool (*)(const QUrl &, const QString &, const ReleaseFetchLimits &);

} // namespace

ReleaseCheck releaseCheckInModule(const QString &modulePath)
{
    return [modulePath](const QUrl &url, const QString &runningText, const ReleaseFetchLimits &limits) {
        // Stays loaded: Qt Network's own threads may outlive the check.
        QLibrary library(modulePath);
        const auto check = reinterpret_cast<ModuleCheck>(library.resolve("vantreloNewerReleaseOnServer"));
        return check && check(url, runningText, limits);
    };
}

ReleaseCheck programReleaseCheck(const QString &appPath)
{
    return releaseCheckInModule(appPath + u'/' + QLatin1String(OnlineModuleName));
}

BackgroundUpdateCheck::BackgroundUpdateCheck(const QUrl &url, const QString &runningText, ReleaseCheck check,
                                             const ReleaseFetchLimits &limits)
{
    m_thread.reset(QThread::create([this, url, runningText, check = std::move(check), limits] {
        // Behind the window being built, which would otherwise share the processor with
        // opening the online module and setting up encryption at the very start.
        runBehindTheWindow();
        m_newer = check && check(url, runningText, limits);
    }));
    m_thread->start();
}

BackgroundUpdateCheck::~BackgroundUpdateCheck()
{
    m_thread->requestInterruption();
    m_thread->wait();
}

bool BackgroundUpdateCheck::newerRelease()
{
    if (!m_thread->isFinished()) {
        QEventLoop waiting;
        QObject::connect(m_thread.get(), &QThread::finished, &waiting, &QEventLoop::quit);
        // Looked at again once connected: the thread may have ended in between.
        if (!m_thread->isFinished())
            waiting.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_thread->wait();
    return m_newer;
}

} // namespace vt
