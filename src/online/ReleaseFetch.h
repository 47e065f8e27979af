#pragma once
// The update check's talk with the server (Qt Network), in the module the check's thread
// opens (see net/UpdateCheck.h) and in the tests.
#include "net/UpdateCheck.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace vt {

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

} // namespace vt
