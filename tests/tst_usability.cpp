// What a user meets around the cover: the Format menu, Qt's own texts in the user's
// language, the status line, file dialog titles and start folders, the sheet at the
// smallest window, the low-resolution marks and the placeholders' words.
#include "TestWindow.h"

#include "common/AccessKeys.h"
#include "formats/CoverPictures.h"
#include "formats/FormatGroups.h"
#include "formats/PrintResolution.h"
#include "formats/TemplateWords.h"
#include "formats/Templates.h"
#include "lang/LanguageFile.h"
#include "lang/QtTranslations.h"
#include "platform/PictureLoading.h"
#include "platform/StartFolders.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/PreviewCanvas.h"
#include "ui/main/ResolutionMarks.h"
#include "ui/main/Toolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace vt;

namespace {

QList<QAction *> formatItems(const Form1 &form)
{
    QList<QAction *> items;
    for (QAction *a : form.menu("mnuFormato")->actions())
        if (!a->isSeparator())
            items << a;
    return items;
}

QString cancelButtonText()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

QImage solidPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    return picture;
}

} // namespace

class TstUsability : public QObject
{
    Q_OBJECT
private slots:
    void formatGroupsCoverTheList_data();
    void formatGroupsCoverTheList();
    void formatMenuFollowsTheList();
    void qtTranslationFile_data();
    void qtTranslationFile();
    void languageSwitchTranslatesQtButtons();
    void accessKeys_data();
    void accessKeys();
    void statusLineElides();
    void fileDialogTitleWithoutAccessKey();
    void startFolder_data();
    void startFolder();
    void sheetFitsAtSmallestWindow_data();
    void sheetFitsAtSmallestWindow();
    void printResolution_data();
    void printResolution();
    void lowResolutionMark_data();
    void lowResolutionMark();
    void placeholderWordsFollowLanguage();
};

void TstUsability::formatGroupsCoverTheList_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("groups");
    QTest::newRow("shipped catalogue") << 22 << "0-2 3-8 9-9 10-14 15-15 16-18 19-21";
    QTest::newRow("shorter list: last group cut") << 12 << "0-2 3-8 9-9 10-11";
    QTest::newRow("longer list: the rest together") << 25 << "0-2 3-8 9-9 10-14 15-15 16-18 19-21 22-24";
    QTest::newRow("empty") << 0 << "";
}

void TstUsability::formatGroupsCoverTheList()
{
    QFETCH(int, count);
    QFETCH(QString, groups);
    QStringList shown;
    for (const FormatGroup &g : formatGroups(count))
        shown << QStringLiteral("%1-%2").arg(g.first).arg(g.last);
    QCOMPARE(shown.join(u' '), groups);
}

void TstUsability::formatMenuFollowsTheList()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    QComboBox *list = form.formatList();
    QMenu *menu = form.menu("mnuFormato");
    QCoreApplication::processEvents();
    auto check = [&] {
        const QList<QAction *> items = formatItems(form);
        QCOMPARE(items.size(), list->count());
        QCOMPARE(items.size(), 22);
        for (int k = 0; k < items.size(); ++k) {
            QCOMPARE(items[k]->text(), list->itemText(k));
            QCOMPARE(items[k]->data().toInt(), k);
            QCOMPARE(items[k]->isChecked(), k == list->currentIndex());
        }
        // Separators between the kinds, as the list runs: before 3, 9, 10, 15, 16 and 19.
        QList<int> before;
        const QList<QAction *> all = menu->actions();
        for (int i = 1; i < all.size(); ++i)
            if (all[i - 1]->isSeparator())
                before << all[i]->data().toInt();
        QCOMPARE(before, (QList<int>{3, 9, 10, 15, 16, 19}));
    };
    check();
    list->setCurrentIndex(14);
    check();
    formatItems(form)[21]->trigger();
    QCOMPARE(list->currentIndex(), 21);
    check();
    // A language load refills the list: the menu follows with the new names.
    form.applyChosenLanguageFile(folder.file("Files/Lang/Deutsch.lng"));
    QCoreApplication::processEvents();
    QCOMPARE(list->currentIndex(), 21);
    QCOMPARE(formatItems(form)[0]->text(), state.Language[53]);
    QVERIFY(state.Language[53] != QString("DVD case (274 × 183 mm)"));
    check();
}

