// The program's own files: settings, catalogue and language files.
#include "app/AppState.h"
#include "app/Settings.h"
#include "common/TextFile.h"
#include "formats/Catalogue.h"
#include "lang/LanguageFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vt;

namespace {
QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
AppState freshState()
{
    AppState s;
    s.LastFormatIndex = 21;
    return s;
}
} // namespace

class TstFiles : public QObject
{
    Q_OBJECT
private slots:
    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void settingsFromOddFiles_data();
    void settingsFromOddFiles();

    void shippedCatalogueRoundTripsByteForByte();
    void shippedCatalogueHasTheIssuedFormats();
    void catalogueExtraPositionsAreLines181And182();
    void missingCatalogueWritesEmptyFile();
    void oddCatalogues_data();
    void oddCatalogues();
    void catalogueTextsStayOneLine();
    void catalogueTextsKeepTrailingBlanks_data();
    void catalogueTextsKeepTrailingBlanks();

    void languageLines_data();
    void languageLines();
    void languageFileEncodings_data();
    void languageFileEncodings();
    void localeChoice_data();
    void localeChoice();
    void helpPages_data();
    void helpPages();
    void languageNameFromChosenPath_data();
    void languageNameFromChosenPath();
    void shippedLanguageFilesAreComplete_data();
    void shippedLanguageFilesAreComplete();
    void laterEntriesFallBackToEnglish();
};

void TstFiles::settingsRoundTrip_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("projectFolder");
    QTest::addColumn<QString>("pictureFolder");
    QTest::addColumn<bool>("sounds");
    QTest::addColumn<int>("windowState");
    QTest::newRow("typical") << "English.lng" << 3 << "/home/u/Covers" << "/home/u/Pictures" << true << 0;
    QTest::newRow("sounds off, minimised") << "Italiano.lng" << 0 << "" << "" << false << 1;
    QTest::newRow("folders with commas and blanks") << "Deutsch.lng" << 21 << "/home/u/a, b ,c" << " /x,y/z " << true << 2;
    QTest::newRow("nothing selected") << "English.lng" << -1 << "/p" << "/q" << true << 0;
    QTest::newRow("non-latin folder") << "Français.lng" << 5 << "/home/ü/Обложки" << "/home/ü/写真" << false << 0;
}

void TstFiles::settingsRoundTrip()
{
    QFETCH(QString, language);
    QFETCH(int, format);
    QFETCH(QString, projectFolder);
    QFETCH(QString, pictureFolder);
    QFETCH(bool, sounds);
    QFETCH(int, windowState);
    QTemporaryDir dir;
    const QString path = dir.filePath("Vantrelo.ini");
    AppState out;
    out.LanguageFileName = language;
    out.LastProjectFolder = projectFolder;
    out.LastPictureFolder = pictureFolder;
    out.SoundsOn = sounds;
    QVERIFY(writeSettingsFile(path, out, format, windowState));
    QCOMPARE(splitLines(*readTextFile(path)).size(), 6);
    QVERIFY(readBytes(path).endsWith("\r\n"));
    QCOMPARE(splitLines(*readTextFile(path)).at(4), sounds ? QString("0") : QString("1"));

    AppState in;
    qint16 saved = 99;
    QVERIFY(ReadSettings(path, in, saved));
    QCOMPARE(in.LanguageFileName, language);
    QCOMPARE(int(saved), format);
    QCOMPARE(in.LastProjectFolder, projectFolder);
    QCOMPARE(in.LastPictureFolder, pictureFolder);
    QCOMPARE(in.SoundsOn, sounds);
    QCOMPARE(int(in.SavedWindowState), windowState);
}

