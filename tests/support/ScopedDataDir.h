#pragma once
// Points the embedded-database folder at a fresh temporary folder while it lives.
#include <QByteArray>
#include <QTemporaryDir>

namespace morvane::test {

class ScopedDataDir {
public:
    ScopedDataDir() : m_old(qgetenv("MORVANE_DATA_DIR"))
    {
        qputenv("MORVANE_DATA_DIR", m_dir.path().toUtf8());
    }
    ~ScopedDataDir() { qputenv("MORVANE_DATA_DIR", m_old); }
    ScopedDataDir(const ScopedDataDir&) = delete;
    ScopedDataDir& operator=(const ScopedDataDir&) = delete;
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace morvane::test
