// Start-up, shutdown and the program's place on the desktop.
#include "OtherUser.h"
#include "TestWindow.h"

#include "app/ProgramFolders.h"
#include "app/ProjectHandover.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/StartPlatform.h"
#include "common/TextFile.h"
#include "project/ProjectFile.h"
#include "ui/main/Form1.h"
#include "ui/main/ProjectCommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vt;

namespace {


// Reverses the Exec escaping: string-value escapes first, then the quoting.
QString unescapeExecArgument(const QString &value)
{
    QString s;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar n = value[++i];
            s += n == u'n' ? QChar(u'\n') : n == u't' ? QChar(u'\t') : n == u'r' ? QChar(u'\r') : n;
        } else {
            s += value[i];
        }
    }
    if (!s.startsWith(u'"') || !s.endsWith(u'"') || s.size() < 2)
        return QStringLiteral("<not quoted>");
    QString out;
    for (qsizetype i = 1; i < s.size() - 1; ++i) {
        if (s[i] == u'\\' && i + 1 < s.size() - 1) {
            out += s[++i];
        } else if (s[i] == u'%' && i + 1 < s.size() - 1 && s[i + 1] == u'%') {
            out += u'%';
            ++i;
        } else if (s[i] == u'"' || s[i] == u'`' || s[i] == u'$' || s[i] == u'\\') {
            return QStringLiteral("<unescaped %1>").arg(s[i]);
        } else {
            out += s[i];
        }
    }
    return out;
}

QString executableOf(const QString &folder) { return folder + "/vantrelo"; }

} // namespace

// Answers the question before leaving unsaved work with Discard, counting it.
static void discardUnsavedWork(Form1 &form, int &asked)
{
    ProjectDialogs dialogs = defaultProjectDialogs();
    dialogs.askUnsaved = [&asked](QWidget *, const UnsavedQuestion &) {
        ++asked;
        return UnsavedAnswer::Discard;
    };
    form.projects()->setDialogs(dialogs);
}

class TstStartup : public QObject
{
    Q_OBJECT
private slots:
    void loadShowsEnglishWindow();
    void savedWindowStateAndFormatApply();
    void savedFormatOutsideListSelectsFirst_data();
    void savedFormatOutsideListSelectsFirst();
    void savedWindowStateRestored_data();
    void savedWindowStateRestored();
    void missingLanguageFileFallsBackToEnglish();
    void languageChangeKeepsFormatAndSaves();
    void longTextsAreNotCutMidWord_data();
    void longTextsAreNotCutMidWord();
    void helpOpensLanguagePage();
    void closeWritesSettingsThenCatalogue();
    void exitWritesSettingsAsCloseDoes();
    void unstorableSettingsAreToldOnce();
    void secondInstanceIsRefused();
    void lockIsPerUser();
    void privateFolderIsChecked_data();
    void privateFolderIsChecked();

    void desktopExecEscaping_data();
    void desktopExecEscaping();
    void portableMarkerDecidesFolders();
    void modeIsDecidedOncePerRun();
    void unwritableUserFolderReadsShippedCatalogue();

    void sigtermClosesCleanly();
    void sigtermKeepsUnsavedWorkForTheNextStart();
    void signalDuringRefusalWritesNothing();
    void unwritableUserFolderIsReportedOnce();
    void installedModeRegistersAndKeepsFilesPerUser();
    void projectOnCommandLineSetsFormat();
    void projectThroughDesktopExecLine();
    void secondStartHandsProjectOver_data();
    void secondStartHandsProjectOver();
    void handoverMessageIsLengthAndBytes();
    void unspelledNamesKeepTheirFolder_data();
    void unspelledNamesKeepTheirFolder();
    void projectThroughUserLinkFindsItsPictures();
    void noDisplayMessageFromRunScript();
    void platformCandidates_data();
    void platformCandidates();
    void startupNoise_data();
    void startupNoise();
    void unreachableDisplay_data();
    void unreachableDisplay();
    void signalDuringStartupBox_data();
    void signalDuringStartupBox();
    void signalWhileABoxIsOpen_data();
    void signalWhileABoxIsOpen();
};

void TstStartup::loadShowsEnglishWindow()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    QCOMPARE(form.windowTitle(), QString("Untitled[*] - Vantrelo 2.8.0.0"));
    QCOMPARE(state.LanguageFileName, QString("English.lng")); // the tests run with LANG=en_US
    QCOMPARE(form.clientSizeTwips(), QSize(9930, 7290));
    QCOMPARE(int(state.InitialScaleHeight), 7290);
    QCOMPARE(int(state.FormatCount), 22);
    QCOMPARE(form.formatList()->count(), 22);
    QCOMPARE(form.formatList()->currentIndex(), 0);
    QCOMPARE(form.menu("mnuFormato")->findChildren<QAction *>("mnuFormato1").size(), 22);
    QVERIFY(form.menu("mnuFile")->title().contains(u'&'));
    for (const char *name : {"mnuApriDS", "mnuSalva", "mnuFileApri", "mnuImg3", "mnuFileStampa", "mnuFileEsci",
                             "mnuTitolo", "mnuLingua", "mnuMenu1Guida", "mnuMenu1Informazioni"})
        QVERIFY2(!form.action(name)->text().isEmpty(), name);
    QVERIFY(form.action("mnuImg2")->text().endsWith(" &2..."));
    QCOMPARE(form.statusLabel()->text(), state.Language[14]);
    QCOMPARE(form.findChild<QLabel *>("Label6")->text(), state.Language[16]);
    QCOMPARE(state.ToolbarTips[1], QString(state.Language[1]).remove(u'&'));
    QCOMPARE(state.TitleOnCover, qint16(1));
    QCOMPARE(state.TitleOnSpine, qint16(1));
    QVERIFY(state.SoundsOn); // no settings file: sounds on
    QVERIFY(rec.warnings.isEmpty());
}

void TstStartup::savedWindowStateAndFormatApply()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"Italiano.lng", "5", "/p", "/q", "1", "1"}));
    QVERIFY(form.load());
    QCOMPARE(form.formatList()->currentIndex(), 5);
    QVERIFY(!(form.windowState() & Qt::WindowMinimized)); // a minimised window comes back normal
    QVERIFY(!state.SoundsOn);
    QCOMPARE(state.LastPictureFolder, QString("/q"));
    QCOMPARE(form.formatList()->itemText(5), state.Language[58]);
    QCOMPARE(form.action("mnuFileEsci")->text(), state.Language[41]);
    QVERIFY(state.Language[41] != QString()); // Italian captions came from Italiano.lng
}

void TstStartup::savedFormatOutsideListSelectsFirst_data()
{
    QTest::addColumn<QString>("line2");
    QTest::addColumn<int>("selected");
    QTest::newRow("beyond the catalogue") << "40" << 0;
    QTest::newRow("one past the last") << "22" << 0;
    QTest::newRow("nothing selected when saved") << "-1" << 0;
    QTest::newRow("16-bit overflow") << "99999" << 0;
    QTest::newRow("the last format") << "21" << 21;
}