void TstFiles::settingsFromOddFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>" for no file
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("pictureFolder");
    QTest::addColumn<bool>("sounds");
    QTest::addColumn<int>("windowState");
    QTest::newRow("missing file") << QByteArray("<missing>") << "" << 0 << "" << true << 0;
    QTest::newRow("empty file") << QByteArray("") << "" << 0 << "" << true << 0;
    QTest::newRow("lf only, edited on linux") << QByteArray("Italiano.lng\n4\n/p\n/q\n1\n2\n") << "Italiano.lng" << 4 << "/q" << false << 2;
    QTest::newRow("cr only") << QByteArray("Italiano.lng\r4\r/p\r/q\r1\r2\r") << "Italiano.lng" << 4 << "/q" << false << 2;
    QTest::newRow("ends after line 5") << QByteArray("English.lng\r\n2\r\n\r\n/q\r\n1\r\n") << "English.lng" << 2 << "/q" << false << 0;
    QTest::newRow("ends after line 2") << QByteArray("English.lng\r\n7\r\n") << "English.lng" << 7 << "" << true << 0;
    QTest::newRow("16-bit overflow in format") << QByteArray("E.lng\r\n99999\r\n\r\n\r\n0\r\n0\r\n") << "E.lng" << 0 << "" << true << 0;
    QTest::newRow("huge numbers") << QByteArray("E.lng\r\n1e300\r\n\r\n\r\n1e300\r\n-1e300\r\n") << "E.lng" << 0 << "" << false << 0;
    QTest::newRow("text where numbers go") << QByteArray("E.lng\r\nabc\r\nx\r\ny\r\nno\r\nmax\r\n") << "E.lng" << 0 << "y" << true << 0;
    QTest::newRow("window state rounds") << QByteArray("E.lng\r\n1\r\n\r\n\r\n0\r\n1.6\r\n") << "E.lng" << 1 << "" << true << 2;
    QTest::newRow("negative format") << QByteArray("E.lng\r\n-1\r\n\r\n\r\n0\r\n0\r\n") << "E.lng" << -1 << "" << true << 0;
    QTest::newRow("binary garbage") << QByteArray("\x00\xFF\xFE\x01,\x80\x81\r\n\x00\x00", 12) << QString(QChar(0)) + u"ÿþ\u0001,€\u0081"_qs << 0 << "" << true << 0;
    QTest::newRow("cp1252 folder") << QByteArray("E.lng\r\n1\r\n\r\n/home/Jos\xE9\r\n0\r\n0\r\n") << "E.lng" << 1 << "/home/José" << true << 0;
    QTest::newRow("utf8 mark, then a cp1252 byte") << QByteArray("\xEF\xBB\xBF" "English.lng\r\n3\r\n\r\n/home/Jos\xE9\r\n0\r\n0\r\n")
                                                   << "English.lng" << 3 << "/home/José" << true << 0;
    QTest::newRow("blanks after the first line") << QByteArray("English.lng\r\n   ") << "English.lng" << 0 << "" << true << 0;
}

void TstFiles::settingsFromOddFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, language);
    QFETCH(int, format);
    QFETCH(QString, pictureFolder);
    QFETCH(bool, sounds);
    QFETCH(int, windowState);
    QTemporaryDir dir;
    const QString path = dir.filePath("Vantrelo.ini");
    if (content != "<missing>")
        writeBytes(path, content);
    AppState in;
    qint16 saved = 42;
    ReadSettings(path, in, saved);
    QCOMPARE(in.LanguageFileName, language);
    QCOMPARE(int(saved), format);
    QCOMPARE(in.LastPictureFolder, pictureFolder);
    QCOMPARE(in.SoundsOn, sounds);
    QCOMPARE(int(in.SavedWindowState), windowState);
}

void TstFiles::shippedCatalogueRoundTripsByteForByte()
{
    const QString shipped = QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Covers.ini");
    AppState state = freshState();
    QVERIFY(ReadCatalogue(shipped, state));
    QTemporaryDir dir;
    const QString copy = dir.filePath("Covers.ini");
    QVERIFY(writeCatalogueFile(copy, state));
    QCOMPARE(readBytes(copy), readBytes(shipped));
    QCOMPARE(readBytes(shipped).count("\r\n"), 266);
    QCOMPARE(readBytes(shipped).count("\n"), 266); // no bare line feeds
}

