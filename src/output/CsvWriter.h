#pragma once
// The CSV file the export writes: every item between double quotes and
// followed by a comma, CR LF line ends, CP932 where every text fits and
// UTF-8 with a byte-order mark where one does not. Knows no window.
#include <QString>
#include <QStringList>
#include <QVector>
#include <stdexcept>

namespace morvane::output {

// A file that cannot be made or written; the message names the path.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }
private:
    QString m_message;
};

enum class CsvEncoding { Cp932, Utf8WithBom };

// A header and its rows, every value already as text.
struct CsvTable {
    QStringList header;
    QVector<QStringList> rows;
};

// '"' + text + '",' for each item; a double quote inside is doubled.
QString csvItems(const QStringList& items);

// CP932 when every header item and value can be written in it unchanged.
CsvEncoding csvEncodingFor(const CsvTable& table);

// "ＤＢ仕様書（" + name + "）.CSV"
QString csvFileName(const QString& tableName);

// A folder of the user's own inside the temporary folder, created owner-only.
// Throws when it exists but is a link, not a folder or another user's.
QString csvExportFolder();

// An open CSV file, closed at the latest when the object goes.
class CsvFile {
public:
    CsvFile() = default;
    ~CsvFile();
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Replaces any file at path; never writes through a link. Throws CsvError.
    void create(const QString& path, CsvEncoding encoding);
    void close() noexcept;
    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }
    CsvEncoding encoding() const { return m_encoding; }
    // Straight to the file: what is written stays when a later line fails.
    void writeBytes(const QByteArray& bytes);

private:
    int m_fd = -1;
    QString m_path;
    CsvEncoding m_encoding = CsvEncoding::Cp932;
};

// Appends CR LF to the line and writes it in the file's encoding. Throws CsvError.
void WriteCsvLine(CsvFile& file, const QString& line);

// Creates the file at path and writes the header and the rows.
void writeCsvFile(const QString& path, const CsvTable& table);

} // namespace morvane::output