void TstUsability::qtTranslationFile_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("qmFile");
    QTest::newRow("entry wins") << "fr" << "Whatever.lng" << "fr" << "qtbase_fr.qm";
    QTest::newRow("country falls back to language") << "de_AT" << "Deutsch.lng" << "de_AT" << "qtbase_de.qm";
    QTest::newRow("other country of the language") << "pt_PT" << "Portuguese.lng" << "pt_PT" << "qtbase_pt_BR.qm";
    QTest::newRow("no entry: by file name") << "" << "Italiano.lng" << "it" << "qtbase_it.qm";
    QTest::newRow("old placeholder text: by file name") << "Reserved" << "Spanish.lng" << "es" << "qtbase_es.qm";
    QTest::newRow("subfolder file by its own name") << "" << "more/Russian.lng" << "ru" << "qtbase_ru.qm";
    QTest::newRow("unknown name, no entry") << "" << "Klingon.lng" << "" << "";
    QTest::newRow("no translation shipped") << "xx" << "English.lng" << "xx" << "";
}

void TstUsability::qtTranslationFile()
{
    QFETCH(QString, entry);
    QFETCH(QString, fileName);
    QFETCH(QString, locale);
    QFETCH(QString, qmFile);
    QTemporaryDir dir;
    for (const char *qm : {"qtbase_fr.qm", "qtbase_de.qm", "qtbase_pt_BR.qm", "qtbase_it.qm", "qtbase_es.qm",
                           "qtbase_ru.qm"}) {
        QFile f(dir.filePath(QString::fromLatin1(qm)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    LanguageTable texts;
    texts.at(LanguageTable::LocaleEntry) = entry;
    QCOMPARE(languageLocale(texts, fileName), locale);
    const QString found = qtBaseTranslationFile(locale, dir.path());
    QCOMPARE(found.isEmpty() ? QString() : QFileInfo(found).fileName(), qmFile);
}

void TstUsability::languageSwitchTranslatesQtButtons()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    QCOMPARE(cancelButtonText(), QString("Cancel"));
    form.applyChosenLanguageFile(folder.file("Files/Lang/Français.lng"));
    QCOMPARE(state.Language[LanguageTable::LocaleEntry], QString("fr"));
    QVERIFY(form.qtTranslations()->loadedFile().endsWith("qtbase_fr.qm"));
    QCOMPARE(cancelButtonText(), QString("Annuler"));
    form.applyChosenLanguageFile(folder.file("Files/Lang/Deutsch.lng"));
    QCOMPARE(cancelButtonText(), QString("Abbrechen"));
    // Back to English: Qt's own texts again, nothing of the last language left.
    form.applyChosenLanguageFile(folder.file("Files/Lang/English.lng"));
    QCOMPARE(cancelButtonText(), QString("Cancel"));
}

void TstUsability::accessKeys_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("marked");
    QTest::newRow("first letters") << QStringList{"Print", "Cancel"} << QStringList{"&Print", "&Cancel"};
    QTest::newRow("same first letter: the next free one") << QStringList{"Imprimir", "Cancelar"}
                                                            << QStringList{"&Imprimir", "&Cancelar"};
    QTest::newRow("clash moves the second on") << QStringList{"Annulla", "Applica"}
                                                 << QStringList{"&Annulla", "A&pplica"};
    QTest::newRow("a marked key is kept and taken") << QStringList{"OK", "&Okay"} << QStringList{"O&K", "&Okay"};
    QTest::newRow("plain ampersand stays plain") << QStringList{"Save & close"} << QStringList{"&Save && close"};
    QTest::newRow("no letter free") << QStringList{"ab", "ba", "a"} << QStringList{"&ab", "&ba", "a"};
}

void TstUsability::accessKeys()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, marked);
    QCOMPARE(withAccessKeys(captions), marked);
}

