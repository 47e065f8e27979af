// The program's shared conventions: numbers, text files, the step runner, dialog filters.
#include "OtherUser.h"
#include "SmallDisk.h"

#include "common/Numbers.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "platform/FileFilters.h"
#include "platform/Printers.h"
#include "ui/dialogs/CommonDialogs.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <QtTest>
#include <cmath>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace vt;

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TstCommon : public QObject
{
    Q_OBJECT
private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void narrowingConversions_data();
    void narrowingConversions();
    void checkedProducts_data();
    void checkedProducts();
    void leadingNumber_data();
    void leadingNumber();
    void stripAmpersandsAndTrovaPath_data();
    void stripAmpersandsAndTrovaPath();

    void decodesUtf8OrLegacy_data();
    void decodesUtf8OrLegacy();
    void splitsEveryLineEnd_data();
    void splitsEveryLineEnd();
    void readsFieldsAndLines_data();
    void readsFieldsAndLines();
    void writesUtf8CrLfAtomically();
    void failedWriteKeepsPreviousFile();
    void readOnlyFolderWritesNothing();
    void fullDiskNamesTheCause();
    void specialTargetsAreLeftAlone_data();
    void specialTargetsAreLeftAlone();
    void sameFile_data();
    void sameFile();
    void controlCharactersAreEscaped_data();
    void controlCharactersAreEscaped();
    void batchPrinterChoice_data();
    void batchPrinterChoice();
    void hugeFileIsReadOnlyUpToLimit();

    void stepRunnerPolicies_data();
    void stepRunnerPolicies();

    void filterConversion_data();
    void filterConversion();
    void dialogPathLimits_data();
    void dialogPathLimits();
    void fileDialogNeedsOwner();
    void colourCancelKeepsEarlierChoice();
    void colourRefRoundTrips();
    void printerEntryIsTrimmed_data();
    void printerEntryIsTrimmed();
    void noPrintServerMeansNoDefaultPrinter();
};

void TstCommon::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("18.5 down to even") << 18.5 << 18.0;
    QTest::newRow("24.5 down to even") << 24.5 << 24.0;
    QTest::newRow("37.0 stays") << 37.0 << 37.0;
    QTest::newRow("19.5 up to even") << 19.5 << 20.0;
    QTest::newRow("negative half to even") << -2.5 << -2.0;
    QTest::newRow("negative 3.5") << -3.5 << -4.0;
    QTest::newRow("just above half") << 2.5000001 << 3.0;
    QTest::newRow("just below half") << 2.4999999 << 2.0;
}

void TstCommon::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(roundHalfEven(value), expected);
}

void TstCommon::narrowingConversions_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits16");
    QTest::addColumn<int>("as16");
    QTest::addColumn<bool>("fits32");
    QTest::newRow("max 16-bit") << 32767.0 << true << 32767 << true;
    QTest::newRow("rounds past max") << 32767.5 << false << 0 << true;
    QTest::newRow("rounds to max") << 32767.4 << true << 32767 << true;
    QTest::newRow("min 16-bit") << -32768.0 << true << -32768 << true;
    QTest::newRow("below min") << -32769.0 << false << 0 << true;
    QTest::newRow("32-bit overflow") << 3e9 << false << 0 << false;
    QTest::newRow("nan") << std::nan("") << false << 0 << false;
    QTest::newRow("infinity") << HUGE_VAL << false << 0 << false;
}

void TstCommon::narrowingConversions()
{
    QFETCH(double, value);
    QFETCH(bool, fits16);
    QFETCH(int, as16);
    QFETCH(bool, fits32);
    const auto v16 = toInt16(value);
    QCOMPARE(v16.has_value(), fits16);
    if (fits16)
        QCOMPARE(int(*v16), as16);
    QCOMPARE(toInt32(value).has_value(), fits32);
}

void TstCommon::checkedProducts_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("fits16");
    QTest::addColumn<bool>("fits32");
    QTest::newRow("sheet 297 at scale 110") << 110 << 297 << true << true;
    QTest::newRow("sheet 297 at scale 111 overflows") << 111 << 297 << false << true;
    QTest::newRow("sheet 210 at scale 156") << 156 << 210 << true << true;
    QTest::newRow("sheet 210 at scale 157 overflows") << 157 << 210 << false << true;
    QTest::newRow("negative product") << -200 << 200 << false << true;
    QTest::newRow("32-bit overflow") << 32767 << 32767 << false << true;
}