void TstStartup::savedFormatOutsideListSelectsFirst()
{
    QFETCH(QString, line2);
    QFETCH(int, selected);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"English.lng", line2, "", "", "0", "0"}));
    QVERIFY(form.load());
    QCOMPARE(form.formatList()->currentIndex(), selected);
    QVERIFY(form.previewLayout().sheet.visible);
    QVERIFY(state.PreviewA > 0);
    form.SalvaOpzioni();
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(1), QString::number(selected));
}

void TstStartup::savedWindowStateRestored_data()
{
    QTest::addColumn<QString>("line6");
    QTest::addColumn<int>("shown"); // Qt::WindowStates after load
    QTest::addColumn<QString>("saved"); // line 6 written back
    QTest::newRow("normal") << "0" << int(Qt::WindowNoState) << "0";
    QTest::newRow("minimised comes back normal") << "1" << int(Qt::WindowNoState) << "0";
    QTest::newRow("maximised stays maximised") << "2" << int(Qt::WindowMaximized) << "2";
}

void TstStartup::savedWindowStateRestored()
{
    QFETCH(QString, line6);
    QFETCH(int, shown);
    QFETCH(QString, saved);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"English.lng", "3", "", "", "0", line6}));
    QVERIFY(form.load());
    QCOMPARE(int(form.windowState()), shown);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.isVisible());
    form.SalvaOpzioni();
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(5), saved);
}

void TstStartup::missingLanguageFileFallsBackToEnglish()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"Czech.lng", "0", "", "", "0", "0"}));
    QVERIFY(form.load());
    QCOMPARE(state.LanguageFileName, QString("English.lng"));
    QVERIFY(!form.menu("mnuFile")->title().isEmpty());
    QCOMPARE(form.formatList()->count(), 22);
    QVERIFY(!form.formatList()->itemText(21).isEmpty());
}

void TstStartup::languageChangeKeepsFormatAndSaves()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.selectFormat(3);
    const QString englishExit = form.action("mnuFileEsci")->text();
    form.applyChosenLanguageFile(folder.file("Files/Lang/Italiano.lng"));
    QCOMPARE(state.LanguageFileName, QString("Italiano.lng"));
    QVERIFY(form.action("mnuFileEsci")->text() != englishExit);
    QCOMPARE(form.formatList()->currentIndex(), 3);
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(0), QString("Italiano.lng"));

    // A file outside a Lang folder keeps the language but still saves and reloads.
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    form.applyChosenLanguageFile(folder.file("Files/Covers.ini"));
    QCOMPARE(state.LanguageFileName, QString("Italiano.lng"));
    QVERIFY(QFile::exists(folder.file("Files/Vantrelo.ini")));
}

void TstStartup::longTextsAreNotCutMidWord_data()
{
    QTest::addColumn<QString>("language");
    for (const char *l : {"English.lng", "Français.lng", "Spanish.lng", "Italiano.lng", "Portuguese.lng", "Deutsch.lng"})
        QTest::newRow(l) << QString::fromUtf8(l);
}

void TstStartup::longTextsAreNotCutMidWord()
{
    QFETCH(QString, language);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {language, "0", "", "", "0", "0"}));
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.clientSizeTwips(), QSize(9930, 7290));

    // The status line shows what fits, ends in "…" when that is not all, and offers the
    // whole text as its tooltip.
    QLabel *status = form.statusLabel();
    const QString full = state.Language[14];
    QVERIFY(!full.isEmpty());
    QCOMPARE(status->toolTip(), full);
    const int room = status->contentsRect().width() - status->indent();
    QVERIFY2(status->fontMetrics().horizontalAdvance(status->text()) <= room, qPrintable(status->text()));
    if (status->text() != full) {
        QVERIFY(status->text().endsWith(u'…'));
        QVERIFY(full.startsWith(status->text().chopped(1)));
    }
    // Wider, the whole text comes back.
    form.resize(1600, form.height());
    QTRY_COMPARE(status->text(), full);

    // The closed format list keeps its width; opened, it shows every entry whole.
    QComboBox *list = form.formatList();
    QCOMPARE(list->width(), 4000 / 15);
    list->showPopup();
    QAbstractItemView *view = list->view();
    QTRY_VERIFY(view->isVisible());
    // Each entry's own wish (text and margins, as its delegate draws it) fits the row.
    for (int i = 0; i < list->count(); ++i) {
        const QModelIndex index = list->model()->index(i, 0);
        const int wanted = view->sizeHintForIndex(index).width();
        const int row = view->visualRect(index).width();
        QVERIFY2(wanted <= row, qPrintable(QString("%1: %2 > %3").arg(list->itemText(i)).arg(wanted).arg(row)));
    }
    list->hidePopup();
}

void TstStartup::helpOpensLanguagePage()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"Deutsch.lng", "0", "", "", "0", "0"}));
    QVERIFY(form.load());
    form.action("mnuMenu1Guida")->trigger();
    QCOMPARE(rec.opened, QStringList{folder.file("Files/Help-de.html")});
}

void TstStartup::closeWritesSettingsThenCatalogue()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    const int fd = inotify_init1(IN_NONBLOCK);
    QVERIFY(fd >= 0);
    QVERIFY(inotify_add_watch(fd, QFile::encodeName(folder.file("Files")).constData(), IN_MOVED_TO | IN_CREATE) >= 0);
    form.close();
    QStringList order;
    alignas(inotify_event) char buf[8192];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) {
        for (char *p = buf; p < buf + n;) {
            auto *ev = reinterpret_cast<inotify_event *>(p);
            const QString name = QString::fromLocal8Bit(ev->name);
            if ((name == "Vantrelo.ini" || name == "Covers.ini") && !order.contains(name))
                order << name;
            p += sizeof(inotify_event) + ev->len;
        }
    }
    ::close(fd);
    QCOMPARE(order, (QStringList{"Vantrelo.ini", "Covers.ini"}));
    QCOMPARE(fileBytes(folder.file("Files/Covers.ini")), fileBytes(VT_SOURCE_DATA_DIR "/Files/Covers.ini"));
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).size(), 6);
}

void TstStartup::exitWritesSettingsAsCloseDoes()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    // Choosing a format is an edit: the question before leaving is answered Discard.
    int asked = 0;
    discardUnsavedWork(form, asked);
    form.selectFormat(5);
    form.action("mnuFileEsci")->trigger();
    QCOMPARE(asked, 1);
    QCOMPARE(rec.exits, QList<int>{0});
    QVERIFY(rec.warnings.isEmpty());
    QCOMPARE(splitLines(readTextFile(folder.file("Files/Vantrelo.ini")).value_or(QString())).value(1), QString("5"));
    QCOMPARE(fileBytes(folder.file("Files/Covers.ini")), fileBytes(VT_SOURCE_DATA_DIR "/Files/Covers.ini"));
    // The window's own close afterwards (were the process still there) stores nothing twice.
    QVERIFY(QFile::remove(folder.file("Files/Vantrelo.ini")));
    form.close();
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
}