void TstFiles::shippedCatalogueHasTheIssuedFormats()
{
    AppState state = freshState();
    QVERIFY(ReadCatalogue(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Covers.ini"), state));
    for (int i = 0; i <= 21; ++i) {
        const CoverFormat &f = state.Catalogue.entries[size_t(i)];
        QVERIFY2(!f.Reserved1.isEmpty() && !f.Reserved1.contains(u','), qPrintable(f.Reserved1));
        QCOMPARE(f.Reserved2, QString("0"));
        const bool round = f.Shape == u"Cerchio";
        QCOMPARE(round, i >= 10 && i <= 14);
        if (round) {
            QCOMPARE(f.DimB, f.DimA);
            QCOMPARE(f.DimD, f.DimC);
        } else {
            QCOMPARE(f.Shape, QString("Rettangolo"));
        }
        // Centred on an A4 printable area inset 5 mm: 200 x 287 portrait, 287 x 200 landscape.
        const bool portrait = f.Orientation == u"Verticale";
        const double areaW = portrait ? 200 : 287;
        QVERIFY2(qAbs(f.OffsetX.toDouble() * 2 + f.DimA - areaW) < 0.01, qPrintable(QString::number(i)));
        if (f.DimC == 0)
            QCOMPARE(f.OffsetY2, QString("0"));
        else
            QVERIFY(qAbs(f.OffsetX2.toDouble() * 2 + f.DimC - areaW) < 0.01);
    }
    QCOMPARE(state.Format14OffsetX3, QString("61"));
    QCOMPARE(state.Format14OffsetY3, QString("192.5"));
    QCOMPARE(state.Catalogue.entries[3].DimC, 151);
    QCOMPARE(state.Catalogue.entries[9].DimB, 197);
}

void TstFiles::catalogueExtraPositionsAreLines181And182()
{
    AppState state = freshState();
    state.Catalogue.entries[14].OffsetY2 = " 104.5 ";
    state.Format14OffsetX3 = "  61";
    state.Format14OffsetY3 = "192.5  ";
    const QStringList lines = catalogueLines(state);
    QCOMPARE(lines.size(), 266);
    QCOMPARE(lines[179], QString("104.5")); // line 180: last line of format 14, trimmed
    QCOMPARE(lines[180], QString("61"));    // line 181
    QCOMPARE(lines[181], QString("192.5")); // line 182
}

void TstFiles::missingCatalogueWritesEmptyFile()
{
    QTemporaryDir dir;
    AppState state = freshState();
    QVERIFY(!ReadCatalogue(dir.filePath("absent.ini"), state));
    const QString out = dir.filePath("Covers.ini");
    QVERIFY(writeCatalogueFile(out, state));
    const QStringList lines = splitLines(*readTextFile(out));
    QCOMPARE(lines.size(), 266);
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], QString("0"));
    QCOMPARE(lines[4], QString("0"));
    // Read back in step: empty text lines are fields too.
    AppState again = freshState();
    QVERIFY(ReadCatalogue(out, again));
    QCOMPARE(again.Catalogue, state.Catalogue);
}

void TstFiles::oddCatalogues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("dimA0");
    QTest::addColumn<QString>("orientation0");
    QTest::addColumn<int>("dimA1");
    QTest::newRow("shortened after 14 lines") << QByteArray("A\r\n274\r\n183\r\nOrizzontale\r\n0\r\n0\r\nR\r\n0\r\n1\r\n2\r\n0\r\n0\r\nB\r\n267\r\n") << 274 << "Orizzontale" << 267;
    QTest::newRow("lf only") << QByteArray("A\n274\n183\nVerticale\n0\n0\nR\n0\n1\n2\n0\n0\nB\n99\n") << 274 << "Verticale" << 99;
    QTest::newRow("length not a number keeps zero") << QByteArray("A\r\nwide\r\n") << 0 << "" << 0;
    QTest::newRow("32-bit overflow keeps zero") << QByteArray("A\r\n99999999999\r\n") << 0 << "" << 0;
    QTest::newRow("negative length") << QByteArray("A\r\n-5\r\n") << -5 << "" << 0;
    QTest::newRow("comma splits a line into two fields") << QByteArray("A,274\r\n183\r\n") << 274 << "" << 0;
    QTest::newRow("quoted name with comma") << QByteArray("\"A, B\"\r\n12\r\n") << 12 << "" << 0;
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xFF\r\n\xFE", 7) << 0 << "" << 0;
    QTest::newRow("empty") << QByteArray() << 0 << "" << 0;
}

