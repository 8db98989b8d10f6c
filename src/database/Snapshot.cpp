#include "database/Snapshot.h"
#include "core/WholeFile.h"
#include "database/Connection.h"
#include "database/Query.h"
#include "database/Statements.h"
#include "database/embedded/DictionarySchema.h"
#include "database/embedded/SqliteUtil.h"
#include <QDateTime>
#include <QFile>
#include <QSet>
#include <sqlite3.h>

namespace morvane {

using namespace embedded;

namespace {

// Key order, so that two snapshots of one schema hold their rows alike.
const QVector<DictionaryView> kViews = {
    {"ALL_USERS", "USERNAME", "", "USERNAME"},
    {"ALL_CATALOG", "OWNER", "TABLE_NAME", "OWNER, TABLE_NAME"},
    {"ALL_TAB_COMMENTS", "OWNER", "TABLE_NAME", "OWNER, TABLE_NAME"},
    {"ALL_TABLES", "OWNER", "TABLE_NAME", "OWNER, TABLE_NAME"},
    {"ALL_INDEXES", "TABLE_OWNER", "TABLE_NAME", "TABLE_OWNER, TABLE_NAME, OWNER, INDEX_NAME"},
    {"ALL_IND_COLUMNS", "TABLE_OWNER", "TABLE_NAME",
     "TABLE_OWNER, TABLE_NAME, INDEX_OWNER, INDEX_NAME, COLUMN_POSITION"},
    {"ALL_VIEWS", "OWNER", "VIEW_NAME", "OWNER, VIEW_NAME"},
    {"ALL_TAB_COLUMNS", "OWNER", "TABLE_NAME", "OWNER, TABLE_NAME, COLUMN_ID"},
    {"ALL_COL_COMMENTS", "OWNER", "TABLE_NAME", "OWNER, TABLE_NAME, COLUMN_NAME"},
    {"ALL_SYNONYMS", "OWNER", "SYNONYM_NAME", "OWNER, SYNONYM_NAME"},
};

ResultSet fetch(Connection& c, const QStringList& sql, const QString& owner, int* statements)
{
    Query q(QStringLiteral("AQ_Snapshot"), -1, &c);
    q.setSql(sql);
    if (!owner.isNull())
        q.bind(QStringLiteral("OWNER"), owner);
    q.open();
    ++*statements;
    return q.result();
}

qint64 insertRows(sqlite3* db, const QString& view, const ResultSet& rs)
{
    if (rs.rows.isEmpty())
        return 0;
    QStringList names, marks;
    for (const ColumnMeta& c : rs.columns) {
        names << quoteIdent(c.name);
        marks << QStringLiteral("?");
    }
    // A row already there (a synonym target in a chosen owner) stays as it is.
    Statement st(db, QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                         .arg(view, names.join(", "), marks.join(", ")));
    for (const QVector<QString>& row : rs.rows) {
        for (int i = 0; i < row.size(); ++i)
            st.bind(i + 1, row[i].isEmpty() ? QVariant() : QVariant(row[i]));
        st.run();
    }
    return rs.rows.size();
}

// The source's widths of the two columns the program sizes its fields by.
void copyColumnWidths(Connection& c, sqlite3* db, int* statements)
{
    const ResultSet rs = fetch(c, sql::adjustColumnWidths(), QString(), statements);
    Statement up(db, QStringLiteral("UPDATE ALL_TAB_COLUMNS SET DATA_LENGTH = ? "
                                    "WHERE OWNER = 'SYS' AND TABLE_NAME = ? AND COLUMN_NAME = ?"));
    for (const QVector<QString>& row : rs.rows)
        up.bindAll({row.value(2), row.value(0), row.value(1)}).run();
}

QString sourceVersion(Connection& c, int* statements)
{
    if (!embeddedDatabaseFor(c.logonParams().server).isEmpty())
        return QStringLiteral("Morvane embedded dictionary (SQLite %1)")
            .arg(QString::fromLatin1(sqlite3_libversion()));
    try {
        const ResultSet rs = fetch(c, sql::serverVersion(), QString(), statements);
        return rs.rows.isEmpty() ? QString() : rs.rows.first().value(0);
    } catch (const DbError&) {
        return {}; // a server that hides V$VERSION from this user
    }
}

void writeInfo(sqlite3* db, const SnapshotInfo& info)
{
    exec(db, QStringLiteral("CREATE TABLE %1 (SERVICE_NAME TEXT, USER_NAME TEXT, TAKEN_AT TEXT, "
                            "SERVER_VERSION TEXT, OWNERS TEXT)")
                 .arg(QLatin1String(kSnapshotTable)));
    Statement st(db,
                 QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?)").arg(QLatin1String(kSnapshotTable)));
    st.bindAll({info.service, info.user, info.takenAt, info.serverVersion, info.owners.join(' ')}).run();
}

} // namespace

const QVector<DictionaryView>& dictionaryViews() { return kViews; }

int resultColumn(const ResultSet& rs, const QString& name)
{
    for (int i = 0; i < rs.columns.size(); ++i)
        if (rs.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

ResultSet readOwnerView(Connection& c, const DictionaryView& v, const QString& owner, int* statements)
{
    ResultSet rs = fetch(c, sql::ownerRows(v.name, dictionaryColumns(v.name), v.ownerColumn, v.orderBy),
                         owner, statements);
    if (v.name == QLatin1String("ALL_USERS") && rs.rows.isEmpty())
        throw DbError(QStringLiteral("owner %1 does not exist on %2").arg(owner, c.logonParams().server));
    return rs;
}

OwnerRows readOwnerRows(Connection& c, const QString& owner)
{
    OwnerRows out;
    out.owner = owner;
    for (const DictionaryView& v : kViews)
        out.byView.insert(v.name, readOwnerView(c, v, owner, &out.statements));
    return out;
}

namespace {

// One owner's rows, then the objects its synonyms name in owners not taken.
void copyOwner(Connection& source, sqlite3* db, const QString& owner, const QSet<QString>& chosen,
               SnapshotReport* report)
{
    OwnerRows rows = readOwnerRows(source, owner);
    report->statements += rows.statements;
    report->objects += rows.byView.value(QStringLiteral("ALL_CATALOG")).rows.size();
    bool outside = false;
    const ResultSet& syn = rows.byView[QStringLiteral("ALL_SYNONYMS")];
    const int ownerCol = resultColumn(syn, QStringLiteral("TABLE_OWNER"));
    for (const QVector<QString>& r : syn.rows)
        outside = outside || (!r.value(ownerCol).isEmpty() && !chosen.contains(r.value(ownerCol)));
    for (const DictionaryView& v : kViews)
        report->rows += insertRows(db, v.name, rows.byView.value(v.name));
    rows.byView.clear();
    if (!outside)
        return;
    // One statement per view for all of them.
    for (const DictionaryView& v : kViews) {
        if (v.nameColumn.isEmpty())
            continue;
        const ResultSet rs = fetch(
            source,
            sql::synonymTargetRows(v.name, dictionaryColumns(v.name), v.ownerColumn, v.nameColumn, v.orderBy),
            owner, &report->statements);
        report->rows += insertRows(db, v.name, rs);
    }
}

} // namespace

SnapshotReport takeSnapshot(Connection& source, const QStringList& owners, const QString& path)
{
    if (owners.isEmpty())
        throw DbError(QStringLiteral("no owner to take"));
    SnapshotReport report;
    SnapshotInfo info;
    info.service = source.logonParams().server;
    info.user = source.logonParams().user;
    info.owners = owners;
    info.takenAt = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
    info.serverVersion = sourceVersion(source, &report.statements);

    // SQLite needs a path: it writes into the file WholeFile made exclusively,
    // and the rename happens only once the database is closed whole.
    WholeFile file(path);
    if (!file.open())
        throw DbError(QStringLiteral("cannot write %1").arg(file.errorText()));
    const QString building = file.temporaryPath();
    sqlite3* db = nullptr;
    auto cleanUp = [&] {
        if (db)
            sqlite3_close_v2(db);
        db = nullptr;
        QFile::remove(building + QStringLiteral("-journal"));
    };
    try {
        if (sqlite3_open_v2(QFile::encodeName(building).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
            != SQLITE_OK)
            throw DbError(QStringLiteral("cannot write %1: %2").arg(path, errorText(db)));
        exec(db, QStringLiteral("BEGIN"));
        createDictionarySchema(db);
        installSysObjects(db);
        const QSet<QString> chosen(owners.begin(), owners.end());
        for (const QString& owner : owners)
            copyOwner(source, db, owner, chosen, &report);
        copyColumnWidths(source, db, &report.statements);
        storeAccount(db, QStringLiteral("SYS"), QStringLiteral("DEMO"));
        writeInfo(db, info);
        exec(db, QStringLiteral("COMMIT"));
        gatherPlannerStatistics(db);
        if (sqlite3_close(db) != SQLITE_OK)
            throw DbError(QStringLiteral("cannot write %1: %2").arg(path, errorText(db)));
        db = nullptr;
        if (!file.commit())
            throw DbError(QStringLiteral("cannot write %1").arg(file.errorText()));
    } catch (...) {
        cleanUp();
        file.discard();
        throw;
    }
    cleanUp();
    return report;
}

std::optional<SnapshotInfo> readSnapshotInfo(Connection& c)
{
    Query q(QStringLiteral("AQ_Snapshot"), -1, &c);
    q.setSql({"SELECT SERVICE_NAME, USER_NAME, TAKEN_AT, SERVER_VERSION, OWNERS",
              QStringLiteral("FROM %1").arg(QLatin1String(kSnapshotTable))});
    try {
        q.open();
    } catch (const DbError&) {
        return std::nullopt; // a server or a plain dictionary file
    }
    if (q.eof())
        return std::nullopt;
    SnapshotInfo info;
    info.service = q.text(QStringLiteral("SERVICE_NAME"));
    info.user = q.text(QStringLiteral("USER_NAME"));
    info.takenAt = q.text(QStringLiteral("TAKEN_AT"));
    info.serverVersion = q.text(QStringLiteral("SERVER_VERSION"));
    info.owners = q.text(QStringLiteral("OWNERS")).split(' ', Qt::SkipEmptyParts);
    return info;
}

} // namespace morvane
