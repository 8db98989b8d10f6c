#include "database/embedded/DictionaryGenerator.h"
#include "database/embedded/DictionarySchema.h"
#include "database/embedded/SqliteUtil.h"
#include "database/DbDriver.h"
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <sqlite3.h>

namespace morvane::embedded {

namespace {

struct ColumnSpec {
    const char* type;
    int length;
    QVariant precision, scale;
    const char* comment;
};

// A cycle of ordinary column types with Japanese comments.
const ColumnSpec& columnSpec(int i)
{
    static const ColumnSpec specs[] = {
        {"NUMBER", 22, 10, 0, "識別番号"}, {"VARCHAR2", 40, {}, {}, "名称"},
        {"DATE", 7, {}, {}, "登録日"},     {"CHAR", 1, {}, {}, "区分"},
        {"NUMBER", 22, 12, 2, "金額"},     {"VARCHAR2", 200, {}, {}, "備考"},
        {"NUMBER", 22, {}, {}, "数量"},
    };
    return specs[i % (sizeof specs / sizeof specs[0])];
}

class Writer {
public:
    Writer(sqlite3* db, GeneratorReport& report)
        : m_report(report), m_catalog(db, QStringLiteral("INSERT INTO ALL_CATALOG VALUES (?, ?, ?)")),
          m_comment(db, QStringLiteral("INSERT INTO ALL_TAB_COMMENTS VALUES (?, ?, ?, ?)")),
          m_table(
              db,
              QStringLiteral(
                  "INSERT INTO ALL_TABLES (OWNER, TABLE_NAME, TABLESPACE_NAME, PCT_FREE, PCT_USED, "
                  "INI_TRANS, MAX_TRANS, INITIAL_EXTENT, NEXT_EXTENT, MIN_EXTENTS, MAX_EXTENTS, NUM_ROWS, "
                  "BLOCKS, EMPTY_BLOCKS, AVG_SPACE, CHAIN_CNT, AVG_ROW_LEN, LAST_ANALYZED) VALUES "
                  "(?, ?, 'USERS', 10, 40, 1, 255, 65536, 1048576, 1, 2147483645, ?, ?, ?, ?, ?, ?, ?)")),
          m_column(db,
                   QStringLiteral(
                       "INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, "
                       "DATA_PRECISION, DATA_SCALE, NULLABLE, COLUMN_ID, DEFAULT_LENGTH, DATA_DEFAULT) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")),
          m_colComment(db, QStringLiteral("INSERT INTO ALL_COL_COMMENTS VALUES (?, ?, ?, ?)")),
          m_index(
              db,
              QStringLiteral(
                  "INSERT INTO ALL_INDEXES (OWNER, INDEX_NAME, INDEX_TYPE, TABLE_OWNER, TABLE_NAME, "
                  "TABLE_TYPE, UNIQUENESS, TABLESPACE_NAME, PCT_FREE, INITIAL_EXTENT, NEXT_EXTENT, BLEVEL, "
                  "LEAF_BLOCKS, DISTINCT_KEYS, NUM_ROWS, LAST_ANALYZED) VALUES "
                  "(?, ?, 'NORMAL', ?, ?, 'TABLE', ?, 'INDX', 10, 65536, 1048576, ?, ?, ?, ?, ?)")),
          m_indCol(db, QStringLiteral("INSERT INTO ALL_IND_COLUMNS VALUES (?, ?, ?, ?, ?, ?, ?, 'ASC')")),
          m_view(db, QStringLiteral("INSERT INTO ALL_VIEWS VALUES (?, ?, ?, ?)")),
          m_synonym(db, QStringLiteral("INSERT INTO ALL_SYNONYMS VALUES (?, ?, ?, ?, NULL)"))
    {
    }

    void catalog(const QString& owner, const QString& name, const char* type, const QVariant& comment)
    {
        m_catalog.bindAll({owner, name, type}).run();
        if (qstrcmp(type, "TABLE") == 0 || qstrcmp(type, "VIEW") == 0)
            m_comment.bindAll({owner, name, type, comment}).run();
    }