void TstStartup::unstorableSettingsAreToldOnce()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    // The settings file's name taken by a folder: no write can replace it.
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    QVERIFY(QDir().mkpath(folder.file("Files/Vantrelo.ini")));
    const QByteArray catalogue = fileBytes(folder.file("Files/Covers.ini"));
    int asked = 0;
    discardUnsavedWork(form, asked);
    form.selectFormat(3);
    QVERIFY(!form.SalvaOpzioni());
    QVERIFY(!form.SalvaOpzioni());
    state.Catalogue.entries[0].DimA = 1;
    form.close();
    QCOMPARE(rec.warnings.size(), 1);
    QVERIFY2(rec.warnings.first().contains("Vantrelo.ini could not be saved: it is a folder"),
             qPrintable(rec.warnings.first()));
    QVERIFY(QFileInfo(folder.file("Files/Vantrelo.ini")).isDir());
    // The catalogue could be written, and was; the values in memory are as they were.
    QCOMPARE(state.Catalogue.entries[0].DimA, 1);
    QVERIFY(fileBytes(folder.file("Files/Covers.ini")) != catalogue);
}

void TstStartup::secondInstanceIsRefused()
{
    ProgramFolder folder;
    SingleInstanceLock first(folder.path());
    QVERIFY(first.acquire());
    {
        AppState state;
        HookRecorder rec;
        Form1 form(state, folder.path(), QString(), rec.hooks());
        QVERIFY(!form.load());
        QCOMPARE(rec.warnings, QStringList{state.Language[18] + "|" + state.Language[107]});
        QVERIFY(!state.Language[107].isEmpty());
        QCOMPARE(rec.exits, QList<int>{0});
        // A refused copy that is closed anyway, by the desktop or by a signal, stores
        // nothing; a signal ends it at once.
        form.close();
        form.closeBySystem(SIGTERM);
        QCOMPARE(rec.exits, (QList<int>{0, 128 + SIGTERM}));
    }
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
    // Another folder is another program.
    ProgramFolder other;
    AppState state;
    HookRecorder rec;
    Form1 form(state, other.path(), QString(), rec.hooks());
    QVERIFY(form.load());
    QVERIFY(rec.warnings.isEmpty());
}

namespace {
// Points the temporary folder at a fresh one, open to every user as /tmp is, and unsets
// XDG_RUNTIME_DIR, for one test; puts both back afterwards.
struct SharedTemp
{
    QTemporaryDir dir;
    QByteArray oldTmp = qgetenv("TMPDIR"), oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    SharedTemp()
    {
        ::chmod(QFile::encodeName(dir.path()).constData(), 01777);
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        qunsetenv("XDG_RUNTIME_DIR");
    }
    ~SharedTemp()
    {
        restore("TMPDIR", oldTmp);
        restore("XDG_RUNTIME_DIR", oldRuntime);
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QString userFolder() const { return dir.path() + QStringLiteral("/vantrelo-%1").arg(::getuid()); }
};
} // namespace

void TstStartup::lockIsPerUser()
{
    ProgramFolder folder;
    QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther | QFile::ReadOther);
    SharedTemp temp; // the shared temporary folder, where users meet
    const QString mine = SingleInstanceLock(folder.path()).lockFilePath();
    QVERIFY2(mine.startsWith(temp.userFolder() + "/vantrelo-"), qPrintable(mine));
    QVERIFY(SingleInstanceLock(folder.path()).lockFilePath()
            != SingleInstanceLock(folder.file("Files")).lockFilePath());

    SingleInstanceLock first(folder.path());
    QVERIFY(first.acquire());
    QVERIFY(first.isHeld());
    // The same user is refused; another user of the same program folder is not, and has
    // a folder of their own.
    QVERIFY(!SingleInstanceLock(folder.path()).acquire());
    if (::getuid() == 0)
        QVERIFY(runAsOtherUser([&] {
            SingleInstanceLock other(folder.path());
            return other.acquire() && other.lockFilePath().startsWith(temp.dir.path() + "/vantrelo-65534/");
        }));
}

void TstStartup::privateFolderIsChecked_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("refusal"); // empty: the folder is used
    QTest::newRow("made when missing") << "none" << "";
    QTest::newRow("left by an earlier start") << "ours 0700" << "";
    QTest::newRow("made first by another user") << "other user's" << "belongs to another user (user id 65534)";
    QTest::newRow("ours but open to the group") << "ours 0770" << "has mode 0770, not 0700";
    QTest::newRow("ours but readable by all") << "ours 0755" << "has mode 0755, not 0700";
    QTest::newRow("a link to a private folder of ours") << "link" << "is not a folder";
    QTest::newRow("a file in its place") << "file" << "is not a folder";
    QTest::newRow("XDG_RUNTIME_DIR, private") << "runtime 0700" << "";
    QTest::newRow("XDG_RUNTIME_DIR open to all") << "runtime 0777" << "has mode 0777, not 0700";
}

void TstStartup::privateFolderIsChecked()
{
    QFETCH(QString, setup);
    QFETCH(QString, refusal);
    SharedTemp temp;
    const QString path = temp.userFolder();
    const QByteArray bytes = QFile::encodeName(path);
    QString expected = path;
    if (setup.startsWith("ours ")) {
        QVERIFY(::mkdir(bytes.constData(), 0700) == 0);
        QVERIFY(::chmod(bytes.constData(), mode_t(setup.mid(5).toUInt(nullptr, 8))) == 0);
    } else if (setup == "other user's") {
        if (::getuid() != 0)
            QSKIP("needs root, to act as another user");
        QVERIFY(runAsOtherUser([&] { return ::mkdir(bytes.constData(), 0700) == 0; }));
    } else if (setup == "link") {
        QVERIFY(::mkdir(QFile::encodeName(temp.dir.path() + "/mine").constData(), 0700) == 0);
        QVERIFY(::symlink("mine", bytes.constData()) == 0);
    } else if (setup == "file") {
        QVERIFY(writeTextLines(path, {"planted"}));
    } else if (setup.startsWith("runtime ")) {
        expected = temp.dir.path() + "/run";
        QVERIFY(::mkdir(QFile::encodeName(expected).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(expected).constData(), mode_t(setup.mid(8).toUInt(nullptr, 8))) == 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(expected));
    }
    const PrivateFolder folder = privateRuntimeFolder();
    if (refusal.isEmpty()) {
        QCOMPARE(folder.path, expected);
        QVERIFY(folder.error.isEmpty());
        struct stat st = {};
        QVERIFY(::lstat(QFile::encodeName(expected).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0700);
        return;
    }
    QVERIFY(folder.path.isEmpty());
    QVERIFY2(folder.error.contains(expected + " " + refusal), qPrintable(folder.error));
    // A refused folder takes no lock and the window does not start: it says why.
    ProgramFolder program;
    SingleInstanceLock lock(program.path());
    QVERIFY(!lock.acquire());
    QCOMPARE(lock.folderError(), folder.error);
    AppState state;
    HookRecorder rec;
    Form1 form(state, program.path(), QString(), rec.hooks());
    QVERIFY(!form.load());
    QCOMPARE(rec.warnings.size(), 1);
    QVERIFY(rec.warnings.first().contains(refusal));
    QCOMPARE(rec.exits, QList<int>{1});
}

void TstStartup::desktopExecEscaping_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/opt/vantrelo/vantrelo";
    QTest::newRow("blanks") << "/home/u/My Programs/vantrelo";
    QTest::newRow("double quote") << "/home/u/a\"b/vantrelo";
    QTest::newRow("dollar and backtick") << "/home/u/$HOME`id`/vantrelo";
    QTest::newRow("backslash") << "/home/u/a\\b/vantrelo";
    QTest::newRow("percent") << "/home/u/100%f/vantrelo";
    QTest::newRow("single quote and semicolon") << "/home/u/it's;rm/vantrelo";
    QTest::newRow("newline") << "/home/u/a\nb/vantrelo";
}

