// Project files: the bytes on disk, reading old and odd files, and the Open, Save and
// Save as commands of the main window.
#include "TestWindow.h"

#include "app/CommandLine.h"
#include "app/ProjectHandover.h"
#include "common/TextFile.h"
#include "formats/CoverPictures.h"
#include "project/ProjectFile.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/ProjectCommands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vt;

namespace {

QByteArray crlf(const QStringList &lines, const char *encoding = "utf-8")
{
    QStringEncoder enc(encoding);
    QByteArray out;
    for (const QString &l : lines)
        out += QByteArray(enc.encode(l)) + "\r\n";
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString saveSolid(const QString &dir, const QString &name, QColor c, QSize size = {80, 60})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    const QString path = dir + u'/' + name;
    img.save(path);
    return path;
}

// Lines 4 to 15 of a typical project, for tests that only vary the pictures.
QStringList restOfProject(int format = 3)
{
    return {" 1 ", "Front", "Spine", "Liberation Sans", "12", " 1 ", " 0 ", " 1 ", " 255 ", " 1 ", " 0 ",
            QStringLiteral(" %1 ").arg(format)};
}

// Records the dialogs the project commands ask for and answers them from a script.
struct DialogScript
{
    QStringList log;
    QString openAnswer;
    QString saveAnswer;
    bool overwriteAnswer = true;
    FileDialogRequest lastSave;

    ProjectDialogs dialogs()
    {
        ProjectDialogs d;
        d.open = [this](QWidget *, const QString &title, const QString &, const QString &folder) {
            log << "open:" + title + "|" + folder;
            return openAnswer;
        };
        d.save = [this](const FileDialogRequest &r) {
            lastSave = r;
            log << "save:" + r.proposedName + "|" + r.initialFolder;
            return saveAnswer;
        };
        d.askYesNo = [this](QWidget *, const QString &text, const QString &title) {
            log << "ask:" + title + "|" + text;
            return overwriteAnswer;
        };
        d.error = [this](QWidget *, const QString &text, const QString &title) {
            log << "error:" + title + "|" + text;
        };
        return d;
    }
    QStringList errors() const { return log.filter(QRegularExpression("^error:")); }
};

struct ProjectWindow : TestWindow
{
    DialogScript script;
    ProjectWindow()
    {
        form.projects()->setDialogs(script.dialogs());
    }
};

} // namespace

class TstProject : public QObject
{
    Q_OBJECT
private slots:
    void writesTheFifteenLines();
    void fontSizeUsesAPointInEveryLocale();
    void readingLines_data();
    void readingLines();
    void encodingsAndLineEnds_data();
    void encodingsAndLineEnds();
    void relativePicturePaths_data();
    void relativePicturePaths();

    void saveOnNewProjectRunsSaveAsThenSavesInPlace();
    void saveAsProposals();
    void overwriteAnsweredNoLeavesFileUntouched();
    void failedSaveKeepsEarlierFileAndPlaysNothing();
    void roundTripThroughTheWindow();
    void shortFileKeepsWhatItApplied();
    void formatOutsideTheList();
    void unreadableInputsGiveTheErrorBox_data();
    void unreadableInputsGiveTheErrorBox();
    void longTitlesAreCutWithAWarning_data();
    void longTitlesAreCutWithAWarning();
    void missingTemplateOfAnotherFolderCountsAsBlank();
    void openRemembersFolderEvenWhenLoadFails();
    void missingFileDoesNothing();

    void commandLine_data();
    void commandLine();
    void handoverDeliversPath();
};

