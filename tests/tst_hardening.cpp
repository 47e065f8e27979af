// Inputs from outside that once went wrong, and how an installed copy registers itself
// next to a packaged one.
#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/Registration.h"
#include "common/TextFile.h"
#include "formats/Catalogue.h"
#include "platform/HugePages.h"
#include "platform/JpegDecode.h"
#include "platform/PictureLoading.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

using namespace vt;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

AppState catalogueState()
{
    AppState s;
    s.LastFormatIndex = 21;
    for (int i = 0; i <= 21; ++i) {
        CoverFormat &f = s.Catalogue.entries[size_t(i)];
        f.Reserved1 = QStringLiteral("Format %1").arg(i);
        f.DimA = 100 + i;
        f.DimB = 200 + i;
        f.Orientation = QStringLiteral("Verticale");
        f.Shape = QStringLiteral("Rettangolo");
        f.OffsetX = QString::number(i);
        f.OffsetY = QStringLiteral("7");
    }
    return s;
}

} // namespace

class TstHardening : public QObject
{
    Q_OBJECT
private slots:
    void fieldsAtTheEndOfTheText_data();
    void fieldsAtTheEndOfTheText();
    void catalogueTextsSurviveWriting_data();
    void catalogueTextsSurviveWriting();
    void emptyProjectArgument_data();
    void emptyProjectArgument();
    void jpegsAsQtReadsThem_data();
    void jpegsAsQtReadsThem();
    void uniformPictures_data();
    void uniformPictures();
    void pixelFiles_data();
    void pixelFiles();
    void picturesStayWithinTheLimit_data();
    void picturesStayWithinTheLimit();
    void systemWideRegistration_data();
    void systemWideRegistration();
    void perUserFilesNextToThePackage_data();
    void perUserFilesNextToThePackage();
    void userEditedDesktopEntryStays_data();
    void userEditedDesktopEntryStays();
    void manualPageNamesEveryOption();
};

namespace {

// A pixel file's head: "VTPX", width and height, little-endian.
QByteArray pixelHead(quint32 width, quint32 height)
{
    QByteArray head("VTPX");
    for (quint32 v : {width, height})
        for (int k = 0; k < 4; ++k)
            head += char((v >> (8 * k)) & 0xff);
    return head;
}

// n opaque pixels as a little-endian machine stores them: 0xff0000ff (blue) first, then
// 0xff00ff00 (green), alternately.
QByteArray pixelRows(int n)
{
    QByteArray rows;
    for (int k = 0; k < n; ++k)
        rows += k % 2 == 0 ? QByteArray("\xff\x00\x00\xff", 4) : QByteArray("\x00\xff\x00\xff", 4);
    return rows;
}

} // namespace

void TstHardening::jpegsAsQtReadsThem_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("plain"); // decoded straight into 32-bit pixels
    QTest::newRow("placeholder art") << "placeholder" << true;
    QTest::newRow("odd size, quality 90") << "odd" << true;
    QTest::newRow("progressive") << "progressive" << true;
    QTest::newRow("300 dots per inch") << "dpi" << true;
    QTest::newRow("with a comment: Qt's reader keeps it as text") << "text" << false;
    QTest::newRow("grey") << "grey" << false;
    QTest::newRow("wanted at half size") << "half" << false;
    // Decoded like any other, then refused: a picture cut short would show a grey block.
    QTest::newRow("cut short") << "cut" << true;
}

