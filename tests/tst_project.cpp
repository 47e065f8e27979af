// Project files: the bytes on disk, reading old and odd files, and the Open, Save and
// Save as commands of the main window.
#include "TestWindow.h"

#include "app/CommandLine.h"
#include "app/ProjectHandover.h"
#include "app/RecentProjects.h"
#include "document/Recovery.h"
#include "common/TextFile.h"
#include "formats/CoverPictures.h"
#include "project/ProjectFile.h"
#include "ui/dialogs/CommonDialogs.h"
#include "document/CoverDocument.h"
#include "ui/main/CoverSession.h"
#include "ui/main/ProjectCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QUndoStack>

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

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    UnsavedAnswer unsavedAnswer = UnsavedAnswer::Cancel;
    bool restoreAnswer = true;
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
        d.askUnsaved = [this](QWidget *, const UnsavedQuestion &q) {
            log << "unsaved:" + q.title + "|" + q.text + "|" + q.save + "|" + q.discard + "|" + q.cancel;
            return unsavedAnswer;
        };
        d.askRestore = [this](QWidget *, const UnsavedQuestion &q) {
            log << "restore:" + q.title + "|" + q.text + "|" + q.save + "|" + q.discard;
            return restoreAnswer;
        };
        return d;
    }
    QStringList errors() const { return log.filter(QRegularExpression("^error:")); }
    QStringList asked() const { return log.filter(QRegularExpression("^unsaved:")); }
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
    void placementLines_data();
    void placementLines();
    void projectFileRoundTrips_data();
    void projectFileRoundTrips();
    void storedPicturePaths_data();
    void storedPicturePaths();
    void recentList_data();
    void recentList();
    void recentFileIsCleanedAndWrittenBack();
    void recoveryFileHoldsTheCoverAndItsProject();
    void recoveryKeeperWritesWhileModified();
    void recoveryWriteFailureIsReported();

    void saveOnNewProjectRunsSaveAsThenSavesInPlace();
    void saveAsProposals();
    void overwriteAnsweredNoLeavesFileUntouched();
    void failedSaveKeepsEarlierFileAndPlaysNothing();
    void roundTripThroughTheWindow();
    void shortFileChangesNothing();
    void failedLoadThenSaveLeavesFilesAlone();
    void saveAsIntoAnotherFolderKeepsPicturesFound();
    void placementsTravelThroughTheProject();
    void undoRedoThroughTheEditMenu();
    void titleBarShowsNameAndModifiedMark();
    void questionBeforeReplacingTheCover_data();
    void questionBeforeReplacingTheCover();
    void closeQuestionInTheRealBox_data();
    void closeQuestionInTheRealBox();
    void exitAsksToo();
    void recoveryAfterSystemCloseIsOffered();
    void recentProjectsUnderFile();
    void standardShortcuts();
    void pictureCommandsFollowTheFormat();
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

void TstProject::placementLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("turns");
    QTest::newRow("as written") << "fill 1.25 0.5 0.4 0" << "fill" << 1.25 << 0.5 << 0.4 << 0;
    QTest::newRow("fit, turned three times") << "fit 2 0 1 3" << "fit" << 2.0 << 0.0 << 1.0 << 3;
    QTest::newRow("mode in capitals, extra blanks") << " STRETCH  1 0.25   0.75 1 " << "stretch" << 1.0 << 0.25 << 0.75 << 1;
    QTest::newRow("zoom above 8 clamped") << "fill 12.5 0.5 0.5 0" << "fill" << 8.0 << 0.5 << 0.5 << 0;
    QTest::newRow("zoom below 1 clamped") << "fill 0.2 0.5 0.5 0" << "fill" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("centre outside the picture clamped") << "fit 1 -0.3 1.7 2" << "fit" << 1.0 << 0.0 << 1.0 << 2;
    QTest::newRow("turns above 3 clamped") << "fill 1 0.5 0.5 7" << "fill" << 1.0 << 0.5 << 0.5 << 3;
    QTest::newRow("negative turns clamped") << "fill 1 0.5 0.5 -2" << "fill" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("huge zoom in exponent form clamped") << "fill 1e300 0.5 0.5 0" << "fill" << 8.0 << 0.5 << 0.5 << 0;
    // Lines that do not parse: the default, a stretched picture, whatever they held.
    QTest::newRow("unknown mode") << "crop 2 0.1 0.1 1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("field missing") << "fill 2 0.1 0.1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("field too many") << "fill 2 0.1 0.1 1 9" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("decimal comma") << "fill 1,5 0.1 0.1 1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("not a number") << "fill 2 nan 0.1 1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("infinite zoom") << "fill inf 0.1 0.1 1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("half a turn") << "fill 2 0.1 0.1 1.5" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("tab between fields") << "fill\t2 0.1 0.1 1" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("empty") << "" << "stretch" << 1.0 << 0.5 << 0.5 << 0;
}

void TstProject::placementLines()
{
    QFETCH(QString, line);
    QFETCH(QString, mode);
    QFETCH(double, zoom);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, turns);
    const Placement p = parsePlacementLine(line);
    const QMap<QString, Placement::Mode> modes = {
        {"stretch", Placement::Mode::Stretch}, {"fill", Placement::Mode::Fill}, {"fit", Placement::Mode::Fit}};
    QCOMPARE(p.mode, modes.value(mode));
    QCOMPARE(p.zoom, zoom);
    QCOMPARE(p.centreX, x);
    QCOMPARE(p.centreY, y);
    QCOMPARE(p.turns, turns);
}