void TstCommon::checkedProducts()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, fits16);
    QFETCH(bool, fits32);
    const auto p16 = mul16(qint16(a), qint16(b));
    QCOMPARE(p16.has_value(), fits16);
    if (fits16)
        QCOMPARE(int(*p16), a * b);
    const auto p32 = mul32(a, b);
    QCOMPARE(p32.has_value(), fits32);
    QVERIFY(!mul32(100000, 100000).has_value());
}

void TstCommon::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("plain") << "12" << 12.0 << true;
    QTest::newRow("decimal point") << "12.5" << 12.5 << true;
    QTest::newRow("comma is not decimal") << "12,5" << 12.0 << true;
    QTest::newRow("letters after") << "12abc" << 12.0 << true;
    QTest::newRow("leading blanks") << "   7" << 7.0 << true;
    QTest::newRow("negative") << "-1" << -1.0 << true;
    QTest::newRow("starts with letter") << "abc12" << 0.0 << false;
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("only a point") << "." << 0.0 << false;
    QTest::newRow("leading point") << ".5x" << 0.5 << true;
    QTest::newRow("exponent") << "1e3" << 1000.0 << true;
    QTest::newRow("dangling exponent") << "2e" << 2.0 << true;
}

void TstCommon::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QFETCH(bool, isNumber);
    QCOMPARE(vt::leadingNumber(text), expected);
    QCOMPARE(parseLeadingNumber(text).has_value(), isNumber);
}

void TstCommon::stripAmpersandsAndTrovaPath_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stripped");
    QTest::addColumn<QString>("folder");
    QTest::newRow("menu caption") << "&Title..." << "Title..." << "";
    QTest::newRow("several ampersands") << "A&&B&c" << "ABc" << "";
    QTest::newRow("file in folder") << "/home/u/Pictures/a.jpg" << "/home/u/Pictures/a.jpg" << "/home/u/Pictures";
    QTest::newRow("folder with commas") << "/x/a,b/c.jpg" << "/x/a,b/c.jpg" << "/x/a,b";
    QTest::newRow("backslash is a name character") << "a\\b.jpg" << "a\\b.jpg" << "";
    QTest::newRow("root file") << "/a.jpg" << "/a.jpg" << "";
}

void TstCommon::stripAmpersandsAndTrovaPath()
{
    QFETCH(QString, input);
    QFETCH(QString, stripped);
    QFETCH(QString, folder);
    QCOMPARE(StripAmpersands(input), stripped);
    QCOMPARE(TrovaPath(input), folder);
}

void TstCommon::decodesUtf8OrLegacy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QString>("expected");
    QTest::newRow("utf8") << QByteArray("Fran\xC3\xA7" "ais") << QByteArray("windows-1252") << u"Français"_qs;
    QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBFok") << QByteArray("windows-1252") << u"ok"_qs;
    QTest::newRow("cp1252") << QByteArray("Fran\xE7" "ais \x80") << QByteArray("windows-1252") << u"Français €"_qs;
    QTest::newRow("greek 1253") << QByteArray("\xC1\xE1") << QByteArray("windows-1253") << u"Αα"_qs;
    QTest::newRow("cyrillic 1251") << QByteArray("\xCF\xF0") << QByteArray("windows-1251") << u"Пр"_qs;
    QTest::newRow("binary bytes do not fail") << QByteArray("\x00\xFF\xFE", 3) << QByteArray("windows-1252")
                                              << QString(QChar(0)) + u"ÿþ"_qs;
    QTest::newRow("utf8 mark before cp1252 text") << QByteArray("\xEF\xBB\xBF" "Fran\xE7" "ais.lng")
                                                  << QByteArray("windows-1252") << u"Français.lng"_qs;
    QTest::newRow("utf8 mark before 1251 text") << QByteArray("\xEF\xBB\xBF\xCF\xF0") << QByteArray("windows-1251")
                                                << u"Пр"_qs;
}

void TstCommon::decodesUtf8OrLegacy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(QString, expected);
    QCOMPARE(decodeText(bytes, encoding.constData()), expected);
}

void TstCommon::splitsEveryLineEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lf only") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("cr only") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("mixed with empty line") << "a\r\n\nb\rc" << QStringList{"a", "", "b", "c"};
    QTest::newRow("no final line end") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TstCommon::splitsEveryLineEnd()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
}