void TstHardening::jpegsAsQtReadsThem()
{
    QFETCH(QString, kind);
    QFETCH(bool, plain);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("p.jpg"));
    QImage source(301, 203, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb((x * 7 + y * 13) & 255, (x * x + y) & 255, (x ^ y) & 255));
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (kind == QLatin1String("placeholder")) {
        path = QStringLiteral(VT_SOURCE_DATA_DIR "/Modelli/Box/01 Empty Smile.jpg");
    } else if (kind == QLatin1String("grey")) {
        QVERIFY(writer.write(source.convertToFormat(QImage::Format_Grayscale8)));
    } else {
        if (kind == QLatin1String("progressive"))
            writer.setProgressiveScanWrite(true);
        if (kind == QLatin1String("dpi")) {
            source.setDotsPerMeterX(11811); // 300 per inch
            source.setDotsPerMeterY(11811);
        }
        if (kind == QLatin1String("text"))
            source.setText(QStringLiteral("Description"), QStringLiteral("a cover"));
        QVERIFY(writer.write(source));
        if (kind == QLatin1String("cut")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(file.size() / 2));
        }
    }
    const PictureSizeRule half = [](QSize s) { return s / 2; };
    const PictureSizeRule rule = kind == QLatin1String("half") ? half : PictureSizeRule();
    QCOMPARE(decodePlainJpeg(path, rule).has_value(), plain);

    QImageReader qt(path);
    qt.setAutoTransform(true);
    if (kind == QLatin1String("half"))
        qt.setScaledSize(QSize(151, 102)); // 301 x 203 halved, rounded
    QImage expected = kind == QLatin1String("cut") ? QImage() : qt.read().convertToFormat(QImage::Format_RGB32);
    const QImage loaded = loadPictureAtSize(path, rule);
    QCOMPARE(loaded.size(), expected.size());
    QVERIFY(loaded == expected);
    QCOMPARE(loaded.dotsPerMeterX(), expected.dotsPerMeterX());
    QCOMPARE(loaded.dotsPerMeterY(), expected.dotsPerMeterY());
    QCOMPARE(loaded.colorSpace(), expected.colorSpace());
    QCOMPARE(loaded.text(), expected.text());
}

void TstHardening::uniformPictures_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QRgb>("expected");
    // 7 680 000 bytes: 58 whole tiles of 128 KB and part of a 59th.
    QTest::newRow("1600 x 1200 white") << QSize(1600, 1200) << qRgb(255, 255, 255) << 0xffffffffu;
    QTest::newRow("1 x 1") << QSize(1, 1) << qRgb(12, 34, 56) << 0xff0c2238u;
    // 131 072 bytes: exactly one tile.
    QTest::newRow("128 x 256, one whole tile") << QSize(128, 256) << qRgb(1, 2, 3) << 0xff010203u;
    QTest::newRow("an odd width") << QSize(1601, 7) << qRgb(200, 100, 0) << 0xffc86400u;
    QTest::newRow("a transparent colour comes out opaque") << QSize(40, 40) << qRgba(9, 8, 7, 0) << 0xff090807u;
}

void TstHardening::uniformPictures()
{
    QFETCH(QSize, size);
    QFETCH(QRgb, colour);
    QFETCH(QRgb, expected);
    const QImage picture = uniformPicture(size, colour);
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    const int w = size.width();
    const int h = size.height();
    for (const QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(w / 2, h / 2), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QCOMPARE(picture.pixel(p), expected);
    // Drawing on a copy leaves the picture as it was.
    QImage copy = picture;
    copy.fill(Qt::black);
    QCOMPARE(copy.pixel(w - 1, h - 1), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(w - 1, h - 1), expected);
    QCOMPARE(picture.pixel(0, 0), expected);
}

void TstHardening::pixelFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("offset"); // where in a larger buffer the bytes lie
    QTest::addColumn<QSize>("size"); // invalid: no picture
    QTest::newRow("3 x 2") << pixelHead(3, 2) + pixelRows(6) << 0 << QSize(3, 2);
    QTest::newRow("3 x 2, off the 4-byte boundary") << pixelHead(3, 2) + pixelRows(6) << 1 << QSize(3, 2);
    QTest::newRow("one byte short") << (pixelHead(3, 2) + pixelRows(6)).chopped(1) << 0 << QSize();
    QTest::newRow("one byte over") << pixelHead(3, 2) + pixelRows(6) + 'x' << 0 << QSize();
    QTest::newRow("a pixel over") << pixelHead(3, 2) + pixelRows(7) << 0 << QSize();
    QTest::newRow("other magic") << "VTPY" + pixelHead(3, 2).mid(4) + pixelRows(6) << 0 << QSize();
    QTest::newRow("no width") << pixelHead(0, 2) << 0 << QSize();
    QTest::newRow("head cut short") << pixelHead(1, 1).left(11) << 0 << QSize();
    QTest::newRow("empty") << QByteArray() << 0 << QSize();
    QTest::newRow("16385 x 1: wider than any picture of ours") << pixelHead(16385, 1) + pixelRows(16385) << 0 << QSize();
    QTest::newRow("16384 x 1") << pixelHead(16384, 1) + pixelRows(16384) << 0 << QSize(16384, 1);
    // 65536 x 65536 x 4 is 0 in 32 bits: a size computed that way would pass.
    QTest::newRow("size past 32 bits, no pixels") << pixelHead(65536, 65536) << 0 << QSize();
}