void TstProject::projectFileRoundTrips_data()
{
    // The file as found, and the lines after line 15 that saving what was read gives.
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("hasPlacements");

    QTest::newRow("fifteen lines stay fifteen") << QStringList{} << QStringList{} << false;
    QTest::newRow("placements kept")
        << QStringList{"[placement]", "fill 1.25 0.5 0.4 0", "stretch 1 0.5 0.5 0", "fit 3.5 0.125 1 3"}
        << QStringList{"[placement]", "fill 1.25 0.5 0.4 0", "stretch 1 0.5 0.5 0", "fit 3.5 0.125 1 3"} << true;
    QTest::newRow("all stretched, section still kept")
        << QStringList{"[placement]", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0"}
        << QStringList{"[placement]", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0"} << true;
    QTest::newRow("blank line before the section, numbers in odd forms")
        << QStringList{"", "[Placement]", "fill 1.50 .5 0.40 0", "fit 01 0.5 0.5 2", "fill 2 0.5 0.5 1"}
        << QStringList{"[placement]", "fill 1.5 0.5 0.4 0", "fit 1 0.5 0.5 2", "fill 2 0.5 0.5 1"} << true;
    QTest::newRow("broken lines become the default, ranges clamped")
        << QStringList{"[placement]", "fill 1.25 0.5", "zoom 9 0.5 0.5 0", "fit 20 -1 2 9"}
        << QStringList{"[placement]", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0", "fit 8 0 1 3"} << true;
    QTest::newRow("section cut short after two lines")
        << QStringList{"[placement]", "fill 2 0.25 0.75 1", "fit 1 0.5 0.5 0"}
        << QStringList{"[placement]", "fill 2 0.25 0.75 1", "fit 1 0.5 0.5 0", "stretch 1 0.5 0.5 0"} << true;
    QTest::newRow("something else after line 15 is not a section")
        << QStringList{"fill 2 0.25 0.75 1"} << QStringList{} << false;
}

void TstProject::projectFileRoundTrips()
{
    QFETCH(QStringList, tail);
    QFETCH(QStringList, written);
    QFETCH(bool, hasPlacements);
    const QStringList head = QStringList{"/pics/a.jpg", "", "b c.png"} + restOfProject(7);
    const ProjectReading r = readProjectBytes(crlf(head + tail));
    QVERIFY(!r.error);
    QCOMPARE(r.linesRead, 15);
    QCOMPARE(r.project.hasPlacements, hasPlacements);
    QCOMPARE(r.project.title.CoverText, QString("Front"));
    QCOMPARE(r.project.formatIndex, qint16(7));
    const QByteArray bytes = projectBytes(r.project);
    QCOMPARE(bytes, crlf(head + written));
    // A reader that knows only fifteen lines finds the same fifteen lines.
    QVERIFY(bytes.startsWith(crlf(head)));
    // And the written file reads back to the same cover.
    const ProjectReading again = readProjectBytes(bytes);
    QVERIFY(!again.error);
    QCOMPARE(again.project, r.project);
}

void TstProject::storedPicturePaths_data()
{
    QTest::addColumn<QString>("known");
    QTest::addColumn<QString>("readFrom");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chosen beside the project") << "/home/u/cd/front.jpg" << "" << "/home/u/cd/a.vtr" << "front.jpg";
    QTest::newRow("chosen below the project")
        << "/home/u/cd/pics/2024/front.jpg" << "" << "/home/u/cd/a.vtr" << "pics/2024/front.jpg";
    QTest::newRow("chosen elsewhere stays absolute") << "/srv/art/front.jpg" << "" << "/home/u/cd/a.vtr"
                                                      << "/srv/art/front.jpg";
    QTest::newRow("sibling folder with the same prefix is outside")
        << "/home/u/cd2/front.jpg" << "" << "/home/u/cd/a.vtr" << "/home/u/cd2/front.jpg";
    QTest::newRow("parent folder is outside") << "/home/u/front.jpg" << "" << "/home/u/cd/a.vtr" << "/home/u/front.jpg";
    QTest::newRow("dots in a chosen path cleaned")
        << "/home/u/cd/x/../front.jpg" << "" << "/home/u/cd/a.vtr" << "front.jpg";
    QTest::newRow("relative, saved in place, kept") << "pics/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/cd/b.vtr"
                                                    << "pics/front.jpg";
    QTest::newRow("relative with blanks, saved in place, kept exactly")
        << " pics/front.jpg " << "/home/u/cd/a.vtr" << "/home/u/cd/a.vtr" << " pics/front.jpg ";
    QTest::newRow("save as into another folder: absolute")
        << "pics/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/backup/a.vtr" << "/home/u/cd/pics/front.jpg";
    QTest::newRow("save as into a subfolder of the pictures' folder")
        << "pics/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/cd/pics/a.vtr" << "front.jpg";
    QTest::newRow("save as into the parent folder")
        << "pics/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/a.vtr" << "cd/pics/front.jpg";
    QTest::newRow("relative leading out of the folder becomes absolute")
        << "../art/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/cd/a.vtr" << "/home/u/art/front.jpg";
    QTest::newRow("old absolute path inside the folder becomes relative")
        << "/home/u/cd/front.jpg" << "/home/u/cd/a.vtr" << "/home/u/cd/a.vtr" << "front.jpg";
    QTest::newRow("relative with no project to take it from is kept") << "front.jpg" << "" << "/home/u/cd/a.vtr"
                                                                       << "front.jpg";
    QTest::newRow("blank stays blank") << "  " << "/home/u/cd/a.vtr" << "/tmp/b.vtr" << "  ";
}

void TstProject::storedPicturePaths()
{
    QFETCH(QString, known);
    QFETCH(QString, readFrom);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QCOMPARE(picturePathForProject(known, readFrom, target), expected);
}

void TstProject::recentList_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("after");
    const QStringList eight = {"/p/1.vtr", "/p/2.vtr", "/p/3.vtr", "/p/4.vtr",
                               "/p/5.vtr", "/p/6.vtr", "/p/7.vtr", "/p/8.vtr"};
    QTest::newRow("first entry") << QStringList{} << "/p/a.vtr" << QStringList{"/p/a.vtr"};
    QTest::newRow("newest first") << QStringList{"/p/a.vtr"} << "/p/b.vtr" << QStringList{"/p/b.vtr", "/p/a.vtr"};
    QTest::newRow("again moves to the front, once")
        << QStringList{"/p/a.vtr", "/p/b.vtr", "/p/c.vtr"} << "/p/c.vtr"
        << QStringList{"/p/c.vtr", "/p/a.vtr", "/p/b.vtr"};
    QTest::newRow("a ninth drops the oldest")
        << eight << "/p/9.vtr"
        << QStringList{"/p/9.vtr", "/p/1.vtr", "/p/2.vtr", "/p/3.vtr", "/p/4.vtr", "/p/5.vtr", "/p/6.vtr", "/p/7.vtr"};
    QTest::newRow("one of eight again keeps all eight")
        << eight << "/p/5.vtr"
        << QStringList{"/p/5.vtr", "/p/1.vtr", "/p/2.vtr", "/p/3.vtr", "/p/4.vtr", "/p/6.vtr", "/p/7.vtr", "/p/8.vtr"};
    QTest::newRow("same file by another spelling") << QStringList{"/p/a.vtr", "/p/b.vtr"} << "/p/x/../b.vtr"
                                                   << QStringList{"/p/b.vtr", "/p/a.vtr"};
    QTest::newRow("relative path not taken") << QStringList{"/p/a.vtr"} << "a.vtr" << QStringList{"/p/a.vtr"};
    QTest::newRow("blank not taken") << QStringList{"/p/a.vtr"} << "  " << QStringList{"/p/a.vtr"};
}

void TstProject::recentList()
{
    QFETCH(QStringList, before);
    QFETCH(QString, added);
    QFETCH(QStringList, after);
    QCOMPARE(RecentProjects::withNewest(before, added), after);
}

void TstProject::recentFileIsCleanedAndWrittenBack()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/sub/RecentProjects.txt";
    RecentProjects missing(file);
    missing.load();
    QVERIFY(missing.entries().isEmpty());

    QVERIFY(QDir().mkpath(dir.path() + "/sub"));
    // Hand-edited: a blank line, a relative path, a repeat, LF line ends, ten paths.
    writeFile(file, "/p/1.vtr\n\nrel.vtr\n/p/2.vtr\n/p/1.vtr\n/p/3.vtr\n/p/4.vtr\n/p/5.vtr\n"
                    "/p/6.vtr\n/p/7.vtr\n/p/8.vtr\n/p/9.vtr\n/p/10.vtr\n");
    RecentProjects recent(file);
    recent.load();
    QCOMPARE(recent.entries(), (QStringList{"/p/1.vtr", "/p/2.vtr", "/p/3.vtr", "/p/4.vtr", "/p/5.vtr", "/p/6.vtr",
                                            "/p/7.vtr", "/p/8.vtr"}));
    recent.add("/p/é & co.vtr");
    recent.remove("/p/3.vtr");
    QVERIFY(recent.save());
    QCOMPARE(readBytes(file), QByteArray("/p/é & co.vtr\r\n/p/1.vtr\r\n/p/2.vtr\r\n/p/4.vtr\r\n/p/5.vtr\r\n"
                                         "/p/6.vtr\r\n/p/7.vtr\r\n"));
    QCOMPARE(recentMenuCaption(0, recent.entries().first()), QString("&1 é && co.vtr"));
    QCOMPARE(recentMenuCaption(7, "/p/last.vtr"), QString("&8 last.vtr"));
}

void TstProject::recoveryFileHoldsTheCoverAndItsProject()
{
    QTemporaryDir dir;
    ProjectFile p;
    p.picturePaths = {"pics/front.jpg", "", "/srv/art/back.png"};
    p.title.CoverText = "Holiday";
    p.title.FontName = "Liberation Sans";
    p.title.FontSize = 12;
    p.formatIndex = 5;
    p.placements[0].mode = Placement::Mode::Fill;
    p.placements[0].zoom = 2;
    const QByteArray bytes = recoveryBytes(p, "/home/u/cd/a.vtr", "/home/u/cd/a.vtr");
    QCOMPARE(bytes, crlf({"/home/u/cd/pics/front.jpg", "", "/srv/art/back.png", " 0 ", "Holiday", "",
                          "Liberation Sans", "12", " 0 ", " 0 ", " 0 ", " 255 ", " 1 ", " 1 ", " 5 ", "[placement]",
                          "fill 2 0.5 0.5 0", "stretch 1 0.5 0.5 0", "stretch 1 0.5 0.5 0", "[recovery]",
                          "/home/u/cd/a.vtr"}));
    const QString file = dir.path() + "/Recovery.vtr";
    writeFile(file, bytes);
    const auto info = inspectRecovery(file);
    QVERIFY(info);
    QCOMPARE(info->projectPath, QString("/home/u/cd/a.vtr"));
    // A cover never saved has no project; a file cut short is no recovery.
    writeFile(file, recoveryBytes(p, QString(), QString()));
    QVERIFY(inspectRecovery(file));
    QCOMPARE(inspectRecovery(file)->projectPath, QString());
    writeFile(file, bytes.left(60));
    QVERIFY(!inspectRecovery(file));
    QVERIFY(!inspectRecovery(dir.path() + "/none.vtr"));
}

void TstProject::recoveryKeeperWritesWhileModified()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/data/Recovery.vtr";
    QByteArray cover = "first";
    int snapshots = 0;
    RecoveryKeeper keeper(file, [&] {
        ++snapshots;
        return cover;
    });
    keeper.setInterval(40);
    QVERIFY(!keeper.writeNow()); // nothing unsaved: nothing to keep
    QVERIFY(!QFileInfo::exists(file));

    keeper.setModified(true);
    QVERIFY(keeper.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file), 2000);
    QCOMPARE(readBytes(file), QByteArray("first"));
    // No change since: the timer does not write the same cover again.
    const int after = snapshots;
    QTest::qWait(150);
    QCOMPARE(snapshots, after);
    cover = "second";
    keeper.noteChange();
    QTRY_COMPARE_WITH_TIMEOUT(readBytes(file), QByteArray("second"), 2000);

    // A signal: written at once.
    cover = "third";
    keeper.noteChange();
    QVERIFY(keeper.writeNow());
    QCOMPARE(readBytes(file), QByteArray("third"));

    // Saved (or undone to the saved state): the file goes.
    keeper.setModified(false);
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!keeper.isRunning());
    keeper.setModified(true);
    QVERIFY(keeper.writeNow());
    keeper.discard();
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!keeper.writeNow());
}