void TstUsability::statusLineElides()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(form.minimumSize());
    QTRY_COMPARE(form.size(), form.minimumSize());
    QLabel *status = form.statusLabel();
    const QString longTip = QString("Imprimer la jaquette sur l'imprimante choisie, avec les repères de coupe, "
                                    "au format réel en millimètres, puis revenir à l'aperçu");
    state.ToolbarTips[1] = longTip;
    form.toolbar()->hoverButton(1);
    QVERIFY(status->text() != longTip);
    QVERIFY(status->text().endsWith(QChar(0x2026)));
    QVERIFY(longTip.startsWith(status->text().chopped(1)));
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->contentsRect().width());
    QCOMPARE(status->toolTip(), longTip);
    // The next tip replaces the whole text, not the cut one; a short one shows whole.
    state.ToolbarTips[3] = QString("Titre");
    form.toolbar()->hoverButton(9);
    QCOMPARE(status->text(), QString("Titre"));
    QCOMPARE(status->toolTip(), QString("Titre"));
    // Widening the window shows more of a long text again.
    form.toolbar()->hoverButton(1);
    const int cut = status->text().size();
    form.resize(form.width() + 300, form.height());
    QTRY_VERIFY(status->text().size() > cut);
}

void TstUsability::fileDialogTitleWithoutAccessKey()
{
    QWidget owner;
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = dialog->windowTitle();
        dialog->reject();
    });
    QCOMPARE(ShowOpenDialog(&owner, 1, "&Open project", QString(), QString(), QDir::tempPath(), "vtr"), QString());
    QCOMPARE(seen, QString("Open project"));
    FileDialogRequest save;
    save.owner = &owner;
    save.title = "Save &as";
    QTimer::singleShot(0, [&seen] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            seen = dialog->windowTitle();
            dialog->reject();
        }
    });
    QCOMPARE(ShowFileDialog(save), QString());
    QCOMPARE(seen, QString("Save as"));
}

void TstUsability::startFolder_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("expected"); // "last", "standard" or "home"
    QTest::newRow("last folder used") << "last" << "standard" << "last";
    QTest::newRow("last folder gone") << "gone" << "standard" << "standard";
    QTest::newRow("nothing used yet") << "" << "standard" << "standard";
    QTest::newRow("blank") << "  " << "standard" << "standard";
    QTest::newRow("the program folder never") << "app" << "standard" << "standard";
    QTest::newRow("no standard folder: home") << "" << "gone" << "home";
}

void TstUsability::startFolder()
{
    QFETCH(QString, last);
    QFETCH(QString, standard);
    QFETCH(QString, expected);
    QTemporaryDir root;
    for (const char *sub : {"last", "standard", "app"})
        QVERIFY(QDir(root.path()).mkpath(QString::fromLatin1(sub)));
    auto path = [&](const QString &name) {
        return name.trimmed().isEmpty() ? name : root.filePath(name);
    };
    const QString result = chooseStartFolder(path(last), path(standard), root.filePath("app"));
    QCOMPARE(result, expected == "home" ? QDir::homePath() : root.filePath(expected));
}

void TstUsability::sheetFitsAtSmallestWindow_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("portrait A4 (jewel case)") << 3;
    QTest::newRow("landscape A4 (DVD case)") << 0;
}

void TstUsability::sheetFitsAtSmallestWindow()
{
    QFETCH(int, format);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(format);
    for (const QSize size : {form.minimumSize(), QSize(form.minimumWidth(), form.minimumHeight() + 40),
                             QSize(form.minimumWidth() + 200, form.minimumHeight())}) {
        form.resize(size);
        QTRY_COMPARE(form.size(), size);
        form.Combo1_Click();
        const TwipRect sheet = form.previewLayout().sheet;
        const QLabel *status = form.statusLabel();
        // Toolbar row: down to its line at 780 twips; status line: from its top down.
        QVERIFY2(sheet.top >= 780, qPrintable(QString::number(sheet.top)));
        QVERIFY2(sheet.top + sheet.height <= status->y() * 15,
                 qPrintable(QString("%1 > %2").arg(sheet.top + sheet.height).arg(status->y() * 15)));
        QVERIFY(sheet.left >= 0 && sheet.left + sheet.width <= form.clientSizeTwips().width());
    }
}