void TstCommon::readsFieldsAndLines_data()
{
    // ops: 'L' reads a whole line, 'F' a field; the result list has "<fail>" for a failed read
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QStringList>("results");
    QTest::newRow("field stops at comma") << "a,b\r\n" << "FF" << QStringList{"a", "b"};
    QTest::newRow("line keeps commas and blanks") << " a, b \r\nc" << "LL" << QStringList{" a, b ", "c"};
    QTest::newRow("leading blanks skipped") << "   12\r\n" << "F" << QStringList{"12"};
    QTest::newRow("quoted field keeps comma") << "\"a,b\" ,c\r\n" << "FF" << QStringList{"a,b", "c"};
    QTest::newRow("unterminated quote runs to end") << "\"abc" << "FF" << QStringList{"abc", "<fail>"};
    QTest::newRow("empty line is empty field") << "\r\n\r\nx\r\n" << "FFF" << QStringList{"", "", "x"};
    QTest::newRow("field then line") << "5,rest\r\nnext" << "FLL" << QStringList{"5", "rest", "next"};
    QTest::newRow("lf endings") << "a\nb\n" << "FL" << QStringList{"a", "b"};
    QTest::newRow("past the end fails") << "a\r\n" << "LLF" << QStringList{"a", "<fail>", "<fail>"};
    QTest::newRow("blanks at the very end are no field") << "English.lng\r\n   " << "LFF"
                                                          << QStringList{"English.lng", "<fail>", "<fail>"};
    QTest::newRow("tab at the very end is no field") << "5,\t" << "FF" << QStringList{"5", "<fail>"};
    QTest::newRow("trailing blanks kept") << "DVD case  \r\nx" << "FF" << QStringList{"DVD case  ", "x"};
    QTest::newRow("blanks before a comma kept") << "a \t,b" << "FF" << QStringList{"a \t", "b"};
}

void TstCommon::readsFieldsAndLines()
{
    QFETCH(QString, text);
    QFETCH(QString, ops);
    QFETCH(QStringList, results);
    FieldReader in(text);
    QStringList got;
    for (QChar op : ops) {
        const auto r = op == u'L' ? in.readLine() : in.readField();
        got << r.value_or(QStringLiteral("<fail>"));
    }
    QCOMPARE(got, results);
}

void TstCommon::writesUtf8CrLfAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.ini");
    QVERIFY(writeTextLines(path, {"Français", "", "x"}));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("Fran\xC3\xA7" "ais\r\n\r\nx\r\n"));
}

void TstCommon::readOnlyFolderWritesNothing()
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
    const QString folder = dir.filePath("Files");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/Vantrelo.ini";
    QVERIFY(writeTextLines(path, {"old"}));
    const QByteArray file = QFile::encodeName(path), folderName = QFile::encodeName(folder);
    if (::getuid() == 0)
        QCOMPARE(::chown(file.constData(), OtherUserId, OtherGroupId), 0);
    auto inode = [&] {
        struct stat st = {};
        return ::stat(file.constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };

    // Writable folder: replaced atomically, by a new file.
    QCOMPARE(::chmod(folderName.constData(), 0777), 0);
    const ino_t before = inode();
    QVERIFY(runAsOtherUser([&] { return writeTextLines(path, {"atomic"}); }));
    QCOMPARE(fileBytes(path), QByteArray("atomic\r\n"));
    QVERIFY(inode() != before);

    // Read-only folder, writable file: never rewritten in place (a failure half-way, a
    // full disk, would leave it cut); nothing is written and the file stays whole.
    if (::getuid() == 0)
        QCOMPARE(::chown(file.constData(), OtherUserId, OtherGroupId), 0);
    QCOMPARE(::chmod(file.constData(), 0644), 0);
    QCOMPARE(::chmod(folderName.constData(), 0555), 0);
    const ino_t kept = inode();
    QVERIFY(!runAsOtherUser([&] { return writeTextLines(path, {"in place", "second"}); }));
    QCOMPARE(fileBytes(path), QByteArray("atomic\r\n"));
    QCOMPARE(inode(), kept);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Vantrelo.ini"});
    QCOMPARE(::chmod(folderName.constData(), 0755), 0);
}

