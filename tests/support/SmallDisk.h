#pragma once
// A 200 KB tmpfs of the test's own, to run writers out of space. Mounting
// needs root (or CAP_SYS_ADMIN); without it reason() says why and the test skips.
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace morvane::test {

class SmallDisk {
public:
    SmallDisk() : m_path(QFile::encodeName(m_dir.path()))
    {
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=200k") == 0;
        if (!m_mounted)
            m_reason = QStringLiteral("cannot mount a tmpfs (needs root): ")
                       + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }

    // Takes the free space but a few kilobytes: too little for any document.
    void fill()
    {
        QFile filler(path() + "/filler");
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (filler.write(QByteArray(1024, 'x')) == 1024) { }
        filler.resize(filler.size() - 4096);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
    bool m_mounted = false;
    QString m_reason;
};

} // namespace morvane::test
