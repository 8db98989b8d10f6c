#pragma once
// Every statement text the program sends, line by line, in one place.
#include <QStringList>

namespace morvane::sql {

QStringList ownerList();
// Table list form: the owner is written into the text (quotes doubled).
QStringList catalogTableList(const QString& owner, const QString& sortKey);
QStringList catalogAllObjects(); // binds :OWNER
QStringList catalogTablesOnly(); // binds :OWNER
QStringList adjustColumnWidths();
// "SELECT COUNT(*)" and the three lines of the section of tag 2..7; empty for other tags.
QStringList countRows(int tag);
QStringList synonymLookup();
QStringList tables();
QStringList indexes();
QStringList indexColumns();
QStringList views();
QStringList tableColumns();
// Both names as they stand when both are plain identifiers, else both quoted.
QString analyzeTable(const QString& owner, const QString& table);
// A name that Oracle reads unquoted as itself: a letter first, then letters,
// digits, "_", "$" or "#", no lower case, no reserved word.
bool isPlainIdentifier(const QString& name);
// The name between double quotes, inner double quotes doubled.
QString quoteIdentifier(const QString& name);

// Bulk reads for snapshots and comparisons: every row of a dictionary view
// whose ownerColumn is :OWNER, in the order of orderBy.
QStringList ownerRows(const QString& view, const QStringList& columns, const QString& ownerColumn,
                      const QString& orderBy);
// The rows of a view that the synonyms of :OWNER point at (one level).
QStringList synonymTargetRows(const QString& view, const QStringList& columns, const QString& ownerColumn,
                              const QString& nameColumn, const QString& orderBy);
// The server's version banner (Oracle only).
QStringList serverVersion();

// Doubles single quotes so a value can stand between quotes in a statement.
QString quoteLiteral(const QString& value);

} // namespace morvane::sql