void TstCommon::fullDiskNamesTheCause()
{
    SmallDisk disk;
    if (!disk.isMounted())
        QSKIP("a small tmpfs needs root");
    const QString path = disk.file("Covers.ini");
    QVERIFY(writeTextLines(path, {"old"}));
    QString error;
    // 100 KB into 40 KB: the write runs out of room half-way.
    const QByteArray big(100 * 1024, 'x');
    QVERIFY(!writeBytesAtomically(path, big, &error));
    QCOMPARE(error, QString("No space left on device"));
    QCOMPARE(fileBytes(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Covers.ini"});
    // Lines too.
    QStringList lines(5000, QString("a line of the catalogue"));
    QVERIFY(!writeTextLines(path, lines, &error));
    QCOMPARE(error, QString("No space left on device"));
    QCOMPARE(fileBytes(path), QByteArray("old\r\n"));
}

void TstCommon::specialTargetsAreLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "fifo";
    QTest::newRow("link to a pipe") << "link-fifo";
    // A settings file linked to a device (say /dev/zero). The device is a node of the
    // test's own, so that a writer that gets this wrong replaces nothing of the system's.
    QTest::newRow("link to a device") << "link-device";
    QTest::newRow("device node") << "device";
    QTest::newRow("folder") << "folder";
}

void TstCommon::specialTargetsAreLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath("target");
    const QByteArray name = QFile::encodeName(path);
    const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
    const QByteArray device = QFile::encodeName(dir.filePath("zero"));
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0644), 0);
    } else if (kind == "link-fifo") {
        QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
        QCOMPARE(::symlink(fifo.constData(), name.constData()), 0);
    } else if (kind == "link-device" || kind == "device") {
        if (::getuid() != 0)
            QSKIP("making a device node needs root");
        // The numbers of /dev/zero.
        QCOMPARE(::mknod(kind == "device" ? name.constData() : device.constData(), S_IFCHR | 0666, makedev(1, 5)),
                 0);
        if (kind == "link-device")
            QCOMPARE(::symlink(device.constData(), name.constData()), 0);
    } else {
        QVERIFY(QDir().mkdir(path));
    }
    struct stat before = {}, after = {};
    QCOMPARE(::lstat(name.constData(), &before), 0);
    QString error;
    QVERIFY(!writeTextLines(path, {"settings"}, &error));
    QVERIFY2(error.contains(kind == "folder" ? "folder" : "not a regular file"), qPrintable(error));
    QCOMPARE(::lstat(name.constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_rdev, before.st_rdev);
    if (kind == "link-device") {
        struct stat target = {};
        QCOMPARE(::lstat(device.constData(), &target), 0);
        QVERIFY(S_ISCHR(target.st_mode));
    }
    QVERIFY(!outputTargetProblem(path).isEmpty());
    // A regular file, and a link to one, may be replaced.
    QVERIFY(outputTargetProblem(dir.filePath("missing")).isEmpty());
    QVERIFY(writeTextLines(dir.filePath("plain"), {"x"}));
    QVERIFY(outputTargetProblem(dir.filePath("plain")).isEmpty());
}

void TstCommon::sameFile_data()
{
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("same");
    QTest::newRow("the same path") << "a.vtr" << true;
    QTest::newRow("another spelling") << "./sub/../a.vtr" << true;
    QTest::newRow("a link") << "link.pdf" << true;
    QTest::newRow("a hard link") << "hard.pdf" << true;
    QTest::newRow("another file") << "b.vtr" << false;
    QTest::newRow("a missing file") << "none.pdf" << false;
}

void TstCommon::sameFile()
{
    QFETCH(QString, other);
    QFETCH(bool, same);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(writeTextLines(dir.filePath("a.vtr"), {"a"}));
    QVERIFY(writeTextLines(dir.filePath("b.vtr"), {"a"}));
    QVERIFY(QFile::link(dir.filePath("a.vtr"), dir.filePath("link.pdf")));
    QCOMPARE(::link(QFile::encodeName(dir.filePath("a.vtr")).constData(),
                    QFile::encodeName(dir.filePath("hard.pdf")).constData()),
             0);
    QCOMPARE(isSameFile(dir.filePath("a.vtr"), dir.filePath(other)), same);
}

