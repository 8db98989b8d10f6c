#include "core/Winplace.h"
#include "core/Platform.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
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
                settings.MaxPageRow = 55;
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

} // namespace

QString sectionNameOf(const char* className)
{
    const QString n = QString::fromLatin1(className);
    const int at = n.lastIndexOf(QLatin1String("::"));
    return at < 0 ? n : n.mid(at + 2);
}

SettingsStore::SettingsStore() = default;
SettingsStore::SettingsStore(QString iniPath) : m_iniPath(std::move(iniPath)) {}

QString SettingsStore::location() const { return openStore(m_iniPath)->fileName(); }

void SettingsStore::load(AppSettings& settings, const QString& section) const
{
    auto store = openStore(m_iniPath);
    store->allKeys();   // the file is parsed lazily; its status is known only after
    if (store->status() == QSettings::FormatError) {
        // Nothing can be read from it; keep it aside so the save at the end loses nothing.
        const QString file = store->fileName();
        store.reset();
        QFile::remove(file + QStringLiteral(".bak"));
        QFile::rename(file, file + QStringLiteral(".bak"));
        platform::messages().show(
            MessageKind::Application,
            QStringLiteral("設定ファイル %1 を読み込めません。既定の設定で起動します"
                           "（元のファイルは %1.bak として残しました）。")
                .arg(QDir::toNativeSeparators(file)));
        store = openStore(m_iniPath);
    }
    store->beginGroup(section);
    try {
        // The first bad value ends the reading; the rest keep their defaults.
        readAll(*store, settings, {});
    } catch (const TypeError& e) {
        if (settings.MaxPageRow == 0)
            settings.MaxPageRow = 55;
        platform::messages().show(MessageKind::Application, QString::fromStdString(e.what()));
    }
    store->endGroup();
}

QStringList SettingsStore::loadReadOnly(AppSettings& settings, const QString& section) const
{
    QStringList problems;
    auto store = openStore(m_iniPath);
    store->allKeys();
    if (store->status() == QSettings::FormatError) {
        problems << QStringLiteral("settings file %1 cannot be read; defaults used")
                        .arg(QDir::toNativeSeparators(store->fileName()));
        if (settings.MaxPageRow == 0)
            settings.MaxPageRow = 55;
        return problems;
    }
    store->beginGroup(section);
    readAll(*store, settings, [&](const TypeError& e) {
        problems << QStringLiteral("settings value %1 in %2 is not a plain text; default used")
                        .arg(e.name, QDir::toNativeSeparators(store->fileName()));
    });
    if (settings.MaxPageRow == 0)
        settings.MaxPageRow = 55;
    store->endGroup();
    return problems;
}

bool SettingsStore::save(const AppSettings& settings, const QString& section) const
{
    auto store = openStore(m_iniPath);
    const QString file = store->fileName();
#ifndef Q_OS_WIN
    // The stored password must not be readable by other users.
    QDir().mkpath(QFileInfo(file).absolutePath());
    const mode_t oldMask = ::umask(077);
#endif
    store->beginGroup(section);
    store->setValue("LAST_OWNER", settings.LAST_OWNER);
    store->setValue("PRINT_NAME", settings.PRINT_NAME);
    store->setValue("UserSet", boolText(settings.UserSet));
    store->setValue("U_SetOwner", settings.U_SetOwner);
    store->setValue("U_LogOn", settings.U_LogOn);
    store->setValue("UserSet2", boolText(settings.UserSet2));
    store->setValue("LAST_ALIAS", settings.LAST_ALIAS);
    store->setValue("MaxPageRow", QString::number(settings.MaxPageRow));
    store->setValue("CSV_ENCODING", settings.CSV_ENCODING);
    store->endGroup();
    store->sync();
    const bool ok = store->status() == QSettings::NoError;
#ifndef Q_OS_WIN
    ::umask(oldMask);
    if (ok)
        ::chmod(QFile::encodeName(file).constData(), S_IRUSR | S_IWUSR);
#endif
    if (!ok) {
        qWarning("Morvane: cannot write settings to %s", qPrintable(file));
        platform::messages().show(MessageKind::Application,
                                  QStringLiteral("キー %1 の作成に失敗しました").arg(section));
    }
    return ok;
}

} // namespace morvane