void TstProject::writesTheFifteenLines()
{
    ProjectFile p;
    p.picturePaths = {"/pics/front.jpg", "", " /pics/with blanks.png "};
    p.outlineSwitch = 1;
    p.title.CoverText = "Il Gattopardo";
    p.title.SpineText = "Spine, with comma";
    p.title.FontName = "Liberation Serif";
    p.title.FontSize = 8.25f;
    p.title.FontBold = true;
    p.title.FontItalic = false;
    p.title.FontUnderline = true;
    p.title.ForeColor = 0xFF00FF80u; // above 2^31: written as a negative 32-bit number
    p.titleOnCover = 1;
    p.titleOnSpine = 0;
    p.formatIndex = 14;
    const QByteArray expected = "/pics/front.jpg\r\n"
                                "\r\n"
                                " /pics/with blanks.png \r\n"
                                " 1 \r\n"
                                "Il Gattopardo\r\n"
                                "Spine, with comma\r\n"
                                "Liberation Serif\r\n"
                                "8.25\r\n"
                                " 1 \r\n"
                                " 0 \r\n"
                                " 1 \r\n"
                                "-16711808 \r\n"
                                " 1 \r\n"
                                " 0 \r\n"
                                " 14 \r\n";
    QCOMPARE(projectBytes(p), expected);
    const ProjectReading back = readProjectBytes(expected);
    QVERIFY(!back.error);
    p.title.FontSize = 8; // read back in whole points
    QCOMPARE(back.project, p);
}

void TstProject::fontSizeUsesAPointInEveryLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ProjectFile p;
    p.title.FontSize = 8.25f;
    const QStringList lines = projectLines(p);
    QLocale::setDefault(before);
    QCOMPARE(lines.at(7), QString("8.25"));
}

void TstProject::readingLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("errorLine");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    const QStringList base = QStringList{"", "", ""} + restOfProject(3);
    auto with = [&](int line, const QString &text) {
        QStringList l = base;
        l[line - 1] = text;
        return l;
    };
    QTest::newRow("blank paths stay blank") << base << 0 << "path1" << "";
    QTest::newRow("blanks around a path are kept") << with(1, "  /a b.jpg ") << 0 << "path1" << "  /a b.jpg ";
    QTest::newRow("size 8.5 rounds to 8") << with(8, "8.5") << 0 << "size" << "8";
    QTest::newRow("size 9.5 rounds to 10") << with(8, "9.5") << 0 << "size" << "10";
    QTest::newRow("size 12.25 rounds to 12") << with(8, "12.25") << 0 << "size" << "12";
    QTest::newRow("size with decimal comma ends at the comma") << with(8, "12,75") << 0 << "size" << "12";
    QTest::newRow("bold -1 is not bold") << with(9, "-1") << 0 << "bold" << "0";
    QTest::newRow("bold 2 is not bold") << with(9, " 2 ") << 0 << "bold" << "0";
    QTest::newRow("bold 1 is bold") << with(9, "1") << 0 << "bold" << "1";
    QTest::newRow("letters read as 0") << with(13, " yes ") << 0 << "onCover" << "0";
    QTest::newRow("letters in the outline line read as 0") << with(4, "x") << 0 << "outline" << "0";
    QTest::newRow("negative colour") << with(12, "-1 ") << 0 << "color" << QString::number(0xFFFFFFFFu);
    QTest::newRow("colour beyond 32 bits stops at line 12") << with(12, "99999999999") << 12 << "size" << "12";
    QTest::newRow("outline 7 is refused at line 4") << with(4, " 7 ") << 4 << "path1" << "";
    QTest::newRow("format with blanks") << with(15, "  5  ") << 0 << "format" << "5";
    QTest::newRow("format 2.5 rounds to even") << with(15, "2.5") << 0 << "format" << "2";
    QTest::newRow("format in letters is an error") << with(15, "three") << 15 << "onSpine" << "0";
    QTest::newRow("format with trailing letters is an error") << with(15, "3x") << 15 << "format" << "0";
    QTest::newRow("14 lines fail at line 15, titles read") << base.mid(0, 14) << 15 << "cover" << "Front";
    QTest::newRow("3 lines fail at line 4") << base.mid(0, 3) << 4 << "cover" << "";
}

void TstProject::readingLines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, errorLine);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const ProjectReading r = readProjectBytes(crlf(lines));
    QCOMPARE(r.error ? r.error->line : 0, errorLine);
    QCOMPARE(r.linesRead, errorLine ? errorLine - 1 : 15);
    if (r.error)
        QVERIFY(!r.error->reason.isEmpty());
    const ProjectFile &p = r.project;
    const QMap<QString, QString> values = {
        {"path1", p.picturePaths[0]},
        {"size", QString::number(double(p.title.FontSize))},
        {"bold", QString::number(int(p.title.FontBold))},
        {"onCover", QString::number(p.titleOnCover)},
        {"onSpine", QString::number(p.titleOnSpine)},
        {"outline", QString::number(p.outlineSwitch)},
        {"color", QString::number(p.title.ForeColor)},
        {"format", QString::number(p.formatIndex)},
        {"cover", p.title.CoverText},
    };
    QVERIFY(values.contains(field));
    QCOMPARE(values.value(field), expected);
}

