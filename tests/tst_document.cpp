// The cover document: edits as undoable steps, merged drags, loads without history,
// the modified flag, and the format's templates in free slots.
#include "document/CoverDocument.h"
#include "document/ProjectLoad.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace vt;

namespace {

QImage solid(QColor c, QSize size = {40, 30})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

Placement placed(double zoom, double x, double y)
{
    Placement p = Placement::forNewPicture();
    p.zoom = zoom;
    p.centreX = x;
    p.centreY = y;
    return p;
}

} // namespace

class TstDocument : public QObject
{
    Q_OBJECT
private slots:
    void undoRedoWalksEveryKindOfEdit();
    void placementDragsOfOneSlotAreOneStep();
    void placementsOfTwoSlotsAreTwoSteps();
    void dragBackToTheStartLeavesNothingToUndo();
    void editThatChangesNothingIsNoStep();
    void loadStartsACleanHistory();
    void modifiedFollowsSaveUndoAndRecovery();
    void signalsNameWhatChanged();
    void clampedPlacement_data();
    void clampedPlacement();
    void templatesFillFreeSlotsOnly();
    void projectLoadIsAllOrNothing_data();
    void projectLoadIsAllOrNothing();
    void projectLinesFromContent();
};

void TstDocument::undoRedoWalksEveryKindOfEdit()
{
    CoverDocument doc;
    const CoverContent start = doc.content();
    const QImage red = solid(Qt::red);
    doc.setFormat(3);
    doc.setPicture(0, red, QStringLiteral("/p/red.png"), Placement::forNewPicture());
    TitleStyle t;
    t.CoverText = QStringLiteral("My holiday");
    doc.setTitle(t);
    doc.setTitleFlags(0, 1);
    doc.setOutline(true);
    doc.setPlacement(0, placed(2, 0.25, 0.5));
    doc.clearPicture(0);
    QCOMPARE(doc.undoStack()->count(), 7);
    const CoverContent end = doc.content();
    QVERIFY(end.pictures[0].path.isEmpty());
    QCOMPARE(end.format, 3);
    QCOMPARE(end.title.CoverText, QStringLiteral("My holiday"));
    QCOMPARE(end.titleOnCover, qint16(0));
    QVERIFY(end.outline);

    doc.undoStack()->undo(); // the removal
    QCOMPARE(doc.content().pictures[0].path, QStringLiteral("/p/red.png"));
    QCOMPARE(doc.content().pictures[0].placement, placed(2, 0.25, 0.5));
    doc.undoStack()->undo(); // the placement
    QCOMPARE(doc.content().pictures[0].placement, Placement::forNewPicture());
    doc.undoStack()->undo(); // the outline
    QVERIFY(!doc.content().outline);
    doc.undoStack()->undo(); // the flags
    QCOMPARE(doc.content().titleOnCover, qint16(1));
    doc.undoStack()->undo(); // the title
    QVERIFY(doc.content().title.CoverText.isEmpty());
    doc.undoStack()->undo(); // the picture
    QCOMPARE(doc.content().pictures[0], start.pictures[0]);
    doc.undoStack()->undo(); // the format
    QCOMPARE(doc.content(), start);

    while (doc.undoStack()->canRedo())
        doc.undoStack()->redo();
    QCOMPARE(doc.content(), end);
}

void TstDocument::placementDragsOfOneSlotAreOneStep()
{
    CoverDocument doc;
    doc.setPicture(1, solid(Qt::blue), QStringLiteral("b.png"), Placement::forNewPicture());
    for (int k = 1; k <= 5; ++k)
        doc.setPlacement(1, placed(1 + k * 0.5, 0.5, 0.5 - k * 0.05));
    QCOMPARE(doc.undoStack()->count(), 2);
    QCOMPARE(doc.content().pictures[1].placement, placed(3.5, 0.5, 0.25));
    doc.undoStack()->undo();
    QCOMPARE(doc.content().pictures[1].placement, Placement::forNewPicture());
    doc.undoStack()->redo();
    QCOMPARE(doc.content().pictures[1].placement, placed(3.5, 0.5, 0.25));
}

void TstDocument::placementsOfTwoSlotsAreTwoSteps()
{
    CoverDocument doc;
    doc.setPlacement(0, placed(2, 0.5, 0.5));
    doc.setPlacement(1, placed(3, 0.5, 0.5));
    doc.setPlacement(0, placed(4, 0.5, 0.5));
    QCOMPARE(doc.undoStack()->count(), 3);
    // Another kind of edit in between ends a drag too.
    doc.setOutline(true);
    doc.setPlacement(0, placed(5, 0.5, 0.5));
    QCOMPARE(doc.undoStack()->count(), 5);
}

void TstDocument::dragBackToTheStartLeavesNothingToUndo()
{
    CoverDocument doc;
    const Placement start = doc.content().pictures[2].placement;
    doc.setPlacement(2, placed(2, 0.4, 0.5));
    Placement back = start;
    doc.setPlacement(2, back);
    QVERIFY(!doc.undoStack()->canUndo());
    QVERIFY(!doc.isModified());
}