void TstHardening::pixelFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, offset);
    QFETCH(QSize, size);
    const QByteArray buffer = QByteArray(offset, '\0') + bytes;
    const QImage picture = pictureOverPixels(QByteArrayView(buffer.constData() + offset, bytes.size()));
    QCOMPARE(picture.size(), size.isValid() ? size : QSize(0, 0));
    if (!size.isValid())
        return;
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    QCOMPARE(picture.pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(picture.pixel(1, 0), qRgb(0, 255, 0));
    // The last pixel is the sixth (or the 16384th): green.
    QCOMPARE(picture.pixel(size.width() - 1, size.height() - 1), qRgb(0, 255, 0));
    // Over the bytes where they allow it: nothing copied.
    const bool shared = picture.constBits() == reinterpret_cast<const uchar *>(buffer.constData() + offset + 12);
    QCOMPARE(shared, (quintptr(buffer.constData()) + offset) % 4 == 0);
    // And back: the same bytes.
    QCOMPARE(pixelFileBytes(picture), bytes);
}

void TstHardening::fieldsAtTheEndOfTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields"); // every field read before the end
    // Found by fuzzing a catalogue: blanks up to the very end made the reader look at the
    // character after the text (an assertion in a debug build). Blanks alone at the end
    // are no field, as the settings reader expects.
    QTest::newRow("blank at the end") << "12\r\n " << QStringList{"12"};
    QTest::newRow("tabs at the end") << "12,\t\t" << QStringList{"12"};
    QTest::newRow("comma at the end") << "12," << QStringList{"12"};
    QTest::newRow("open quote at the end") << "\"" << QStringList{""};
    QTest::newRow("blanks then open quote") << "  \"ab" << QStringList{"ab"};
}

void TstHardening::fieldsAtTheEndOfTheText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    FieldReader in(text);
    QStringList read;
    while (const auto f = in.readField())
        read << *f;
    QCOMPARE(read, fields);
    QVERIFY(in.atEnd());
}

void TstHardening::catalogueTextsSurviveWriting_data()
{
    QTest::addColumn<int>("field"); // 0 name, 1 shape, 2 print position X
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    // A text with a comma used to be written bare, split in two on the next start and
    // push every later field of the catalogue one place on.
    QTest::newRow("comma in a name") << 0 << "DVD, slim" << "DVD, slim";
    QTest::newRow("decimal comma in a print position") << 2 << "5,5" << "5,5";
    QTest::newRow("blanks kept around a shape") << 1 << "  Cerchio " << "  Cerchio ";
    QTest::newRow("leading quote") << 0 << "\"Boxed" << "'Boxed";
    QTest::newRow("quote and comma") << 0 << "The \"big\", one" << "The 'big', one";
    QTest::newRow("quote inside, nothing else") << 0 << "12\" sleeve" << "12\" sleeve";
    QTest::newRow("line break") << 1 << "Cer\r\nchio" << "Cer  chio";
    QTest::newRow("position trimmed") << 2 << " 12 " << "12";
    QTest::newRow("empty") << 0 << "" << "";
}

void TstHardening::catalogueTextsSurviveWriting()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    QTemporaryDir dir;
    const QString path = dir.filePath("Covers.ini");
    AppState written = catalogueState();
    CoverFormat &f = written.Catalogue.entries[3];
    (field == 0 ? f.Reserved1 : field == 1 ? f.Shape : f.OffsetX) = text;
    written.Format14OffsetX3 = QStringLiteral("1,5");
    QVERIFY(writeCatalogueFile(path, written));

    AppState read;
    read.LastFormatIndex = 21;
    QVERIFY(ReadCatalogue(path, read));
    const CoverFormat &g = read.Catalogue.entries[3];
    QCOMPARE(field == 0 ? g.Reserved1 : field == 1 ? g.Shape : g.OffsetX, readBack);
    // Everything after the field is still in its place.
    QCOMPARE(g.DimA, 103);
    QCOMPARE(g.OffsetY, QStringLiteral("7"));
    QCOMPARE(read.Catalogue.entries[21], written.Catalogue.entries[21]);
    QCOMPARE(read.Format14OffsetX3, QStringLiteral("1,5"));
    // A second write changes nothing.
    const QByteArray once = readFile(path);
    QVERIFY(writeCatalogueFile(path, read));
    QCOMPARE(readFile(path), once);
}

