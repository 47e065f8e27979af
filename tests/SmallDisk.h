#pragma once
// A tiny file system of its own (tmpfs), to run writes into a full disk. Mounting needs
// root; tests skip when the disk could not be made.
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <unistd.h>

class SmallDisk
{
public:
    explicit SmallDisk(const char *options = "size=40k")
    {
        if (::getuid() == 0 && m_dir.isValid())
            m_mounted = ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.path() + u'/' + name; }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
