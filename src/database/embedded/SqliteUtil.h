#pragma once
// Small helpers over the SQLite C API shared by the embedded engine, the demo
// builder and the dictionary generator. Every failure throws DbError.
#include "database/DbDriver.h"
#include <QVariant>
#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

namespace morvane::embedded {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds by position (1-based); a null QVariant binds NULL.
    Statement& bind(int index, const QVariant& value);
    Statement& bindAll(std::initializer_list<QVariant> values);
    // Steps once: true while a row is available.
    bool step();
    // Runs to the end and resets, ready for the next bind.
    void run();
    void reset();

    QString text(int column) const; // null QString for NULL
    qint64 integer(int column) const;
    bool isNull(int column) const;
    int columnCount() const;
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Runs one or more statements without binds.
void exec(sqlite3* db, const QString& sql);
// SQLite's message for the last failure on db, with an Oracle-like code where one fits.
QString errorText(sqlite3* db);
// Creates a new database file at path (removing a leftover one); the message
// of the DbError it throws begins with failureText.
sqlite3* createDatabaseFile(const QString& path, const QString& failureText);
QString oracleLikeMessage(const QString& sqliteMessage);
// Quotes an identifier for SQLite ("a""b").
QString quoteIdent(const QString& name);

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db);
    ~Transaction();
    void commit();

private:
    sqlite3* m_db;
    bool m_open = true;
};

} // namespace morvane::embedded