void TstFiles::oddCatalogues()
{
    QFETCH(QByteArray, content);
    QFETCH(int, dimA0);
    QFETCH(QString, orientation0);
    QFETCH(int, dimA1);
    QTemporaryDir dir;
    const QString path = dir.filePath("Covers.ini");
    writeBytes(path, content);
    AppState state = freshState();
    ReadCatalogue(path, state);
    QCOMPARE(state.Catalogue.entries[0].DimA, dimA0);
    QCOMPARE(state.Catalogue.entries[0].Orientation, orientation0);
    QCOMPARE(state.Catalogue.entries[1].DimA, dimA1);
    // Whatever was read, the written file is complete.
    QVERIFY(writeCatalogueFile(path, state));
    QCOMPARE(splitLines(*readTextFile(path)).size(), 266);
}

void TstFiles::catalogueTextsStayOneLine()
{
    AppState state = freshState();
    state.Catalogue.entries[0].Reserved1 = "two\r\nlines";
    QTemporaryDir dir;
    const QString path = dir.filePath("Covers.ini");
    QVERIFY(writeCatalogueFile(path, state));
    QCOMPARE(splitLines(*readTextFile(path)).size(), 266);
}

void TstFiles::catalogueTextsKeepTrailingBlanks_data()
{
    QTest::addColumn<int>("field"); // 0 Reserved1, 1 Orientation, 2 Shape, 3 Reserved2
    QTest::addColumn<QString>("text");
    QTest::newRow("reserved 1, two blanks") << 0 << "DVD case  ";
    QTest::newRow("orientation, a tab") << 1 << "Verticale\t";
    QTest::newRow("shape, one blank") << 2 << "Cerchio ";
    QTest::newRow("reserved 2, inner and trailing") << 3 << "a b  ";
}

void TstFiles::catalogueTextsKeepTrailingBlanks()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    const QString shipped = QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Covers.ini");
    AppState state = freshState();
    QVERIFY(ReadCatalogue(shipped, state));
    CoverFormat &f = state.Catalogue.entries[7];
    QString *targets[] = {&f.Reserved1, &f.Orientation, &f.Shape, &f.Reserved2};
    *targets[field] = text;
    QTemporaryDir dir;
    const QString path = dir.filePath("Covers.ini");
    QVERIFY(writeCatalogueFile(path, state));
    AppState again = freshState();
    QVERIFY(ReadCatalogue(path, again));
    QCOMPARE(again.Catalogue, state.Catalogue);
    // And written back, the file is the same line for line.
    const QString copy = dir.filePath("Covers2.ini");
    QVERIFY(writeCatalogueFile(copy, again));
    QCOMPARE(readBytes(copy), readBytes(path));
}

void TstFiles::languageLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("reading");
    QTest::addColumn<QStringList>("expectedFirst"); // entries 0..n-1 after reading over "old"
    const int normal = int(LanguageReading::Normal);
    const int second = int(LanguageReading::StartupSecond);
    QTest::newRow("prefix skipped") << QStringList{"001Open", "002 Save "} << normal << QStringList{"Open", " Save "};
    QTest::newRow("three characters give empty") << QStringList{"003", "004x"} << normal << QStringList{"", "x"};
    QTest::newRow("two characters keep entry") << QStringList{"00", "1"} << normal << QStringList{"old", "old"};
    QTest::newRow("two characters empty at start-up") << QStringList{"00", "1", ""} << second << QStringList{"", "old", "old"};
    QTest::newRow("ampersand kept") << QStringList{"040&File"} << normal << QStringList{"&File"};
}