void TstProject::recoveryWriteFailureIsReported()
{
    // A folder that cannot be made (a file stands where it should be) fails as a full
    // disk would: reported, and the cover is still counted as not written.
    QTemporaryDir dir;
    writeFile(dir.path() + "/blocker", "a file");
    RecoveryKeeper keeper(dir.path() + "/blocker/Recovery.vtr", [] { return QByteArray("cover"); });
    QSignalSpy failed(&keeper, &RecoveryKeeper::writeFailed);
    keeper.setModified(true);
    QVERIFY(!keeper.writeNow());
    QCOMPARE(failed.count(), 1);
    QVERIFY(!failed.first().first().toString().isEmpty());
}

void TstProject::saveOnNewProjectRunsSaveAsThenSavesInPlace()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString target = w.folder.file("cover.vtr");
    w.script.saveAnswer = target;
    QVERIFY(w.form.projects()->save());
    QCOMPARE(w.script.log.filter("save:").size(), 1);
    QCOMPARE(fileBytes(target), projectBytes(w.form.projects()->projectFor(target)));
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
    QVERIFY(fileBytes(target).startsWith(projectLines(w.form.projects()->projectFor(target)).first().toUtf8()));
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
    // The pictures lie in the project's folder: stored relative to it from now on.
    QCOMPARE(fileBytes(w.folder.file("second.vtr")),
             crlf({"red.png", "blue.png", "", " 1 ", "Front title", "Spine title", "Liberation Serif", "14", " 1 ",
                   " 1 ", " 0 ", " 16711680 ", " 1 ", " 0 ", " 6 "}));

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
    QCOMPARE(imageSlots[0].Path, QString("red.png")); // as the file has it
    QCOMPARE(imageSlots[1].Path, QString("blue.png"));
    QCOMPARE(imageSlots[0].CleanCopy.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(imageSlots[1].CleanCopy.pixelColor(5, 5), QColor(Qt::blue));
}

