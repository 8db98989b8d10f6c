#include "database/Statements.h"
#include <QSet>

namespace morvane::sql {

QString quoteLiteral(const QString& value)
{
    QString v = value;
    v.replace(QLatin1String("'"), QLatin1String("''"));
    return v;
}

QStringList ownerList()
{
    return {"SELECT USERNAME", "FROM ALL_USERS", "WHERE USERNAME <> 'SYS' AND ",
            "           USERNAME <> 'SYSTEM'", "ORDER BY USERNAME"};
}

namespace {
const QStringList kCatalogJoin = {"AC.TABLE_TYPE <> 'SEQUENCE' AND", "AC.OWNER = ATC.OWNER(+) AND",
                                  "AC.TABLE_NAME = ATC.TABLE_NAME(+) AND",
                                  "AC.TABLE_TYPE = ATC.TABLE_TYPE(+)"};
const QStringList kCatalogHead = {"SELECT AC.OWNER, AC.TABLE_NAME, AC.TABLE_TYPE, ATC.COMMENTS",
                                  "FROM ALL_CATALOG AC, ALL_TAB_COMMENTS ATC"};
} // namespace

QStringList catalogTableList(const QString& owner, const QString& sortKey)
{
    const QString o = quoteLiteral(owner);
    QStringList l = kCatalogHead;
    l << "WHERE AC.OWNER = '" + o + "' AND"
      << "ATC.OWNER = '" + o + "' AND";
    l << kCatalogJoin << "ORDER BY " + sortKey;
    return l;
}

QStringList catalogAllObjects()
{
    QStringList l = kCatalogHead;
    l << "WHERE AC.OWNER = :OWNER AND" << kCatalogJoin << "ORDER BY TABLE_NAME, TABLE_TYPE";
    return l;
}

QStringList catalogTablesOnly()
{
    QStringList l = kCatalogHead;
    l << "WHERE AC.OWNER = :OWNER AND AC.TABLE_TYPE = 'TABLE' AND" << kCatalogJoin
      << "ORDER BY TABLE_NAME, TABLE_TYPE";
    return l;
}

QStringList adjustColumnWidths()
{
    return {"SELECT TABLE_NAME, COLUMN_NAME, DATA_LENGTH",
            "FROM ALL_TAB_COLUMNS",
            "WHERE OWNER = 'SYS'",
            "AND (TABLE_NAME = 'ALL_TAB_COLUMNS' AND COLUMN_NAME = 'DATA_TYPE')",
            "OR (TABLE_NAME = 'ALL_COL_COMMENTS' AND COLUMN_NAME = 'COMMENTS')",
            "ORDER BY TABLE_NAME, COLUMN_NAME"};
}

QStringList countRows(int tag)
{
    QStringList tail;
    switch (tag) {
    case 2: tail = {"FROM ALL_TABLES", "WHERE OWNER = :OWNER AND", "TABLE_NAME = :TABLE_NAME"}; break;
    case 3: tail = {"FROM ALL_INDEXES", "WHERE TABLE_OWNER = :OWNER AND", "TABLE_NAME = :TABLE_NAME"}; break;
    case 4:
        tail = {"FROM ALL_IND_COLUMNS", "WHERE TABLE_OWNER = :OWNER AND", "TABLE_NAME = :TABLE_NAME"};
        break;
    case 5: tail = {"FROM ALL_VIEWS", "WHERE OWNER = :OWNER AND", "VIEW_NAME = :TABLE_NAME"}; break;
    case 6: tail = {"FROM ALL_TAB_COLUMNS", "WHERE OWNER = :OWNER AND", "TABLE_NAME = :TABLE_NAME"}; break;
    case 7: tail = {"FROM ALL_SYNONYMS", "WHERE OWNER = :OWNER AND", "SYNONYM_NAME = :TABLE_NAME"}; break;
    default: return {};
    }
    return QStringList{"SELECT COUNT(*)"} + tail;
}

QStringList synonymLookup()
{
    return {"SELECT SYN.OWNER, SYNONYM_NAME, TABLE_OWNER,",
            "SYN.TABLE_NAME, TABLE_TYPE AS OLD_TYPE",
            "FROM ALL_SYNONYMS SYN, ALL_CATALOG CAT",
            "WHERE SYN.OWNER = :OWNER AND",
            "CAT.OWNER = :OWNER AND",
            "SYN.SYNONYM_NAME = :TABLE_NAME AND",
            "SYN.TABLE_OWNER = CAT.OWNER AND",
            "SYN.TABLE_NAME  = CAT.TABLE_NAME",
            "ORDER BY SYNONYM_NAME"};
}

QStringList tables()
{
    return {"SELECT TABLESPACE_NAME, PCT_FREE, PCT_USED, INITIAL_EXTENT,",
            "NEXT_EXTENT, NUM_ROWS, BLOCKS, EMPTY_BLOCKS, AVG_ROW_LEN", "FROM ALL_TABLES",
            "WHERE OWNER = :OWNER AND", "TABLE_NAME = :TABLE_NAME"};
}

QStringList indexes()
{
    return {"SELECT OWNER, INDEX_NAME, TABLESPACE_NAME, UNIQUENESS,",
            "PCT_FREE, INITIAL_EXTENT, NEXT_EXTENT, BLEVEL, LEAF_BLOCKS",
            "FROM ALL_INDEXES",
            "WHERE TABLE_OWNER = :OWNER AND",
            "TABLE_NAME = :TABLE_NAME",
            "ORDER BY INDEX_NAME"};
}

QStringList indexColumns()
{
    return {"SELECT IC.INDEX_OWNER, IC.INDEX_NAME, IC.COLUMN_NAME, IC.COLUMN_POSITION,",
            "       IC.COLUMN_LENGTH, TC.DATA_PRECISION, TC.DATA_SCALE",
            "  FROM (select TABLE_OWNER, TABLE_NAME, INDEX_OWNER, INDEX_NAME, substr(COLUMN_NAME, 1, 25) "
            "COLUMN_NAME, COLUMN_POSITION, COLUMN_LENGTH",
            "          from ALL_IND_COLUMNS where INDEX_OWNER = :OWNER1 and TABLE_OWNER = :OWNER2 and "
            "TABLE_NAME = :TABLE_NAME1) IC,",
            "       (select OWNER, TABLE_NAME, substr(COLUMN_NAME, 1, 25) COLUMN_NAME, DATA_PRECISION, "
            "DATA_SCALE",
            "          from ALL_TAB_COLUMNS where OWNER = :OWNER3 and TABLE_NAME = :TABLE_NAME2) TC",
            "WHERE IC.TABLE_OWNER = TC.OWNER",
            "  AND IC.TABLE_NAME  = TC.TABLE_NAME",
            "  AND IC.COLUMN_NAME = TC.COLUMN_NAME",
            "ORDER BY IC.INDEX_NAME"};
}

QStringList views()
{
    return {"SELECT OWNER, VIEW_NAME, TEXT_LENGTH, TEXT", "FROM ALL_VIEWS", "WHERE OWNER = :OWNER AND",
            "VIEW_NAME = :TABLE_NAME", "ORDER BY VIEW_NAME"};
}

QStringList tableColumns()
{
    return {"SELECT COLUMN_ID, TC.COLUMN_NAME, COMMENTS, DATA_TYPE,",
            "DATA_LENGTH, DATA_PRECISION, DATA_SCALE, NULLABLE,",
            "DEFAULT_LENGTH",
            "FROM ALL_TAB_COLUMNS TC, ALL_COL_COMMENTS CC",
            "WHERE TC.OWNER = :OWNER AND",
            "CC.OWNER = :OWNER1 AND",
            "TC.TABLE_NAME = :TABLE_NAME AND",
            "TC.OWNER = CC.OWNER AND",
            "TC.TABLE_NAME = CC.TABLE_NAME AND",
            "TC.COLUMN_NAME = CC.COLUMN_NAME",
            "ORDER BY COLUMN_ID"};
}

namespace {

// Words Oracle reserves: an object so named exists only under a quoted name.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words{
        "ACCESS",    "ADD",     "ALL",        "ALTER",      "AND",        "ANY",       "AS",
        "ASC",       "AUDIT",   "BETWEEN",    "BY",         "CHAR",       "CHECK",     "CLUSTER",
        "COLUMN",    "COMMENT", "COMPRESS",   "CONNECT",    "CREATE",     "CURRENT",   "DATE",
        "DECIMAL",   "DEFAULT", "DELETE",     "DESC",       "DISTINCT",   "DROP",      "ELSE",
        "EXCLUSIVE", "EXISTS",  "FILE",       "FLOAT",      "FOR",        "FROM",      "GRANT",
        "GROUP",     "HAVING",  "IDENTIFIED", "IMMEDIATE",  "IN",         "INCREMENT", "INDEX",
        "INITIAL",   "INSERT",  "INTEGER",    "INTERSECT",  "INTO",       "IS",        "LEVEL",
        "LIKE",      "LOCK",    "LONG",       "MAXEXTENTS", "MINUS",      "MLSLABEL",  "MODE",
        "MODIFY",    "NOAUDIT", "NOCOMPRESS", "NOT",        "NOWAIT",     "NULL",      "NUMBER",
        "OF",        "OFFLINE", "ON",         "ONLINE",     "OPTION",     "OR",        "ORDER",
        "PCTFREE",   "PRIOR",   "PUBLIC",     "RAW",        "RENAME",     "RESOURCE",  "REVOKE",
        "ROW",       "ROWID",   "ROWNUM",     "ROWS",       "SELECT",     "SESSION",   "SET",
        "SHARE",     "SIZE",    "SMALLINT",   "START",      "SUCCESSFUL", "SYNONYM",   "SYSDATE",
        "TABLE",     "THEN",    "TO",         "TRIGGER",    "UID",        "UNION",     "UNIQUE",
        "UPDATE",    "USER",    "VALIDATE",   "VALUES",     "VARCHAR",    "VARCHAR2",  "VIEW",
        "WHENEVER",  "WHERE",   "WITH"};
    return words;
}

} // namespace

