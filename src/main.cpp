// Start procedure: portable or installed mode, file-type registration, then the main
// window's load sequence.
#include "app/AppState.h"
#include "app/ProgramFolders.h"
#include "app/Registration.h"
#include "app/SignalCloser.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>

#include <exception>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrelo"));
    QApplication::setApplicationVersion(QStringLiteral("2.8.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("vantrelo"));

    try {
        const QString appPath = QDir::cleanPath(QCoreApplication::applicationDirPath());
        const QString icon = appPath + QStringLiteral("/Files/vantrelo.png");
        QApplication::setWindowIcon(QIcon(icon));
        vt::AppState state;
        state.AppPath = appPath;
        vt::decideFolderMode(state);
        if (!vt::isPortable(state)) {
            vt::prepareWritableFolder(state);
            vt::registerProjectFileType(QCoreApplication::applicationFilePath(), icon, vt::userDataHome());
        }

        // The whole argument text is one project path (a path may hold blanks).
        QStringList args = QCoreApplication::arguments();
        args.removeFirst();
        const QString commandLine = args.join(u' ');

        vt::Form1 form(state, appPath, commandLine);
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