void TstUsability::printResolution_data()
{
    QTest::addColumn<QRectF>("source");
    QTest::addColumn<QSizeF>("printedMm");
    QTest::addColumn<double>("ppi");
    QTest::addColumn<bool>("low");
    // 127 mm is 5 inches: 1000 pixels give 200 per inch, the threshold itself.
    QTest::newRow("exactly 200: no mark") << QRectF(0, 0, 1000, 1000) << QSizeF(127, 127) << 200.0 << false;
    QTest::newRow("just below: mark") << QRectF(0, 0, 999, 999) << QSizeF(127, 127) << 199.8 << true;
    QTest::newRow("coarser axis counts") << QRectF(0, 0, 2000, 1000) << QSizeF(254, 254) << 100.0 << true;
    QTest::newRow("fine enough both ways") << QRectF(0, 0, 3000, 2000) << QSizeF(254, 169.333) << 300.0 << false;
    // Only the visible part prints: a 500-pixel crop of a large photo over 2.5 inches.
    QTest::newRow("crop of a large picture") << QRectF(1000, 800, 500, 500) << QSizeF(63.5, 63.5) << 200.0 << false;
    QTest::newRow("crop too small") << QRectF(1000, 800, 250, 250) << QSizeF(63.5, 63.5) << 100.0 << true;
    QTest::newRow("DVD front 129.8 mm from 600 pixels") << QRectF(0, 0, 600, 900) << QSizeF(129.8, 183)
                                                        << 117.411 << true;
    QTest::newRow("empty picture: no judgement") << QRectF() << QSizeF(120, 120) << 0.0 << false;
    QTest::newRow("nothing printed: no judgement") << QRectF(0, 0, 100, 100) << QSizeF(0, 120) << 0.0 << false;
}

void TstUsability::printResolution()
{
    QFETCH(QRectF, source);
    QFETCH(QSizeF, printedMm);
    QFETCH(double, ppi);
    QFETCH(bool, low);
    const double got = printResolutionPpi(source, printedMm);
    QVERIFY2(qAbs(got - ppi) < 0.01, qPrintable(QString::number(got)));
    QCOMPARE(isLowResolution(got), low);
}

void TstUsability::lowResolutionMark_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<int>("ppi"); // 0: no mark
    // Format 3's front prints at 120 x 120 mm: 500 px -> 500 / (120 / 25.4) = 105.8.
    QTest::newRow("jewel front from 500 px") << 3 << 0 << QSize(500, 500) << 106;
    // 1000 px -> 211.7: sharp enough.
    QTest::newRow("jewel front from 1000 px") << 3 << 0 << QSize(1000, 1000) << 0;
    // The back sheet 151 x 118 mm: 1100 x 950 px -> 185.0 across, 204.5 down.
    QTest::newRow("jewel back, coarse across") << 3 << 1 << QSize(1100, 950) << 185;
    // A slim case's picture fills its whole wrap, 267 x 183 mm for the 7 mm case; a new
    // picture is filled, so 2000 x 1500 px lies at 267 x 200.25 mm: 2000 / (267 / 25.4) = 190.3.
    QTest::newRow("slim case from a cover 2000 px wide") << 1 << 0 << QSize(2000, 1500) << 190;
}