void TstProject::encodingsAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cover");
    QTest::addColumn<QString>("path1");

    const QStringList latin = QStringList{"C:\\Bilder\\Été.jpg", "", ""} + restOfProject(0);
    QStringList accented = latin;
    accented[4] = "Amélie à Noël";
    QStringList greek = QStringList{"/φωτο/εξώφυλλο.jpg", "", ""} + restOfProject(0);
    greek[4] = "Ο Ταχυδρόμος";
    QStringList japanese = QStringList{"/写真/表紙.jpg", "", ""} + restOfProject(0);
    japanese[4] = "千と千尋の神隠し";

    QByteArray lfOnly = crlf(accented);
    lfOnly.replace("\r\n", "\n");
    QByteArray crOnly = crlf(accented);
    crOnly.replace("\r\n", "\r");
    QTest::newRow("LF only") << lfOnly << "Amélie à Noël" << "C:\\Bilder\\Été.jpg";
    QTest::newRow("CR only") << crOnly << "Amélie à Noël" << "C:\\Bilder\\Été.jpg";
    QTest::newRow("Windows-1252") << crlf(accented, "windows-1252") << "Amélie à Noël" << "C:\\Bilder\\Été.jpg";
    QTest::newRow("UTF-8 Greek") << crlf(greek) << "Ο Ταχυδρόμος" << "/φωτο/εξώφυλλο.jpg";
    QTest::newRow("UTF-8 Japanese with a mark") << QByteArray("\xEF\xBB\xBF") + crlf(japanese) << "千と千尋の神隠し"
                                                << "/写真/表紙.jpg";
}

void TstProject::encodingsAndLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cover);
    QFETCH(QString, path1);
    const ProjectReading r = readProjectBytes(bytes);
    QVERIFY(!r.error);
    QCOMPARE(r.project.title.CoverText, cover);
    QCOMPARE(r.project.picturePaths[0], path1);
    // What the program writes back reads the same in UTF-8.
    const ProjectReading again = readProjectBytes(projectBytes(r.project));
    QVERIFY(!again.error);
    QCOMPARE(again.project, r.project);
}

void TstProject::relativePicturePaths_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absolute stays") << "/p/a.vtr" << "/q/b.jpg" << "/q/b.jpg";
    QTest::newRow("beside the project") << "/p/a.vtr" << "b.jpg" << "/p/b.jpg";
    QTest::newRow("subfolder, blanks trimmed") << "/p/a.vtr" << " pics/b c.jpg " << "/p/pics/b c.jpg";
    QTest::newRow("parent folder") << "/p/x/a.vtr" << "../b.jpg" << "/p/b.jpg";
    QTest::newRow("blank stays blank") << "/p/a.vtr" << "   " << "";
}

void TstProject::relativePicturePaths()
{
    QFETCH(QString, project);
    QFETCH(QString, picture);
    QFETCH(QString, expected);
    QCOMPARE(resolvePicturePath(project, picture), expected);
}

void TstProject::saveOnNewProjectRunsSaveAsThenSavesInPlace()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString target = w.folder.file("cover.vtr");
    w.script.saveAnswer = target;
    QVERIFY(w.form.projects()->save());
    QCOMPARE(w.script.log.filter("save:").size(), 1);
    QCOMPARE(fileBytes(target), projectBytes(w.form.projects()->currentProject()));
    QCOMPARE(w.rec.sounds, QStringList{"Files/Click2.wav"});

    // The second Save writes the same file, with no dialog.
    w.form.setCoverText("Changed");
    QVERIFY(w.form.projects()->save());
    QCOMPARE(w.script.log.filter("save:").size(), 1);
    QVERIFY(fileBytes(target).contains("\r\nChanged\r\n"));
    QCOMPARE(w.rec.sounds.size(), 2);

    // With sounds off, nothing plays.
    w.state.SoundsOn = false;
    QVERIFY(w.form.projects()->save());
    QCOMPARE(w.rec.sounds.size(), 2);
}