void TstStartup::desktopExecEscaping()
{
    QFETCH(QString, path);
    const QString value = desktopExecArgument(path);
    QCOMPARE(unescapeExecArgument(value), path);
    QVERIFY(!value.contains(u'\n'));
    const QString entry = desktopEntryText(path, path + ".png");
    QVERIFY(entry.contains("\nExec=" + value + " %f\n"));
    QVERIFY(entry.contains("\nIcon=" + desktopStringValue(path + ".png") + "\n"));
}

void TstStartup::portableMarkerDecidesFolders()
{
    ProgramFolder portable(true);
    AppState p;
    p.AppPath = portable.path();
    decideFolderMode(p);
    QCOMPARE(p.Mode, FolderMode::Portable);
    QCOMPARE(settingsFilePath(p), portable.file("Files/Vantrelo.ini"));
    ProgramFolder installed(false);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    AppState i;
    i.AppPath = installed.path();
    decideFolderMode(i);
    QCOMPARE(i.Mode, FolderMode::Installed);
    QCOMPARE(catalogueFilePath(i), config.path() + "/vantrelo/Files/Covers.ini");
    QCOMPARE(catalogueReadPath(i), installed.file("Files/Covers.ini")); // not seeded yet
    QVERIFY(prepareWritableFolder(i));
    QCOMPARE(catalogueReadPath(i), config.path() + "/vantrelo/Files/Covers.ini");
    QCOMPARE(fileBytes(config.path() + "/vantrelo/Files/Covers.ini"), fileBytes(installed.file("Files/Covers.ini")));
    // Seeded once: a user's own catalogue is never replaced.
    QVERIFY(writeTextLines(config.path() + "/vantrelo/Files/Covers.ini", {"mine"}));
    QVERIFY(prepareWritableFolder(i));
    QCOMPARE(fileBytes(config.path() + "/vantrelo/Files/Covers.ini"), QByteArray("mine\r\n"));
    qunsetenv("XDG_CONFIG_HOME");
}

void TstStartup::modeIsDecidedOncePerRun()
{
    // The marker appears or goes away while the program runs: every write still goes
    // where this run's files were read from.
    for (const bool portableAtStart : {true, false}) {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        ProgramFolder folder(portableAtStart);
        AppState state;
        HookRecorder rec;
        Form1 form(state, folder.path(), QString(), rec.hooks());
        QVERIFY(form.load());
        const QString ownFolder = portableAtStart ? folder.file("Files") : config.path() + "/vantrelo/Files";
        const QString otherFolder = portableAtStart ? config.path() + "/vantrelo/Files" : folder.file("Files");
        QFile::remove(otherFolder + "/Vantrelo.ini");
        QFile::remove(ownFolder + "/Vantrelo.ini");
        if (portableAtStart)
            QVERIFY(QFile::remove(folder.file("Files/Portable.ini")));
        else
            QVERIFY(QFile(folder.file("Files/Portable.ini")).open(QIODevice::WriteOnly));
        QDir().mkpath(ownFolder);
        form.close();
        QVERIFY2(QFile::exists(ownFolder + "/Vantrelo.ini"), qPrintable(ownFolder));
        QVERIFY(QFile::exists(ownFolder + "/Covers.ini"));
        QVERIFY(!QFile::exists(otherFolder + "/Vantrelo.ini"));
        qunsetenv("XDG_CONFIG_HOME");
    }
}

void TstStartup::unwritableUserFolderReadsShippedCatalogue()
{
    // $XDG_CONFIG_HOME is a file: no folder can be made under it, even by root.
    QTemporaryDir home;
    const QString blocker = home.filePath("config");
    QVERIFY(writeTextLines(blocker, {"not a folder"}));
    qputenv("XDG_CONFIG_HOME", blocker.toLocal8Bit());
    ProgramFolder folder(false);
    AppState state;
    state.AppPath = folder.path();
    decideFolderMode(state);
    QVERIFY(!prepareWritableFolder(state));
    HookRecorder rec;
    Form1 form(state, folder.path(), QString(), rec.hooks());
    QVERIFY(form.load());
    QCOMPARE(form.formatList()->currentIndex(), 0);
    // The shipped sizes, not an empty sheet of 0 x 0 formats.
    for (int i = 0; i < 22; ++i)
        QVERIFY2(state.Catalogue.entries[size_t(i)].DimA > 0, qPrintable(QString::number(i)));
    QVERIFY(state.PreviewA > 0);
    QVERIFY(rec.warnings.isEmpty());
    qunsetenv("XDG_CONFIG_HOME");
}

namespace {
// Runs the built program from a copy of its folder and stops it with SIGTERM.
struct RunningProgram
{
    QProcess process;
    bool start(const QString &folder, const QProcessEnvironment &env)
    {
        // The lock is taken late in the load sequence, after the signal handler is set.
        // The file of an earlier run that has ended would say this one is that far
        // before it is (a signal sent then finds no handler yet).
        const QString lock = SingleInstanceLock(folder).lockFilePath();
        QFile::remove(lock);
        process.setProcessEnvironment(env);
        process.setProgram(executableOf(folder));
        process.start();
        if (!process.waitForStarted(10000))
            return false;
        for (int i = 0; i < 200 && !QFile::exists(lock); ++i)
            QTest::qWait(50);
        return QFile::exists(lock);
    }
    bool terminate()
    {
        ::kill(pid_t(process.processId()), SIGTERM);
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit;
    }
};

QProcessEnvironment offscreenEnv()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// An installed start's environment: its data and configuration under home.
QProcessEnvironment installedEnv(const QString &home)
{
    QProcessEnvironment env = offscreenEnv();
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CONFIG_HOME", home + "/config");
    return env;
}
} // namespace

