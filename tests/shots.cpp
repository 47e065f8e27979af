// Not a test: draws every window and dialog in every shipped language into PNG files,
// for looking at them (run under xvfb-run, with QT_SCALE_FACTOR=2 for a 200 % screen):
//     xvfb-run -a build/tests/vt_shots OUTPUT_FOLDER
#include "TestWindow.h"

#include "formats/CoverPictures.h"
#include "lang/LanguageTable.h"
#include "print/CoverOutput.h"
#include "ui/dialogs/HoverLiftButton.h"
#include "ui/dialogs/frmAbout2.h"
#include "ui/dialogs/frmOpzioni.h"
#include "ui/dialogs/frmStampa.h"
#include "ui/dialogs/frmTitolo.h"
#include "ui/main/PrintCommand.h"
#include "ui/main/Toolbar.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

using namespace vt;

namespace {

void save(QWidget *w, const QString &path)
{
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("%s: not shown", qPrintable(path));
    QTest::qWait(150);
    w->grab().save(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(out);
    if (qEnvironmentVariableIsSet("VT_SHOTS_ABOUT_PLACE")) {
        // Where the main window stands before the about box and after it closed (run
        // under a window manager).
        TestWindow w;
        w.form.load();
        w.form.show();
        QTest::qWait(800);
        // Moved by the program, or by the window manager (a drag: VT_SHOTS_ABOUT_PLACE=wm,
        // with xdotool moving the window meanwhile).
        if (qEnvironmentVariable("VT_SHOTS_ABOUT_PLACE") != QLatin1String("wm"))
            w.form.move(300, 200);
        QTest::qWait(2500);
        const QPoint before = w.form.pos();
        frmAbout2 *about = showAboutBox(w.state, &w.form, [](const QString &) { return true; });
        QTest::qWait(800);
        about->close();
        QTest::qWait(1500);
        qInfo("before %d,%d after %d,%d", before.x(), before.y(), w.form.pos().x(), w.form.pos().y());
        return before == w.form.pos() ? 0 : 1;
    }
    for (const char *language : {"English.lng", "Italiano.lng", "Deutsch.lng", "Français.lng", "Spanish.lng",
                                 "Portuguese.lng"}) {
        TestWindow w;
        auto &[folder, state, rec, form] = w;
        form.load();
        form.applyChosenLanguageFile(folder.file(QStringLiteral("Files/Lang/") + QString::fromUtf8(language)));
        const QString tag = QFileInfo(QString::fromUtf8(language)).completeBaseName();
        auto file = [&](const char *name) { return out + u'/' + tag + u'-' + QLatin1String(name) + ".png"; };

        // The main window with a small picture on the front (the low-resolution mark) and a
        // long tip at the narrowest window.
        form.selectFormat(3);
        QImage small(300, 300, QImage::Format_RGB32);
        small.fill(QColor(70, 110, 160));
        small.save(folder.file("small.png"));
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("main window not shown");
        form.loadSlotFromChosenFile(0, folder.file("small.png"));
        save(&form, file("main"));
        form.resize(form.minimumSize());
        QTest::qWait(200);
        form.toolbar()->hoverButton(1);
        save(&form, file("main-min"));
        form.resize(900, 700);
        QTest::qWait(200);
        QMenu *formats = form.menu(QStringLiteral("mnuFormato"));
        formats->popup(form.mapToGlobal(QPoint(60, 0)));
        QTest::qWait(200);
        formats->grab().save(file("format-menu"));
        formats->hide();

        PrintDialogMemory memory;
        {
            frmStampa print(systemPrintContext(form, state, memory), &form);
            save(&print, file("print"));
            // The print button with the keyboard focus on it.
            print.button(0)->caption()->setFocus(Qt::TabFocusReason);
            QTest::qWait(100);
            print.grab().save(file("print-focus"));
            QMessageBox box(QMessageBox::Warning, state.Language.fallbackText(LanguageTable::PrintErrorTitleEntry),
                            outputErrorText(state.Language, OutputResult{false, "Permission denied", {},
                                                                          OutputFailure::FileNotWritten,
                                                                          "/proc/cover.pdf", PaperKind::A4}),
                            QMessageBox::Ok, &print);
            save(&box, file("print-error"));
        }
        {
            OptionsContext c;
            c.state = &state;
            c.mainFormat = 14;
            frmOpzioni options(c, &form);
            save(&options, file("options"));
        }
        {
            TitleEditorContext c;
            c.state = &state;
            c.style = &form.titleStyleForEditing();
            frmTitolo title(c, &form);
            save(&title, file("title"));
        }
        {
            QFileDialog dialog(&form, state.Language[101], QDir::homePath());
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            save(&dialog, file("qt-file"));
            QColorDialog colour(&form);
            save(&colour, file("qt-colour"));
        }
        frmAbout2 *about = showAboutBox(state, &form, [](const QString &) { return true; });
        save(about, file("about"));
        about->close();
        QTest::qWait(100);
    }
    return 0;
}