void TstUsability::lowResolutionMark()
{
    QFETCH(int, format);
    QFETCH(int, slot);
    QFETCH(QSize, pixels);
    QFETCH(int, ppi);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(format);
    QVERIFY(form.resolutionMarks()->signs().isEmpty()); // placeholders are never judged
    const QString file = folder.file("photo.png");
    QVERIFY(solidPicture(pixels.width(), pixels.height()).save(file));
    form.loadSlotFromChosenFile(slot, file);
    QVERIFY(rec.warnings.isEmpty()); // never a question or a box
    const QList<QLabel *> signs = form.resolutionMarks()->signs();
    if (ppi == 0) {
        QVERIFY(signs.isEmpty());
        return;
    }
    QCOMPARE(signs.size(), 1);
    QVERIFY(signs[0]->isVisible());
    QVERIFY(signs[0]->toolTip().contains(QString::number(ppi)));
    QCOMPARE(signs[0]->toolTip(), state.Language[LanguageTable::LowResolutionEntry].arg(ppi));
    // The sign sits inside the picture's area and lets clicks through to it.
    QVERIFY(signs[0]->testAttribute(Qt::WA_TransparentForMouseEvents));
    const PreviewLayout &l = form.previewLayout();
    const TwipRect area = slot == 0 && isSlimFormat(format) ? l.slimFront : l.areas[size_t(slot)];
    const QRectF areaPx(area.left / 15, area.top / 15, area.width / 15, area.height / 15);
    QVERIFY(areaPx.adjusted(-1, -1, 1, 1).contains(QRectF(signs[0]->geometry())));
    // The canvas under the sign shows the tip (the sign itself lets the pointer through).
    QWidget *canvas = form.canvas();
    const QPoint at = signs[0]->geometry().center();
    QHelpEvent help(QEvent::ToolTip, at, canvas->mapToGlobal(at));
    QApplication::sendEvent(canvas, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), signs[0]->toolTip());
    QToolTip::hideText();
    // Putting a sharp picture in its place takes the mark away.
    QVERIFY(solidPicture(3000, 3000).save(file));
    form.loadSlotFromChosenFile(slot, file);
    QVERIFY(form.resolutionMarks()->signs().isEmpty());
}

void TstUsability::placeholderWordsFollowLanguage()
{
    const QString app = QStringLiteral(VT_SOURCE_DATA_DIR);
    const auto words = readTemplateWords(app + "/Modelli/Words.txt");
    // Every shipped placeholder has its words; the jewel back has BACK, two spines and DROP.
    for (int f = 0; f <= 21; ++f)
        for (const QString &rel : placeholderPaths(f))
            if (!rel.isEmpty())
                QVERIFY2(!words.value(rel.mid(QString("Modelli/").size())).isEmpty(), qPrintable(rel));
    QList<int> back;
    for (const TemplateWord &w : words.value("CD-DVD Back/01 Empty Smile.jpg"))
        back << w.entry;
    std::sort(back.begin(), back.end());
    QCOMPARE(back, (QList<int>{LanguageTable::TemplateBackEntry, LanguageTable::TemplateSpineEntry,
                               LanguageTable::TemplateSpineEntry, LanguageTable::TemplateDropEntry}));

    LanguageTable english, french;
    QVERIFY(readLanguageFile(app + "/Files/Lang/English.lng", english));
    QVERIFY(readLanguageFile(app + "/Files/Lang/Français.lng", french));
    QVERIFY(templateWordsKey(english) != templateWordsKey(french));
    CoverPictures p;
    for (int k = 0; k < 3; ++k)
        putPictureInSlot(p, k, startingPicture(), QString());
    int loads = 0;
    auto counting = [&loads](const QString &path) {
        ++loads;
        return loadPicture(path);
    };
    CaricaCopertineSmile(p, 3, app, placeholderLoader(app, english, counting), templateWordsKey(english));
    const QImage plain = loadPicture(app + "/Modelli/CD-DVD Front/01 Empty Smile.jpg");
    const QImage inEnglish = p.imageSlots[0].CleanCopy;
    QCOMPARE(inEnglish.size(), plain.size());
    QVERIFY(inEnglish.convertToFormat(QImage::Format_RGB32) != plain.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(placeholderWordsKey(inEnglish), templateWordsKey(english));
    QCOMPARE(loads, 2);
    // Same language: nothing loaded again. Another language: drawn anew in it.
    CaricaCopertineSmile(p, 3, app, placeholderLoader(app, english, counting), templateWordsKey(english));
    QCOMPARE(loads, 2);
    CaricaCopertineSmile(p, 3, app, placeholderLoader(app, french, counting), templateWordsKey(french));
    QCOMPARE(loads, 4);
    QCOMPARE(placeholderWordsKey(p.imageSlots[0].CleanCopy), templateWordsKey(french));
    QVERIFY(p.imageSlots[0].CleanCopy != inEnglish);
    // A user's picture never gets words.
    QImage photo = solidPicture(40, 30);
    drawTemplateWords(photo, {}, french);
    QCOMPARE(photo, solidPicture(40, 30));
}

QTEST_MAIN(TstUsability)
#include "tst_usability.moc"
