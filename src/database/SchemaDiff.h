#pragma once
// One owner's schema as the dictionary describes it, and the list of what
// changed between two of them: objects, their columns, comments, indexes,
// storage figures, view texts and synonym targets.
#include "database/Snapshot.h"
#include <QMap>
#include <QStringList>
#include <QVector>
#include <functional>

namespace morvane {

struct SchemaColumn {
    QString name;
    int position = 0; // COLUMN_ID
    QString dataType, dataLength, precision, scale, nullable, defaultLength, comment;
};

struct SchemaIndex {
    QString key; // INDEX_NAME, or OWNER.INDEX_NAME when another owner holds it
    QString uniqueness, tablespace;
    QStringList columns; // in COLUMN_POSITION order
    QStringList figures; // kIndexFigures, in that order
};

struct SchemaObject {
    QString name, type, comment;
    QVector<SchemaColumn> columns; // by COLUMN_ID
    QVector<SchemaIndex> indexes;  // by key
    QStringList figures;           // kTableFigures; empty when no ALL_TABLES row
    QString viewText;
    QString synonymTarget; // OWNER.NAME[@LINK]
};

struct SchemaModel {
    QString owner;
    QMap<QString, SchemaObject> objects; // by name
};

// Storage figures compared only on request.
extern const QStringList kTableFigures;
extern const QStringList kIndexFigures;

// Builds the model from the rows of each dictionary view, asked for one at a
// time so that a reader can fetch each when it is needed and let it go after.
using ViewReader = std::function<ResultSet(const QString& view)>;
SchemaModel buildSchemaModel(const QString& owner, const ViewReader& read);
SchemaModel buildSchemaModel(const OwnerRows& rows);
// Reads one owner in bulk (a fixed number of statements) and builds its model.
SchemaModel readSchema(Connection& connection, const QString& owner);

struct SchemaChange {
    QString object, objectType;
    QString section; // "object", "comment", "column", "index", "storage", "view", "synonym"
    int position = 0;
    QString item;      // column or index name; empty for the object itself
    QString change;    // "added", "dropped", "changed"
    QString attribute; // what changed, e.g. DATA_TYPE; empty for added/dropped
    QString from, to;
    QStringList diff; // view texts: the unified diff of their lines
};

// In a stable order: object, then section, then position.
QVector<SchemaChange> compareSchemas(const SchemaModel& from, const SchemaModel& to, bool storage);

// The unified diff of two texts by lines, hunks with `context` lines around
// each change; empty when the texts are equal.
QStringList unifiedLineDiff(const QString& from, const QString& to, int context = 3);

} // namespace morvane