void TstHardening::emptyProjectArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("project");
    const int usage = int(CommandLine::Mode::UsageError);
    // Found by fuzzing: an empty argument was taken for the project file's name.
    QTest::newRow("export, empty project") << QStringList{"--export-pdf=x.pdf", ""} << usage << "";
    QTest::newRow("print, empty project") << QStringList{"--print", ""} << usage << "";
    QTest::newRow("empty among two") << QStringList{"--print", "", "a.vtr"} << usage << "";
    QTest::newRow("export with a project")
        << QStringList{"--export-pdf", "x.pdf", "a.vtr"} << int(CommandLine::Mode::ExportPdf) << "a.vtr";
    QTest::newRow("window, empty argument") << QStringList{""} << int(CommandLine::Mode::Window) << "";
}

void TstHardening::emptyProjectArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(QString, project);
    const CommandLine c = parseCommandLine(arguments, [](const QString &) { return false; });
    QCOMPARE(int(c.mode), mode);
    QCOMPARE(c.project, project);
    if (c.mode == CommandLine::Mode::UsageError)
        QVERIFY(!c.error.isEmpty());
}

void TstHardening::picturesStayWithinTheLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("expected");
    // Found by fuzzing: the header gives 54 x 511 pixels, the frame decodes 65535 wide,
    // and the picture came out at full width.
    QTest::newRow("GIF frame wider than its header")
        << QByteArray::fromBase64("R0lGODlh////AQATNSwBABOONQD/DwECRAEAAQATNTs=") << QSize(MaxPictureSide, 53);
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    QTest::newRow("small PNG unchanged") << png << QSize(40, 30);
    QTest::newRow("not a picture") << QByteArray("GIF89a") << QSize(0, 0);
}

void TstHardening::picturesStayWithinTheLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.gif");
    writeFile(path, bytes);
    const QImage image = loadPicture(path);
    QCOMPARE(image.size(), expected);
}

void TstHardening::systemWideRegistration_data()
{
    QTest::addColumn<QString>("appRel");   // program folder under the temporary root
    QTest::addColumn<QStringList>("files"); // files made under the root
    QTest::addColumn<QString>("dataDir");  // the desktop's data folder, under the root
    QTest::addColumn<bool>("covers");
    const QStringList both{"usr/share/applications/vantrelo.desktop", "usr/share/mime/packages/vantrelo.xml"};
    QTest::newRow("package under /usr") << "usr/lib/vantrelo" << both << "usr/share" << true;
    QTest::newRow("data folder spelled with a slash") << "usr/lib/vantrelo" << both << "usr/share/" << true;
    QTest::newRow("prefix the desktop does not search")
        << "usr/lib/vantrelo" << both << "usr/local/share" << false;
    QTest::newRow("desktop entry only")
        << "usr/lib/vantrelo" << QStringList{both[0]} << "usr/share" << false;
    QTest::newRow("MIME package only") << "usr/lib/vantrelo" << QStringList{both[1]} << "usr/share" << false;
    QTest::newRow("copy unpacked elsewhere") << "opt/vantrelo" << both << "usr/share" << false;
}

void TstHardening::systemWideRegistration()
{
    QFETCH(QString, appRel);
    QFETCH(QStringList, files);
    QFETCH(QString, dataDir);
    QFETCH(bool, covers);
    QTemporaryDir root;
    QDir().mkpath(root.filePath(appRel));
    QDir().mkpath(root.filePath(dataDir));
    for (const QString &f : files)
        writeFile(root.filePath(f), "x");
    const QStringList dirs{root.filePath("nowhere"), root.path() + u'/' + dataDir};
    QCOMPARE(systemWideRegistrationCovers(root.filePath(appRel), dirs), covers);
}

void TstHardening::perUserFilesNextToThePackage_data()
{
    QTest::addColumn<bool>("packaged");
    QTest::addColumn<bool>("userEdited");
    QTest::addColumn<bool>("userFilesAfter");
    QTest::newRow("packaged: our per-user files are withdrawn") << true << false << false;
    QTest::newRow("packaged: an entry the user edited stays") << true << true << true;
    QTest::newRow("unpackaged: registers per user") << false << false << true;
}

