#include "database/oracle/OciLibrary.h"
#include "database/DbDriver.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace morvane::oci {

namespace {

#ifdef Q_OS_WIN
const char* const kLibraryName = "oci.dll";
const char kPathSeparator = ';';
const char* const kSearchVariable = "PATH";
const char* const kHomeSubdir = "/bin";
#else
const char* const kLibraryName = "libclntsh.so";
const char kPathSeparator = ':';
const char* const kSearchVariable = "LD_LIBRARY_PATH";
const char* const kHomeSubdir = "/lib";
// Instant Client zips of some releases carry only the versioned file.
const char* const kVersionedNames[] = {"libclntsh.so.23.1", "libclntsh.so.21.1", "libclntsh.so.19.1",
                                       "libclntsh.so.18.1", "libclntsh.so.12.1", "libclntsh.so.11.1"};
#endif

QStringList namesIn(const QString& dir)
{
    QStringList out;
    const QString base = QDir::cleanPath(dir) + '/';
    out << base + QLatin1String(kLibraryName);
#ifndef Q_OS_WIN
    for (const char* v : kVersionedNames)
        out << base + QLatin1String(v);
#endif
    return out;
}

// Where the search looked, in words, for the message of a failed load.
QString searchedPlaces()
{
    const QString override = qEnvironmentVariable(kLibraryOverrideVariable);
    if (!override.isEmpty())
        return QStringLiteral("%1=%2").arg(QLatin1String(kLibraryOverrideVariable), override);
    const QString search = qEnvironmentVariable(kSearchVariable);
    const QString home = qEnvironmentVariable("ORACLE_HOME");
    const QString unset = QStringLiteral("(未設定)");
    return QStringLiteral("%1=%2; %3=%4; ORACLE_HOME%5=%6; システム既定の検索パス")
        .arg(QLatin1String(kLibraryOverrideVariable), unset, QLatin1String(kSearchVariable),
             search.isEmpty() ? unset : search, QLatin1String(kHomeSubdir),
             home.isEmpty() ? unset : home + QLatin1String(kHomeSubdir));
}

struct Cache {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const Api>> byPath;
};

Cache& cache()
{
    static Cache c;
    return c;
}

template <typename F> bool resolve(QLibrary& lib, const char* name, F& slot, QStringList& missing)
{
    slot = reinterpret_cast<F>(lib.resolve(name));
    if (!slot)
        missing << QLatin1String(name);
    return slot != nullptr;
}

} // namespace

QStringList libraryCandidates()
{
    const QString override = qEnvironmentVariable(kLibraryOverrideVariable);
    if (!override.isEmpty())
        return {override};
    QStringList out;
    for (const QString& dir : qEnvironmentVariable(kSearchVariable).split(kPathSeparator, Qt::SkipEmptyParts))
        out << namesIn(dir);
    const QString home = qEnvironmentVariable("ORACLE_HOME");
    if (!home.isEmpty())
        out << namesIn(home + QLatin1String(kHomeSubdir));
    // The system's own search (ld.so.conf, PATH). An Instant Client registered
    // with ldconfig is known there only by its versioned names.
    out << QLatin1String(kLibraryName);
#ifndef Q_OS_WIN
    for (const char* v : kVersionedNames)
        out << QLatin1String(v);
#endif
    out.removeDuplicates();
    return out;
}

std::shared_ptr<const Api> loadApi() { return loadApiFrom(libraryCandidates()); }

std::shared_ptr<const Api> loadApiFrom(const QStringList& candidates)
{
    QMutexLocker lock(&cache().mutex);
    // Every loader message is kept: a client found but unloadable (a missing
    // libaio.so.1, a wrong architecture) must say so, not read as "not found".
    QStringList loadErrors;
    for (const QString& file : candidates) {
        const bool bare = !file.contains('/') && !file.contains('\\');
        if (!bare && !QFileInfo::exists(file)) {
            if (candidates.size() == 1)
                loadErrors << QStringLiteral("%1: ファイルがありません").arg(file);
            continue;
        }
        if (auto hit = cache().byPath.value(file))
            return hit;
        QLibrary lib(file);
        if (!lib.load()) {
            loadErrors << lib.errorString();
            continue;
        }
        // Kept loaded for the life of the process: QLibrary's destructor does not unload.
        auto api = std::make_shared<Api>();
        api->path = lib.fileName();
        QStringList missing;
        resolve(lib, "OCIEnvNlsCreate", api->EnvNlsCreate, missing);
        resolve(lib, "OCIHandleAlloc", api->HandleAlloc, missing);
        resolve(lib, "OCIHandleFree", api->HandleFree, missing);
        resolve(lib, "OCIDescriptorFree", api->DescriptorFree, missing);
        resolve(lib, "OCIAttrSet", api->AttrSet, missing);
        resolve(lib, "OCIAttrGet", api->AttrGet, missing);
        resolve(lib, "OCIServerAttach", api->ServerAttach, missing);
        resolve(lib, "OCIServerDetach", api->ServerDetach, missing);
        resolve(lib, "OCISessionBegin", api->SessionBegin, missing);
        resolve(lib, "OCISessionEnd", api->SessionEnd, missing);
        resolve(lib, "OCITransRollback", api->TransRollback, missing);
        resolve(lib, "OCIStmtPrepare2", api->StmtPrepare2, missing);
        resolve(lib, "OCIStmtRelease", api->StmtRelease, missing);
        resolve(lib, "OCIBindByName", api->BindByName, missing);
        resolve(lib, "OCIStmtExecute", api->StmtExecute, missing);
        resolve(lib, "OCIParamGet", api->ParamGet, missing);
        resolve(lib, "OCIDefineByPos", api->DefineByPos, missing);
        resolve(lib, "OCIDefineDynamic", api->DefineDynamic, missing);
        resolve(lib, "OCIStmtFetch2", api->StmtFetch2, missing);
        resolve(lib, "OCIErrorGet", api->ErrorGet, missing);
        if (!missing.isEmpty())
            throw DbError(QStringLiteral("Oracle クライアント (OCI) が使えません: %1 に関数 %2 がありません"
                                         "（Oracle Client 10g 以降の %3 が必要です）")
                              .arg(api->path, missing.join(", "), QLatin1String(kLibraryName)));
        cache().byPath.insert(file, api);
        return api;
    }
    QString msg = QStringLiteral("Oracle クライアント (OCI) が見つかりません: %1 を読み込めませんでした。"
                                 "探した場所: %2")
                      .arg(QLatin1String(kLibraryName), searchedPlaces());
    if (!loadErrors.isEmpty())
        msg += QStringLiteral("。読み込みエラー: ") + loadErrors.join(QStringLiteral("; "));
    throw DbError(msg);
}

} // namespace morvane::oci