void TstDocument::editThatChangesNothingIsNoStep()
{
    CoverDocument doc;
    doc.setFormat(0);
    doc.setOutline(false);
    doc.setTitle(doc.content().title);
    doc.setPicture(7, solid(Qt::red), QStringLiteral("x"), Placement());
    doc.setPlacement(-1, placed(2, 0.5, 0.5));
    QCOMPARE(doc.undoStack()->count(), 0);
    QVERIFY(!doc.isModified());
}

void TstDocument::loadStartsACleanHistory()
{
    CoverDocument doc;
    doc.setOutline(true);
    doc.setFormat(5);
    QVERIFY(doc.isModified());
    CoverContent c = blankContent();
    c.format = 12;
    c.pictures[2] = {QStringLiteral("photo.jpg"), solid(Qt::green), placed(1.5, 0.3, 0.7)};
    QSignalSpy paths(&doc, &CoverDocument::projectPathChanged);
    doc.load(c, QStringLiteral("/home/u/cover.vtr"));
    QCOMPARE(doc.content(), c);
    QVERIFY(!doc.undoStack()->canUndo());
    QVERIFY(!doc.isModified());
    QCOMPARE(doc.projectPath(), QStringLiteral("/home/u/cover.vtr"));
    QCOMPARE(paths.count(), 1);
}

void TstDocument::modifiedFollowsSaveUndoAndRecovery()
{
    CoverDocument doc;
    QSignalSpy modified(&doc, &CoverDocument::modifiedChanged);
    doc.setOutline(true);
    QVERIFY(doc.isModified());
    doc.markSaved();
    QVERIFY(!doc.isModified());
    doc.undoStack()->undo(); // back before the save: differs from the file again
    QVERIFY(doc.isModified());
    doc.undoStack()->redo();
    QVERIFY(!doc.isModified());
    doc.markModified();
    QVERIFY(doc.isModified());
    doc.markSaved();
    QVERIFY(!doc.isModified());
    QList<bool> seen;
    for (const auto &args : modified)
        seen << args.at(0).toBool();
    QCOMPARE(seen, (QList<bool>{true, false, true, false, true, false}));
}

void TstDocument::signalsNameWhatChanged()
{
    CoverDocument doc;
    QSignalSpy format(&doc, &CoverDocument::formatChanged);
    QSignalSpy picture(&doc, &CoverDocument::pictureChanged);
    QSignalSpy title(&doc, &CoverDocument::titleChanged);
    QSignalSpy outline(&doc, &CoverDocument::outlineChanged);
    QSignalSpy content(&doc, &CoverDocument::contentChanged);
    doc.setPlacement(2, placed(2, 0.5, 0.5));
    doc.setTitleFlags(1, 0);
    doc.setFormat(9);
    doc.undoStack()->undo();
    QCOMPARE(picture.count(), 1);
    QCOMPARE(picture.at(0).at(0).toInt(), 2);
    QCOMPARE(title.count(), 1);
    QCOMPARE(format.count(), 2);
    QCOMPARE(format.at(1).at(0).toInt(), 0);
    QCOMPARE(outline.count(), 0);
    QCOMPARE(content.count(), 4);
}

void TstDocument::clampedPlacement_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("turns");
    QTest::addColumn<double>("zoomOut");
    QTest::addColumn<double>("xOut");
    QTest::addColumn<double>("yOut");
    QTest::addColumn<int>("turnsOut");
    QTest::newRow("in range stays") << 2.5 << 0.25 << 0.75 << 3 << 2.5 << 0.25 << 0.75 << 3;
    QTest::newRow("zoom below 1") << 0.5 << 0.5 << 0.5 << 0 << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("zoom above 8") << 12.0 << 0.5 << 0.5 << 0 << 8.0 << 0.5 << 0.5 << 0;
    QTest::newRow("centre outside") << 1.0 << -0.2 << 1.7 << 0 << 1.0 << 0.0 << 1.0 << 0;
    QTest::newRow("not a number") << qQNaN() << qQNaN() << qInf() << 0 << 1.0 << 0.5 << 0.5 << 0;
    QTest::newRow("five turns are one") << 1.0 << 0.5 << 0.5 << 5 << 1.0 << 0.5 << 0.5 << 1;
    QTest::newRow("one turn back is three") << 1.0 << 0.5 << 0.5 << -1 << 1.0 << 0.5 << 0.5 << 3;
}

void TstDocument::clampedPlacement()
{
    QFETCH(double, zoom);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, turns);
    Placement p;
    p.zoom = zoom;
    p.centreX = x;
    p.centreY = y;
    p.turns = turns;
    const Placement out = vt::clampedPlacement(p);
    QTEST(out.zoom, "zoomOut");
    QTEST(out.centreX, "xOut");
    QTEST(out.centreY, "yOut");
    QTEST(out.turns, "turnsOut");
}