void TstHardening::perUserFilesNextToThePackage()
{
    QFETCH(bool, packaged);
    QFETCH(bool, userEdited);
    QFETCH(bool, userFilesAfter);
    QTemporaryDir root;
    const QString app = root.filePath("usr/lib/vantrelo");
    const QString exe = app + "/vantrelo";
    const QString icon = app + "/Files/vantrelo.png";
    QDir().mkpath(app);
    if (packaged) {
        writeFile(root.filePath("usr/share/applications/vantrelo.desktop"), "[Desktop Entry]\n");
        writeFile(root.filePath("usr/share/mime/packages/vantrelo.xml"), mimePackageText().toUtf8());
    }
    const QString home = root.filePath("home/.local/share");
    const QString userEntry = home + "/applications/vantrelo.desktop";
    const QString userMime = home + "/mime/packages/vantrelo.xml";
    // What an earlier start, before the package was there, left in the user's folder.
    QByteArray entry = desktopEntryText(exe, icon).toUtf8();
    if (userEdited)
        entry += "NoDisplay=true\n";
    writeFile(userEntry, entry);
    writeFile(userMime, mimePackageText().toUtf8());

    const bool wrote = registerInstalledCopy(app, exe, icon, home, {root.filePath("usr/share")});
    QCOMPARE(wrote, !packaged);
    QCOMPARE(QFile::exists(userEntry), userFilesAfter);
    QCOMPARE(QFile::exists(userMime), !packaged);
    if (!packaged)
        QCOMPARE(readFile(userEntry), desktopEntryText(exe, icon).toUtf8());
}

void TstHardening::userEditedDesktopEntryStays_data()
{
    const QString exe = "/opt/vantrelo/vantrelo", icon = "/opt/vantrelo/Files/vantrelo.png";
    const QByteArray ours = desktopEntryText(exe, icon).toUtf8();
    QTest::addColumn<QByteArray>("before"); // the entry an earlier start or the user left
    QTest::addColumn<bool>("replaced");
    QTest::newRow("none yet") << QByteArray() << true;
    QTest::newRow("as this copy wrote it") << ours << true;
    QTest::newRow("as a copy elsewhere wrote it")
        << desktopEntryText("/home/u/old/vantrelo", "/home/u/old/Files/vantrelo.png").toUtf8() << true;
    QTest::newRow("this copy's, from before the mark")
        << QByteArray(ours.left(ours.indexOf("X-Vantrelo-Written="))) << true;
    QTest::newRow("a line the user changed")
        << QByteArray(ours).replace("Name=Vantrelo\n", "Name=My covers\n") << false;
    QTest::newRow("a line the user added") << ours + "NoDisplay=true\n" << false;
    QTest::newRow("a line the user removed") << QByteArray(ours).replace("Terminal=false\n", "") << false;
    QTest::newRow("the mark alone") << QByteArray(ours.mid(ours.indexOf("X-Vantrelo-Written="))) << false;
    QTest::newRow("someone else's entry") << QByteArray("[Desktop Entry]\nExec=other %f\n") << false;
}

void TstHardening::userEditedDesktopEntryStays()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, replaced);
    const QString exe = "/opt/vantrelo/vantrelo", icon = "/opt/vantrelo/Files/vantrelo.png";
    QTemporaryDir home;
    const QString entry = home.filePath("applications/vantrelo.desktop");
    if (!before.isEmpty())
        writeFile(entry, before);
    const bool wrote = registerProjectFileType(exe, icon, home.path());
    QCOMPARE(wrote, replaced);
    QCOMPARE(readFile(entry), replaced ? desktopEntryText(exe, icon).toUtf8() : before);
    QVERIFY(readFile(home.filePath("mime/packages/vantrelo.xml")).contains("*.vtr"));
}

void TstHardening::manualPageNamesEveryOption()
{
    QString page = QString::fromUtf8(readFile(VT_SOURCE_DATA_DIR "/../packaging/vantrelo.1"));
    QVERIFY(page.startsWith(".TH VANTRELO 1 "));
    page.replace("\\-", "-");
    // Every option the usage names, and the short ones the parser takes as well.
    QStringList options{"-h", "-v"};
    for (const QRegularExpressionMatch &m : QRegularExpression("(?<![\\w-])--?[a-z][a-z-]*").globalMatch(commandLineUsage()))
        options << m.captured(0);
    options.removeDuplicates();
    QVERIFY2(options.size() >= 8, qPrintable(options.join(' ')));
    for (const QString &option : options)
        QVERIFY2(QRegularExpression("(?<![\\w-])" + QRegularExpression::escape(option) + "(?![\\w-])").match(page).hasMatch(),
                 qPrintable(option));
}

QTEST_GUILESS_MAIN(TstHardening)
#include "tst_hardening.moc"
