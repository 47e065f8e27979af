#include "document/Recovery.h"

#include "common/Text.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace vt {

QByteArray recoveryBytes(ProjectFile project, const QString &readFrom, const QString &projectPath)
{
    for (QString &path : project.picturePaths) {
        if (!path.trimmed().isEmpty() && !readFrom.isEmpty())
            path = resolvePicturePath(readFrom, path);
    }
    // Always with the section: the cover's placements are part of the work to restore.
    project.hasPlacements = true;
    QByteArray out = projectBytes(project);
    out += RecoverySectionLine;
    out += "\r\n";
    out += singleLine(projectPath).toUtf8();
    out += "\r\n";
    return out;
}

std::optional<RecoveryInfo> inspectRecovery(const QString &file)
{
    if (!isRegularFile(file))
        return std::nullopt;
    const auto text = readTextFile(file);
    if (!text)
        return std::nullopt;
    const ProjectReading reading = readProjectText(*text);
    if (reading.error)
        return std::nullopt;
    const QStringList lines = splitLines(*text);
    const qsizetype section = lines.indexOf(QLatin1String(RecoverySectionLine), ProjectLineCount);
    if (section < 0)
        return std::nullopt;
    return RecoveryInfo{lines.value(section + 1)};
}

RecoveryKeeper::RecoveryKeeper(QString file, std::function<QByteArray()> snapshot, QObject *parent)
    : QObject(parent), m_file(std::move(file)), m_snapshot(std::move(snapshot)), m_timer(new QTimer(this))
{
    m_timer->setInterval(DefaultIntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_changedSinceWrite)
            writeNow();
    });
}

void RecoveryKeeper::setInterval(int ms)
{
    m_timer->setInterval(ms);
}

bool RecoveryKeeper::isRunning() const
{
    return m_timer->isActive();
}

void RecoveryKeeper::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    if (modified) {
        m_changedSinceWrite = true;
        m_timer->start();
    } else {
        discard();
    }
}

void RecoveryKeeper::noteChange()
{
    if (m_modified)
        m_changedSinceWrite = true;
}

bool RecoveryKeeper::writeNow()
{
    if (!m_modified || !m_snapshot || m_file.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QString error;
    if (!writeBytesAtomically(m_file, m_snapshot(), &error)) {
        emit writeFailed(error);
        return false;
    }
    m_changedSinceWrite = false;
    return true;
}

void RecoveryKeeper::discard()
{
    m_modified = false;
    m_timer->stop();
    m_changedSinceWrite = false;
    if (!m_file.isEmpty())
        QFile::remove(m_file);
}

} // namespace vt
