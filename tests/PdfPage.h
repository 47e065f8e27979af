#pragma once
// A PDF's first page as pixels, through poppler's pdftoppm: at the default 254 dots per
// inch a pixel is 0.1 mm, so positions read off it are millimetres times ten.
#include <QImage>
#include <QProcess>
#include <QString>

inline QImage renderPdf(const QString &pdf, const QString &dir, int dpi = 254)
{
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", pdf, dir + "/page"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    return QImage(dir + "/page.png").convertToFormat(QImage::Format_RGB32);
}