void TstCommon::controlCharactersAreEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("escape sequence") << QString("a\x1b[2Jb") << QString("a\\x1b[2Jb");
    QTest::newRow("bell and nul") << QString::fromLatin1("\x07x\0", 3) << QString("\\x07x\\x00");
    QTest::newRow("line break and tab") << QString("1\n2\t3") << QString("1\\x0a2\\x093");
    QTest::newRow("delete and C1") << QString("\x7f") + QChar(0x9b) << QString("\\x7f\\x9b");
    QTest::newRow("letters kept") << QString::fromUtf8("Ölfilm ©") << QString::fromUtf8("Ölfilm ©");
}

void TstCommon::controlCharactersAreEscaped()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(escapeControls(text), shown);
}

void TstCommon::batchPrinterChoice_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("systemDefault");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("error");
    const QStringList two{"Office", "Lab"};
    QTest::newRow("default used") << "" << "Lab" << two << true << "Lab" << "";
    QTest::newRow("named used") << "Office" << "Lab" << two << true << "Office" << "";
    QTest::newRow("no default, queues exist")
        << "" << "" << two << true << ""
        << "no default printer is set; name one with --printer (the printers are: Office, Lab)";
    QTest::newRow("nothing installed") << "" << "" << QStringList{} << true << ""
                                       << "no printer is installed and none was named with --printer";
    QTest::newRow("unknown name") << "Attic" << "Lab" << two << true << ""
                                  << "Attic: unknown printer; the printers are: Office, Lab";
    QTest::newRow("unknown name, none installed") << "Attic" << "" << QStringList{} << true << ""
                                                  << "Attic: unknown printer; no printer is installed";
    QTest::newRow("print system unreachable") << "Office" << "" << QStringList{} << false << ""
                                              << "the print system (CUPS) cannot be reached: is its scheduler running?";
    QTest::newRow("unreachable without a name") << "" << "" << QStringList{} << false << ""
                                                << "the print system (CUPS) cannot be reached: is its scheduler running?";
}

void TstCommon::batchPrinterChoice()
{
    QFETCH(QString, named);
    QFETCH(QString, systemDefault);
    QFETCH(QStringList, installed);
    QFETCH(bool, reachable);
    QFETCH(QString, chosen);
    QFETCH(QString, error);
    const BatchPrinterChoice c = chooseBatchPrinter(named, systemDefault, installed, reachable);
    QCOMPARE(c.name, chosen);
    QCOMPARE(c.error, error);
}

void TstCommon::failedWriteKeepsPreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.ini");
    QVERIFY(writeTextLines(path, {"old"}));
    // A file-size limit makes the write fail half-way, as a full disk would; it binds
    // root too, unlike permissions.
    struct rlimit saved = {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 8;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool wrote = writeTextLines(path, {"new content that is longer than eight bytes"});
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    QVERIFY(!wrote);
    QCOMPARE(*readTextFile(path), QString("old\r\n"));
    QVERIFY(!writeTextLines(dir.filePath("missing/sub/file.ini"), {"x"}));
}

void TstCommon::hugeFileIsReadOnlyUpToLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.ini");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(MaxTextFileBytes + 4096));
    f.close();
    const auto text = readTextFile(path);
    QVERIFY(text.has_value());
    QCOMPARE(text->size(), qsizetype(MaxTextFileBytes));
}

void TstCommon::stepRunnerPolicies_data()
{
    QTest::addColumn<int>("policy");
    QTest::addColumn<int>("stepsRun");
    QTest::addColumn<int>("reports");
    // Four steps: ok, fails (false), throws, ok.
    QTest::newRow("skip and continue") << int(ErrorPolicy::SkipAndContinue) << 4 << 0;
    QTest::newRow("abandon silently") << int(ErrorPolicy::AbandonSilently) << 2 << 0;
    QTest::newRow("abandon with message") << int(ErrorPolicy::AbandonWithMessage) << 2 << 1;
    QTest::newRow("message per step") << int(ErrorPolicy::MessagePerStep) << 4 << 2;
}

void TstCommon::stepRunnerPolicies()
{
    QFETCH(int, policy);
    QFETCH(int, stepsRun);
    QFETCH(int, reports);
    int ran = 0;
    QStringList reported;
    StepRunner steps(ErrorPolicy(policy), [&](const QString &s) { reported << s; });
    QVERIFY(steps.run("one", [&] { ++ran; }));
    QVERIFY(!steps.run("two", [&] { ++ran; return false; }));
    QVERIFY(!steps.run("three", [&]() -> bool { ++ran; throw std::runtime_error("x"); }));
    steps.run("four", [&] { ++ran; });
    QCOMPARE(ran, stepsRun);
    QCOMPARE(reported.size(), reports);
    if (reports > 0)
        QCOMPARE(reported.first(), QString("two"));
}

