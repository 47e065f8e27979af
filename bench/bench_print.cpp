// How quickly a cover with three 24-megapixel photos is written to PDF, and how large the
// file is, against the time it takes to decode the same photos once. With --huge: what a
// 108-megapixel photo costs a format change, and the memory a photo replacing another
// takes. Run: build/bench/bench_print [--huge]
#include "BenchPhotos.h"

#include "app/AppState.h"
#include "formats/FormatSelection.h"
#include "platform/PictureLoading.h"
#include "print/CoverOutput.h"
#include "ui/main/Form1.h"
#include "ui/main/PreviewCanvas.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vt;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Window
{
    QTemporaryDir program;
    AppState state;
    std::unique_ptr<Form1> form;
    Window()
    {
        bench::copyTree(QStringLiteral(VT_SOURCE_DATA_DIR), program.path());
        QFile(program.path() + QStringLiteral("/Files/Portable.ini")).open(QIODevice::WriteOnly);
        Form1Hooks hooks = defaultForm1Hooks();
        hooks.exitNow = [](int) {};
        form = std::make_unique<Form1>(state, program.path(), QString(), hooks);
        form->load();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            std::fprintf(stderr, "the window was not exposed; paint figures may be off\n");
    }
};

int exportRun()
{
    const QStringList photos = {bench::photo(0), bench::photo(1), bench::photo(2)};
    QElapsedTimer t;
    t.start();
    for (const QString &p : photos)
        loadPicture(p);
    const double decodeMs = t.nsecsElapsed() / 1e6;

    Window w;
    for (int slot = 0; slot < 3; ++slot)
        w.form->loadPictureIntoSlot(slot, photos[slot]);
    TitleStyle style = w.form->titleStyle();
    style.CoverText = QStringLiteral("Front Title");
    style.SpineText = QStringLiteral("Spine Title");
    w.form->setTitleStyle(style);
    w.form->outlineSwitch()->setChecked(true);

    QTemporaryDir out;
    std::printf("decoding the three photos once   %7.0f ms (the baseline)\n", decodeMs);
    for (int format : {0, 3, 14}) {
        w.form->selectFormat(format);
        QApplication::processEvents();
        const QString pdf = out.filePath(QStringLiteral("cover-%1.pdf").arg(format));
        t.restart();
        PageSetup setup;
        setup.portrait = isPortraitOrientation(w.state.CurrentOrientation);
        const OutputResult r = writeCoverPdf(pdf, setup, w.form->pageComposer(), w.form->pagePictures());
        const double ms = t.nsecsElapsed() / 1e6;
        // What reducing the pictures alone costs, for the breakdown: measured after the
        // PDF, so the PDF's own figure is the cold one a user gets.
        t.restart();
        const PrintComposition page = w.form->pageComposer()(QSizeF(200, 287), [](const QString &) { return QSizeF(); });
        const PagePictures pictures = w.form->pagePictures();
        for (const PageOperation &op : page.operations)
            if (op.kind == PageOperation::Kind::Picture)
                pictureForPrint(pictures[size_t(op.picture)], op.rect.size());
        const double reduceMs = t.nsecsElapsed() / 1e6;
        std::printf("format %2d PDF                    %7.0f ms  %6.2f MB  %s (PDF / decode = %.2f; reducing the "
                    "pictures alone %.0f ms)\n",
                    format, ms, QFileInfo(pdf).size() / 1048576.0, r.produced ? "written" : "FAILED", ms / decodeMs,
                    reduceMs);
    }
    std::printf("peak memory                      %7ld MB\n", bench::peakRssMB());
    return 0;
}

int hugeRun()
{
    const QString huge = bench::photo(7, {12000, 9000});
    const QStringList others = {bench::photo(0), bench::photo(1), bench::photo(2)};
    Window w;
    TitleStyle style = w.form->titleStyle();
    style.CoverText = QStringLiteral("Front Title");
    style.SpineText = QStringLiteral("Spine Title");
    w.form->setTitleStyle(style);
    QElapsedTimer t;
    t.start();
    w.form->loadPictureIntoSlot(0, huge);
    const double loadMs = t.nsecsElapsed() / 1e6;
    const QImage &clean = w.form->document()->content().pictures[0].picture;
    std::printf("108-megapixel photo loaded as    %dx%d in %.0f ms\n", clean.width(), clean.height(), loadMs);
    std::vector<double> changes;
    const int cycle[] = {0, 3, 1, 9, 15, 5};
    for (int run = 0; run < 12; ++run) {
        w.form->selectFormat(cycle[run % 6]);
        t.restart();
        w.form->Combo1_Click();
        w.form->canvas()->repaint();
        changes.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("format change with it, median    %7.0f ms (max %.0f ms)\n", median(changes),
                *std::max_element(changes.begin(), changes.end()));

    // A photo replacing another, three times, in the slot the cover shows largest.
    const long before = bench::peakRssMB();
    for (const QString &p : others) {
        w.form->loadPictureIntoSlot(0, p);
        w.form->Combo1_Click();
        w.form->canvas()->repaint();
    }
    std::printf("peak memory                      %7ld MB (before the replacements %ld MB)\n", bench::peakRssMB(),
                before);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return QCoreApplication::arguments().contains(QStringLiteral("--huge")) ? hugeRun() : exportRun();
}