void TstProject::shortFileChangesNothing()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    w.form.selectFormat(2);
    const CoverContent before = w.form.document()->content();
    const bool modifiedBefore = w.form.document()->isModified();
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red);
    const QString project = w.folder.file("short.vtr");
    QStringList lines = QStringList{red, "", ""} + restOfProject(9);
    lines.removeLast();
    writeFile(project, crlf(lines));
    QVERIFY(!w.form.projects()->loadProject(project));
    QCOMPARE(w.script.errors().size(), 1);
    QVERIFY2(w.script.errors().first().contains("line 15"), qPrintable(w.script.errors().first()));
    // Not one line of the file reached the cover: not its picture, not its titles.
    QVERIFY(w.form.document()->content() == before);
    QCOMPARE(w.form.titleStyle().CoverText, QString());
    QCOMPARE(w.form.pictures().imageSlots[0].Path, before.pictures[0].path);
    QCOMPARE(w.form.selectedFormat(), 2);
    QCOMPARE(w.form.document()->isModified(), modifiedBefore);
    QCOMPARE(w.state.CurrentProjectPath, QString());
    QCOMPARE(w.form.projects()->projectSavePath(), QString());
}

void TstProject::failedLoadThenSaveLeavesFilesAlone()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red);
    const QString good = w.folder.file("good.vtr");
    writeFile(good, crlf(QStringList{red, "", ""} + restOfProject(3)));
    QVERIFY(w.form.projects()->loadProject(good));
    w.form.document()->setOutline(false);
    QVERIFY(w.form.document()->isModified());

    // The pictures of this one have moved: it cannot be loaded.
    const QString moved = w.folder.file("moved.vtr");
    const QByteArray movedBytes = crlf(QStringList{w.folder.file("gone.jpg"), "", ""} + restOfProject(5));
    writeFile(moved, movedBytes);
    QVERIFY(!w.form.projects()->loadProject(moved));
    QCOMPARE(w.script.errors().size(), 1);
    QCOMPARE(w.form.document()->projectPath(), good);
    QVERIFY(w.form.document()->isModified());
    QCOMPARE(w.form.selectedFormat(), 3);

    // Save writes the cover that is shown, to the project it came from.
    QVERIFY(w.form.projects()->save());
    QCOMPARE(fileBytes(moved), movedBytes);
    // Slot 2 shows the format's template, inside the program folder here.
    QCOMPARE(fileBytes(good), crlf({"red.png", "Modelli/CD-DVD Back/01 Empty Smile.jpg", "", " 0 ", "Front", "Spine", "Liberation Sans", "12", " 1 ",
                                    " 0 ", " 1 ", " 255 ", " 1 ", " 0 ", " 3 "}));
    QVERIFY(!w.form.document()->isModified());

    // A new cover that failed to load a project has nothing to save to: Save asks where.
    ProjectWindow fresh;
    QVERIFY(fresh.form.load());
    QVERIFY(!fresh.form.projects()->loadProject(moved));
    fresh.script.saveAnswer.clear();
    QVERIFY(fresh.form.projects()->save());
    QCOMPARE(fresh.script.log.filter(QRegularExpression("^save:")).size(), 1);
    QCOMPARE(fileBytes(moved), movedBytes);
}

