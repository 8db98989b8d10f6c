#include "database/embedded/Analyze.h"
#include "database/embedded/DictionarySchema.h"
#include "database/embedded/SqliteUtil.h"
#include "core/Cp932.h"
#include <QRegularExpression>
#include <QSet>
#include <QVector>
#include <cmath>
#include <sqlite3.h>

namespace morvane::embedded {

namespace {

const QString kTableNotFound = QStringLiteral("ORA-00942: table or view does not exist");

// Oracle's block layout, roughly: fixed header per block, a 2-byte slot per row.
constexpr int kTableBlockHeader = 86;
constexpr int kIndexBlockHeader = 100;
constexpr int kSlotBytes = 2;
constexpr int kRowHeader = 3;
constexpr int kRowIdBytes = 6;
constexpr int kBranchPointer = 4;

QString identifier(const QString& raw)
{
    if (raw.startsWith('"'))
        return raw.mid(1, raw.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return raw.toUpper();
}

struct ColumnType {
    QString name;
    QString type;
    int length;
};

// Bytes the value takes in a row; -1 for NULL.
int valueBytes(const ColumnType& c, sqlite3_stmt* st, int col)
{
    const int kind = sqlite3_column_type(st, col);
    if (kind == SQLITE_NULL)
        return -1;
    const QString type = c.type.toUpper();
    if (type == QLatin1String("DATE"))
        return 7;
    if (type.startsWith(QLatin1String("TIMESTAMP")))
        return 11;
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    const QString text = QString::fromUtf8(p, sqlite3_column_bytes(st, col));
    if (type == QLatin1String("NUMBER") || type == QLatin1String("FLOAT") || type == QLatin1String("INTEGER"))
        return oracleNumberBytes(text);
    if (type == QLatin1String("CHAR") || type == QLatin1String("NCHAR"))
        return std::max(c.length, cp932::byteLength(text)); // blank-padded
    return cp932::byteLength(text);
}

int lengthBytes(int size) { return size > 250 ? 3 : 1; }

// Greedy fill of fixed-size blocks, as rows or index entries are inserted.
qint64 blocksFor(const QVector<int>& sizes, int usable)
{
    if (sizes.isEmpty())
        return 0;
    qint64 blocks = 1;
    int free = usable;
    for (int s : sizes) {
        const int need = s + kSlotBytes;
        if (need > free && free != usable) {
            ++blocks;
            free = usable;
        }
        free -= std::min(need, free);
    }
    return blocks;
}

int usableBytes(int header, const QVariant& pctFree, int defaultPct)
{
    const int pct = pctFree.isNull() ? defaultPct : std::clamp(pctFree.toInt(), 0, 99);
    return (kBlockSize - header) * (100 - pct) / 100;
}

struct Row {
    QVector<int> sizes;      // per column, -1 for NULL
    QVector<QString> values; // kept for the distinct keys of indexes
};

struct TableData {
    QVector<ColumnType> columns;
    QVector<Row> rows;
};

TableData readRows(sqlite3* db, const AnalyzeCommand& cmd)
{
    TableData data;
    {
        Statement cols(db, QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, DATA_LENGTH FROM ALL_TAB_COLUMNS "
                                          "WHERE OWNER = ? AND TABLE_NAME = ? ORDER BY COLUMN_ID"));
        cols.bindAll({cmd.owner, cmd.table});
        while (cols.step())
            data.columns.push_back({cols.text(0), cols.text(1), static_cast<int>(cols.integer(2))});
    }
    const QString store = dataTableName(cmd.owner, cmd.table);
    QSet<QString> stored;
    {
        Statement info(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        info.bind(1, store);
        while (info.step())
            stored.insert(info.text(0));
    }
    // A dictionary without stored rows for the table describes an empty table.
    if (stored.isEmpty())
        return data;
    QStringList select;
    for (const ColumnType& c : data.columns)
        select << (stored.contains(c.name) ? quoteIdent(c.name) : QStringLiteral("NULL"));
    if (select.isEmpty())
        select << QStringLiteral("NULL");
    Statement rows(db, QStringLiteral("SELECT %1 FROM %2").arg(select.join(", "), quoteIdent(store)));
    while (rows.step()) {
        Row r;
        for (int c = 0; c < data.columns.size(); ++c) {
            r.sizes << valueBytes(data.columns[c], rows.handle(), c);
            r.values << rows.text(c);
        }
        data.rows.push_back(std::move(r));
    }
    return data;
}

int rowLength(const Row& r)
{
    int end = r.sizes.size();
    // Trailing NULL columns take no space at all; inner ones a length byte.
    while (end > 0 && r.sizes[end - 1] < 0)
        --end;
    int len = kRowHeader;
    for (int c = 0; c < end; ++c)
        len += r.sizes[c] < 0 ? 1 : lengthBytes(r.sizes[c]) + r.sizes[c];
    return len;
}

void analyzeIndexes(sqlite3* db, const AnalyzeCommand& cmd, const TableData& data)
{
    struct Index {
        QString owner, name;
        QVariant pctFree;
    };
    QVector<Index> indexes;
    {
        Statement st(db, QStringLiteral("SELECT OWNER, INDEX_NAME, PCT_FREE FROM ALL_INDEXES "
                                        "WHERE TABLE_OWNER = ? AND TABLE_NAME = ?"));
        st.bindAll({cmd.owner, cmd.table});
        while (st.step())
            indexes.push_back({st.text(0), st.text(1), st.isNull(2) ? QVariant() : QVariant(st.integer(2))});
    }
    Statement keyCols(db, QStringLiteral("SELECT COLUMN_NAME FROM ALL_IND_COLUMNS WHERE INDEX_OWNER = ? "
                                         "AND INDEX_NAME = ? ORDER BY COLUMN_POSITION"));
    Statement update(
        db,
        QStringLiteral("UPDATE ALL_INDEXES SET BLEVEL = ?, LEAF_BLOCKS = ?, DISTINCT_KEYS = ?, NUM_ROWS = ?, "
                       "LAST_ANALYZED = datetime('now', 'localtime') WHERE OWNER = ? AND INDEX_NAME = ?"));
    for (const Index& ix : indexes) {
        QVector<int> positions;
        keyCols.bindAll({ix.owner, ix.name});
        while (keyCols.step()) {
            const QString name = keyCols.text(0);
            for (int c = 0; c < data.columns.size(); ++c)
                if (data.columns[c].name == name)
                    positions << c;
        }
        keyCols.reset();

        QVector<int> entries;
        QSet<QString> distinct;
        qint64 keyBytes = 0;
        for (const Row& r : data.rows) {
            int key = 0;
            bool allNull = true;
            QString value;
            for (int c : positions) {
                const int s = r.sizes[c];
                allNull = allNull && s < 0;
                key += s < 0 ? 1 : lengthBytes(s) + s;
                value += r.values[c] + QChar(0x1F);
            }
            // A B-tree index holds no entry for a row whose key is entirely NULL.
            if (allNull)
                continue;
            entries << kSlotBytes + kRowIdBytes + key;
            keyBytes += key;
            distinct.insert(value);
        }
        const int usable = usableBytes(kIndexBlockHeader, ix.pctFree, 10);
        const qint64 leaves = blocksFor(entries, usable);
        int blevel = 0;
        if (leaves > 1) {
            const int avgKey = static_cast<int>(keyBytes / std::max<qsizetype>(1, entries.size()));
            const qint64 fanout = std::max<qint64>(2, (kBlockSize - kIndexBlockHeader)
                                                          / (avgKey + kBranchPointer + kSlotBytes));
            for (qint64 n = leaves; n > 1; n = (n + fanout - 1) / fanout)
                ++blevel;
        }
        update
            .bindAll({blevel, leaves, static_cast<qint64>(distinct.size()),
                      static_cast<qint64>(entries.size()), ix.owner, ix.name})
            .run();
    }
}

} // namespace

int oracleNumberBytes(const QString& decimal)
{
    QString s = decimal.trimmed();
    const bool negative = s.startsWith('-');
    if (negative || s.startsWith('+'))
        s = s.mid(1);
    const int e = s.indexOf(QRegularExpression(QStringLiteral("[eE]")));
    if (e >= 0) { // exponent form from a REAL: rewrite as plain digits
        bool ok = false;
        const double v = decimal.toDouble(&ok);
        if (!ok)
            return 22;
        s = QString::number(std::fabs(v), 'f', 20);
    }
    QString intPart = s.section('.', 0, 0);
    QString frac = s.section('.', 1);
    while (intPart.startsWith('0'))
        intPart.remove(0, 1);
    while (frac.endsWith('0'))
        frac.chop(1);
    if (intPart.isEmpty() && frac.isEmpty())
        return 1; // zero is the exponent byte alone
    if (intPart.size() % 2)
        intPart.prepend('0');
    if (frac.size() % 2)
        frac.append('0');
    QString digits = intPart + frac;
    // Base-100 digits without the leading and trailing zero pairs.
    int first = 0, last = digits.size() / 2 - 1;
    while (first <= last && digits.mid(first * 2, 2) == QLatin1String("00"))
        ++first;
    while (last >= first && digits.mid(last * 2, 2) == QLatin1String("00"))
        --last;
    const int mantissa = std::min(20, last - first + 1);
    return 1 + mantissa + (negative && mantissa < 20 ? 1 : 0);
}

std::optional<AnalyzeCommand> parseAnalyze(const QString& sql, const QString& logonUser)
{
    static const QRegularExpression head(QStringLiteral("^\\s*ANALYZE\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!head.match(sql).hasMatch())
        return std::nullopt;
    // Unquoted names start with a letter of any script, as Oracle allows
    // letters of the database character set (Japanese names included).
    static const QString ident = QStringLiteral("(\"(?:[^\"]|\"\")+\"|\\p{L}[\\p{L}\\p{N}_$#]*)");
    static const QRegularExpression full(
        QStringLiteral(
            "^\\s*ANALYZE\\s+TABLE\\s+(?:%1\\s*\\.\\s*)?%1\\s+(COMPUTE|DELETE)\\s+STATISTICS\\s*;?\\s*$")
            .arg(ident),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const auto m = full.match(sql);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("ORA-01490: invalid ANALYZE command"));
    AnalyzeCommand cmd;
    cmd.owner = m.captured(1).isEmpty() ? logonUser.toUpper() : identifier(m.captured(1));
    cmd.table = identifier(m.captured(2));
    cmd.remove = m.captured(3).compare(QLatin1String("DELETE"), Qt::CaseInsensitive) == 0;
    return cmd;
}

void runAnalyze(sqlite3* db, const AnalyzeCommand& cmd)
{
    QVariant pctFree, initialExtent;
    {
        Statement st(db, QStringLiteral("SELECT PCT_FREE, INITIAL_EXTENT FROM ALL_TABLES "
                                        "WHERE OWNER = ? AND TABLE_NAME = ?"));
        st.bindAll({cmd.owner, cmd.table});
        if (!st.step())
            throw DbError(kTableNotFound);
        if (!st.isNull(0))
            pctFree = st.integer(0);
        if (!st.isNull(1))
            initialExtent = st.integer(1);
    }
    Transaction tx(db);
    if (cmd.remove) {
        Statement t(db, QStringLiteral("UPDATE ALL_TABLES SET NUM_ROWS = NULL, BLOCKS = NULL, "
                                       "EMPTY_BLOCKS = NULL, AVG_SPACE = NULL, CHAIN_CNT = NULL, "
                                       "AVG_ROW_LEN = NULL, LAST_ANALYZED = NULL "
                                       "WHERE OWNER = ? AND TABLE_NAME = ?"));
        t.bindAll({cmd.owner, cmd.table}).run();
        Statement i(db, QStringLiteral("UPDATE ALL_INDEXES SET BLEVEL = NULL, LEAF_BLOCKS = NULL, "
                                       "DISTINCT_KEYS = NULL, NUM_ROWS = NULL, LAST_ANALYZED = NULL "
                                       "WHERE TABLE_OWNER = ? AND TABLE_NAME = ?"));
        i.bindAll({cmd.owner, cmd.table}).run();
        tx.commit();
        return;
    }

    const TableData data = readRows(db, cmd);
    QVector<int> lengths;
    qint64 total = 0;
    for (const Row& r : data.rows) {
        lengths << rowLength(r);
        total += lengths.back();
    }
    const int usable = usableBytes(kTableBlockHeader, pctFree, 10);
    const qint64 blocks = blocksFor(lengths, usable);
    const qint64 allocated = initialExtent.isNull() ? 0 : initialExtent.toLongLong() / kBlockSize;
    const qint64 empty = std::max<qint64>(0, allocated - blocks);
    const qint64 avgLen = lengths.isEmpty() ? 0 : std::llround(double(total) / lengths.size());
    const qint64 avgSpace =
        blocks == 0 ? 0
                    : std::max<qint64>(0, (blocks * usable - total - kSlotBytes * lengths.size()) / blocks);

    Statement t(
        db, QStringLiteral("UPDATE ALL_TABLES SET NUM_ROWS = ?, BLOCKS = ?, EMPTY_BLOCKS = ?, AVG_SPACE = ?, "
                           "CHAIN_CNT = 0, AVG_ROW_LEN = ?, LAST_ANALYZED = datetime('now', 'localtime') "
                           "WHERE OWNER = ? AND TABLE_NAME = ?"));
    t.bindAll({static_cast<qint64>(data.rows.size()), blocks, empty, avgSpace, avgLen, cmd.owner, cmd.table})
        .run();
    analyzeIndexes(db, cmd, data);
    tx.commit();
}

} // namespace morvane::embedded
