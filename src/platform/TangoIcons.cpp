#include "platform/TangoIcons.h"

#include "platform/PictureLoading.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vt {

QList<std::pair<int, QString>> tangoIconFiles(const QString &name)
{
    QList<std::pair<int, QString>> files;
    for (int size : {16, 22, 24, 32}) {
        const QString path = QStringLiteral(":/tango/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path))
            files.append({size, path});
    }
    return files;
}

QPixmap tangoPixmap(const QString &name, int logicalSize, qreal devicePixelRatio)
{
    const int device = qMax(1, qRound(logicalSize * devicePixelRatio));
    QPixmap out;
    const QString fixed = QStringLiteral(":/tango/%1/%2.png").arg(device).arg(name);
    const QString scalable = QStringLiteral(":/tango/scalable/%1.svg").arg(name);
    if (QFile::exists(fixed)) {
        out = QPixmap::fromImage(readPng(fixed));
    } else if (QFile::exists(scalable)) {
        QSvgRenderer svg(scalable);
        if (!svg.isValid())
            return {};
        QImage image(device, device, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        svg.render(&p, QRectF(0, 0, device, device));
        p.end();
        out = QPixmap::fromImage(image);
    } else {
        // Neither fits: Qt picks the sharpest embedded size and scales it.
        QIcon icon;
        for (const auto &[size, path] : tangoIconFiles(name))
            icon.addPixmap(QPixmap::fromImage(readPng(path)));
        out = icon.pixmap(QSize(logicalSize, logicalSize), devicePixelRatio);
    }
    if (!out.isNull())
        out.setDevicePixelRatio(devicePixelRatio);
    return out;
}

} // namespace vt