void TstProject::saveAsIntoAnotherFolderKeepsPicturesFound()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString cd = w.folder.file("cd");
    QVERIFY(QDir().mkpath(cd + "/pics"));
    QVERIFY(QDir().mkpath(w.folder.file("backup")));
    saveSolid(cd + "/pics", "front.png", Qt::red);
    saveSolid(cd, "back.png", Qt::blue);
    const QString elsewhere = saveSolid(w.folder.path(), "third.png", Qt::green);
    writeFile(cd + "/a.vtr", crlf(QStringList{"pics/front.png", "back.png", elsewhere} + restOfProject(7)));
    QVERIFY(w.form.projects()->loadProject(cd + "/a.vtr"));
    QVERIFY(w.script.errors().isEmpty());

    // Into another folder: the relative paths become absolute, so they still find the pictures.
    w.script.saveAnswer = w.folder.file("backup/b.vtr");
    QVERIFY(w.form.projects()->saveAs());
    const QStringList backup = splitLines(*readTextFile(w.folder.file("backup/b.vtr")));
    QCOMPARE(backup.mid(0, 3), (QStringList{cd + "/pics/front.png", cd + "/back.png", elsewhere}));
    // Into the pictures' own folder: relative to it again.
    w.script.saveAnswer = cd + "/pics/c.vtr";
    QVERIFY(w.form.projects()->saveAs());
    QCOMPARE(splitLines(*readTextFile(cd + "/pics/c.vtr")).mid(0, 3),
             (QStringList{"front.png", cd + "/back.png", elsewhere}));
    // Save goes on writing to the last Save as target, the paths still right.
    QVERIFY(w.form.projects()->save());
    QCOMPARE(splitLines(*readTextFile(cd + "/pics/c.vtr")).first(), QString("front.png"));

    // Each copy opens with its pictures.
    for (const QString &copy : {w.folder.file("backup/b.vtr"), cd + "/pics/c.vtr"}) {
        ProjectWindow fresh;
        QVERIFY(fresh.form.load());
        QVERIFY2(fresh.form.projects()->loadProject(copy), qPrintable(fresh.script.log.join('\n')));
        QCOMPARE(fresh.form.document()->content().pictures[0].picture.pixelColor(2, 2), QColor(Qt::red));
        QCOMPARE(fresh.form.document()->content().pictures[1].picture.pixelColor(2, 2), QColor(Qt::blue));
    }

    // A picture chosen inside the project's folder is stored relative to it.
    ProjectWindow chosen;
    QVERIFY(chosen.form.load());
    chosen.form.loadSlotFromChosenFile(0, cd + "/pics/front.png");
    chosen.script.saveAnswer = cd + "/new.vtr";
    QVERIFY(chosen.form.projects()->saveAs());
    QCOMPARE(splitLines(*readTextFile(cd + "/new.vtr")).first(), QString("pics/front.png"));
}

