// Start procedure: the command line decides between the window and a batch run; the window
// starts in portable or installed mode, registers the file type, then runs the main
// window's load sequence.
#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/ProgramFolders.h"
#include "app/Registration.h"
#include "app/SignalCloser.h"
#include "cli/BatchRun.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTextStream>

#include <exception>

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
    for (int k = 1; k < argc; ++k)
        arguments << QString::fromLocal8Bit(argv[k]);
    const vt::CommandLine command =
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

    auto name = [] {
        QCoreApplication::setApplicationName(QStringLiteral("Vantrelo"));
        QCoreApplication::setApplicationVersion(QStringLiteral("2.8.0.0"));
        QGuiApplication::setDesktopFileName(QStringLiteral("vantrelo"));
    };
    if (vt::isBatchMode(command.mode)) {
        // Export and print paint a page and need fonts and a print system, no widgets.
        QGuiApplication app(argc, argv);
        name();
        try {
            return vt::runBatch(command, QDir::cleanPath(QCoreApplication::applicationDirPath()), err);
        } catch (const std::exception &e) {
            err << "vantrelo: " << QString::fromLocal8Bit(e.what()) << Qt::endl;
            return 1;
        }
    }

    QApplication app(argc, argv);
    name();

    try {
        const QString appPath = QDir::cleanPath(QCoreApplication::applicationDirPath());

        const QString icon = appPath + QStringLiteral("/Files/vantrelo.png");
        QApplication::setWindowIcon(QIcon(icon));
        vt::AppState state;
        state.AppPath = appPath;
        vt::decideFolderMode(state);
        if (!vt::isPortable(state)) {
            vt::prepareWritableFolder(state);
            vt::registerInstalledCopy(appPath, QCoreApplication::applicationFilePath(), icon, vt::userDataHome(),
                                      vt::systemDataDirs());
        }

        vt::Form1 form(state, appPath, command.project);
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