    void columns(const QString& owner, const QString& table, int count, const QString& what)
    {
        for (int c = 1; c <= count; ++c) {
            const ColumnSpec& s = columnSpec(c - 1);
            const QString name = QStringLiteral("COL_%1").arg(c, 3, 10, QChar('0'));
            const bool hasDefault = c % 5 == 3;
            const QVariant def = hasDefault ? QVariant(QStringLiteral("SYSDATE")) : QVariant();
            m_column
                .bindAll({owner, table, name, s.type, s.length, s.precision, s.scale, c == 1 ? "N" : "Y", c,
                          hasDefault ? QVariant(7) : QVariant(), def})
                .run();
            m_colComment
                .bindAll({owner, table, name,
                          QStringLiteral("%1%2 %3").arg(what, QString::fromUtf8(s.comment)).arg(c)})
                .run();
            ++m_report.columns;
        }
    }

    void table(const QString& owner, const QString& name, int k, int cols, int indexes)
    {
        const bool analysed = k % 3 != 0;
        const qint64 rows = (qint64(k) * 7919) % 250000;
        const qint64 rowLen = 20 + cols * 9;
        const qint64 blocks = rows == 0 ? 0 : (rows * rowLen + 7000) / 7300;
        const auto stat = [&](qint64 v) { return analysed ? QVariant(v) : QVariant(); };
        m_table
            .bindAll({owner, name, stat(rows), stat(blocks), stat(std::max<qint64>(0, 8 - blocks)),
                      stat(blocks ? 800 : 0), stat(0), stat(rows ? rowLen : 0),
                      analysed ? QVariant(QStringLiteral("2024-03-31 22:00:00")) : QVariant()})
            .run();
        columns(owner, name, cols, QStringLiteral("項目"));
        ++m_report.tables;
        for (int j = 1; j <= indexes; ++j) {
            const QString ix = QStringLiteral("%1_IX%2").arg(name).arg(j, 2, 10, QChar('0'));
            QVector<int> keys;
            if (j == 1 || cols < 2)
                keys = {1};
            else
                keys = {(j * 2 - 1) % cols + 1, (j * 2) % cols + 1};
            const qint64 leaves = rows == 0 ? 0 : rows * 14 * int(keys.size()) / 7000 + 1;
            m_index
                .bindAll({owner, ix, owner, name, j == 1 ? "UNIQUE" : "NONUNIQUE",
                          stat(leaves > 1 ? (leaves > 300 ? 2 : 1) : 0), stat(leaves),
                          stat(j == 1 ? rows : rows / 3), stat(rows),
                          analysed ? QVariant(QStringLiteral("2024-03-31 22:00:00")) : QVariant()})
                .run();
            for (int p = 0; p < keys.size(); ++p) {
                const ColumnSpec& s = columnSpec(keys[p] - 1);
                m_indCol
                    .bindAll({owner, ix, owner, name,
                              QStringLiteral("COL_%1").arg(keys[p], 3, 10, QChar('0')), p + 1, s.length})
                    .run();
            }
            ++m_report.indexes;
        }
    }

    void viewWithText(const QString& owner, const QString& name, const QString& text, int cols)
    {
        m_view.bindAll({owner, name, static_cast<int>(text.toUtf8().size()), text}).run();
        columns(owner, name, cols, QStringLiteral("参照"));
        ++m_report.views;
    }

    void view(const QString& owner, const QString& name, const QString& base, int cols)
    {
        const int n = std::max(1, std::min(cols, 8));
        QStringList list;
        for (int c = 1; c <= n; ++c)
            list << QStringLiteral("COL_%1").arg(c, 3, 10, QChar('0'));
        const QString text = QStringLiteral("SELECT %1\n  FROM %2\n WHERE COL_001 IS NOT NULL")
                                 .arg(list.join(QStringLiteral(",\n       ")), base);
        m_view.bindAll({owner, name, static_cast<int>(text.toUtf8().size()), text}).run();
        columns(owner, name, n, QStringLiteral("参照"));
        ++m_report.views;
    }