void TstProject::placementsTravelThroughTheProject()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red, {90, 30});
    const QString project = w.folder.file("placed.vtr");
    const QStringList head = QStringList{"red.png", "", ""} + restOfProject(0);
    writeFile(project, crlf(head));
    QVERIFY(w.form.projects()->loadProject(project));
    QCOMPARE(w.form.document()->content().pictures[0].placement, Placement()); // an old project: stretched

    Placement p;
    p.mode = Placement::Mode::Fill;
    p.zoom = 2.5;
    p.centreX = 0.25;
    p.centreY = 0.75;
    p.turns = 1;
    w.form.document()->setPlacement(0, p);
    QVERIFY(w.form.projects()->save());
    QCOMPARE(fileBytes(project), crlf(head + QStringList{"[placement]", "fill 2.5 0.25 0.75 1", "stretch 1 0.5 0.5 0",
                                                         "stretch 1 0.5 0.5 0"}));
    ProjectWindow fresh;
    QVERIFY(fresh.form.load());
    QVERIFY(fresh.form.projects()->loadProject(project));
    QCOMPARE(fresh.form.document()->content().pictures[0].placement, p);
    QVERIFY(!fresh.form.document()->isModified());
}

void TstProject::undoRedoThroughTheEditMenu()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QAction *undo = w.form.action("mnuAnnulla");
    QAction *redo = w.form.action("mnuRipeti");
    QVERIFY(undo && redo);
    QCOMPARE(w.form.menu("mnuModifica")->title(), QString("&Edit"));
    QCOMPARE(undo->text(), QString("&Undo"));
    QCOMPARE(redo->text(), QString("&Redo"));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    // Three edits through the window's own controls.
    w.form.selectFormat(4);
    w.form.outlineSwitch()->click();
    const QString red = saveSolid(w.folder.path(), "red.png", Qt::red);
    w.form.loadSlotFromChosenFile(0, red);
    QCOMPARE(w.form.document()->content().pictures[0].path, red);
    QVERIFY(undo->isEnabled());

    undo->trigger();
    QCOMPARE(w.form.document()->content().pictures[0].path, w.folder.file("Modelli/CD-DVD Front/01 Empty Smile.jpg"));
    QVERIFY(w.form.document()->content().outline);
    QVERIFY(redo->isEnabled());
    undo->trigger();
    QVERIFY(!w.form.document()->content().outline);
    QVERIFY(!w.form.outlineSwitch()->isChecked());
    undo->trigger();
    QCOMPARE(w.form.document()->content().format, 0);
    QCOMPARE(w.form.selectedFormat(), 0);
    QVERIFY(!undo->isEnabled());
    QVERIFY(!w.form.document()->isModified());

    redo->trigger();
    redo->trigger();
    QCOMPARE(w.form.selectedFormat(), 4);
    QVERIFY(w.form.outlineSwitch()->isChecked());
    QVERIFY(w.form.document()->isModified());

    // The keys reach the actions.
    QVERIFY(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));

    // A load starts a clean history.
    const QString project = w.folder.file("p.vtr");
    writeFile(project, crlf(QStringList{"", "", ""} + restOfProject(6)));
    w.script.unsavedAnswer = UnsavedAnswer::Discard;
    w.form.projects()->openPath(project);
    QCOMPARE(w.form.selectedFormat(), 6);
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
}

void TstProject::titleBarShowsNameAndModifiedMark()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QCOMPARE(w.form.windowTitle(), QString("Untitled[*] - Vantrelo 2.8.0.0"));
    QVERIFY(!w.form.isWindowModified());
    w.form.outlineSwitch()->click();
    QVERIFY(w.form.isWindowModified());

    w.script.saveAnswer = w.folder.file("My cover.vtr");
    QVERIFY(w.form.projects()->saveAs());
    QCOMPARE(w.form.windowTitle(), QString("My cover.vtr[*] - Vantrelo 2.8.0.0"));
    QVERIFY(!w.form.isWindowModified());
    // Undone past the save: modified again; redone: clean again.
    w.form.document()->undoStack()->undo();
    QVERIFY(w.form.isWindowModified());
    w.form.document()->undoStack()->redo();
    QVERIFY(!w.form.isWindowModified());
    QCOMPARE(coverWindowTitle("/x/y/b.vtr", "Sans titre", "Vantrelo 2.8.0.0"), QString("b.vtr[*] - Vantrelo 2.8.0.0"));
    QCOMPARE(coverWindowTitle("", "Sans titre", "Vantrelo 2.8.0.0"), QString("Sans titre[*] - Vantrelo 2.8.0.0"));
}

void TstProject::questionBeforeReplacingTheCover_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<bool>("savedFirst");
    for (const char *command : {"open", "handed over", "new"}) {
        QTest::addRow("%s, cancel", command) << command << int(UnsavedAnswer::Cancel) << false << false;
        QTest::addRow("%s, discard", command) << command << int(UnsavedAnswer::Discard) << true << false;
        QTest::addRow("%s, save", command) << command << int(UnsavedAnswer::Save) << true << true;
    }
}

