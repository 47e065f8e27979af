// Start procedure: the command line decides between the window and a batch run; the window
// starts in portable or installed mode, registers the file type, then runs the main
// window's load sequence.
#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/ProgramFolders.h"
#include "app/Registration.h"
#include "app/ProjectHandover.h"
#include "app/SignalCloser.h"
#include "app/SingleInstance.h"
#include "app/StartPlatform.h"
#include "cli/BatchRun.h"
#include "common/BehindTheWindow.h"
#include "net/UpdateCheck.h"
#include "platform/PictureLoading.h"
#include "ui/main/Form1.h"
#include "ui/main/MenuIcons.h"
#include "ui/main/WebCommands.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QMessageBox>
#include <QStringList>
#include <QTextStream>

#include <fontconfig/fontconfig.h>

#include <exception>
#include <future>
#include <memory>

namespace {

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before anything needs a display: --help, --version and a
    // usage error answer on any terminal, and export and print draw offscreen without one.
    QStringList arguments;
    QList<QByteArray> argumentBytes;
    for (int k = 1; k < argc; ++k) {
        argumentBytes << QByteArray(argv[k]);
        arguments << QFile::decodeName(argumentBytes.last());
    }
    vt::CommandLine command =
        vt::parseCommandLine(arguments, [](const QString &path) { return QFileInfo(path).isFile(); });
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (command.mode) {
    case vt::CommandLine::Mode::Help:
        out << vt::commandLineUsage();
        return 0;
    case vt::CommandLine::Mode::Version:
        out << vt::makeVersionCaption(vt::VersionMajor, vt::VersionMinor, vt::VersionRevision) << Qt::endl;
        return 0;
    case vt::CommandLine::Mode::UsageError:
        err << "vantrelo: " << command.error << Qt::endl << vt::commandLineUsage();
        return 2;
    default:
        break;
    }
    if (!hasDisplay()) {
        if (!vt::isBatchMode(command.mode)) {
            err << "vantrelo: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "--export-pdf and --print work without one"
                << Qt::endl;
            return 2;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // A display that is named but cannot be opened: Qt falls back to offscreen instead of
    // aborting, and what that means is decided below.
    const vt::DisplayEnvironment display = vt::DisplayEnvironment::fromProcess();
    const bool platformChosenHere = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (platformChosenHere)
        qputenv("QT_QPA_PLATFORM", vt::platformCandidates(display));
    vt::keepStartupNoiseOffStandardError();
    // A project name that is not UTF-8 (or a relative one in a folder whose name is not)
    // is opened through a link Qt can read.
    if (const QByteArray bytes = vt::projectArgumentBytes(argumentBytes, command.project);
        !bytes.isEmpty() && vt::needsNameAlias(bytes))
        command.project = vt::openableFileName(bytes, vt::nameAliasFolder(vt::privateRuntimeFolder().path));

    auto name = [] {
        QCoreApplication::setApplicationName(QStringLiteral("Vantrelo"));
        QCoreApplication::setApplicationVersion(QStringLiteral("2.8.0.0"));
        QGuiApplication::setDesktopFileName(QStringLiteral("vantrelo"));
    };
    if (vt::isBatchMode(command.mode)) {
        // Export and print paint a page and need fonts and a print system, no widgets.
        QGuiApplication app(argc, argv);
        name();
        vt::setTryingPlatforms(false);
        // The candidates' own environment stays out of the processes the program starts.
        if (platformChosenHere)
            qunsetenv("QT_QPA_PLATFORM");
        try {
            return vt::runBatch(command, QDir::cleanPath(QCoreApplication::applicationDirPath()), err);
        } catch (const std::exception &e) {
            err << "vantrelo: " << QString::fromLocal8Bit(e.what()) << Qt::endl;
            return 1;
        }
    }

    // From here on a signal ends the window's run by the same rules as when it shows,
    // however early it comes.
    vt::SignalCloser::catchSignals();
    // While Qt connects to the display, fontconfig reads its configuration and caches
    // (about 4 ms of processor, which the first text measured would wait for; reading
    // them again later does nothing). Niced: Qt's own start and the display server come
    // first.
    auto fontsReady = std::async(std::launch::async, [] {
        vt::runBehindTheWindow();
        FcInit();
    });
    QApplication app(argc, argv);
    name();
    vt::setTryingPlatforms(false);
    QApplication::setStyle(vt::styleWithDeferredBarPictures());
    if (platformChosenHere) {
        // The candidates' own environment stays out of the processes the program starts.
        qunsetenv("QT_QPA_PLATFORM");
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            err << "vantrelo: the display " << vt::displayName(display)
                << " cannot be opened; --export-pdf and --print work without one" << Qt::endl;
            return 2;
        }
    }
    // Making the menu bar, Qt asks the session bus whether the desktop shows menus
    // itself. Where no bus runs, finding that out forks a helper that looks for one to
    // start, and the window waited for it while other threads held the processors.
    // Connected now, on a thread of its own, the answer is there when the window asks.
    auto sessionBusAsked = std::async(std::launch::async, [] { QDBusConnection::sessionBus(); });

    try {
        const QString appPath = QDir::cleanPath(QCoreApplication::applicationDirPath());
        // Sent off first: the server answers while the window is built.
        std::unique_ptr<vt::BackgroundUpdateCheck> updateCheck = vt::startUpdateCheck(vt::programReleaseCheck(appPath));

        const QString icon = appPath + QStringLiteral("/Files/vantrelo.png");
        // Decoded while the window is built.
        auto iconPicture = std::async(std::launch::async, [icon] { return vt::readPng(icon); });
        vt::AppState state;
        state.AppPath = appPath;
        vt::decideFolderMode(state);
        if (!vt::isPortable(state)) {
            state.StoreFailureTold = !vt::prepareWritableFolder(state);
            vt::registerInstalledCopy(appPath, QCoreApplication::applicationFilePath(), icon, vt::userDataHome(),
                                      vt::systemDataDirs());
        }

        vt::Form1 form(state, appPath, command.project);
        form.takeUpdateCheck(std::move(updateCheck));
        // Set before anything is shown, message boxes of the load included.
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(iconPicture.get())));
        vt::SignalCloser closer;
        QObject::connect(&closer, &vt::SignalCloser::closeRequested, &form,
                         [&form](int signalNumber) { form.closeBySystem(signalNumber); });
        if (!form.load())
            return 0;
        form.show();
        return QApplication::exec();
    } catch (const std::exception &e) {
        QMessageBox::warning(nullptr, QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