void TstCommon::filterConversion_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("pictures") << makeFilter({{"Pictures", "*.jpg"}, {"All files", "*.*"}})
                              << QStringList{"Pictures (*.jpg)", "All files (*)"};
    QTest::newRow("several patterns") << makeFilter({{"Images", "*.jpg;*.png"}})
                                      << QStringList{"Images (*.jpg *.png)"};
    QTest::newRow("no description") << makeFilter({{"", "*.vtr"}}) << QStringList{"*.vtr"};
    QTest::newRow("dangling description dropped") << QString("Only") + QChar(0) << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TstCommon::filterConversion()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qt);
    QCOMPARE(toQtNameFilters(filter), qt);
}

void TstCommon::dialogPathLimits_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("kept");
    QTest::newRow("open at limit") << 250 << OpenDialogPathLimit << true;
    QTest::newRow("open over limit refused") << 251 << OpenDialogPathLimit << false;
    QTest::newRow("save at limit") << 256 << FileDialogPathLimit << true;
    QTest::newRow("save over limit refused") << 257 << FileDialogPathLimit << false;
}

void TstCommon::dialogPathLimits()
{
    QFETCH(int, length);
    QFETCH(int, limit);
    QFETCH(bool, kept);
    const QString path = "/" + QString(length - 1, u'a');
    QCOMPARE(limitDialogPath(path, limit), kept ? path : QString());
    QCOMPARE(StripAtNull(QString("abc") + QChar(0) + "def"), QString("abc"));
}

void TstCommon::fileDialogNeedsOwner()
{
    FileDialogRequest request;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ShowFileDialog(request));
}

void TstCommon::colourCancelKeepsEarlierChoice()
{
    ShowColor c;
    QCOMPARE(c.RGBResult(), 0u);
    QVERIFY(!c.ColorAnnulla());
    ShowColor::CustomColorBlock custom{};
    custom[3] = 0x00FF00;
    c.applyOutcome(true, 0x0000FF, custom);
    QVERIFY(!c.ColorAnnulla());
    QCOMPARE(c.RGBResult(), 0x0000FFu);
    c.applyOutcome(false, 0xFFFFFF, {});
    QVERIFY(c.ColorAnnulla());
    QCOMPARE(c.RGBResult(), 0x0000FFu);
    QCOMPARE(c.CustomColors()[3], 0x00FF00u);
}

void TstCommon::colourRefRoundTrips()
{
    QCOMPARE(toColorRef(QColor(255, 0, 0)), 0x0000FFu); // red in the low byte
    QCOMPARE(toColorRef(QColor(0, 0, 255)), 0xFF0000u);
    QCOMPARE(fromColorRef(0x123456), QColor(0x56, 0x34, 0x12));
}

void TstCommon::printerEntryIsTrimmed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("uri");
    QTest::addColumn<QString>("entry");
    QTest::newRow("full") << "PDF" << "Generic CUPS-PDF Printer" << "cups-pdf:/" << "PDF,Generic CUPS-PDF Printer,cups-pdf:/";
    QTest::newRow("blanks around") << " Office" << "Laser" << "ipp://x " << "Office,Laser,ipp://x";
    QTest::newRow("no printer") << "" << "" << "" << "";
}

void TstCommon::printerEntryIsTrimmed()
{
    QFETCH(QString, name);
    QFETCH(QString, model);
    QFETCH(QString, uri);
    QFETCH(QString, entry);
    QCOMPARE(formatPrinterEntry(name, model, uri), entry);
}

void TstCommon::noPrintServerMeansNoDefaultPrinter()
{
    // No scheduler to ask and no user defaults: an empty entry, quickly, not a hang.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldServer = qgetenv("CUPS_SERVER");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("CUPS_SERVER", home.filePath("no-such-socket").toLocal8Bit());
    QElapsedTimer t;
    t.start();
    const QString entry = DefaultPrinterEntry();
    const qint64 ms = t.elapsed();
    qputenv("HOME", oldHome);
    if (oldServer.isEmpty())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", oldServer);
    QCOMPARE(entry, QString());
    QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
}

QTEST_MAIN(TstCommon)
#include "tst_common.moc"
