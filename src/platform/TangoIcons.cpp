#include "platform/TangoIcons.h"

#include <QFile>

namespace vt {

QIcon tangoIcon(const QString &name)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32}) {
        const QString path = QStringLiteral(":/tango/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

} // namespace vt