void TstDocument::templatesFillFreeSlotsOnly()
{
    QTemporaryDir app;
    QVERIFY(QDir(app.path()).mkpath(QStringLiteral("Modelli/CD-DVD Front")));
    QVERIFY(QDir(app.path()).mkpath(QStringLiteral("Modelli/CD-DVD Back")));
    const QString front = app.path() + QStringLiteral("/Modelli/CD-DVD Front/01 Empty Smile.jpg");
    const QString back = app.path() + QStringLiteral("/Modelli/CD-DVD Back/01 Empty Smile.jpg");
    QVERIFY(solid(Qt::yellow).save(front));
    QVERIFY(solid(Qt::cyan).save(back));
    int decoded = 0;
    CoverDocument doc;
    doc.setTemplateSource(app.path(), [&decoded](const QString &path) {
        ++decoded;
        return QImage(path);
    });
    const QImage photo = solid(Qt::red);
    doc.setPicture(1, photo, QStringLiteral("/photos/back.png"), Placement::forNewPicture());
    doc.setFormat(3); // front and back sheet
    QCOMPARE(doc.content().pictures[0].path, front);
    QCOMPARE(doc.content().pictures[0].placement, Placement()); // a template is stretched
    QCOMPARE(doc.content().pictures[1].path, QStringLiteral("/photos/back.png"));
    QCOMPARE(decoded, 1);
    // The template is part of the format's step: one undo takes both away.
    doc.undoStack()->undo();
    QCOMPARE(doc.content().format, 0);
    QVERIFY(doc.content().pictures[0].path.isEmpty());
    // Removing the user's picture gives the slot its template back.
    doc.undoStack()->redo();
    doc.clearPicture(1);
    QCOMPARE(doc.content().pictures[1].path, back);
}

void TstDocument::projectLoadIsAllOrNothing_data()
{
    QTest::addColumn<QString>("picture1");
    QTest::addColumn<QString>("formatLine");
    QTest::addColumn<int>("errorLine");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("whole") << "red.png" << " 3 " << 0 << "";
    QTest::newRow("missing picture") << "gone.png" << " 3 " << 1 << "does not exist";
    QTest::newRow("format beyond the list") << "red.png" << " 22 " << 15 << "format 22";
    QTest::newRow("format line not a number") << "red.png" << "three" << 15 << "cannot be loaded";
    QTest::newRow("template of another folder is blank") << "/elsewhere/Modelli/Box/01 Empty Smile.jpg" << " 3 "
                                                         << 0 << "";
}

void TstDocument::projectLoadIsAllOrNothing()
{
    QFETCH(QString, picture1);
    QFETCH(QString, formatLine);
    QFETCH(int, errorLine);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    QVERIFY(solid(Qt::red).save(dir.filePath("red.png")));
    const QString project = dir.filePath("p.vtr");
    QFile f(project);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((QStringList{picture1, "", "", " 1 ", "Front", "Spine", "Liberation Sans", "12", " 1 ", " 0 ", " 0 ",
                         " 255 ", " 1 ", " 0 ", formatLine}
                 .join("\r\n")
             + "\r\n")
                .toUtf8());
    f.close();
    const ProjectLoadResult r = loadProjectContent(project, 22, [](const QString &p) { return QImage(p); });
    QCOMPARE(r.line, errorLine);
    if (errorLine != 0) {
        QVERIFY(!r.content);
        QVERIFY2(r.error.contains(mentions), qPrintable(r.error));
        return;
    }
    QVERIFY(r.content);
    const CoverContent &c = *r.content;
    QCOMPARE(c.format, 3);
    QCOMPARE(c.pictures[0].path, picture1); // kept as written
    QCOMPARE(c.pictures[0].picture.size(), picture1 == "red.png" ? QSize(40, 30) : QSize(1600, 1200));
    QCOMPARE(c.pictures[0].placement, Placement()); // no placements stored: stretched
    QVERIFY(c.outline);
    QCOMPARE(c.title.CoverText, QStringLiteral("Front"));
    QCOMPARE(c.title.ForeColor, quint32(255));
    QCOMPARE(c.titleOnSpine, qint16(0));
}

void TstDocument::projectLinesFromContent()
{
    CoverContent c = blankContent();
    c.format = 14;
    c.outline = true;
    c.pictures[2].path = QStringLiteral("three.jpg");
    c.title.SpineText = QStringLiteral("Spine");
    c.titleOnCover = 0;
    const QStringList lines = projectLines(projectFromContent(c));
    QCOMPARE(lines.mid(0, 4), (QStringList{"", "", "three.jpg", " 1 "}));
    QCOMPARE(lines.at(5), QStringLiteral("Spine"));
    QCOMPARE(lines.at(12), QStringLiteral(" 0 "));
    QCOMPARE(lines.at(14), QStringLiteral(" 14 "));
}

QTEST_GUILESS_MAIN(TstDocument)
#include "tst_document.moc"
