#include "core/Winplace.h"
#include "core/Cp932.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QVector>
#include <functional>
#include <memory>
#include <stdexcept>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace morvane {

namespace {

std::unique_ptr<QSettings> openStore(const QString& iniPath)
{
    if (!iniPath.isEmpty())
        return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\SoftWare\\Velkram"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Velkram"), QStringLiteral("Morvane"));
#endif
}

// The store as QSettings parses it. QSettings reads files as UTF-8 only, so
// a file saved by hand in CP932 is parsed from a UTF-8 copy in a private
// folder. Saving always goes through such a copy, made beside the file so
// that it needs room only where the file lives, and then replaces the file whole.
class StoreView {
public:
    enum Use { Read, Write };
    StoreView(const QString& iniPath, Use use)
    {
#ifdef Q_OS_WIN
        if (iniPath.isEmpty()) {
            m_settings = openStore(iniPath); // the registry
            return;
        }
#endif
        const QString file = openStore(iniPath)->fileName();
        QFile in(file);
        if (in.open(QIODevice::ReadOnly)) {
            m_existed = true;
            m_original = in.readAll();
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString asUtf8 = utf8.decode(m_original); // converted here, so hasError() knows
        if (use == Read && !utf8.hasError()) {
            m_settings = openStore(iniPath);
            return;
        }
        const QByteArray copy = utf8.hasError() ? cp932::decode(m_original).toUtf8() : m_original;
        m_dir = use == Write ? std::make_unique<QTemporaryDir>(file + QStringLiteral("-XXXXXX"))
                             : std::make_unique<QTemporaryDir>();
        if (m_dir->isValid()
            && writeWholeFile(m_dir->filePath(QStringLiteral("settings.conf")), copy, nullptr)) {
            m_file = file;
            m_copy = m_dir->filePath(QStringLiteral("settings.conf"));
            m_settings = std::make_unique<QSettings>(m_copy, QSettings::IniFormat);
        } else {
            m_settings = openStore(iniPath); // no folder yet, or no room: the file itself, as UTF-8
        }
    }

    QSettings& settings() { return *m_settings; }
    // The settings file (the registry: its path).
    QString fileName() const { return m_file.isEmpty() ? m_settings->fileName() : m_file; }
    bool existed() const { return m_existed; }
    QByteArray original() const { return m_original; }

    // Writes what was set back to the store; the system's reason in *error on failure.
    bool commit(QString* error)
    {
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError) {
            *error = QStringLiteral("%1: cannot be written").arg(fileName());
            return false;
        }
        if (m_file.isEmpty())
            return true;
        QFile copy(m_copy);
        if (!copy.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: %2").arg(m_copy, copy.errorString());
            return false;
        }
        return writeWholeFile(m_file, copy.readAll(), error);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir; // outlives the settings object, which may write on destruction
    std::unique_ptr<QSettings> m_settings;
    QString m_file; // empty: not a file (the registry)
    QString m_copy;
    bool m_existed = false;
    QByteArray m_original;
};

// A stored value that is not a plain text (a list, binary data).
class TypeError : public std::runtime_error {
public:
    explicit TypeError(const QString& name)
        : std::runtime_error(QStringLiteral("'%1' のデータ型が不正です").arg(name).toStdString()), name(name)
    {
    }
    QString name;
};

// The stored text of a value, or nothing when it is absent.
bool readText(QSettings& s, const char* name, QString& out)
{
    const QString key = QString::fromLatin1(name);
    if (!s.contains(key))
        return false;
    const QVariant v = s.value(key);
    if (v.typeId() != QMetaType::QString)
        throw TypeError(key);
    out = v.toString();
    return true;
}

void readString(QSettings& s, const char* name, QString& field)
{
    QString t;
    if (readText(s, name, t))
        field = t;
}

// Invalid text counts as absent: the field keeps its value.
void readInteger(QSettings& s, const char* name, int& field)
{
    QString t;
    if (!readText(s, name, t))
        return;
    bool ok = false;
    const int v = t.trimmed().toInt(&ok);
    if (ok)
        field = v;
}

void readBool(QSettings& s, const char* name, bool& field)
{
    int v = field ? 1 : 0;
    readInteger(s, name, v);
    field = v != 0;
}

// The values in the order the program reads them.
void readAll(QSettings& s, AppSettings& settings, const std::function<void(const TypeError&)>& bad)
{
    const std::function<void()> steps[] = {
        [&] { readString(s, "LAST_OWNER", settings.LAST_OWNER); },
        [&] { readString(s, "PRINT_NAME", settings.PRINT_NAME); },
        [&] { readBool(s, "UserSet", settings.UserSet); },
        [&] { readString(s, "U_SetOwner", settings.U_SetOwner); },
        [&] { readString(s, "U_LogOn", settings.U_LogOn); },
        [&] {
            readInteger(s, "MaxPageRow", settings.MaxPageRow);
            if (settings.MaxPageRow == 0)
                settings.MaxPageRow = kDefaultMaxPageRow;
        },
        [&] { readString(s, "LAST_ALIAS", settings.LAST_ALIAS); },
        [&] { readBool(s, "UserSet2", settings.UserSet2); },
        [&] { readString(s, "CSV_ENCODING", settings.CSV_ENCODING); },
    };
    for (const auto& step : steps) {
        try {
            step();
        } catch (const TypeError& e) {
            if (!bad)
                throw;
            bad(e);
        }
    }
}

QString boolText(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

// The values in the order the program writes them, as stored text.
QVector<QPair<QString, QString>> storedTexts(const AppSettings& settings)
{
    return {{QStringLiteral("LAST_OWNER"), settings.LAST_OWNER},
            {QStringLiteral("PRINT_NAME"), settings.PRINT_NAME},
            {QStringLiteral("UserSet"), boolText(settings.UserSet)},
            {QStringLiteral("U_SetOwner"), settings.U_SetOwner},
            {QStringLiteral("U_LogOn"), settings.U_LogOn},
            {QStringLiteral("UserSet2"), boolText(settings.UserSet2)},
            {QStringLiteral("LAST_ALIAS"), settings.LAST_ALIAS},
            {QStringLiteral("MaxPageRow"), QString::number(settings.MaxPageRow)},
            {QStringLiteral("CSV_ENCODING"), settings.CSV_ENCODING}};
}

QString storedText(const AppSettings& settings, const QString& name)
{
    for (const auto& [key, text] : storedTexts(settings))
        if (key == name)
            return text;
    return QString();
}

#ifndef Q_OS_WIN
// The stored password must not be readable by other users.
struct OwnerOnlyFiles {
    OwnerOnlyFiles() : oldMask(::umask(077)) { }
    ~OwnerOnlyFiles() { ::umask(oldMask); }
    mode_t oldMask;
};
#else
struct OwnerOnlyFiles {
    OwnerOnlyFiles() { }
};
#endif

} // namespace

QString sectionNameOf(const char* className)
{
    const QString n = QString::fromLatin1(className);
    const int at = n.lastIndexOf(QLatin1String("::"));
    return at < 0 ? n : n.mid(at + 2);
}

SettingsStore::SettingsStore() = default;
SettingsStore::SettingsStore(QString iniPath) : m_iniPath(std::move(iniPath)) { }

QString SettingsStore::location() const { return openStore(m_iniPath)->fileName(); }

void SettingsStore::load(AppSettings& settings, const QString& section)
{
    m_unread.clear();
    auto view = std::make_unique<StoreView>(m_iniPath, StoreView::Read);
    view->settings().allKeys(); // the file is parsed lazily; its status is known only after
    if (view->settings().status() == QSettings::FormatError) {
        // Nothing can be read from it; keep it aside so the save at the end loses nothing.
        const QString file = view->fileName();
        view.reset();
        QFile::remove(file + QStringLiteral(".bak"));
        QFile::rename(file, file + QStringLiteral(".bak"));
        platform::messages().show(MessageKind::Application,
                                  QStringLiteral("設定ファイル %1 を読み込めません。既定の設定で起動します"
                                                 "（元のファイルは %1.bak として残しました）。")
                                      .arg(QDir::toNativeSeparators(file)));
        view = std::make_unique<StoreView>(m_iniPath, StoreView::Read);
    }
    QSettings& store = view->settings();
    store.beginGroup(section);
    QStringList problems;
    // Every value is read: a bad one keeps its default alone.
    readAll(store, settings, [&](const TypeError& e) {
        problems << QString::fromStdString(e.what());
        m_unread.insert(e.name, QString());
    });
    store.endGroup();
    if (settings.MaxPageRow == 0)
        settings.MaxPageRow = kDefaultMaxPageRow;
    for (auto it = m_unread.begin(); it != m_unread.end(); ++it)
        it.value() = storedText(settings, it.key());
    if (!problems.isEmpty())
        platform::messages().show(MessageKind::Application, problems.join(QStringLiteral("\n\r")));
}

QStringList SettingsStore::loadReadOnly(AppSettings& settings, const QString& section) const
{
    QStringList problems;
    StoreView view(m_iniPath, StoreView::Read);
    QSettings& store = view.settings();
    store.allKeys();
    if (store.status() == QSettings::FormatError) {
        problems << QStringLiteral("settings file %1 cannot be read; defaults used")
                        .arg(QDir::toNativeSeparators(view.fileName()));
        if (settings.MaxPageRow == 0)
            settings.MaxPageRow = kDefaultMaxPageRow;
        return problems;
    }
    store.beginGroup(section);
    readAll(store, settings, [&](const TypeError& e) {
        problems << QStringLiteral("settings value %1 in %2 is not a plain text; default used")
                        .arg(e.name, QDir::toNativeSeparators(view.fileName()));
    });
    if (settings.MaxPageRow == 0)
        settings.MaxPageRow = kDefaultMaxPageRow;
    store.endGroup();
    return problems;
}

bool SettingsStore::save(const AppSettings& settings, const QString& section)
{
    const OwnerOnlyFiles ownerOnly;
    const QString file = location();
    QDir().mkpath(QFileInfo(file).absolutePath());
    StoreView view(m_iniPath, StoreView::Write);
    QSettings& store = view.settings();
    store.beginGroup(section);
    for (const auto& [name, text] : storedTexts(settings)) {
        // A value that could not be read and was not changed keeps what the store held.
        const auto unread = m_unread.constFind(name);
        if (unread != m_unread.cend() && *unread == text)
            continue;
        store.setValue(name, text);
    }
    store.endGroup();

    QString why;
    bool ok = true;
    if (!m_unread.isEmpty() && !m_backedUp && view.existed()) {
        ok = writeWholeFile(view.fileName() + QStringLiteral(".bak"), view.original(), &why);
        m_backedUp = ok;
    }
    ok = ok && view.commit(&why);
    if (!ok) {
        qWarning("Morvane: cannot write settings: %s", qPrintable(why));
        platform::messages().show(MessageKind::Application,
                                  QStringLiteral("キー %1 の作成に失敗しました").arg(section));
    }
    return ok;
}

} // namespace morvane