// Where the file dialogs start before a folder was used: Documents, or home without one.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TstProject::saveAsProposals()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString defaultName = QString(w.state.Language[102]).remove(u'&') + ".vtr";
    QVERIFY(w.form.projects()->saveAs()); // cancelled: empty answer
    QCOMPARE(w.script.lastSave.proposedName, defaultName);
    // Never the program folder: the user's documents folder at first.
    QCOMPARE(w.script.lastSave.initialFolder, documentsFolder());
    QCOMPARE(w.script.lastSave.title, QString(w.state.Language[52]).remove(u'&'));
    QCOMPARE(w.state.CurrentProjectPath, defaultName);

    QDir().mkpath(w.folder.file("sub"));
    w.script.saveAnswer = w.folder.file("sub/mine.vtr");
    QVERIFY(w.form.projects()->saveAs());
    QVERIFY(w.form.projects()->saveAs());
    // A completed Save as does not change the proposal; it moves the start folder.
    QCOMPARE(w.script.lastSave.proposedName, defaultName);
    QCOMPARE(w.script.lastSave.initialFolder, w.folder.file("sub"));

    // After a load, the loaded file is proposed.
    QVERIFY(w.form.projects()->loadProject(w.folder.file("sub/mine.vtr")));
    w.script.saveAnswer.clear();
    w.form.projects()->saveAs();
    QCOMPARE(w.script.lastSave.proposedName, w.folder.file("sub/mine.vtr"));
}

void TstProject::overwriteAnsweredNoLeavesFileUntouched()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString target = w.folder.file("old.vtr");
    writeFile(target, "precious bytes");
    w.script.saveAnswer = target;
    w.script.overwriteAnswer = false;
    QVERIFY(w.form.projects()->saveAs());
    QCOMPARE(fileBytes(target), QByteArray("precious bytes"));
    const QStringList asked = w.script.log.filter("ask:");
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first(), "ask:" + w.state.Language[18] + "|" + w.state.Language[103] + "\n\n" + w.state.Language[104]);
    QVERIFY(w.form.projects()->projectSavePath().isEmpty());

    w.script.overwriteAnswer = true;
    QVERIFY(w.form.projects()->saveAs());
    QVERIFY(fileBytes(target).startsWith(projectLines(w.form.projects()->currentProject()).first().toUtf8()));
}

