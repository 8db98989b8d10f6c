#pragma once
// A 200 KB tmpfs of the test's own, to run writers out of space. Mounting
// needs root (or CAP_SYS_ADMIN); without it reason() says why and the test skips.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace morvane::test {

class SmallDisk {
public:
    SmallDisk()
    {
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=200k") != 0)
            m_reason = QStringLiteral("cannot mount a 200 KB tmpfs (needs root): ") + QString::fromLocal8Bit(std::strerror(errno));
        else
            m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }

    // Takes every free block but keepKb kilobytes.
    void fill(int keepKb = 0)
    {
        const int fd = ::open(QFile::encodeName(path() + "/filler").constData(), O_CREAT | O_WRONLY | O_APPEND, 0600);
        const QByteArray block(1024, 'x');
        while (::write(fd, block.constData(), block.size()) == block.size()) {
        }
        ::close(fd);
        if (keepKb > 0)
            ::truncate(QFile::encodeName(path() + "/filler").constData(),
                       QFile(path() + "/filler").size() - keepKb * 1024);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

} // namespace morvane::test
