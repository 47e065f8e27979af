// Start procedure: the command line decides between the window and a batch run; the window
// starts in portable or installed mode, registers the file type, then runs the main
// window's load sequence.
#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/ProgramFolders.h"
#include "app/Registration.h"
#include "app/SignalCloser.h"
#include "ui/main/BatchRun.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

// Export and print need no display: without one, they draw offscreen. This has to be
// known before the application object picks its platform.
void chooseOffscreenForBatch(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--") == 0)
            return;
        if (std::strncmp(argv[k], "--export-pdf", 12) == 0 || std::strcmp(argv[k], "--print") == 0) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    chooseOffscreenForBatch(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrelo"));
    QApplication::setApplicationVersion(QStringLiteral("2.8.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("vantrelo"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const vt::CommandLine command = vt::parseCommandLine(
        QCoreApplication::arguments().mid(1), [](const QString &path) { return QFileInfo(path).isFile(); });
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

    try {
        const QString appPath = QDir::cleanPath(QCoreApplication::applicationDirPath());
        if (vt::isBatchMode(command.mode))
            return vt::runBatch(command, appPath, err);

        const QString icon = appPath + QStringLiteral("/Files/vantrelo.png");
        QApplication::setWindowIcon(QIcon(icon));
        if (!vt::isPortable(appPath)) {
            vt::prepareWritableFolder(appPath);
            vt::registerInstalledCopy(appPath, QCoreApplication::applicationFilePath(), icon, vt::userDataHome(),
                                      vt::systemDataDirs());
        }

        vt::AppState state;
        vt::Form1 form(state, appPath, command.project);
        vt::SignalCloser closer;
        QObject::connect(&closer, &vt::SignalCloser::closeRequested, &form, [&form] { form.close(); });
        if (!form.load())
            return 0;
        form.show();
        return QApplication::exec();
    } catch (const std::exception &e) {
        QMessageBox::warning(nullptr, QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