void TstProject::failedSaveKeepsEarlierFileAndPlaysNothing()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString target = w.folder.file("kept.vtr");
    w.script.saveAnswer = target;
    QVERIFY(w.form.projects()->save());
    const QByteArray earlier = fileBytes(target);
    w.rec.sounds.clear();

    // A write that fails part-way (the file size limit binds root as well as users).
    w.form.setCoverText(QString(4000, u'x'));
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = w.form.projects()->save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(!saved);
    QCOMPARE(fileBytes(target), earlier);
    QCOMPARE(w.script.errors().size(), 1);
    QVERIFY(w.script.errors().first().startsWith("error:" + w.state.Language[105] + "|"));
    QVERIFY(w.script.errors().first().contains("kept.vtr"));
    // The cause by its name, not "Unknown error".
    QVERIFY2(w.script.errors().first().contains("File too large"), qPrintable(w.script.errors().first()));
    QVERIFY(w.rec.sounds.isEmpty());

    // A folder that cannot be written (skipped for root, whom permissions do not bind).
    if (::geteuid() != 0) {
        QDir().mkpath(w.folder.file("ro"));
        writeFile(w.folder.file("ro/p.vtr"), "old");
        QVERIFY(QFile::setPermissions(w.folder.file("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        w.script.saveAnswer = w.folder.file("ro/p.vtr");
        QVERIFY(!w.form.projects()->saveAs());
        QCOMPARE(fileBytes(w.folder.file("ro/p.vtr")), QByteArray("old"));
        QFile::setPermissions(w.folder.file("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

void TstProject::roundTripThroughTheWindow()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red);
    const QString blue = saveSolid(w.folder.path(), "blue.png", Qt::blue);
    const QString project = w.folder.file("first.vtr");
    writeFile(project, crlf({red, blue, "", " 1 ", "Front title", "Spine title", "Liberation Serif", "14",
                             " 1 ", " 1 ", " 0 ", " 16711680 ", " 1 ", " 0 ", " 6 "}));
    QVERIFY(w.form.projects()->loadProject(project));
    QVERIFY(w.script.errors().isEmpty());
    QCOMPARE(w.state.CurrentProjectPath, project);
    QCOMPARE(w.form.projects()->projectSavePath(), project);

    w.script.saveAnswer = w.folder.file("second.vtr");
    QVERIFY(w.form.projects()->saveAs());
    QCOMPARE(fileBytes(w.folder.file("second.vtr")), fileBytes(project));

    // A fresh window shows what was saved.
    ProjectWindow fresh;
    QVERIFY(fresh.form.load());
    QVERIFY(fresh.form.projects()->loadProject(w.folder.file("second.vtr")));
    QCOMPARE(fresh.form.selectedFormat(), 6);
    QVERIFY(fresh.form.outlineSwitch()->isChecked());
    const TitleStyle &t = fresh.form.titleStyle();
    QCOMPARE(t.CoverText, QString("Front title"));
    QCOMPARE(t.SpineText, QString("Spine title"));
    QCOMPARE(t.FontName, QString("Liberation Serif"));
    QCOMPARE(t.FontSize, 14.0f);
    QVERIFY(t.FontBold && t.FontItalic && !t.FontUnderline);
    QCOMPARE(t.ForeColor, 16711680u);
    QCOMPARE(fresh.state.TitleOnSpine, qint16(0));
    const auto &imageSlots = fresh.form.pictures().imageSlots;
    QCOMPARE(imageSlots[0].Path, red);
    QCOMPARE(imageSlots[1].Path, blue);
    QCOMPARE(imageSlots[0].CleanCopy.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(imageSlots[1].CleanCopy.pixelColor(5, 5), QColor(Qt::blue));
}

void TstProject::shortFileKeepsWhatItApplied()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    w.form.selectFormat(2);
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red);
    const QString project = w.folder.file("short.vtr");
    QStringList lines = QStringList{red, "", ""} + restOfProject(9);
    lines.removeLast();
    writeFile(project, crlf(lines));
    QVERIFY(!w.form.projects()->loadProject(project));
    QCOMPARE(w.script.errors().size(), 1);
    QVERIFY2(w.script.errors().first().contains("line 15"), qPrintable(w.script.errors().first()));
    QCOMPARE(w.form.titleStyle().CoverText, QString("Front"));
    QCOMPARE(w.form.titleStyle().ForeColor, 255u);
    QCOMPARE(w.state.TitleOnSpine, qint16(0));
    QCOMPARE(w.form.pictures().imageSlots[0].Path, red);
    QCOMPARE(w.form.selectedFormat(), 2); // line 15 never applied
    QCOMPARE(w.state.CurrentProjectPath, project); // names the file that failed
}

void TstProject::formatOutsideTheList()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    w.form.selectFormat(4);
    const QString project = w.folder.file("far.vtr");
    writeFile(project, crlf(QStringList{"", "", ""} + restOfProject(40)));
    QVERIFY(!w.form.projects()->loadProject(project));
    QCOMPARE(w.script.errors().size(), 1);
    QVERIFY(w.script.errors().first().contains("40"));
    QCOMPARE(w.form.selectedFormat(), 4);
}

void TstProject::unreadableInputsGiveTheErrorBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("missing picture") << "missing-picture" << "gone.jpg";
    QTest::newRow("picture that is no picture") << "bad-picture" << "notapicture.jpg";
    QTest::newRow("binary junk") << "junk" << "line";
    QTest::newRow("a folder") << "folder" << "folder";
    QTest::newRow("a pipe") << "fifo" << "pipe";
    QTest::newRow("empty file") << "empty" << "line 1";
    QTest::newRow("larger than 1 MiB") << "huge" << "1048577 bytes long, and a project is at most 1 MiB";
    QTest::newRow("escape sequence in a number line") << "escape-line" << "\\x1b[31m";
    QTest::newRow("bell in a picture name") << "escape-picture" << "gone\\x07.jpg";
}

void TstProject::unreadableInputsGiveTheErrorBox()
{
    QFETCH(QString, kind);
    QFETCH(QString, mentions);
    ProjectWindow w;
    QVERIFY(w.form.load());
    QString project = w.folder.file("p.vtr");
    if (kind == "missing-picture") {
        writeFile(project, crlf(QStringList{w.folder.file("gone.jpg"), "", ""} + restOfProject()));
    } else if (kind == "bad-picture") {
        writeFile(w.folder.file("notapicture.jpg"), "this is text");
        writeFile(project, crlf(QStringList{"notapicture.jpg", "", ""} + restOfProject()));
    } else if (kind == "junk") {
        QByteArray junk;
        for (int i = 0; i < 5000; ++i)
            junk += char((i * 7919) % 256);
        junk.replace('\n', 'x').replace('\r', 'y');
        writeFile(project, junk);
    } else if (kind == "folder") {
        project = w.folder.file("Files");
    } else if (kind == "fifo") {
        project = w.folder.file("pipe.vtr");
        QCOMPARE(::mkfifo(QFile::encodeName(project).constData(), 0600), 0);
    } else if (kind == "empty") {
        writeFile(project, "");
    } else if (kind == "huge") {
        // A good project, padded one byte past the limit.
        QByteArray bytes = crlf(QStringList{"", "", ""} + restOfProject());
        bytes += QByteArray(1024 * 1024 + 1 - bytes.size(), ' ');
        writeFile(project, bytes);
    } else if (kind == "escape-line") {
        QStringList lines = QStringList{"", "", ""} + restOfProject();
        lines[14] = "\x1b[31mred\x1b[0m";
        writeFile(project, crlf(lines));
    } else if (kind == "escape-picture") {
        writeFile(project, crlf(QStringList{w.folder.file("gone\x07.jpg"), "", ""} + restOfProject()));
    }
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!w.form.projects()->loadProject(project));
    QVERIFY(timer.elapsed() < 5000); // a pipe is refused, not waited on
    QCOMPARE(w.script.errors().size(), 1);
    const QString box = w.script.errors().first();
    QVERIFY2(box.contains(mentions), qPrintable(box));
    // Whatever the file holds, the box gets no raw control character.
    for (const QChar c : box)
        QVERIFY2(c.unicode() >= 0x20 || c == u'\n', qPrintable(QString::number(c.unicode())));
}