void TstStartup::sigtermClosesCleanly()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR)); // the build's folder carries the marker
    QVERIFY(QFile::exists(folder.file("Files/Portable.ini")));
    QVERIFY(QFile::exists(executableOf(folder.path())));
    QTemporaryDir dataHome;
    QProcessEnvironment env = offscreenEnv();
    env.insert("XDG_DATA_HOME", dataHome.path());
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    QFile::copy(VT_SOURCE_DATA_DIR "/Files/Covers.ini", folder.file("Files/Covers.ini.src"));

    RunningProgram run;
    QVERIFY(run.start(folder.path(), env));
    QVERIFY(run.terminate());
    QCOMPARE(run.process.exitCode(), 0);
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).size(), 6);
    QCOMPARE(fileBytes(folder.file("Files/Covers.ini")), fileBytes(folder.file("Files/Covers.ini.src")));
    // Portable: nothing registered.
    QVERIFY(QDir(dataHome.path()).isEmpty());
}

namespace {
// A display of its own for a test that types into the real program: Xvfb, driven with
// xdotool. Empty when either is missing.
struct OwnDisplay
{
    QProcess server;
    QString display;

    bool start()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            return false;
        for (int n = 140; n < 200 && display.isEmpty(); ++n) {
            if (QFile::exists(QString("/tmp/.X%1-lock").arg(n)) || QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            server.start(xvfb, {QString(":%1").arg(n), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
            if (!server.waitForStarted(5000))
                return false;
            for (int i = 0; i < 100 && !QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)); ++i)
                QTest::qWait(50);
            if (server.state() == QProcess::Running && QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)))
                display = QString(":%1").arg(n);
            else
                server.kill(), server.waitForFinished(2000);
        }
        return !display.isEmpty();
    }
    ~OwnDisplay()
    {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(5000);
        }
    }
    // Runs xdotool on this display; its standard output, trimmed.
    QString xdo(const QStringList &args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(15000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // The first window whose name matches, once it shows; empty after a timeout.
    QString waitForWindow(const QString &namePattern) const
    {
        for (int i = 0; i < 100; ++i) {
            const QString ids = xdo({"search", "--onlyvisible", "--name", namePattern});
            if (!ids.isEmpty())
                return ids.split('\n').first();
            QTest::qWait(100);
        }
        return {};
    }
};
} // namespace

void TstStartup::sigtermKeepsUnsavedWorkForTheNextStart()
{
    OwnDisplay x;
    if (!x.start())
        QSKIP("needs Xvfb and xdotool (scripts/setup-deps installs both)");
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QTemporaryDir dataHome;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x.display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_DATA_HOME", dataHome.path());
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"English.lng", "0", "", "", "0", "0"}));
    const QString recovery = folder.file("Files/Recovery.vtr");

    // A first run: the user picks the next format in the list, which leaves unsaved work.
    RunningProgram first;
    QVERIFY(first.start(folder.path(), env));
    const QString window = x.waitForWindow("^Untitled - Vantrelo");
    QVERIFY2(!window.isEmpty(), "the main window did not show");
    x.xdo({"windowfocus", "--sync", window});
    x.xdo({"key", "--clearmodifiers", "Down"});
    QVERIFY2(!x.waitForWindow("^Untitled\\* - Vantrelo").isEmpty(), "the title bar shows no modified mark");
    QVERIFY(!QFileInfo::exists(recovery)); // not yet: every 30 s, or at a signal
    QVERIFY(first.terminate());
    QCOMPARE(first.process.exitCode(), 0);
    QVERIFY(QFileInfo::exists(recovery));
    QCOMPARE(splitLines(*readTextFile(recovery)).at(14), QString(" 1 "));

    // The next start offers it; Return takes the offer's default, Restore.
    RunningProgram second;
    QVERIFY(second.start(folder.path(), env));
    const QString offer = x.waitForWindow("^Warning$");
    QVERIFY2(!offer.isEmpty(), "no recovery offer");
    x.xdo({"windowfocus", "--sync", offer});
    x.xdo({"key", "--clearmodifiers", "Return"});
    QVERIFY2(!x.waitForWindow("^Untitled\\* - Vantrelo").isEmpty(), "the restored cover is not marked modified");
    QVERIFY(second.terminate());
    // Still unsaved: kept for the start after, with the same cover.
    QCOMPARE(splitLines(*readTextFile(recovery)).at(14), QString(" 1 "));
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(1), QString("1"));
}

void TstStartup::signalDuringRefusalWritesNothing()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QTemporaryDir dataHome;
    QProcessEnvironment env = offscreenEnv();
    env.insert("XDG_DATA_HOME", dataHome.path());
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"English.lng", "3", "/p", "/q", "0", "0"}));

    RunningProgram first;
    QVERIFY(first.start(folder.path(), env));
    const QByteArray settings = fileBytes(folder.file("Files/Vantrelo.ini"));
    const QByteArray catalogue = fileBytes(folder.file("Files/Covers.ini"));

    // The second copy reaches the "already running" box and waits there for the user.
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(executableOf(folder.path()), QStringList());
    QVERIFY(second.waitForStarted(10000));
    QVERIFY(!second.waitForFinished(3000));
    ::kill(pid_t(second.processId()), SIGTERM);
    QVERIFY2(second.waitForFinished(10000), "the refused copy did not end on SIGTERM");
    QCOMPARE(fileBytes(folder.file("Files/Vantrelo.ini")), settings);
    QCOMPARE(fileBytes(folder.file("Files/Covers.ini")), catalogue);
    // The first copy runs on, unaffected, and still closes cleanly.
    QCOMPARE(first.process.state(), QProcess::Running);
    QVERIFY(first.terminate());
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(1), QString("3"));
}

void TstStartup::unwritableUserFolderIsReportedOnce()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Portable.ini"));
    QTemporaryDir home;
    QVERIFY(writeTextLines(home.filePath("config"), {"not a folder"}));
    const QProcessEnvironment env = installedEnv(home.path());

    RunningProgram run;
    QVERIFY(run.start(folder.path(), env));
    QVERIFY(run.terminate());
    QCOMPARE(run.process.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(run.process.readAllStandardError());
    QCOMPARE(err.count("will not be saved"), 1);
    QVERIFY2(err.contains(home.path() + "/config/vantrelo/Files"), qPrintable(err));
}

void TstStartup::installedModeRegistersAndKeepsFilesPerUser()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Portable.ini"));
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    const QByteArray shippedCatalogue = fileBytes(folder.file("Files/Covers.ini"));
    QTemporaryDir home;
    const QProcessEnvironment env = installedEnv(home.path());

    RunningProgram run;
    QVERIFY(run.start(folder.path(), env));
    QVERIFY(run.terminate());
    const QString desktop = QString::fromUtf8(fileBytes(home.path() + "/data/applications/vantrelo.desktop"));
    QVERIFY2(desktop.contains("Exec=" + desktopExecArgument(executableOf(folder.path())) + " %f"), qPrintable(desktop));
    QVERIFY(desktop.contains("MimeType=application/x-vantrelo-project;"));
    QVERIFY(desktop.contains("\nIcon=" + folder.file("Files/vantrelo.png") + "\n"));
    QVERIFY(fileBytes(home.path() + "/data/mime/packages/vantrelo.xml").contains("*.vtr"));
    QCOMPARE(splitLines(*readTextFile(home.path() + "/config/vantrelo/Files/Vantrelo.ini")).size(), 6);
    QCOMPARE(fileBytes(home.path() + "/config/vantrelo/Files/Covers.ini"), shippedCatalogue);
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
}

