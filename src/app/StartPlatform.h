#pragma once
// Which window system the program starts on. Qt aborts the whole process when its
// platform cannot be opened (a DISPLAY that names a display that is gone, say), so the
// start offers Qt the offscreen platform as a last choice and looks at what it got:
// export and print run on it as they do without any display; a window start ends
// with a clear message instead.
#include <QByteArray>
#include <QString>

class QMessageLogContext;

namespace vt {

struct DisplayEnvironment
{
    QByteArray display;        // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray desktop;        // XDG_CURRENT_DESKTOP and XDG_SESSION_DESKTOP, joined
    static DisplayEnvironment fromProcess();
};

// The platforms for QT_QPA_PLATFORM, in Qt's own order of preference for this
// environment (Wayland first in a Wayland session, except on GNOME), then "offscreen".
QByteArray platformCandidates(const DisplayEnvironment &environment);

// The display the window would have opened, for the message when it could not.
QString displayName(const DisplayEnvironment &environment);

// Qt's messages that say nothing to the user of this program: the warning that
// XDG_RUNTIME_DIR is unset (the program keeps its own files elsewhere), and, while
// the platforms are tried, the report of each one that could not be opened.
bool isStartupNoise(const QMessageLogContext &context, const QString &message, bool tryingPlatforms);

// Installs a message handler that drops isStartupNoise and passes everything else on.
// setTryingPlatforms(false) once the application object exists.
void keepStartupNoiseOffStandardError();
void setTryingPlatforms(bool trying);

} // namespace vt