void TstFiles::languageLines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, reading);
    QFETCH(QStringList, expectedFirst);
    LanguageTable table;
    for (QString &e : table.entries)
        e = "old";
    applyLanguageLines(lines, table, LanguageReading(reading));
    for (int k = 0; k < expectedFirst.size(); ++k)
        QCOMPARE(table[k], expectedFirst[k]);
    QCOMPARE(table[150], QString("old"));
}

void TstFiles::languageFileEncodings_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("entry0");
    QTest::newRow("utf8") << "Deutsch.lng" << QByteArray("000Schlie\xC3\x9F" "en\r\n") << u"Schließen"_qs;
    QTest::newRow("cp1252") << "Deutsch.lng" << QByteArray("000Schlie\xDF" "en\r\n") << u"Schließen"_qs;
    QTest::newRow("greek cp1253") << "Greek.lng" << QByteArray("000\xC1\xF1\xF7\xE5\xDF\xEF\r\n") << u"Αρχείο"_qs;
    QTest::newRow("russian cp1251") << "Russian.lng" << QByteArray("000\xD4\xE0\xE9\xEB\r\n") << u"Файл"_qs;
    QTest::newRow("czech cp1250") << "Czech.lng" << QByteArray("000\x9A\r\n") << u"š"_qs;
    QTest::newRow("turkish cp1254") << "Turkish.lng" << QByteArray("000\xFE\r\n") << u"ş"_qs;
    QTest::newRow("cr alone ends a line") << "English.lng" << QByteArray("000a\r001b\r") << "a";
}

void TstFiles::languageFileEncodings()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, entry0);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    writeBytes(path, bytes);
    LanguageTable table;
    QVERIFY(readLanguageFile(path, table));
    QCOMPARE(table[0], entry0);
    QVERIFY(!readLanguageFile(dir.filePath("absent.lng"), table));
    QCOMPARE(table[0], entry0);
}

void TstFiles::localeChoice_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("langFiles");
    QTest::addColumn<QString>("expected");
    QTest::newRow("de") << "de_DE" << QStringList{} << "Deutsch.lng";
    QTest::newRow("it") << "it_IT" << QStringList{} << "Italiano.lng";
    QTest::newRow("sl is Slovak") << "sl_SI" << QStringList{} << "Slovak.lng";
    QTest::newRow("id is Indonesian") << "id_ID" << QStringList{} << "Indonesian.lng";
    QTest::newRow("in is Indonesian") << "in_ID" << QStringList{} << "Indonesian.lng";
    QTest::newRow("el has no code") << "el_GR" << QStringList{} << "English.lng";
    QTest::newRow("ja") << "ja_JP" << QStringList{} << "English.lng";
    QTest::newRow("C locale") << "C" << QStringList{} << "English.lng";
    QTest::newRow("uk") << "uk_UA" << QStringList{} << "Ukrainian.lng";
    QTest::newRow("fr with both files") << "fr_FR" << QStringList{"Français.lng", "French.lng"} << "Français.lng";
    QTest::newRow("fr with French only") << "fr_CA" << QStringList{"French.lng"} << "French.lng";
    QTest::newRow("fr with neither") << "fr_BE" << QStringList{} << "English.lng";
}

void TstFiles::localeChoice()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, langFiles);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString &f : langFiles)
        writeBytes(dir.filePath(f), "000x\r\n");
    QCOMPARE(chooseInitialLanguage(locale, dir.path()), expected);
}

void TstFiles::helpPages_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::newRow("english") << "English.lng" << "Files/Help-en.html";
    QTest::newRow("italian any case") << "ITALIANO.LNG" << "Files/Help-it.html";
    QTest::newRow("french spellings") << "francais.lng" << "Files/Help-fr.html";
    QTest::newRow("brazilian") << "Brazilian.lng" << "Files/Help-pt.html";
    QTest::newRow("german has its own page") << "Deutsch.lng" << "Files/Help-de.html";
    QTest::newRow("russian has its own page") << "Russian.lng" << "Files/Help-ru.html";
    QTest::newRow("other languages read english") << "Czech.lng" << "Files/Help-en.html";
    QTest::newRow("greek reads english") << "Greek.lng" << "Files/Help-en.html";
    QTest::newRow("ukrainian") << "Ukrainian.lng" << "Files/Help-ua.html";
}