void TstProject::questionBeforeReplacingTheCover()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    QFETCH(bool, savedFirst);
    ProjectWindow w;
    QVERIFY(w.form.load());
    const QString mine = w.folder.file("mine.vtr");
    const QString other = w.folder.file("other.vtr");
    writeFile(mine, crlf(QStringList{"", "", ""} + restOfProject(2)));
    writeFile(other, crlf(QStringList{"", "", ""} + restOfProject(8)));
    QVERIFY(w.form.projects()->loadProject(mine));
    const QByteArray mineBytes = fileBytes(mine);

    // Unmodified: replaced without a word.
    w.script.openAnswer = other;
    w.form.projects()->open();
    QCOMPARE(w.form.selectedFormat(), 8);
    QVERIFY(w.script.asked().isEmpty());
    QVERIFY(w.form.projects()->loadProject(mine));

    w.form.outlineSwitch()->click(); // unsaved work
    w.script.unsavedAnswer = UnsavedAnswer(answer);
    if (command == "open")
        w.form.projects()->open();
    else if (command == "handed over")
        w.form.projects()->openPath(other);
    else
        w.form.projects()->newProject();
    QCOMPARE(w.script.asked(),
             QStringList{"unsaved:Warning|The cover has changes that have not been saved. Do you want to save "
                         "them?|&Save project|&Discard|Cancel"});
    const int expectedFormat = !replaced ? 2 : command == "new" ? 2 : 8;
    QCOMPARE(w.form.selectedFormat(), expectedFormat);
    QCOMPARE(w.form.document()->isModified(), !replaced);
    QCOMPARE(w.form.outlineSwitch()->isChecked(), replaced && command != "new");
    QCOMPARE(w.form.document()->projectPath(), !replaced ? mine : command == "new" ? QString() : other);
    if (savedFirst)
        QCOMPARE(splitLines(*readTextFile(mine)).at(3), QString(" 0 "));
    else
        QCOMPARE(fileBytes(mine), mineBytes);
}

void TstProject::closeQuestionInTheRealBox_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("cancel keeps the window") << "Cancel" << false << false;
    QTest::newRow("escape keeps the window") << "Escape" << false << false;
    QTest::newRow("discard closes unsaved") << "&Discard" << true << false;
    QTest::newRow("save saves, then closes") << "&Save project" << true << true;
}

void TstProject::closeQuestionInTheRealBox()
{
    QFETCH(QString, button);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    ProjectWindow w;
    ProjectDialogs d = w.script.dialogs();
    d.askUnsaved = defaultProjectDialogs().askUnsaved; // the box the user sees
    w.form.projects()->setDialogs(d);
    QVERIFY(w.form.load());
    const QString project = w.folder.file("p.vtr");
    writeFile(project, crlf(QStringList{"", "", ""} + restOfProject(2)));
    QVERIFY(w.form.projects()->loadProject(project));
    const QByteArray before = fileBytes(project);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.form.outlineSwitch()->click();

    QString seen;
    QTimer::singleShot(100, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = box->text();
        if (button == "Escape") {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *b : box->buttons())
            if (b->text() == button)
                b->click();
    });
    QCOMPARE(w.form.close(), closed);
    QCOMPARE(seen, QString("The cover has changes that have not been saved. Do you want to save them?"));
    QCOMPARE(w.form.isVisible(), !closed);
    QCOMPARE(fileBytes(project) != before, saved);
    // Closing without a change to lose asks nothing.
    if (!closed) {
        w.form.document()->undoStack()->undo();
        QVERIFY(!w.form.document()->isModified());
        QVERIFY(w.form.close());
    }
}

void TstProject::exitAsksToo()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    w.form.outlineSwitch()->click();
    w.script.unsavedAnswer = UnsavedAnswer::Cancel;
    w.form.action("mnuFileEsci")->trigger();
    QCOMPARE(w.script.asked().size(), 1);
    QVERIFY(w.rec.exits.isEmpty());
    w.script.unsavedAnswer = UnsavedAnswer::Discard;
    w.form.action("mnuFileEsci")->trigger();
    QCOMPARE(w.rec.exits, QList<int>{0});
}

