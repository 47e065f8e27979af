#pragma once
// The update check: one small HTTPS read of the release number on the maker's server,
// done by a module of its own (online/) on a thread of its own.
// It runs before the main window shows, so it is bounded: a dead or stalling server
// costs the start at most ReleaseFetchLimits::timeoutMs.
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
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

// Whether url is an http or https address.
bool isWebAddress(const QUrl &url);

// The check itself: true when the server at url names a newer release than runningText.
// Runs on the check's thread and ends early when that thread is asked to stop.
using ReleaseCheck = std::function<bool(const QUrl &url, const QString &runningText, const ReleaseFetchLimits &)>;

// The check as the module in modulePath does it (online/ReleaseFetch.h): the module, and
// Qt Network with it, is opened on the first call, on the calling thread. A module that
// is missing or broken answers "no newer release", as a server out of reach does.
ReleaseCheck releaseCheckInModule(const QString &modulePath);
inline constexpr char OnlineModuleName[] = "plugins/vantrelo-online.so";
// The check through the online module of the program in appPath.
ReleaseCheck programReleaseCheck(const QString &appPath);

// A release check on a thread of its own, started at construction, so the start builds
// its window while the server answers. The check ends early when that thread is asked to
// stop (QThread::requestInterruption).
class BackgroundUpdateCheck
{
public:
    BackgroundUpdateCheck(const QUrl &url, const QString &runningText, ReleaseCheck check,
                          const ReleaseFetchLimits &limits = {});
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