namespace {
// A project of format 7 with one picture beside it, given by a relative path.
QString writeProject(const QString &folder, const QString &name, const QString &picture = "green.png")
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::green);
    img.save(folder + "/green.png");
    const QString path = folder + u'/' + name;
    writeTextLines(path, {picture, "", "", " 1 ", "Front", "Spine", "Liberation Sans", "12", " 0 ", " 0 ",
                          " 0 ", " 255 ", " 1 ", " 1 ", " 7 "});
    return path;
}
} // namespace

void TstStartup::projectOnCommandLineSetsFormat()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QTemporaryDir projects;
    // Blanks, quotes, a non-ASCII letter and a leading dash in one name.
    const QString project = writeProject(projects.path(), QString::fromUtf8("-my \"Ölfilm\" cover.vtr"));
    QProcessEnvironment env = offscreenEnv();
    RunningProgram run;
    run.process.setArguments({QFileInfo(project).fileName()});
    run.process.setWorkingDirectory(projects.path());
    QVERIFY(run.start(folder.path(), env));
    QVERIFY(run.terminate());
    const QStringList settings = splitLines(*readTextFile(folder.file("Files/Vantrelo.ini")));
    QCOMPARE(settings.value(1), QString("7"));
}

void TstStartup::projectThroughDesktopExecLine()
{
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Portable.ini"));
    QTemporaryDir home;
    const QProcessEnvironment env = installedEnv(home.path());
    // A first start registers the desktop entry.
    {
        RunningProgram first;
        QVERIFY(first.start(folder.path(), env));
        QVERIFY(first.terminate());
    }
    const QString desktop = QString::fromUtf8(fileBytes(home.path() + "/data/applications/vantrelo.desktop"));
    const QRegularExpressionMatch exec = QRegularExpression("\nExec=(.*) %f\n").match(desktop);
    QVERIFY2(exec.hasMatch(), qPrintable(desktop));
    const QString program = unescapeExecArgument(exec.captured(1));
    QCOMPARE(program, executableOf(folder.path()));

    const QString project = writeProject(home.path(), "double clicked.vtr");
    RunningProgram run;
    run.process.setArguments({project}); // what %f becomes: one argument, the whole path
    QVERIFY(run.start(folder.path(), env));
    QVERIFY(run.terminate());
    const QStringList settings = splitLines(*readTextFile(home.path() + "/config/vantrelo/Files/Vantrelo.ini"));
    QCOMPARE(settings.value(1), QString("7"));
}

namespace {
// Writes bytes to a file named by bytes, as a program that knows nothing of UTF-8 does.
bool writeRaw(const QByteArray &name, const QByteArray &bytes)
{
    const int fd = ::open(name.constData(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

QByteArray readRaw(const QByteArray &name)
{
    QByteArray bytes;
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        return "<none>";
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

// The names in a folder, as bytes, sorted.
QList<QByteArray> entriesOf(const QByteArray &folder)
{
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *e = ::readdir(dir))
            if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
                names << QByteArray(e->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

void TstStartup::secondStartHandsProjectOver_data()
{
    QTest::addColumn<QByteArray>("name"); // as the file system spells it
    QTest::newRow("blank") << QByteArray("handed over.vtr");
    QTest::newRow("line break") << QByteArray("line\nbreak.vtr");
    QTest::newRow("Latin-1, not UTF-8") << QByteArray("caf\xe9 cr\xe8me.vtr");
    // The running copy works in another folder: a relative name must reach it resolved
    // against the second start's folder, not its own.
    QTest::newRow("relative path into a subfolder") << QByteArray("sub/handed over.vtr");
    QTest::newRow("Latin-1 folder") << QByteArray("d\xe9j\xe0/handed over.vtr");
    QTest::newRow("Latin-1 folder and name") << QByteArray("d\xe9j\xe0/caf\xe9.vtr");
}

void TstStartup::secondStartHandsProjectOver()
{
    QFETCH(QByteArray, name);
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    QTemporaryDir projects;
    // The picture beside the project, by a relative path: a name Qt cannot decode is
    // opened through a link, and the picture must still be found.
    const QString made = writeProject(projects.path(), "made.vtr");
    const QByteArray path = QFile::encodeName(projects.path()) + '/' + name;
    if (const qsizetype slash = name.lastIndexOf('/'); slash > 0) {
        const QByteArray sub = QFile::encodeName(projects.path()) + '/' + name.left(slash);
        QVERIFY(::mkdir(sub.constData(), 0700) == 0);
        QVERIFY(writeRaw(sub + "/green.png", fileBytes(projects.filePath("green.png"))));
        QVERIFY(QFile::remove(projects.filePath("green.png")));
    }
    QVERIFY(::rename(QFile::encodeName(made).constData(), path.constData()) == 0);
    QProcessEnvironment env = offscreenEnv();
    RunningProgram first;
    QVERIFY(first.start(folder.path(), env));

    // The name goes to the second start as bytes, as a file manager passes it.
    QProcess second;
    QString octal; // every byte as \ooo, for printf
    for (const char c : name)
        octal += QString::asprintf("\\%03o", unsigned(uchar(c)));
    env.insert("VT_PROJECT_NAME", octal);
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(projects.path());
    second.start("/bin/bash", {"-c", "exec \"$0\" \"$(printf \"$VT_PROJECT_NAME\")\"", executableOf(folder.path())});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    // The running copy opened it as Open does: the settings are written at once.
    QTRY_COMPARE_WITH_TIMEOUT(splitLines(readTextFile(folder.file("Files/Vantrelo.ini")).value_or(QString())).value(1),
                              QString("7"), 10000);
    if (!name.contains('\xe9'))
        QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).value(2),
                 projects.path() + (name.contains('/') ? QStringLiteral("/sub") : QString()));
    QVERIFY(first.terminate());
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).value(1), QString("7"));
}

void TstStartup::handoverMessageIsLengthAndBytes()
{
    // A line break or any byte is part of the name; the length comes first, big-endian.
    QCOMPARE(handoverMessage("a\nb"), QByteArray("\0\0\0\3a\nb", 7));
    QCOMPARE(handoverMessage(QByteArray(300, '\xe9')).left(4), QByteArray("\0\0\1\x2c", 4));
    // A name Qt decodes faithfully is kept; one it cannot gets a link that reaches the file.
    QTemporaryDir dir;
    QCOMPARE(openableFileName(QFile::encodeName(dir.path() + "/Öl.vtr"), dir.path() + "/names"), dir.path() + "/Öl.vtr");
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xe9.vtr";
    QFile file(QFile::decodeName(latin1));
    QVERIFY(!file.exists()); // Qt alone cannot reach it
    const int fd = ::open(latin1.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "project", 7), ssize_t(7));
    ::close(fd);
    const QString openable = openableFileName(latin1, dir.path() + "/names");
    QVERIFY2(openable.startsWith(dir.path() + "/names/"), qPrintable(openable));
    QVERIFY(openable.endsWith("caf_.vtr"));
    QCOMPARE(fileBytes(openable), QByteArray("project"));
    // The bytes of a project argument, found again among the arguments.
    QCOMPARE(projectArgumentBytes({"--", "caf\xe9.vtr"}, QFile::decodeName("caf\xe9.vtr")), QByteArray("caf\xe9.vtr"));
    QCOMPARE(projectArgumentBytes({"my", "caf\xe9.vtr"}, QFile::decodeName("my caf\xe9.vtr")), QByteArray("my caf\xe9.vtr"));
}

void TstStartup::unspelledNamesKeepTheirFolder_data()
{
    QTest::addColumn<QByteArray>("folder"); // under a temporary folder, as bytes
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("relative"); // the name given relative to the folder, from inside it
    QTest::newRow("Latin-1 file name") << QByteArray("plain") << QByteArray("caf\xe9.vtr") << false;
    QTest::newRow("Latin-1 folder") << QByteArray("d\xe9j\xe0") << QByteArray("cover.vtr") << false;
    QTest::newRow("both") << QByteArray("d\xe9j\xe0") << QByteArray("caf\xe9.vtr") << false;
    QTest::newRow("UTF-8 folder below a Latin-1 one") << QByteArray("d\xe9j\xe0/sub") << QByteArray("cover.vtr") << false;
    QTest::newRow("UTF-8 name, started in a Latin-1 folder") << QByteArray("d\xe9j\xe0") << QByteArray("cover.vtr") << true;
}

void TstStartup::unspelledNamesKeepTheirFolder()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(bool, relative);
    QTemporaryDir dir;
    const QByteArray where = QFile::encodeName(dir.path()) + '/' + folder;
    QVERIFY(std::filesystem::create_directories(where.toStdString()));
    QVERIFY(writeRaw(where + '/' + name, "project"));
    QVERIFY(writeRaw(where + "/green.png", "picture"));

