#include "output/CsvWriter.h"
#include "core/Cp932.h"
#include "output/DocRender.h"
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace morvane::output {

namespace {

QString systemText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

#ifndef _WIN32
// The folder must be ours and a real folder: another user's folder or a
// link planted under the name would let that user choose where we write.
void checkOwnFolder(const QString& folder)
{
    const QByteArray p = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0)
        throw CsvError(QStringLiteral("フォルダ %1 を作成できません: %2")
                           .arg(nativePath(folder), systemText(errno)));
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        throw CsvError(QStringLiteral("フォルダ %1 は自分のフォルダではないため使用できません。")
                           .arg(nativePath(folder)));
    if ((st.st_mode & 077) != 0 && ::chmod(p.constData(), 0700) != 0)
        throw CsvError(QStringLiteral("フォルダ %1 の権限を変更できません: %2")
                           .arg(nativePath(folder), systemText(errno)));
}
#endif

} // namespace

QString csvItems(const QStringList& items)
{
    QString line;
    for (const QString& item : items) {
        QString v = item;
        v.replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += QLatin1Char('"') + v + QLatin1String("\",");
    }
    return line;
}

CsvEncoding csvEncodingFor(const CsvTable& table)
{
    auto fits = [](const QStringList& items) {
        const QString line = items.join(QChar(0x1F));
        for (QChar c : line)
            if (c.unicode() >= 0x80)
                return bool(cp932::encodeExact(line));   // one conversion a line, not a value
        return true;                                     // ASCII always fits
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
        throw CsvError(QStringLiteral("一時フォルダ %1 がありません")
                           .arg(qEnvironmentVariable("TMPDIR")));
#ifdef _WIN32
    // The temporary folder of a Windows account is the user's own already.
    return temp;
#else
    const QString folder = temp + QStringLiteral("/morvane-%1").arg(::getuid());
    const QByteArray p = QFile::encodeName(folder);
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST)
        throw CsvError(QStringLiteral("フォルダ %1 を作成できません: %2")
                           .arg(nativePath(folder), systemText(errno)));
    checkOwnFolder(folder);
    return folder;
#endif
}

CsvFile::~CsvFile() { close(); }

void CsvFile::close() noexcept
{
    if (m_fd >= 0) {
#ifdef _WIN32
        ::_close(m_fd);
#else
        ::close(m_fd);
#endif
        m_fd = -1;
    }
}

void CsvFile::create(const QString& path, CsvEncoding encoding)
{
    close();
    m_path = path;
    m_encoding = encoding;
#ifdef _WIN32
    ::_wunlink(reinterpret_cast<const wchar_t*>(path.utf16()));
    m_fd = ::_wopen(reinterpret_cast<const wchar_t*>(path.utf16()),
                    _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const QByteArray p = QFile::encodeName(path);
    // An old file of the same name goes first; a failure shows in the open.
    ::unlink(p.constData());
    m_fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
    if (m_fd < 0)
        throw CsvError(QStringLiteral("ファイル %1 を作成できません: %2")
                           .arg(nativePath(path), systemText(errno)));
    if (encoding == CsvEncoding::Utf8WithBom)
        writeBytes(QByteArray("\xEF\xBB\xBF", 3));
}

void CsvFile::writeBytes(const QByteArray& bytes)
{
    if (m_fd < 0)
        throw CsvError(QStringLiteral("ファイル %1 は開かれていません").arg(nativePath(m_path)));
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
#ifdef _WIN32
        const int n = ::_write(m_fd, data, static_cast<unsigned>(left));
#else
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(left));
#endif
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw CsvError(QStringLiteral("ファイル %1 に書き込めません: %2")
                               .arg(nativePath(m_path), systemText(n < 0 ? errno : ENOSPC)));
        data += n;
        left -= n;
    }
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

void writeCsvFile(const QString& path, const CsvTable& table)
{
    CsvFile file;
    file.create(path, csvEncodingFor(table));
    WriteCsvLine(file, csvItems(table.header));
    for (const QStringList& row : table.rows)
        WriteCsvLine(file, csvItems(row));
    file.close();
}

} // namespace morvane::output
