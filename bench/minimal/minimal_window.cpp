// The floor for start-up: the least a Qt widgets program does before its first window
// shows — a main window with a menu bar and an empty centre. bench/startup measures
// Vantrelo against it; keep it this bare, or the comparison loses its meaning.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QObject::connect(file->addAction(QStringLiteral("&Quit")), &QAction::triggered, &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    window.setCentralWidget(new QWidget);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
