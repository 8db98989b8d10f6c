#pragma once
// The CSV file the export writes: every item between double quotes and
// followed by a comma, CR LF line ends, in the encoding the user chose
// (CP932 falls back to UTF-8 with a byte-order mark where a text does not
// fit). Knows no window.
#include "core/WholeFile.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <stdexcept>

namespace morvane::output {

// A file that cannot be made or written; the message names the path.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

enum class CsvEncoding { Cp932, Utf8WithBom };

// What the user asks for. Automatic is CP932 on Windows, where Excel expects
// it, and UTF-8 with a byte-order mark elsewhere, which gnumeric and
// LibreOffice Calc open as Unicode by double-click.
enum class CsvCharset { Automatic, Cp932, Utf8 };

// The stored setting: "" (automatic), "CP932" or "UTF-8"; anything else reads as automatic.
CsvCharset csvCharsetFromSetting(const QString& value);
QString csvCharsetSetting(CsvCharset charset);

// A header and its rows, every value already as text.
struct CsvTable {
    QStringList header;
    QVector<QStringList> rows;
};

// The item as a spreadsheet should show it: a text that a spreadsheet would
// take for a formula (starting with = + - or @, other than a plain number)
// gets a leading apostrophe, which marks a text cell.
QString csvCellText(const QString& item);

// '"' + text + '",' for each item (through csvCellText); a double quote inside is doubled.
QString csvItems(const QStringList& items);

// The encoding of the chosen charset for these texts: CP932 only when every
// header item and value can be written in it unchanged.
CsvEncoding csvEncodingFor(const CsvTable& table, CsvCharset charset = CsvCharset::Automatic);

// "ＤＢ仕様書（" + name + "）.CSV"
QString csvFileName(const QString& tableName);

// A folder of the user's own inside the temporary folder, created owner-only.
// When that name is taken by a link, a non-folder or another user's folder,
// a fresh private folder (mkdtemp) in the temporary folder serves instead
// for the rest of the run. Throws when neither can be made.
QString csvExportFolder();

// A CSV file being written: it replaces the file at its path only when
// whole (never through a link), and a failure leaves the old file as it was.
class CsvFile {
public:
    CsvFile() = default;
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Starts the file (and its byte-order mark). Throws CsvError.
    void create(const QString& path, CsvEncoding encoding);
    // Puts the whole file in place. Throws CsvError.
    void commit();
    bool isOpen() const { return m_file && m_file->isOpen(); }
    const QString& path() const { return m_path; }
    CsvEncoding encoding() const { return m_encoding; }
    void writeBytes(const QByteArray& bytes);

private:
    std::unique_ptr<WholeFile> m_file;
    QString m_path;
    CsvEncoding m_encoding = CsvEncoding::Cp932;
};

// Appends CR LF to the line and writes it in the file's encoding. Throws CsvError.
void WriteCsvLine(CsvFile& file, const QString& line);

// Writes the header and the rows as the whole file at path.
void writeCsvFile(const QString& path, const CsvTable& table, CsvCharset charset = CsvCharset::Automatic);

} // namespace morvane::output
