#pragma once
// A schema's dictionary copied from any server into an embedded dictionary
// file, so that it can be documented and compared where the server cannot
// be reached. The file opens like the demo: SYS / DEMO on the embedded engine.
#include "database/DbDriver.h"
#include <QHash>
#include <QStringList>
#include <optional>

namespace morvane {

class Connection;

// How the rows of one dictionary view belong to an owner and to an object.
struct DictionaryView {
    QString name;
    QString ownerColumn;
    QString nameColumn; // empty for ALL_USERS
    QString orderBy;
};
// The views a snapshot copies, in the order they are read.
const QVector<DictionaryView>& dictionaryViews();

// The position of a named result column, -1 when there is none.
int resultColumn(const ResultSet& rs, const QString& name);

// Every row of the dictionary views for one owner, by view name.
struct OwnerRows {
    QString owner;
    QHash<QString, ResultSet> byView;
    int statements = 0;
};

// Reads an owner's rows in bulk, one statement per view; the columns are
// those of the embedded layout. Throws DbError, naming an owner that does not exist.
OwnerRows readOwnerRows(Connection& connection, const QString& owner);
// The same for one view; *statements counts what was sent.
ResultSet readOwnerView(Connection& connection, const DictionaryView& view, const QString& owner,
                        int* statements);

// The table of a snapshot file that says where and when it was taken.
inline constexpr const char* kSnapshotTable = "MORVANE_SNAPSHOT";

struct SnapshotInfo {
    QString service;       // the source's network service name
    QString user;          // who read it (never the password)
    QString takenAt;       // UTC, "2026-12-08 11:30:00 UTC"
    QString serverVersion; // empty where the driver cannot tell
    QStringList owners;
};

struct SnapshotReport {
    int statements = 0; // statements sent to the source
    qint64 rows = 0;    // dictionary rows written
    qint64 objects = 0; // catalog rows of the chosen owners
};

// Copies the owners' dictionary from the open connection into a new file at
// path. Written whole: built under a new name beside path and renamed in only
// when complete; on any failure path is left as it was. Throws DbError.
SnapshotReport takeSnapshot(Connection& source, const QStringList& owners, const QString& path);

// Where and when the connected dictionary was taken; nothing for a server or
// a dictionary file that is no snapshot.
std::optional<SnapshotInfo> readSnapshotInfo(Connection& connection);

} // namespace morvane