bool isPlainIdentifier(const QString& name)
{
    // Oracle upper-cases an unquoted name, so a lower-case letter needs quotes.
    if (name.isEmpty() || name != name.toUpper() || reservedWords().contains(name))
        return false;
    const QList<uint> points = name.toUcs4();
    if (!QChar::isLetter(points.first()))
        return false;
    for (const uint c : points)
        if (!QChar::isLetterOrNumber(c) && c != '_' && c != '$' && c != '#')
            return false;
    return true;
}

QString quoteIdentifier(const QString& name)
{
    QString inner = name;
    return '"' + inner.replace(QLatin1Char('"'), QLatin1String("\"\"")) + '"';
}

QString analyzeTable(const QString& owner, const QString& table)
{
    // Names are data: one that is not a plain identifier could end the
    // statement early or name another object.
    if (isPlainIdentifier(owner) && isPlainIdentifier(table))
        return "ANALYZE TABLE " + owner + "." + table + " COMPUTE STATISTICS";
    return "ANALYZE TABLE " + quoteIdentifier(owner) + "." + quoteIdentifier(table) + " COMPUTE STATISTICS";
}

QStringList ownerRows(const QString& view, const QStringList& columns, const QString& ownerColumn,
                      const QString& orderBy)
{
    return {"SELECT " + columns.join(", "), "FROM " + view, "WHERE " + ownerColumn + " = :OWNER",
            "ORDER BY " + orderBy};
}

QStringList synonymTargetRows(const QString& view, const QStringList& columns, const QString& ownerColumn,
                              const QString& nameColumn, const QString& orderBy)
{
    return {"SELECT " + columns.join(", "),
            "FROM " + view + " D",
            "WHERE EXISTS (SELECT 1 FROM ALL_SYNONYMS S",
            "              WHERE S.OWNER = :OWNER AND S.TABLE_OWNER = D." + ownerColumn,
            "                AND S.TABLE_NAME = D." + nameColumn + ")",
            "ORDER BY " + orderBy};
}

QStringList serverVersion() { return {"SELECT BANNER FROM V$VERSION WHERE BANNER LIKE 'Oracle%'"}; }

} // namespace morvane::sql
