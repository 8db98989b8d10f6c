#include "core/WholeFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace morvane {

namespace {
// Larger writes go straight to the file; small ones (a PDF writer sends many)
// are gathered first.
constexpr int kBufferSize = 64 * 1024;

#ifdef Q_OS_WIN
int openExclusive(const QString& path)
{
    return _wopen(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                  _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, 0666);
}
int closeFile(int fd) { return _close(fd); }
qint64 writeSome(int fd, const char* data, qint64 size)
{
    return _write(fd, data, static_cast<unsigned>(qMin<qint64>(size, 1 << 30)));
}
#else
int openExclusive(const QString& path)
{
    // O_EXCL never opens what is already there, a link, FIFO or device included.
    return ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                  0666);
}
int closeFile(int fd) { return ::close(fd); }
qint64 writeSome(int fd, const char* data, qint64 size) { return ::write(fd, data, size_t(size)); }
#endif
} // namespace

QString systemErrorText(int err) { return qt_error_string(err); }

WholeFile::WholeFile(QString target) : m_target(std::move(target)) { }

WholeFile::~WholeFile()
{
    if (!m_committed)
        discard();
}

bool WholeFile::open(OpenMode mode)
{
    if (m_fd >= 0 || m_committed)
        return false;
    m_error.clear();
    const QFileInfo info(m_target);
    const QString dir = info.absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            QStringLiteral(".%1.%2.tmp")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate64() & 0xffffffffffULL, 10, 36, QLatin1Char('0'));
        const QString path = dir + QLatin1Char('/') + name;
        const int fd = openExclusive(path);
        if (fd >= 0) {
            m_fd = fd;
            m_tempPath = path;
            m_buffer.reserve(kBufferSize);
            return QIODevice::open(mode | WriteOnly | Unbuffered);
        }
        if (errno != EEXIST) {
            fail(dir, errno);
            return false;
        }
    }
    fail(dir, EEXIST);
    return false;
}

qint64 WholeFile::readData(char*, qint64) { return -1; }

qint64 WholeFile::writeData(const char* data, qint64 size)
{
    if (m_fd < 0 || failed())
        return -1;
    if (m_buffer.size() + size <= kBufferSize) {
        m_buffer.append(data, int(size));
        return size;
    }
    if (!flushBuffer())
        return -1;
    if (size < kBufferSize) {
        m_buffer.append(data, int(size));
        return size;
    }
    for (qint64 done = 0; done < size;) {
        const qint64 n = writeSome(m_fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(m_target, errno);
            return -1;
        }
        done += n;
    }
    return size;
}

bool WholeFile::flushBuffer()
{
    const char* p = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const qint64 n = writeSome(m_fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(m_target, errno);
            return false;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
    return true;
}

bool WholeFile::commit()
{
    if (m_fd < 0) {
        if (m_error.isEmpty())
            m_error = m_target + QStringLiteral(": not open");
        return false;
    }
    bool ok = !failed() && flushBuffer();
    const int fd = m_fd;
    m_fd = -1;
    QIODevice::close();
    if (closeFile(fd) != 0 && ok) {
        fail(m_target, errno);
        ok = false;
    }
    if (ok) {
#ifdef Q_OS_WIN
        QFile::remove(m_target);
        ok = QFile::rename(m_tempPath, m_target);
        if (!ok)
            m_error = m_target + QStringLiteral(": ") + QStringLiteral("cannot be replaced");
#else
        if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_target).constData())
            != 0) {
            fail(m_target, errno);
            ok = false;
        }
#endif
    }
    if (!ok) {
        removeTemporary();
        return false;
    }
    m_committed = true;
    return true;
}

void WholeFile::discard()
{
    if (m_fd >= 0) {
        closeFile(m_fd);
        m_fd = -1;
        QIODevice::close();
    }
    removeTemporary();
}

void WholeFile::removeTemporary()
{
    if (!m_tempPath.isEmpty()) {
        QFile::remove(m_tempPath);
        m_tempPath.clear();
    }
}

void WholeFile::fail(const QString& what, int err)
{
    if (m_error.isEmpty())
        m_error = what + QStringLiteral(": ") + systemErrorText(err);
    setErrorString(m_error);
}

bool writeWholeFile(const QString& target, const QByteArray& bytes, QString* error)
{
    WholeFile file(target);
    const bool ok = file.open() && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorText();
    return ok;
}

} // namespace morvane