void TstProject::longTitlesAreCutWithAWarning_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");
    QTest::newRow("front title of 1000 stays") << 5 << 1000 << 1000;
    QTest::newRow("front title of 1001 is cut") << 5 << 1001 << 1000;
    QTest::newRow("spine title of 10 MB is cut") << 6 << 10 * 1000 * 1000 / 20 << 1000;
}

void TstProject::longTitlesAreCutWithAWarning()
{
    QFETCH(int, line);
    QFETCH(int, length);
    QFETCH(int, kept);
    QStringList lines = QStringList{"", "", ""} + restOfProject();
    lines[line - 1] = QString(length, u'T');
    const ProjectReading reading = readProjectBytes(crlf(lines));
    QVERIFY(!reading.error);
    QCOMPARE((line == 5 ? reading.project.title.CoverText : reading.project.title.SpineText).size(), kept);
    QCOMPARE(reading.warnings.size(), length > kept ? 1 : 0);

    // In the window: loaded, and one box says what was cut.
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString project = w.folder.file("long.vtr");
    writeFile(project, crlf(lines));
    QVERIFY(w.form.projects()->loadProject(project));
    QCOMPARE(w.script.errors().size(), length > kept ? 1 : 0);
    if (length > kept)
        QVERIFY2(w.script.errors().first().contains(
                     QString("has %1 characters; it was cut to the first 1000").arg(length)),
                 qPrintable(w.script.errors().first()));
    QCOMPARE((line == 5 ? w.form.titleStyle().CoverText : w.form.titleStyle().SpineText).size(), kept);
}

