#include "output/CsvWriter.h"
#include "core/Cp932.h"
#include "output/DocRender.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace morvane::output {

namespace {

QString systemText(int err) { return systemErrorText(err); }

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

#ifndef _WIN32
// The folder must be ours and a real folder: another user's folder or a
// link planted under the name would let that user choose where we write.
// Empty when it serves, else why not.
QString ownFolderProblem(const QString& folder)
{
    const QByteArray p = QFile::encodeName(folder);
    struct stat st { };
    if (::lstat(p.constData(), &st) != 0)
        return QStringLiteral("フォルダ %1 を作成できません: %2").arg(nativePath(folder), systemText(errno));
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return QStringLiteral("フォルダ %1 は自分のフォルダではないため使用できません。")
            .arg(nativePath(folder));
    if ((st.st_mode & 077) != 0 && ::chmod(p.constData(), 0700) != 0)
        return QStringLiteral("フォルダ %1 の権限を変更できません: %2")
            .arg(nativePath(folder), systemText(errno));
    return QString();
}

// The private folder made when the usual one cannot serve, kept for the run.
QString g_fallbackFolder;
#endif

} // namespace

CsvCharset csvCharsetFromSetting(const QString& value)
{
    if (value == QLatin1String("CP932"))
        return CsvCharset::Cp932;
    if (value == QLatin1String("UTF-8"))
        return CsvCharset::Utf8;
    return CsvCharset::Automatic;
}

QString csvCharsetSetting(CsvCharset charset)
{
    switch (charset) {
    case CsvCharset::Cp932: return QStringLiteral("CP932");
    case CsvCharset::Utf8: return QStringLiteral("UTF-8");
    case CsvCharset::Automatic: break;
    }
    return QString();
}

QString csvCellText(const QString& item)
{
    if (item.isEmpty())
        return item;
    const QChar c = item.at(0);
    if (c != QLatin1Char('=') && c != QLatin1Char('+') && c != QLatin1Char('-') && c != QLatin1Char('@'))
        return item;
    // A negative number stays a number (a column's scale may be below zero).
    static const QRegularExpression number(QStringLiteral("^-[0-9]+(\\.[0-9]+)?$"));
    if (number.match(item).hasMatch())
        return item;
    return QLatin1Char('\'') + item;
}

QString csvItems(const QStringList& items)
{
    QString line;
    for (const QString& item : items) {
        QString v = csvCellText(item);
        v.replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += QLatin1Char('"') + v + QLatin1String("\",");
    }
    return line;
}

CsvEncoding csvEncodingFor(const CsvTable& table, CsvCharset charset)
{
    if (charset == CsvCharset::Utf8)
        return CsvEncoding::Utf8WithBom;
#ifndef _WIN32
    // gnumeric refuses CP932 and LibreOffice has to be told it: Unicode opens in both.
    if (charset == CsvCharset::Automatic)
        return CsvEncoding::Utf8WithBom;
#endif
    auto fits = [](const QStringList& items) {
        const QString line = items.join(QChar(0x1F));
        for (QChar c : line)
            if (c.unicode() >= 0x80)
                return bool(cp932::encodeExact(line)); // one conversion a line, not a value
        return true;                                   // ASCII always fits
    };
    if (!fits(table.header))
        return CsvEncoding::Utf8WithBom;
    for (const QStringList& row : table.rows)
        if (!fits(row))
            return CsvEncoding::Utf8WithBom;
    return CsvEncoding::Cp932;
}

QString csvFileName(const QString& tableName)
{
    // A quoted Oracle name may hold "/" or "..": it names the file, never a folder.
    return QStringLiteral("ＤＢ仕様書（") + fileNameSafe(tableName) + QStringLiteral("）")
           + QStringLiteral(".CSV");
}

QString csvExportFolder()
{
    const QString temp = QDir::tempPath();
    // Qt reports a missing temporary folder as an empty path, which would mean "/".
    if (temp.isEmpty())
        throw CsvError(QStringLiteral("一時フォルダ %1 がありません").arg(qEnvironmentVariable("TMPDIR")));
#ifdef _WIN32
    // The temporary folder of a Windows account is the user's own already.
    return temp;
#else
    const QString folder = temp + QStringLiteral("/morvane-%1").arg(::getuid());
    const QByteArray p = QFile::encodeName(folder);
    QString problem;
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST)
        problem =
            QStringLiteral("フォルダ %1 を作成できません: %2").arg(nativePath(folder), systemText(errno));
    else
        problem = ownFolderProblem(folder);
    if (problem.isEmpty())
        return folder;

    // Anyone can take that name first; the export must not depend on it.
    if (!g_fallbackFolder.isEmpty() && QFileInfo(g_fallbackFolder).path() == temp
        && ownFolderProblem(g_fallbackFolder).isEmpty())
        return g_fallbackFolder;
    QByteArray pattern = QFile::encodeName(folder + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        throw CsvError(problem + QStringLiteral(" ")
                       + QStringLiteral("フォルダ %1 も作成できません: %2")
                             .arg(nativePath(QFile::decodeName(pattern)), systemText(errno)));
    g_fallbackFolder = QFile::decodeName(pattern);
    qWarning("Morvane: %s; writing to %s instead", qPrintable(problem), qPrintable(g_fallbackFolder));
    return g_fallbackFolder;
#endif
}

void CsvFile::create(const QString& path, CsvEncoding encoding)
{
    m_path = path;
    m_encoding = encoding;
    m_file = std::make_unique<WholeFile>(path);
    if (!m_file->open())
        throw CsvError(
            QStringLiteral("ファイル %1 を作成できません: %2").arg(nativePath(path), m_file->errorText()));
    if (encoding == CsvEncoding::Utf8WithBom)
        writeBytes(QByteArray("\xEF\xBB\xBF", 3));
}

void CsvFile::writeBytes(const QByteArray& bytes)
{
    if (!isOpen())
        throw CsvError(QStringLiteral("ファイル %1 は開かれていません").arg(nativePath(m_path)));
    if (m_file->write(bytes) != bytes.size() || m_file->failed())
        throw CsvError(
            QStringLiteral("ファイル %1 に書き込めません: %2").arg(nativePath(m_path), m_file->errorText()));
}

void CsvFile::commit()
{
    if (!m_file || !m_file->commit())
        throw CsvError(QStringLiteral("ファイル %1 に書き込めません: %2")
                           .arg(nativePath(m_path), m_file ? m_file->errorText() : QString()));
}

void WriteCsvLine(CsvFile& file, const QString& line)
{
    const QString whole = line + QStringLiteral("\r\n");
    if (file.encoding() == CsvEncoding::Utf8WithBom) {
        file.writeBytes(whole.toUtf8());
    } else {
        // The encoding was chosen for these texts; a line that does not fit
        // anyway is written with '?' rather than not at all.
        file.writeBytes(cp932::encode(whole));
    }
}

void writeCsvFile(const QString& path, const CsvTable& table, CsvCharset charset)
{
    CsvFile file;
    file.create(path, csvEncodingFor(table, charset));
    WriteCsvLine(file, csvItems(table.header));
    for (const QStringList& row : table.rows)
        WriteCsvLine(file, csvItems(row));
    file.commit();
}

} // namespace morvane::output
