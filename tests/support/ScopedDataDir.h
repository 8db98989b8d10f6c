#pragma once
// Points the embedded-database folder at a fresh temporary folder while it
// lives, or at a folder below it that nothing has made yet.
#include <QByteArray>
#include <QTemporaryDir>

namespace morvane::test {

class ScopedDataDir {
public:
    explicit ScopedDataDir(const QString& below = QString())
        : m_old(qgetenv("MORVANE_DATA_DIR")), m_path(below.isEmpty() ? m_dir.path() : m_dir.filePath(below))
    {
        qputenv("MORVANE_DATA_DIR", m_path.toUtf8());
    }
    ~ScopedDataDir() { qputenv("MORVANE_DATA_DIR", m_old); }
    ScopedDataDir(const ScopedDataDir&) = delete;
    ScopedDataDir& operator=(const ScopedDataDir&) = delete;
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    QString m_path;
};

} // namespace morvane::test