void TstProject::missingTemplateOfAnotherFolderCountsAsBlank()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString project = w.folder.file("t.vtr");
    writeFile(project, crlf(QStringList{"/elsewhere/Modelli/Box/01 Empty Smile.jpg", "", ""} + restOfProject(0)));
    QVERIFY(w.form.projects()->loadProject(project));
    QVERIFY(w.script.errors().isEmpty());
    // Format selection put this program's own template into the slot.
    QCOMPARE(w.form.pictures().imageSlots[0].Path, w.folder.file("Modelli/Box/01 Empty Smile.jpg"));
}

void TstProject::openRemembersFolderEvenWhenLoadFails()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QDir().mkpath(w.folder.file("projects"));
    const QString project = w.folder.file("projects/bad.vtr");
    writeFile(project, "only one line\r\n");
    w.script.openAnswer = project;
    w.form.projects()->open();
    QCOMPARE(w.script.log.first(), "open:" + w.state.Language[101] + "|" + documentsFolder());
    QCOMPARE(w.script.errors().size(), 1);
    QCOMPARE(w.state.LastProjectFolder, w.folder.file("projects"));
    QCOMPARE(splitLines(*readTextFile(w.folder.file("Files/Vantrelo.ini"))).at(2), w.folder.file("projects"));
    // The next Open starts there.
    w.script.openAnswer.clear();
    w.form.projects()->open();
    QCOMPARE(w.script.log.last(), "open:" + w.state.Language[101] + "|" + w.folder.file("projects"));
}

void TstProject::missingFileDoesNothing()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QVERIFY(!w.form.projects()->loadProject(w.folder.file("\"quoted.vtr\"")));
    QVERIFY(w.script.log.isEmpty());
    QVERIFY(w.state.CurrentProjectPath.isEmpty());
}

void TstProject::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("extra"); // output, printer or copies

    using M = CommandLine::Mode;
    QTest::newRow("nothing") << QStringList{} << QStringList{} << int(M::Window) << "" << "";
    QTest::newRow("a project") << QStringList{"/p/a.vtr"} << QStringList{} << int(M::Window) << "/p/a.vtr" << "";
    QTest::newRow("unquoted blanks join") << QStringList{"/p/my", "cover.vtr"} << QStringList{"/p/my cover.vtr"}
                                          << int(M::Window) << "/p/my cover.vtr" << "";
    QTest::newRow("leading dash that exists") << QStringList{"-odd.vtr"} << QStringList{"-odd.vtr"} << int(M::Window)
                                              << "-odd.vtr" << "";
    QTest::newRow("leading dash that does not exist") << QStringList{"-odd.vtr"} << QStringList{} << int(M::UsageError)
                                                      << "" << "";
    QTest::newRow("double dash ends options") << QStringList{"--", "--help"} << QStringList{} << int(M::Window)
                                              << "--help" << "";
    QTest::newRow("help") << QStringList{"--help"} << QStringList{"--help"} << int(M::Help) << "" << "";
    QTest::newRow("version") << QStringList{"--version"} << QStringList{} << int(M::Version) << "" << "";
    QTest::newRow("export") << QStringList{"--export-pdf", "o.pdf", "a.vtr"} << QStringList{} << int(M::ExportPdf)
                            << "a.vtr" << "o.pdf";
    QTest::newRow("export with =") << QStringList{"--export-pdf=o.pdf", "a.vtr"} << QStringList{}
                                   << int(M::ExportPdf) << "a.vtr" << "o.pdf";
    QTest::newRow("export without project") << QStringList{"--export-pdf", "o.pdf"} << QStringList{}
                                            << int(M::UsageError) << "" << "";
    QTest::newRow("print with printer") << QStringList{"--print", "a.vtr", "--printer", "Office"} << QStringList{}
                                        << int(M::Print) << "a.vtr" << "Office";
    QTest::newRow("copies capped") << QStringList{"--print", "a.vtr", "--copies", "5000"} << QStringList{}
                                   << int(M::Print) << "a.vtr" << "999";
    QTest::newRow("copies beyond every number type capped")
        << QStringList{"--print", "a.vtr", "--copies", "99999999999"} << QStringList{} << int(M::Print) << "a.vtr"
        << "999";
    QTest::newRow("copies with leading zeros") << QStringList{"--print", "a.vtr", "--copies", "0000012"}
                                               << QStringList{} << int(M::Print) << "a.vtr" << "12";
    QTest::newRow("copies zero") << QStringList{"--print", "a.vtr", "--copies", "0"} << QStringList{}
                                 << int(M::UsageError) << "" << "";
    QTest::newRow("copies negative") << QStringList{"--print", "a.vtr", "--copies", "-3"} << QStringList{}
                                     << int(M::UsageError) << "" << "";
    QTest::newRow("export to standard output") << QStringList{"--export-pdf", "-", "a.vtr"} << QStringList{}
                                               << int(M::ExportPdf) << "a.vtr" << "-";
    QTest::newRow("copies not a number") << QStringList{"--print", "a.vtr", "--copies", "two"} << QStringList{}
                                         << int(M::UsageError) << "" << "";
    QTest::newRow("printer without print") << QStringList{"--printer", "x", "a.vtr"} << QStringList{}
                                           << int(M::UsageError) << "" << "";
    QTest::newRow("both modes") << QStringList{"--print", "--export-pdf", "o.pdf", "a.vtr"} << QStringList{}
                                << int(M::UsageError) << "" << "";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QStringList{} << int(M::UsageError) << "" << "";
}

