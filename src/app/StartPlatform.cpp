#include "app/StartPlatform.h"

#include <QtGlobal>

#include <atomic>

namespace vt {

DisplayEnvironment DisplayEnvironment::fromProcess()
{
    return {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
            qgetenv("XDG_CURRENT_DESKTOP") + ':' + qgetenv("XDG_SESSION_DESKTOP")};
}

QByteArray platformCandidates(const DisplayEnvironment &environment)
{
    const bool x11 = !environment.display.isEmpty();
    const bool wayland = !environment.waylandDisplay.isEmpty();
    const bool waylandFirst = wayland
                              && (!x11
                                  || (environment.sessionType == "wayland"
                                      && !environment.desktop.toLower().contains("gnome")));
    QByteArray list;
    if (waylandFirst)
        list += "wayland;";
    if (x11)
        list += "xcb;";
    if (wayland && !waylandFirst)
        list += "wayland;";
    return list + "offscreen";
}

QString displayName(const DisplayEnvironment &environment)
{
    return QString::fromLocal8Bit(!environment.display.isEmpty() ? environment.display
                                                                 : environment.waylandDisplay);
}

bool isStartupNoise(const QMessageLogContext &context, const QString &message, bool tryingPlatforms)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return true;
    if (!tryingPlatforms || !context.category)
        return false;
    const QLatin1String category(context.category);
    if (category == QLatin1String("qt.qpa.xcb") && message.contains(QLatin1String("could not connect to display")))
        return true;
    if (category == QLatin1String("qt.qpa.wayland") && message.contains(QLatin1String("Failed to create wl_display")))
        return true;
    return category == QLatin1String("qt.qpa.plugin")
           && (message.startsWith(QLatin1String("Could not load the Qt platform plugin"))
               || message.startsWith(QLatin1String("Could not find the Qt platform plugin")));
}

namespace {
QtMessageHandler g_previousHandler = nullptr;
std::atomic<bool> g_tryingPlatforms{true};

void filterNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg && isStartupNoise(context, message, g_tryingPlatforms.load()))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

void keepStartupNoiseOffStandardError()
{
    g_previousHandler = qInstallMessageHandler(filterNoise);
}

void setTryingPlatforms(bool trying)
{
    g_tryingPlatforms = trying;
}

} // namespace vt
