#include "database/embedded/DictionarySchema.h"
#include "database/embedded/SqliteUtil.h"
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>
#include <vector>

namespace morvane::embedded {

namespace {

struct Col {
    const char* name;
    const char* type; // Oracle type name
    int length;       // DATA_LENGTH as the server reports it
    bool nullable;
    const char* comment;
};

struct View {
    const char* name;
    const char* comment;
    std::vector<Col> cols;
    std::vector<std::vector<const char*>> keys; // first one unique
};

const Col kOwner{"OWNER", "VARCHAR2", 30, false, "Owner of the object"};

const std::vector<View>& views()
{
    static const std::vector<View> v = {
        {"ALL_USERS",
         "Information about all users of the database",
         {{"USERNAME", "VARCHAR2", 30, false, "Name of the user"},
          {"USER_ID", "NUMBER", 22, false, "ID number of the user"},
          {"CREATED", "DATE", 7, false, "User creation date"}},
         {{"USERNAME"}}},
        {"ALL_CATALOG",
         "All tables, views, synonyms, sequences accessible to the user",
         {kOwner,
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the object"},
          {"TABLE_TYPE", "VARCHAR2", 11, true, "Type of the object"}},
         {{"OWNER", "TABLE_NAME"}}},
        {"ALL_TAB_COMMENTS",
         "Comments on tables and views accessible to the user",
         {kOwner,
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the object"},
          {"TABLE_TYPE", "VARCHAR2", 11, true, "Type of the object"},
          {"COMMENTS", "VARCHAR2", 4000, true, "Comment on the object"}},
         {{"OWNER", "TABLE_NAME"}}},
        {"ALL_TABLES",
         "Description of relational tables accessible to the user",
         {{"OWNER", "VARCHAR2", 30, false, "Owner of the table"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the table"},
          {"TABLESPACE_NAME", "VARCHAR2", 30, true, "Name of the tablespace containing the table"},
          {"PCT_FREE", "NUMBER", 22, true, "Minimum percentage of free space in a block"},
          {"PCT_USED", "NUMBER", 22, true, "Minimum percentage of used space in a block"},
          {"INI_TRANS", "NUMBER", 22, true, "Initial number of transactions"},
          {"MAX_TRANS", "NUMBER", 22, true, "Maximum number of transactions"},
          {"INITIAL_EXTENT", "NUMBER", 22, true, "Size of the initial extent in bytes"},
          {"NEXT_EXTENT", "NUMBER", 22, true, "Size of secondary extents in bytes"},
          {"MIN_EXTENTS", "NUMBER", 22, true, "Minimum number of extents allowed in the segment"},
          {"MAX_EXTENTS", "NUMBER", 22, true, "Maximum number of extents allowed in the segment"},
          {"NUM_ROWS", "NUMBER", 22, true, "The number of rows in the table"},
          {"BLOCKS", "NUMBER", 22, true, "The number of used blocks in the table"},
          {"EMPTY_BLOCKS", "NUMBER", 22, true, "The number of empty (never used) blocks in the table"},
          {"AVG_SPACE", "NUMBER", 22, true, "The average available free space in the table"},
          {"CHAIN_CNT", "NUMBER", 22, true, "The number of chained rows in the table"},
          {"AVG_ROW_LEN", "NUMBER", 22, true, "The average row length, including row overhead"},
          {"LAST_ANALYZED", "DATE", 7, true, "The date of the most recent time this table was analyzed"}},
         {{"OWNER", "TABLE_NAME"}}},
        {"ALL_INDEXES",
         "Descriptions of indexes on tables accessible to the user",
         {{"OWNER", "VARCHAR2", 30, false, "Username of the owner of the index"},
          {"INDEX_NAME", "VARCHAR2", 30, false, "Name of the index"},
          {"INDEX_TYPE", "VARCHAR2", 27, true, "Type of the index"},
          {"TABLE_OWNER", "VARCHAR2", 30, false, "Owner of the indexed object"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the indexed object"},
          {"TABLE_TYPE", "VARCHAR2", 11, true, "Type of the indexed object"},
          {"UNIQUENESS", "VARCHAR2", 9, true, "Uniqueness status of the index: UNIQUE or NONUNIQUE"},
          {"TABLESPACE_NAME", "VARCHAR2", 30, true, "Name of the tablespace containing the index"},
          {"PCT_FREE", "NUMBER", 22, true, "Minimum percentage of free space in a block"},
          {"INITIAL_EXTENT", "NUMBER", 22, true, "Size of the initial extent"},
          {"NEXT_EXTENT", "NUMBER", 22, true, "Size of secondary extents"},
          {"BLEVEL", "NUMBER", 22, true, "B-Tree level"},
          {"LEAF_BLOCKS", "NUMBER", 22, true, "The number of leaf blocks in the index"},
          {"DISTINCT_KEYS", "NUMBER", 22, true, "The number of distinct keys in the index"},
          {"NUM_ROWS", "NUMBER", 22, true, "Number of rows in the index"},
          {"LAST_ANALYZED", "DATE", 7, true, "The date of the most recent time this index was analyzed"}},
         {{"OWNER", "INDEX_NAME"}, {"TABLE_OWNER", "TABLE_NAME"}}},
        {"ALL_IND_COLUMNS",
         "COLUMNs comprising INDEXes on accessible TABLES",
         {{"INDEX_OWNER", "VARCHAR2", 30, false, "Index owner"},
          {"INDEX_NAME", "VARCHAR2", 30, false, "Index name"},
          {"TABLE_OWNER", "VARCHAR2", 30, false, "Table or cluster owner"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Table or cluster name"},
          {"COLUMN_NAME", "VARCHAR2", 4000, true, "Column name or attribute of object column"},
          {"COLUMN_POSITION", "NUMBER", 22, false, "Position of column or attribute within index"},
          {"COLUMN_LENGTH", "NUMBER", 22, false, "Maximum length of the column or attribute, in bytes"},
          {"DESCEND", "VARCHAR2", 4, true, "DESC if this column is sorted in descending order"}},
         {{"INDEX_OWNER", "INDEX_NAME", "COLUMN_POSITION"},
          {"TABLE_OWNER", "TABLE_NAME", "INDEX_OWNER", "INDEX_NAME"}}},
        {"ALL_VIEWS",
         "Description of views accessible to the user",
         {{"OWNER", "VARCHAR2", 30, false, "Owner of the view"},
          {"VIEW_NAME", "VARCHAR2", 30, false, "Name of the view"},
          {"TEXT_LENGTH", "NUMBER", 22, true, "Length of the view text"},
          {"TEXT", "LONG", 0, true, "View text"}},
         {{"OWNER", "VIEW_NAME"}}},
        {"ALL_TAB_COLUMNS",
         "Columns of user's tables, views and clusters",
         {{"OWNER", "VARCHAR2", 30, false, "Owner of the table, view or cluster"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Table, view or cluster name"},
          {"COLUMN_NAME", "VARCHAR2", 30, false, "Column name"},
          {"DATA_TYPE", "VARCHAR2", 106, true, "Datatype of the column"},
          {"DATA_LENGTH", "NUMBER", 22, false, "Length of the column in bytes"},
          {"DATA_PRECISION", "NUMBER", 22, true, "Length: decimal digits (NUMBER) or binary digits (FLOAT)"},
          {"DATA_SCALE", "NUMBER", 22, true, "Digits to right of decimal point in a number"},
          {"NULLABLE", "VARCHAR2", 1, true, "Does column allow NULL values?"},
          {"COLUMN_ID", "NUMBER", 22, false, "Sequence number of the column as created"},
          {"DEFAULT_LENGTH", "NUMBER", 22, true, "Length of default value for the column"},
          {"DATA_DEFAULT", "LONG", 0, true, "Default value for the column"}},
         {{"OWNER", "TABLE_NAME", "COLUMN_NAME"}, {"OWNER", "TABLE_NAME", "COLUMN_ID"}}},
        {"ALL_COL_COMMENTS",
         "Comments on columns of accessible tables and views",
         {{"OWNER", "VARCHAR2", 30, false, "Owner of the object"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the object"},
          {"COLUMN_NAME", "VARCHAR2", 30, false, "Name of the column"},
          {"COMMENTS", "VARCHAR2", 4000, true, "Comment on the column"}},
         {{"OWNER", "TABLE_NAME", "COLUMN_NAME"}}},
        {"ALL_SYNONYMS",
         "All synonyms accessible to the user",
         {{"OWNER", "VARCHAR2", 30, false, "Owner of the synonym"},
          {"SYNONYM_NAME", "VARCHAR2", 30, false, "Name of the synonym"},
          {"TABLE_OWNER", "VARCHAR2", 30, true, "Owner of the object referenced by the synonym"},
          {"TABLE_NAME", "VARCHAR2", 30, false, "Name of the object referenced by the synonym"},
          {"DB_LINK", "VARCHAR2", 128, true, "Name of the database link referenced in a remote synonym"}},
         {{"OWNER", "SYNONYM_NAME"}}},
    };
    return v;
}

QString declaredType(const Col& c)
{
    const QString type = QLatin1String(c.type);
    if (type == QLatin1String("VARCHAR2"))
        return QStringLiteral("VARCHAR2(%1)").arg(c.length);
    return type;
}

} // namespace

QStringList dictionaryColumns(const QString& view)
{
    QStringList names;
    for (const View& v : views())
        if (view == QLatin1String(v.name))
            for (const Col& c : v.cols)
                names << QLatin1String(c.name);
    return names;
}

QString dataTableName(const QString& owner, const QString& table)
{
    return QStringLiteral("DATA$") + owner + '$' + table;
}

QString passwordHash(const QString& salt, const QString& password)
{
    return QString::fromLatin1(
        QCryptographicHash::hash((salt + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

void createDictionarySchema(sqlite3* db)
{
    QString sql;
    for (const View& v : views()) {
        QStringList cols;
        for (const Col& c : v.cols)
            cols << QStringLiteral("%1 %2%3").arg(QLatin1String(c.name), declaredType(c),
                                                  c.nullable ? QString() : QStringLiteral(" NOT NULL"));
        sql += QStringLiteral("CREATE TABLE %1 (%2);\n").arg(QLatin1String(v.name), cols.join(", "));
        for (size_t k = 0; k < v.keys.size(); ++k) {
            QStringList keyCols;
            for (const char* kc : v.keys[k])
                keyCols << QLatin1String(kc);
            sql += QStringLiteral("CREATE %1INDEX %2_I%3 ON %2 (%4);\n")
                       .arg(k == 0 ? QStringLiteral("UNIQUE ") : QString(), QLatin1String(v.name))
                       .arg(k + 1)
                       .arg(keyCols.join(", "));
        }
    }
    sql += QStringLiteral("CREATE TABLE %1 (USERNAME TEXT PRIMARY KEY, SALT TEXT NOT NULL, "
                          "PASSWORD_HASH TEXT NOT NULL);\n")
               .arg(QLatin1String(kAccountsTable));
    exec(db, sql);
}

void gatherPlannerStatistics(sqlite3* db) { exec(db, QStringLiteral("ANALYZE")); }

void installSysObjects(sqlite3* db)
{
    Statement user(db, QStringLiteral("INSERT INTO ALL_USERS VALUES (?, ?, ?)"));
    user.bindAll({"SYS", 0, "2023-04-01 09:00:00"}).run();
    user.bindAll({"SYSTEM", 5, "2023-04-01 09:00:00"}).run();

    Statement cat(db, QStringLiteral("INSERT INTO ALL_CATALOG VALUES ('SYS', ?, 'VIEW')"));
    Statement tabc(db, QStringLiteral("INSERT INTO ALL_TAB_COMMENTS VALUES ('SYS', ?, 'VIEW', ?)"));
    Statement view(db, QStringLiteral("INSERT INTO ALL_VIEWS VALUES ('SYS', ?, ?, ?)"));
    Statement col(
        db,
        QStringLiteral(
            "INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, "
            "DATA_PRECISION, DATA_SCALE, NULLABLE, COLUMN_ID) VALUES ('SYS', ?, ?, ?, ?, NULL, NULL, ?, ?)"));
    Statement colc(db, QStringLiteral("INSERT INTO ALL_COL_COMMENTS VALUES ('SYS', ?, ?, ?)"));
    for (const View& v : views()) {
        const QString name = QLatin1String(v.name);
        cat.bindAll({name}).run();
        tabc.bindAll({name, QLatin1String(v.comment)}).run();
        QStringList names;
        int id = 0;
        for (const Col& c : v.cols) {
            names << QLatin1String(c.name);
            col.bindAll({name, QLatin1String(c.name), QLatin1String(c.type), c.length, c.nullable ? "Y" : "N",
                         ++id})
                .run();
            colc.bindAll({name, QLatin1String(c.name), QLatin1String(c.comment)}).run();
        }
        const QString text = QStringLiteral("select %1\nfrom sys.\"_%2\"").arg(names.join(", "), name);
        view.bindAll({name, static_cast<int>(text.toUtf8().size()), text}).run();
    }
}

void storeAccount(sqlite3* db, const QString& user, const QString& password)
{
    const QByteArray raw = QByteArray::number(QRandomGenerator::system()->generate64(), 16)
                           + QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    const QString salt = QString::fromLatin1(raw);
    Statement st(db, QStringLiteral("INSERT OR REPLACE INTO %1 (USERNAME, SALT, PASSWORD_HASH) "
                                    "VALUES (?, ?, ?)")
                         .arg(QLatin1String(kAccountsTable)));
    st.bindAll({user.toUpper(), salt, passwordHash(salt, password)}).run();
}

bool checkAccount(sqlite3* db, const QString& user, const QString& password)
{
    Statement st(db, QStringLiteral("SELECT SALT, PASSWORD_HASH FROM %1 WHERE USERNAME = ?")
                         .arg(QLatin1String(kAccountsTable)));
    st.bind(1, user.toUpper());
    if (!st.step())
        return false;
    const QByteArray expected = st.text(1).toLatin1();
    const QByteArray actual = passwordHash(st.text(0), password).toLatin1();
    // Compare every byte so the time taken does not tell how much matched.
    unsigned diff = expected.size() == actual.size() ? 0u : 1u;
    for (int i = 0; i < std::min(expected.size(), actual.size()); ++i)
        diff |= static_cast<unsigned>(expected[i] ^ actual[i]);
    return diff == 0;
}

} // namespace morvane::embedded