void TstProject::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, existing);
    QFETCH(int, mode);
    QFETCH(QString, project);
    QFETCH(QString, extra);
    const CommandLine c = parseCommandLine(args, [&](const QString &p) { return existing.contains(p); });
    QCOMPARE(int(c.mode), mode);
    if (c.mode == CommandLine::Mode::UsageError) {
        QVERIFY(!c.error.isEmpty());
        return;
    }
    QCOMPARE(c.project, project);
    if (c.mode == CommandLine::Mode::ExportPdf)
        QCOMPARE(c.output, extra);
    if (c.mode == CommandLine::Mode::Print && !extra.isEmpty())
        QVERIFY2(c.printer == extra || QString::number(c.copies) == extra, qPrintable(QString::number(c.copies)));
}

void TstProject::handoverDeliversPath()
{
    QTemporaryDir dir;
    const QString name = handoverServerName(dir.filePath("vantrelo-test.lock"));
    QVERIFY(name.endsWith("vantrelo-test.socket"));
    // Nobody listening: refused at once.
    QVERIFY(!handOverProject(name, "/p/a.vtr", 1000));

    // The server runs in this thread, so the sending side runs in a helper process: the
    // built program's own hand-over is exercised end to end in the start-up tests. Here a
    // plain socket plays the second start.
    ProjectHandoverServer server(name);
    QVERIFY(server.listen());
    QSignalSpy received(&server, &ProjectHandoverServer::projectReceived);
    QLocalSocket socket;
    socket.connectToServer(name);
    QVERIFY(socket.waitForConnected(2000));
    const QString path = QString::fromUtf8("/home/ü/my \"cover\"\n.vtr");
    // The message in two pieces: the name is taken once all of it has come.
    const QByteArray message = handoverMessage(QFile::encodeName(path));
    socket.write(message.left(6));
    socket.flush();
    QVERIFY(!received.wait(300));
    socket.write(message.mid(6));
    QVERIFY(received.wait(2000));
    QCOMPARE(received.first().first().toString(), path);
    QTRY_VERIFY(socket.bytesAvailable() > 0 || socket.waitForReadyRead(100));
    QCOMPARE(socket.readAll(), QByteArray("OK\n"));

    // A sender that announces more than any path is cut off at once, not buffered.
    QLocalSocket flood;
    flood.connectToServer(name);
    QVERIFY(flood.waitForConnected(2000));
    flood.write(handoverMessage(QByteArray(ProjectHandoverServer::MaxMessageBytes + 10, 'a')).left(1024));
    flood.flush();
    QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::UnconnectedState, 5000);
    QCOMPARE(received.size(), 1);
}

QTEST_MAIN(TstProject)
#include "tst_project.moc"