    // One column of its own name and comment after the generated ones.
    void column(const QString& owner, const QString& table, const QString& name, int id,
                const QString& comment)
    {
        m_column.bindAll({owner, table, name, "VARCHAR2", 4000, {}, {}, "Y", id, {}, {}}).run();
        m_colComment.bindAll({owner, table, name, comment}).run();
        ++m_report.columns;
    }

    void synonym(const QString& owner, const QString& name, const QString& targetOwner, const QString& target)
    {
        m_synonym.bindAll({owner, name, targetOwner, target}).run();
        ++m_report.synonyms;
    }

private:
    GeneratorReport& m_report;
    Statement m_catalog, m_comment, m_table, m_column, m_colComment, m_index, m_indCol, m_view, m_synonym;
};

QString objectName(const QString& prefix, ObjectKind kind, int k)
{
    static const char letters[] = {'T', 'V', 'S', 'Q'};
    return QStringLiteral("%1%2_%3").arg(prefix).arg(QChar(letters[int(kind)])).arg(k, 5, 10, QChar('0'));
}

// The objects k = first .. last of one owner in the documented pattern.
void fillOwner(Writer& w, GeneratorReport& report, const QString& owner, const QString& prefix, int first,
               int last, const QString& nextOwner, const GeneratorOptions& o)
{
    int lastTable = 0;
    for (int k = first; k <= last; ++k) {
        const ObjectKind kind = generatedKind(k);
        const QString name = objectName(prefix, kind, k);
        const QVariant comment =
            k % 7 == 0 ? QVariant()
                       : QVariant(QStringLiteral("%1 %2 の%3")
                                      .arg(owner)
                                      .arg(k)
                                      .arg(kind == ObjectKind::Table ? QStringLiteral("テスト表")
                                                                     : QStringLiteral("参照ビュー")));
        switch (kind) {
        case ObjectKind::Table:
            w.catalog(owner, name, "TABLE", comment);
            w.table(owner, name, k, o.columnsPerTable, o.indexesPerTable);
            lastTable = k;
            break;
        case ObjectKind::View:
            w.catalog(owner, name, "VIEW", comment);
            w.view(owner, name, objectName(prefix, ObjectKind::Table, lastTable ? lastTable : 1),
                   o.columnsPerTable);
            break;
        case ObjectKind::Synonym: {
            const bool sameOwner = (k / 10) % 2 == 0 || nextOwner.isEmpty();
            w.catalog(owner, name, "SYNONYM", {});
            if (sameOwner && lastTable)
                w.synonym(owner, name, owner, objectName(prefix, ObjectKind::Table, lastTable));
            else
                w.synonym(owner, name, nextOwner.isEmpty() ? owner : nextOwner,
                          objectName(QString(), ObjectKind::Table, 1));
            break;
        }
        case ObjectKind::Sequence:
            w.catalog(owner, name, "SEQUENCE", {});
            ++report.sequences;
            break;
        }
    }
}

// Names 128 bytes long end in "_END", so a cut one is seen at once.
QString paddedName(const QString& head)
{
    QString s = head;
    while (s.size() < 124)
        s += QChar(static_cast<char16_t>(u'0' + s.size() % 10));
    return s + QStringLiteral("_END");
}

void fillOddOwner(Writer& w, Statement& user)
{
    const QString odd = QStringLiteral("ODD");
    user.bindAll({odd, 98}).run();
    w.catalog(odd, oddLongTableName(), "TABLE", oddLongComment());
    w.table(odd, oddLongTableName(), 1, 3, 1);
    w.column(odd, oddLongTableName(), oddLongColumnName(), 4, oddLongComment());
    w.catalog(odd, oddWideTableName(), "TABLE", QStringLiteral("全角三十文字の表名"));
    w.table(odd, oddWideTableName(), 2, 3, 1);
    for (const QString& name : {QStringLiteral("A/B"), QStringLiteral("A_B")}) {
        w.catalog(odd, name, "TABLE", QStringLiteral("ファイル名が重なる表 %1").arg(name));
        w.table(odd, name, 4, 2, 1);
    }
    w.catalog(odd, QStringLiteral("HANGUL_T"), "TABLE", oddMixedComment());
    w.table(odd, QStringLiteral("HANGUL_T"), 5, 2, 0);
    w.column(odd, QStringLiteral("HANGUL_T"), QStringLiteral("MIXED"), 3, oddMixedComment());
    w.catalog(odd, QStringLiteral("SYN_CHAIN"), "SYNONYM", {});
    w.synonym(odd, QStringLiteral("SYN_CHAIN"), odd, QStringLiteral("SYN_MID"));
    w.catalog(odd, QStringLiteral("SYN_MID"), "SYNONYM", {});
    w.synonym(odd, QStringLiteral("SYN_MID"), odd, QStringLiteral("A_B"));
    for (const QString& name : {QStringLiteral("LF\nNAME"), QStringLiteral("ESC\x1B[2JNAME")}) {
        w.catalog(odd, name, "TABLE", QStringLiteral("制御文字を含む名前"));
        w.table(odd, name, 7, 2, 0);
    }
}

void fillOverflowOwner(Writer& w, Statement& user)
{
    const QString over = QStringLiteral("OVER");
    user.bindAll({over, 97}).run();
    w.catalog(over, QStringLiteral("COLS_500"), "TABLE", QStringLiteral("五百列の表"));
    w.table(over, QStringLiteral("COLS_500"), 1, 500, 1);
    w.catalog(over, QStringLiteral("IX_45"), "TABLE", QStringLiteral("索引四十五の表"));
    w.table(over, QStringLiteral("IX_45"), 2, 60, 45);
    w.catalog(over, QStringLiteral("LINES_1000"), "VIEW", QStringLiteral("千行のビュー"));
    w.viewWithText(over, QStringLiteral("LINES_1000"), overflowLinesViewText(), 2);
    w.catalog(over, QStringLiteral("LONG_LINE"), "VIEW", QStringLiteral("四万文字の一行"));
    w.viewWithText(over, QStringLiteral("LONG_LINE"), overflowLongLineViewText(), 2);
}

void check(bool ok, const char* what)
{
    if (!ok)
        throw DbError(QStringLiteral("辞書生成の指定が不正です: %1").arg(QLatin1String(what)));
}

} // namespace

QString oddLongTableName() { return paddedName(QStringLiteral("ODD_LONG_TABLE_NAME_")); }
QString oddLongColumnName() { return paddedName(QStringLiteral("ODD_LONG_COLUMN_NAME_")); }

QString oddWideTableName()
{
    return QStringLiteral("全角三十文字の表名ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵ");
}

QString oddLongComment()
{
    // 2,000 full-width characters: 4,000 bytes in CP932, the last one marks the end.
    const QString unit = QStringLiteral("長い表のコメント。");
    QString s;
    while (s.size() < 1999)
        s += unit;
    s.truncate(1999);
    return s + QStringLiteral("終");
}

QString oddMixedComment() { return QStringLiteral("社員名簿（사원명부）𠮷野家"); }

QString overflowLinesViewText()
{
    QStringList lines;
    lines << QStringLiteral("L0001 SELECT COL_001,");
    for (int i = 2; i < 1000; ++i)
        lines << QStringLiteral("L%1        COL_002 || '%1',").arg(i, 4, 10, QChar('0'));
    lines << QStringLiteral("L1000   FROM COLS_500");
    return lines.join(QLatin1Char('\n'));
}

QString overflowLongLineViewText()
{
    QString s;
    s.reserve(40000);
    for (int i = 1; i <= 5000; ++i)
        s += QStringLiteral("C%1, ").arg(i, 5, 10, QChar('0'));
    return s;
}

ObjectKind generatedKind(int k)
{
    const int r = k % 10;
    if (r >= 1 && r <= 6)
        return ObjectKind::Table;
    if (r == 7 || r == 8)
        return ObjectKind::View;
    return r == 9 ? ObjectKind::Synonym : ObjectKind::Sequence;
}

GeneratorReport generateDictionary(const QString& path, const GeneratorOptions& o)
{
    check(o.owners >= 0 && o.owners <= 99, "owners 0..99");
    check(o.objectsPerOwner >= 0 && o.objectsPerOwner <= 99999, "objects 0..99999");
    check(o.columnsPerTable >= 1 && o.columnsPerTable <= 999, "columns 1..999");
    check(o.indexesPerTable >= 0 && o.indexesPerTable <= 99, "indexes 0..99");
    check(!o.bigOwner || (o.bigObjects >= 1 && o.bigObjects <= 99999), "big-objects 1..99999");
    check(!o.bigOwner || (o.bigColumns >= 1 && o.bigColumns <= 999), "big-columns 1..999");
    check(!o.bigOwner || (o.bigIndexes >= 0 && o.bigIndexes <= 99), "big-indexes 0..99");
    if (QFileInfo::exists(path) && !o.overwrite)
        throw DbError(QStringLiteral("ファイルが既にあります: %1").arg(path));

    const QString building = path + QStringLiteral(".building");
    sqlite3* db = createDatabaseFile(building, QStringLiteral("辞書ファイルを作成できません"));
    GeneratorReport report;
    try {
        // A file that is renamed into place only when complete needs no journal.
        exec(db, QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN"));
        createDictionarySchema(db);
        installSysObjects(db);
        {
            Writer w(db, report);
            Statement user(db, QStringLiteral("INSERT INTO ALL_USERS VALUES (?, ?, '2024-04-01 09:00:00')"));
            for (int i = 1; i <= o.owners; ++i) {
                const QString owner = QStringLiteral("OWNER%1").arg(i, 2, 10, QChar('0'));
                const QString next = o.owners > 1
                                         ? QStringLiteral("OWNER%1").arg(i % o.owners + 1, 2, 10, QChar('0'))
                                         : QString();
                user.bindAll({owner, 100 + i}).run();
                fillOwner(w, report, owner, QString(), 1, o.objectsPerOwner, next, o);
            }
            if (o.bigOwner) {
                user.bindAll({"BIG", 99}).run();
                w.catalog(QStringLiteral("BIG"), QStringLiteral("BIG_T300"), "TABLE",
                          QStringLiteral("列数の多い表（負荷試験用）"));
                w.table(QStringLiteral("BIG"), QStringLiteral("BIG_T300"), 1, o.bigColumns, o.bigIndexes);
                fillOwner(w, report, QStringLiteral("BIG"), QStringLiteral("BIG_"), 2, o.bigObjects,
                          o.owners > 0 ? QStringLiteral("OWNER01") : QString(), o);
            }
            if (o.oddOwner)
                fillOddOwner(w, user);
            if (o.overflowOwner)
                fillOverflowOwner(w, user);
        }
        storeAccount(db, QStringLiteral("SYS"), o.password);
        exec(db, QStringLiteral("COMMIT"));
        gatherPlannerStatistics(db);
        if (sqlite3_close(db) != SQLITE_OK)
            throw DbError(errorText(db));
        db = nullptr;
        if (o.overwrite)
            QFile::remove(path);
        if (!QFile::rename(building, path))
            throw DbError(QStringLiteral("辞書ファイルを作成できません: %1").arg(path));
    } catch (...) {
        if (db)
            sqlite3_close_v2(db);
        QFile::remove(building);
        throw;
    }
    return report;
}

} // namespace morvane::embedded
