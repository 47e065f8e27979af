#pragma once
// The update check: one small HTTPS read of the release number on the maker's server.
// It runs before the main window shows, so it is bounded: a dead or stalling server
// costs the start at most ReleaseFetchLimits::timeoutMs.
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>
#include <optional>

class QThread;

namespace vt {

struct ReleaseFetchLimits
{
    int timeoutMs = 3000;           // the whole exchange, from lookup to last byte
    qint64 maxBytes = 64 * 1024;    // a longer answer is not a release number
    int maxPieces = 4096;           // nor one handed over in more chunks than this
};

// The address to ask: VANTRELO_UPDATE_URL when it is set, the maker's version file
// otherwise. None (no check at all) when the variable is set but empty, or names
// anything but an http or https address.
std::optional<QUrl> updateCheckUrl();

// Reads the whole answer of a GET on url, as the agent "VB OpenUrl", through the
// system's proxy, never from a cache. None on any failure: no answer within the time
// limit, an HTTP error status, a certificate error, a redirect to anything but https,
// more than MaxRedirects (5) redirects, an answer longer than maxBytes, or a chunked one
// in more than maxPieces chunks. The answer is read on a socket of its own, block by
// block, so that nothing past the limits is ever taken off the connection, whatever the
// transfer encoding. Runs a local event loop; returns within the limit.
std::optional<QByteArray> fetchReleaseText(const QUrl &url, const ReleaseFetchLimits &limits = {});

// The check as a whole: true when the server names a newer release than runningText.
bool newerReleaseOnServer(const QUrl &url, const QString &runningText, const ReleaseFetchLimits &limits = {});

// newerReleaseOnServer on a thread of its own, started at construction, so the start
// builds its window while the server answers. A fetch on another thread ends early when
// that thread is asked to stop (QThread::requestInterruption).
class BackgroundUpdateCheck
{
public:
    BackgroundUpdateCheck(const QUrl &url, const QString &runningText, const ReleaseFetchLimits &limits = {});
    // Ends a check still under way within a few milliseconds: a start that goes no
    // further (a hand-over to a running copy) does not wait for a slow server.
    ~BackgroundUpdateCheck();
    BackgroundUpdateCheck(const BackgroundUpdateCheck &) = delete;
    BackgroundUpdateCheck &operator=(const BackgroundUpdateCheck &) = delete;

    // The answer, waited for if need be. The calling thread's events (signals among
    // them) keep being handled meanwhile; user input waits.
    bool newerRelease();

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_newer{false};
};

} // namespace vt