void TstProject::recoveryAfterSystemCloseIsOffered()
{
    ProgramFolder folder;
    const QString recovery = folder.file("Files/Recovery.vtr");
    const QString red = saveSolid(folder.path(), "red.png", Qt::red);
    {
        AppState state;
        HookRecorder rec;
        Form1 form(state, folder.path(), QString(), rec.hooks());
        DialogScript script;
        form.projects()->setDialogs(script.dialogs());
        QVERIFY(form.load());
        QVERIFY(!QFileInfo::exists(recovery));
        form.selectFormat(5);
        form.loadSlotFromChosenFile(0, red);
        form.setCoverText("Unsaved work");
        form.closeBySystem(SIGTERM);
        QVERIFY(script.asked().isEmpty()); // a signal asks nobody
        QVERIFY(QFileInfo::exists(recovery));
    }
    const QStringList lines = splitLines(*readTextFile(recovery));
    QCOMPARE(lines.at(0), red);
    QCOMPARE(lines.at(4), QString("Unsaved work"));
    QCOMPARE(lines.at(14), QString(" 5 "));
    QCOMPARE(lines.mid(19), (QStringList{"[recovery]", ""}));

    auto restart = [&](bool restore, DialogScript &script, HookRecorder &rec, AppState &state) {
        auto form = std::make_unique<Form1>(state, folder.path(), QString(), rec.hooks());
        script.restoreAnswer = restore;
        form->projects()->setDialogs(script.dialogs());
        form->load();
        return form;
    };
    {
        AppState state;
        HookRecorder rec;
        DialogScript script;
        auto form = restart(true, script, rec, state);
        QCOMPARE(script.log.filter(QRegularExpression("^restore:")),
                 QStringList{"restore:Warning|The cover you were working on was not saved when the program ended. "
                             "Do you want to restore it?|&Restore|&Discard"});
        QCOMPARE(form->selectedFormat(), 5);
        QCOMPARE(form->titleStyle().CoverText, QString("Unsaved work"));
        QCOMPARE(form->document()->content().pictures[0].picture.pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(form->document()->isModified());
        QVERIFY(form->isWindowModified());
        QVERIFY(QFileInfo::exists(recovery)); // still unsaved
        // Saved: the recovery file has done its work.
        script.saveAnswer = folder.file("kept.vtr");
        QVERIFY(form->projects()->save());
        QVERIFY(!QFileInfo::exists(recovery));
    }
    // Declined: removed, and the next start offers nothing.
    writeFile(recovery, crlf(lines));
    {
        AppState state;
        HookRecorder rec;
        DialogScript script;
        auto form = restart(false, script, rec, state);
        QCOMPARE(script.log.filter(QRegularExpression("^restore:")).size(), 1);
        QVERIFY(!form->document()->isModified());
        QVERIFY(!QFileInfo::exists(recovery));
    }
}

void TstProject::recentProjectsUnderFile()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QMenu *recent = w.form.menu("mnuRecenti");
    QVERIFY(recent);
    QCOMPARE(recent->title(), QString("&Recent projects"));
    QVERIFY(!recent->menuAction()->isEnabled());
    QStringList paths;
    for (int k = 1; k <= 9; ++k) {
        paths << w.folder.file(QString("p%1.vtr").arg(k));
        writeFile(paths.last(), crlf(QStringList{"", "", ""} + restOfProject(k)));
        QVERIFY(w.form.projects()->loadProject(paths.last()));
    }
    auto entries = [&] {
        QStringList out;
        for (QAction *a : recent->actions())
            if (a->objectName() == "mnuRecente")
                out << a->text();
        return out;
    };
    QCOMPARE(entries(), (QStringList{"&1 p9.vtr", "&2 p8.vtr", "&3 p7.vtr", "&4 p6.vtr", "&5 p5.vtr", "&6 p4.vtr",
                                     "&7 p3.vtr", "&8 p2.vtr"}));
    // Kept in a file of its own; the settings file keeps its six lines.
    const QString file = w.folder.file("Files/RecentProjects.txt");
    QCOMPARE(splitLines(*readTextFile(file)).first(), paths[8]);
    w.form.SalvaOpzioni();
    QCOMPARE(splitLines(*readTextFile(w.folder.file("Files/Vantrelo.ini"))).size(), 6);

    // Choosing an entry opens it; one that has gone is taken off the list.
    recent->actions().at(4)->trigger();
    QCOMPARE(w.form.selectedFormat(), 5);
    QCOMPARE(entries().first(), QString("&1 p5.vtr"));
    QFile::remove(paths[3]);
    recent->actions().at(5)->trigger(); // p4
    QCOMPARE(w.form.selectedFormat(), 5);
    QCOMPARE(entries().size(), 7);
    QVERIFY(!entries().join(' ').contains("p4.vtr"));
}

void TstProject::standardShortcuts()
{
    ProjectWindow w;
    const QMap<QString, QKeySequence> expected = {
        {"mnuNuovo", QKeySequence(Qt::CTRL | Qt::Key_N)},       {"mnuApriDS", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"mnuSalva", QKeySequence(Qt::CTRL | Qt::Key_S)},       {"mnuSalvaConNome", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"mnuFileStampa", QKeySequence(Qt::CTRL | Qt::Key_P)},  {"mnuFileEsci", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        QAction *a = w.form.action(it.key());
        QVERIFY2(a, qPrintable(it.key()));
        QVERIFY2(a->shortcuts().contains(it.value()), qPrintable(it.key()));
    }
    // No key is claimed by two commands.
    QMap<QKeySequence, QString> owner;
    for (QAction *a : w.form.findChildren<QAction *>())
        for (const QKeySequence &k : a->shortcuts()) {
            QVERIFY2(!owner.contains(k), qPrintable(k.toString() + " " + owner.value(k) + " " + a->objectName()));
            owner.insert(k, a->objectName());
        }
}

void TstProject::pictureCommandsFollowTheFormat()
{
    ProjectWindow w;
    QVERIFY(w.form.load());
    QAction *second = w.form.action("mnuImg2");
    QAction *third = w.form.action("mnuImg3");
    // Rows: a one-picture wrap (0), a jewel case's front and back (3), three mini-disc
    // labels (14), a slim case cut from one picture (21).
    const QList<std::tuple<int, bool, bool>> rows = {
        {0, false, false}, {3, true, false}, {14, true, true}, {21, false, false}};
    for (const auto &[format, two, three] : rows) {
        w.form.selectFormat(format);
        QCOMPARE(second->isEnabled(), two);
        QCOMPARE(third->isEnabled(), three);
    }
    // An undo of the format follows too.
    w.form.document()->undoStack()->undo();
    QCOMPARE(w.form.selectedFormat(), 14);
    QVERIFY(third->isEnabled());
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
