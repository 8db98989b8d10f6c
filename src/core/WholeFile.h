#pragma once
// The one way files are written: a new file made exclusively beside the
// target (never through a link, never a FIFO or device), every write checked,
// renamed over the target only when whole. Until commit() succeeds the
// target keeps whatever it held before; a failure removes the new file and
// says the system's own reason.
#include <QIODevice>
#include <QString>

namespace morvane {

class WholeFile : public QIODevice {
public:
    explicit WholeFile(QString target);
    // Removes the temporary file unless commit() succeeded.
    ~WholeFile() override;

    // Creates the temporary file; false with errorText() when it cannot.
    bool open(OpenMode mode = WriteOnly) override;
    // Writes out what is buffered, closes and renames over the target.
    bool commit();
    // Drops the temporary file; the target is left as it was.
    void discard();

    QString target() const { return m_target; }
    QString temporaryPath() const { return m_tempPath; }
    // What failed, with the path and the system's reason ("…: No space left on device").
    QString errorText() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool flushBuffer();
    void fail(const QString& what, int err);
    void removeTemporary();

    QString m_target;
    QString m_tempPath;
    int m_fd = -1;
    QByteArray m_buffer;
    QString m_error;
    bool m_committed = false;
};

// Writes bytes as a whole file; false with the reason in *error.
bool writeWholeFile(const QString& target, const QByteArray& bytes, QString* error);

// The system's text for an errno value (never "Unknown error" for a real errno).
QString systemErrorText(int err);

} // namespace morvane