    const QByteArray given = relative ? name : where + '/' + name;
    const QString before = QDir::currentPath();
    const bool moved = relative && ::chdir(where.constData()) == 0;
    const bool needed = needsNameAlias(given);
    const QString openable = openableFileName(given, dir.path() + "/names");
    if (moved)
        QDir::setCurrent(before);
    QCOMPARE(moved, relative);
    QVERIFY(needed);
    QVERIFY2(openable.startsWith(dir.path() + "/names/"), qPrintable(openable));
    QCOMPARE(fileBytes(openable), QByteArray("project"));
    // A picture named relative to the project is the one beside it.
    const QString picture = resolvePicturePath(openable, "green.png");
    QCOMPARE(fileBytes(picture), QByteArray("picture"));
    QCOMPARE(resolvePicturePath(openable, " green.png "), picture);

    // A save replaces the file itself, or, when that cannot be done under its name, is
    // refused: never a second file under a garbled name while the first stays as it was.
    QString error;
    const bool spelled = QFile::encodeName(QFile::decodeName(name)) == name;
    QCOMPARE(writeBytesAtomically(openable, "saved", &error), spelled);
    QCOMPARE(readRaw(where + '/' + name), spelled ? QByteArray("saved") : QByteArray("project"));
    if (!spelled)
        QVERIFY2(error.contains("not UTF-8"), qPrintable(error));
    QCOMPARE(entriesOf(where), (QList<QByteArray>{name, "green.png"}));
    // Opened again (a second hand-over), the same file is reached.
    QCOMPARE(openableFileName(where + '/' + name, dir.path() + "/names"), openable);
    QVERIFY(!needsNameAlias(QFile::encodeName(openable)));
    QCOMPARE(fileBytes(openable), spelled ? QByteArray("saved") : QByteArray("project"));
}

void TstStartup::projectThroughUserLinkFindsItsPictures()
{
    // The user's own link elsewhere: the pictures are beside the file it leads to.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("real") && QDir(dir.path()).mkpath("desk"));
    const QString project = writeProject(dir.path() + "/real", "p.vtr");
    QVERIFY(QFile::link(project, dir.path() + "/desk/p.vtr"));
    QCOMPARE(resolvePicturePath(dir.path() + "/desk/p.vtr", "green.png"), dir.path() + "/real/green.png");
    // Beside the link first, where it has one of its own.
    QVERIFY(QFile::copy(dir.path() + "/real/green.png", dir.path() + "/desk/green.png"));
    QCOMPARE(resolvePicturePath(dir.path() + "/desk/p.vtr", "green.png"), dir.path() + "/desk/green.png");
}

void TstStartup::noDisplayMessageFromRunScript()
{
    // scripts/run must explain a missing display instead of letting Qt abort. Only the
    // final check of the script is exercised here: it is run with the build skipped.
    const QString script = QStringLiteral(VT_SOURCE_DATA_DIR "/../scripts/run");
    QVERIFY(QFile::exists(script));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("VANTRELO_SKIP_BUILD", "1");
    p.setProcessEnvironment(env);
    p.start("bash", {script});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitCode() != 0);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains("no display"), qPrintable(err));
}

void TstStartup::platformCandidates_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<QByteArray>("candidates");
    QTest::newRow("X11") << QByteArray(":0") << QByteArray() << QByteArray("x11") << QByteArray("XFCE:") << QByteArray("xcb;offscreen");
    QTest::newRow("Wayland session with XWayland")
        << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("KDE:")
        << QByteArray("wayland;xcb;offscreen");
    QTest::newRow("GNOME on Wayland keeps X11 first")
        << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("ubuntu:GNOME:gnome")
        << QByteArray("xcb;wayland;offscreen");
    QTest::newRow("Wayland only") << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray(":")
                                  << QByteArray("wayland;offscreen");
    QTest::newRow("nothing") << QByteArray() << QByteArray() << QByteArray() << QByteArray(":") << QByteArray("offscreen");
}

void TstStartup::platformCandidates()
{
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, desktop);
    QFETCH(QByteArray, candidates);
    QCOMPARE(vt::platformCandidates({display, wayland, session, desktop}), candidates);
}

void TstStartup::startupNoise_data()
{
    QTest::addColumn<QByteArray>("category");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("trying"); // while the platforms are tried
    QTest::addColumn<bool>("noise");
    const QString runtime = "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'";
    QTest::newRow("runtime folder unset") << QByteArray("default") << runtime << false << true;
    QTest::newRow("runtime folder of another user")
        << QByteArray("default") << "QStandardPaths: runtime directory '/run/user/0' is not owned by UID 1000" << false << false;
    QTest::newRow("display gone, while trying") << QByteArray("qt.qpa.xcb") << "could not connect to display :9" << true << true;
    QTest::newRow("display lost later") << QByteArray("qt.qpa.xcb") << "could not connect to display :9" << false << false;
    QTest::newRow("plugin not loaded, while trying")
        << QByteArray("qt.qpa.plugin") << "Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found." << true << true;
    QTest::newRow("other plugin trouble")
        << QByteArray("qt.qpa.plugin") << "Could not find a platform theme" << true << false;
    QTest::newRow("a program's own warning") << QByteArray("default") << "vantrelo: something" << true << false;
}