void TstFiles::helpPages()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    QCOMPARE(helpPageFor(language), page);
    // A mapped page the folder does not hold falls back to English.
    const QString resolved = resolveHelpPage(QStringLiteral(VT_SOURCE_DATA_DIR), language);
    QVERIFY2(QFileInfo::exists(resolved), qPrintable(resolved));
}

void TstFiles::languageNameFromChosenPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("lang folder") << "/opt/v/Files/Lang/Greek.lng" << "Greek.lng";
    QTest::newRow("subfolder kept") << "/opt/v/Files/Lang/extra/Klingon.lng" << "extra/Klingon.lng";
    QTest::newRow("last occurrence wins") << "/a/Lang/b/Lang/c.lng" << "c.lng";
    QTest::newRow("case-sensitive") << "/a/lang/c.lng" << "";
    QTest::newRow("elsewhere") << "/home/u/c.lng" << "";
}

void TstFiles::languageNameFromChosenPath()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(languageFileNameFromPath(path), name);
}

void TstFiles::shippedLanguageFilesAreComplete_data()
{
    QTest::addColumn<QString>("file");
    for (const char *f : {"English.lng", "Italiano.lng", "Deutsch.lng", "Français.lng", "Spanish.lng", "Portuguese.lng"})
        QTest::newRow(f) << QString::fromUtf8(f);
}

void TstFiles::shippedLanguageFilesAreComplete()
{
    QFETCH(QString, file);
    const QString path = QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/") + file;
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes.count("\r\n"), LanguageTable::Size);
    QCOMPARE(bytes.count('\n'), LanguageTable::Size);
    LanguageTable table;
    QVERIFY(readLanguageFile(path, table));
    const QStringList lines = splitLines(decodeText(bytes));
    for (int k = 0; k < LanguageTable::Size; ++k) {
        QCOMPARE(lines[k].left(3), QString("%1").arg(k, 3, 10, QChar('0')));
        QVERIFY2(!table[k].trimmed().isEmpty(), qPrintable(QString("entry %1 is empty").arg(k)));
    }
    QVERIFY(!table[0].contains(u'&'));
}

void TstFiles::laterEntriesFallBackToEnglish()
{
    // A language file of an older release ends at entry 150: the entries that came later
    // show their English texts rather than empty menus and buttons.
    QTemporaryDir dir;
    const QString path = dir.path() + "/Old.lng";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int k = 0; k <= 150; ++k)
        f.write(QStringLiteral("%1Text %2\r\n").arg(k, 3, 10, QChar('0')).arg(k).toUtf8());
    f.close();
    LanguageTable old;
    QVERIFY(readLanguageFile(path, old));
    QCOMPARE(old.fallbackText(150), QString("Text 150"));
    QCOMPARE(old.fallbackText(LanguageTable::EditMenuEntry), QString("&Edit"));
    QCOMPARE(old.fallbackText(LanguageTable::UntitledEntry), QString("Untitled"));
    QCOMPARE(old.fallbackText(LanguageTable::RestoreEntry), QString("&Restore"));
    // The English file and the fallbacks say the same.
    LanguageTable english;
    QVERIFY(readLanguageFile(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/English.lng"), english));
    // (The locale entry has no English text to fall back on: a file without it is named
    // after its language instead.)
    for (int k = LanguageTable::PdfFileEntry; k < LanguageTable::Size; ++k)
        if (k != LanguageTable::LocaleEntry)
            QCOMPARE(english[k], old.fallbackText(k));
}

QTEST_MAIN(TstFiles)
#include "tst_files.moc"