void TstStartup::startupNoise()
{
    QFETCH(QByteArray, category);
    QFETCH(QString, message);
    QFETCH(bool, trying);
    QFETCH(bool, noise);
    const QMessageLogContext context("file.cpp", 1, "f", category.constData());
    QCOMPARE(isStartupNoise(context, message, trying), noise);
}

void TstStartup::unreachableDisplay_data()
{
    QTest::addColumn<QString>("display"); // empty: none at all
    QTest::addColumn<QString>("run");     // window, export, print
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // expected on standard error; empty: nothing at all
    QTest::newRow("export, display gone") << ":987" << "export" << 0 << "";
    QTest::newRow("export, no display") << "" << "export" << 0 << "";
    QTest::newRow("print, display gone") << ":987" << "print" << 1 << "no-such-queue";
    QTest::newRow("window, display gone")
        << ":987" << "window" << 2 << "vantrelo: the display :987 cannot be opened; --export-pdf and --print work without one\n";
}

void TstStartup::unreachableDisplay()
{
    QFETCH(QString, display);
    QFETCH(QString, run);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (QFile::exists("/tmp/.X11-unix/X987"))
        QSKIP("display :987 exists here");
    ProgramFolder folder(true, QStringLiteral(VT_RUN_DIR));
    QTemporaryDir work;
    const QString project = writeProject(work.path(), "cover.vtr");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "XDG_SESSION_TYPE"})
        env.remove(name);
    if (display.isEmpty())
        env.remove("DISPLAY");
    else
        env.insert("DISPLAY", display);
    QStringList arguments;
    if (run == "export")
        arguments = {"--export-pdf", work.filePath("cover.pdf"), project};
    else if (run == "print")
        arguments = {"--print", project, "--printer", "no-such-queue"};
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(executableOf(folder.path()), arguments);
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit); // Qt's abort was a crash
    QVERIFY2(p.exitCode() == exitCode, qPrintable(QString::number(p.exitCode()) + ": " + err));
    // Nothing of Qt's own: neither the platforms tried nor the unset runtime folder.
    QVERIFY2(!err.contains("qt.qpa") && !err.contains("XDG_RUNTIME_DIR"), qPrintable(err));
    // Printing got as far as choosing the queue: it names the queue, or says that the
    // print system itself is not there when no scheduler runs on this machine.
    if (run == "print")
        QVERIFY2(err.contains(message) || err.contains("the print system (CUPS) cannot be reached"), qPrintable(err));
    else
        QCOMPARE(err, message);
    if (run == "export")
        QVERIFY(fileBytes(work.filePath("cover.pdf")).startsWith("%PDF"));
}

void TstStartup::signalDuringStartupBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("project that cannot be read") << "project" << SIGTERM;
    QTest::newRow("update question") << "update" << SIGTERM;
    QTest::newRow("update question, SIGINT") << "update" << SIGINT;
    // No box yet: the check itself waits for a server that never answers (3 s at most).
    QTest::newRow("update check that stalls") << "stall" << SIGTERM;
    QTest::newRow("update check that stalls, SIGINT") << "stall" << SIGINT;
}

void TstStartup::signalDuringStartupBox()
{
    QFETCH(QString, box);
    QFETCH(int, signalNumber);
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    QProcessEnvironment env = offscreenEnv();
    QTemporaryDir work;
    // A server that offers a newer release (the question waits for an answer), or that
    // takes the request and never answers.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int asked = 0;
    connect(&server, &QTcpServer::newConnection, &server, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&asked, socket, box] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            ++asked;
            if (box == "stall")
                return;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nConnection: close\r\n\r\n002008001");
            socket->disconnectFromHost();
        });
    });
    RunningProgram run;
    if (box == "project") {
        // A folder by the project's name: it cannot be read as a project, and the box says so.
        QVERIFY(QDir().mkpath(work.filePath("folder.vtr")));
        run.process.setArguments({work.filePath("folder.vtr")});
    } else {
        env.insert("VANTRELO_UPDATE_URL", QStringLiteral("http://127.0.0.1:%1/v.txt").arg(server.serverPort()));
    }
    QVERIFY(run.start(folder.path(), env));
    if (box != "project")
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, 10000);
    // The box is up and waits; or the check has a good 2 s to go.
    QTest::qWait(box == "stall" ? 500 : 1000);
    QCOMPARE(run.process.state(), QProcess::Running);
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(run.process.processId()), signalNumber);
    QVERIFY2(run.process.waitForFinished(5000), "still running 5 s after the signal");
    // Promptly: a stalled check is not waited out.
    QVERIFY2(clock.elapsed() < (box == "stall" ? 1500 : 3000), qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);
    // As at any other time: the settings are written on the way out, and with nothing
    // unsaved there is no recovery file.
    QCOMPARE(splitLines(readTextFile(folder.file("Files/Vantrelo.ini")).value_or(QString())).size(), 6);
    QVERIFY(!QFileInfo::exists(folder.file("Files/Recovery.vtr")));
}

void TstStartup::signalWhileABoxIsOpen_data()
{
    QTest::addColumn<QString>("keys");   // what opens the box, typed into the window
    QTest::addColumn<QString>("window"); // the box's title
    QTest::newRow("question about unsaved work") << "ctrl+n" << "^Warning$";
    QTest::newRow("file dialog") << "ctrl+o" << "^Open project$";
}

void TstStartup::signalWhileABoxIsOpen()
{
    QFETCH(QString, keys);
    QFETCH(QString, window);
    OwnDisplay x;
    if (!x.start())
        QSKIP("needs Xvfb and xdotool (scripts/setup-deps installs both)");
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x.display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("VANTRELO_UPDATE_URL", QString());
    QVERIFY(writeTextLines(folder.file("Files/Vantrelo.ini"), {"English.lng", "0", "", "", "0", "0"}));

    // Unsaved work (the next format), then a modal box that waits for the user.
    RunningProgram run;
    QVERIFY(run.start(folder.path(), env));
    const QString main = x.waitForWindow("^Untitled - Vantrelo");
    QVERIFY2(!main.isEmpty(), "the main window did not show");
    x.xdo({"windowfocus", "--sync", main});
    x.xdo({"key", "--clearmodifiers", "Down"});
    QVERIFY(!x.waitForWindow("^Untitled\\* - Vantrelo").isEmpty());
    x.xdo({"key", "--clearmodifiers", keys});
    QVERIFY2(!x.waitForWindow(window).isEmpty(), "the box did not show");

    // The box does not keep the program: it ends as it would without one, the unsaved
    // cover kept for the next start.
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(run.process.processId()), SIGTERM);
    QVERIFY2(run.process.waitForFinished(5000), "still running 5 s after SIGTERM");
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);
    QCOMPARE(splitLines(readTextFile(folder.file("Files/Recovery.vtr")).value_or(QString())).value(14), QString(" 1 "));
    QCOMPARE(splitLines(readTextFile(folder.file("Files/Vantrelo.ini")).value_or(QString())).value(1), QString("1"));
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
