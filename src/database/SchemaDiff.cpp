#include "database/SchemaDiff.h"
#include <QHash>
#include <algorithm>
#include <vector>

namespace morvane {

const QStringList kTableFigures = {"TABLESPACE_NAME", "PCT_FREE",     "PCT_USED",
                                   "INITIAL_EXTENT",  "NEXT_EXTENT",  "NUM_ROWS",
                                   "BLOCKS",          "EMPTY_BLOCKS", "AVG_ROW_LEN"};
const QStringList kIndexFigures = {"PCT_FREE", "INITIAL_EXTENT", "NEXT_EXTENT", "BLEVEL", "LEAF_BLOCKS"};

namespace {

// Reads a result's columns by name.
class Rows {
public:
    // Holds its own (shared) copy: callers pass temporaries.
    explicit Rows(ResultSet rs) : m_rs(std::move(rs)) { }
    int size() const { return m_rs.rows.size(); }
    QString at(int row, const char* name) { return at(row, QLatin1String(name)); }
    QString at(int row, const QString& column)
    {
        auto it = m_index.find(column);
        if (it == m_index.end())
            it = m_index.insert(column, resultColumn(m_rs, column));
        return *it < 0 ? QString() : m_rs.rows[row].value(*it);
    }

private:
    const ResultSet m_rs;
    QHash<QString, int> m_index;
};

int intValue(const QString& s) { return s.toInt(); }

QString describeColumn(const SchemaColumn& c)
{
    QString d = c.dataType;
    if (!c.precision.isEmpty())
        d += '(' + c.precision
             + (c.scale.isEmpty() || c.scale == QLatin1String("0") ? QString() : ',' + c.scale) + ')';
    else if (c.dataType.contains(QLatin1String("CHAR")) || c.dataType.contains(QLatin1String("RAW")))
        d += '(' + c.dataLength + ')';
    if (c.nullable == QLatin1String("N"))
        d += QLatin1String(" NOT NULL");
    if (!c.comment.isEmpty())
        d += QStringLiteral(" \"%1\"").arg(c.comment);
    return d;
}

QString describeIndex(const SchemaIndex& i)
{
    QString d = i.uniqueness + QStringLiteral(" (") + i.columns.join(QLatin1String(", ")) + ')';
    if (!i.tablespace.isEmpty())
        d += ' ' + i.tablespace;
    return d;
}

const QStringList kSections = {"object", "comment", "column", "index", "storage", "view", "synonym"};

class Differ {
public:
    Differ(QVector<SchemaChange>& out, const SchemaObject& a, const SchemaObject& b)
        : m_out(out), m_a(a), m_b(b)
    {
    }

    void add(const QString& section, int position, const QString& item, const QString& change,
             const QString& attribute, const QString& from, const QString& to)
    {
        SchemaChange c;
        c.object = m_b.name;
        c.objectType = m_b.type;
        c.section = section;
        c.position = position;
        c.item = item;
        c.change = change;
        c.attribute = attribute;
        c.from = from;
        c.to = to;
        m_out.push_back(c);
    }
    void attr(const QString& section, int position, const QString& item, const QString& attribute,
              const QString& from, const QString& to)
    {
        if (from != to)
            add(section, position, item, QStringLiteral("changed"), attribute, from, to);
    }

    void columns()
    {
        QHash<QString, const SchemaColumn*> old;
        for (const SchemaColumn& c : m_a.columns)
            old.insert(c.name, &c);
        // Dropped columns go where they stood, among the new ones.
        std::vector<std::pair<int, const SchemaColumn*>> dropped;
        for (const SchemaColumn& c : m_a.columns)
            if (!std::any_of(m_b.columns.begin(), m_b.columns.end(),
                             [&](const SchemaColumn& n) { return n.name == c.name; }))
                dropped.push_back({c.position, &c});
        for (const auto& d : dropped)
            add(QStringLiteral("column"), d.first, d.second->name, QStringLiteral("dropped"), QString(),
                describeColumn(*d.second), QString());
        for (const SchemaColumn& n : m_b.columns) {
            const SchemaColumn* o = old.value(n.name);
            const QString col = QStringLiteral("column");
            if (!o) {
                add(col, n.position, n.name, QStringLiteral("added"), QString(), QString(),
                    describeColumn(n));
                continue;
            }
            attr(col, n.position, n.name, QStringLiteral("COLUMN_ID"), QString::number(o->position),
                 QString::number(n.position));
            attr(col, n.position, n.name, QStringLiteral("DATA_TYPE"), o->dataType, n.dataType);
            attr(col, n.position, n.name, QStringLiteral("DATA_LENGTH"), o->dataLength, n.dataLength);
            attr(col, n.position, n.name, QStringLiteral("DATA_PRECISION"), o->precision, n.precision);
            attr(col, n.position, n.name, QStringLiteral("DATA_SCALE"), o->scale, n.scale);
            attr(col, n.position, n.name, QStringLiteral("NULLABLE"), o->nullable, n.nullable);
            attr(col, n.position, n.name, QStringLiteral("DEFAULT_LENGTH"), o->defaultLength,
                 n.defaultLength);
            attr(col, n.position, n.name, QStringLiteral("COMMENTS"), o->comment, n.comment);
        }
    }

    void indexes(bool storage)
    {
        QMap<QString, std::pair<const SchemaIndex*, const SchemaIndex*>> all;
        for (const SchemaIndex& i : m_a.indexes)
            all[i.key].first = &i;
        for (const SchemaIndex& i : m_b.indexes)
            all[i.key].second = &i;
        int rank = 0;
        const QString ix = QStringLiteral("index");
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            ++rank;
            const SchemaIndex* o = it->first;
            const SchemaIndex* n = it->second;
            if (!n) {
                add(ix, rank, it.key(), QStringLiteral("dropped"), QString(), describeIndex(*o), QString());
            } else if (!o) {
                add(ix, rank, it.key(), QStringLiteral("added"), QString(), QString(), describeIndex(*n));
            } else {
                attr(ix, rank, it.key(), QStringLiteral("UNIQUENESS"), o->uniqueness, n->uniqueness);
                attr(ix, rank, it.key(), QStringLiteral("TABLESPACE_NAME"), o->tablespace, n->tablespace);
                attr(ix, rank, it.key(), QStringLiteral("COLUMNS"), o->columns.join(QLatin1String(", ")),
                     n->columns.join(QLatin1String(", ")));
                if (storage)
                    for (int f = 0; f < kIndexFigures.size(); ++f)
                        attr(QStringLiteral("storage"), rank, it.key(), kIndexFigures[f], o->figures.value(f),
                             n->figures.value(f));
            }
        }
    }

private:
    QVector<SchemaChange>& m_out;
    const SchemaObject& m_a;
    const SchemaObject& m_b;
};

void compareObject(QVector<SchemaChange>& out, const SchemaObject& a, const SchemaObject& b, bool storage)
{
    Differ d(out, a, b);
    d.attr(QStringLiteral("object"), 0, QString(), QStringLiteral("TABLE_TYPE"), a.type, b.type);
    d.attr(QStringLiteral("comment"), 0, QString(), QStringLiteral("COMMENTS"), a.comment, b.comment);
    d.columns();
    d.indexes(storage);
    if (storage && !a.figures.isEmpty() && !b.figures.isEmpty())
        for (int f = 0; f < kTableFigures.size(); ++f)
            d.attr(QStringLiteral("storage"), 0, QString(), kTableFigures[f], a.figures.value(f),
                   b.figures.value(f));
    if (a.viewText != b.viewText) {
        d.attr(QStringLiteral("view"), 0, QString(), QStringLiteral("TEXT"), a.viewText, b.viewText);
        out.back().diff = unifiedLineDiff(a.viewText, b.viewText);
    }
    d.attr(QStringLiteral("synonym"), 0, QString(), QStringLiteral("TARGET"), a.synonymTarget,
           b.synonymTarget);
}

// An index of the owner keeps its bare name; one of another owner is qualified.
// Its columns are taken out of indexColumns.
SchemaIndex indexFromRow(Rows& rows, int r, const QString& owner, QHash<QString, QStringList>& indexColumns)
{
    SchemaIndex i;
    const QString indexOwner = rows.at(r, "OWNER");
    const QString name = rows.at(r, "INDEX_NAME");
    i.key = indexOwner == owner ? name : indexOwner + '.' + name;
    i.uniqueness = rows.at(r, "UNIQUENESS");
    i.tablespace = rows.at(r, "TABLESPACE_NAME");
    i.columns = indexColumns.take(indexOwner + '.' + name);
    for (const QString& f : kIndexFigures)
        i.figures << rows.at(r, f);
    return i;
}

SchemaColumn columnFromRow(Rows& rows, int r)
{
    SchemaColumn c;
    c.name = rows.at(r, "COLUMN_NAME");
    c.position = intValue(rows.at(r, "COLUMN_ID"));
    c.dataType = rows.at(r, "DATA_TYPE");
    c.dataLength = rows.at(r, "DATA_LENGTH");
    c.precision = rows.at(r, "DATA_PRECISION");
    c.scale = rows.at(r, "DATA_SCALE");
    c.nullable = rows.at(r, "NULLABLE");
    c.defaultLength = rows.at(r, "DEFAULT_LENGTH");
    return c;
}

} // namespace

SchemaModel buildSchemaModel(const OwnerRows& rows)
{
    return buildSchemaModel(rows.owner, [&](const QString& view) { return rows.byView.value(view); });
}

SchemaModel buildSchemaModel(const QString& owner, const ViewReader& read)
{
    SchemaModel m;
    m.owner = owner;
    auto& objs = m.objects;
    // Each view's rows live only while they are walked.
    auto walk = [&](const char* view, const auto& step) {
        Rows rows(read(QLatin1String(view)));
        for (int r = 0; r < rows.size(); ++r)
            step(rows, r);
    };
    auto object = [&](Rows& rows, int r, const char* nameColumn) {
        const auto it = objs.find(rows.at(r, nameColumn));
        return it == objs.end() ? nullptr : &*it;
    };
    walk("ALL_USERS", [](Rows&, int) {}); // an owner that does not exist fails here
    walk("ALL_CATALOG", [&](Rows& rows, int r) {
        SchemaObject o;
        o.name = rows.at(r, "TABLE_NAME");
        o.type = rows.at(r, "TABLE_TYPE");
        objs.insert(o.name, o);
    });
    walk("ALL_TAB_COMMENTS", [&](Rows& rows, int r) {
        if (SchemaObject* o = object(rows, r, "TABLE_NAME"))
            o->comment = rows.at(r, "COMMENTS");
    });
    walk("ALL_TABLES", [&](Rows& rows, int r) {
        if (SchemaObject* o = object(rows, r, "TABLE_NAME"))
            for (const QString& f : kTableFigures)
                o->figures << rows.at(r, f);
    });
    // Index columns by owner and index, already in position order.
    QHash<QString, QStringList> indexColumns;
    walk("ALL_IND_COLUMNS", [&](Rows& rows, int r) {
        indexColumns[rows.at(r, "INDEX_OWNER") + '.' + rows.at(r, "INDEX_NAME")] << rows.at(r, "COLUMN_NAME");
    });
    walk("ALL_INDEXES", [&](Rows& rows, int r) {
        SchemaObject* o = object(rows, r, "TABLE_NAME");
        if (!o)
            return;
        o->indexes.push_back(indexFromRow(rows, r, owner, indexColumns));
    });
    QHash<QString, QString> colComments;
    walk("ALL_COL_COMMENTS", [&](Rows& rows, int r) {
        colComments.insert(rows.at(r, "TABLE_NAME") + '\n' + rows.at(r, "COLUMN_NAME"),
                           rows.at(r, "COMMENTS"));
    });
    walk("ALL_TAB_COLUMNS", [&](Rows& rows, int r) {
        SchemaObject* o = object(rows, r, "TABLE_NAME");
        if (!o)
            return;
        SchemaColumn c = columnFromRow(rows, r);
        c.comment = colComments.take(o->name + '\n' + c.name);
        o->columns.push_back(c);
    });
    walk("ALL_VIEWS", [&](Rows& rows, int r) {
        if (SchemaObject* o = object(rows, r, "VIEW_NAME"))
            o->viewText = rows.at(r, "TEXT");
    });
    walk("ALL_SYNONYMS", [&](Rows& rows, int r) {
        SchemaObject* o = object(rows, r, "SYNONYM_NAME");
        if (!o)
            return;
        o->synonymTarget = rows.at(r, "TABLE_OWNER") + '.' + rows.at(r, "TABLE_NAME");
        if (!rows.at(r, "DB_LINK").isEmpty())
            o->synonymTarget += '@' + rows.at(r, "DB_LINK");
    });
    return m;
}

SchemaModel readSchema(Connection& connection, const QString& owner)
{
    int statements = 0;
    return buildSchemaModel(owner, [&](const QString& name) {
        for (const DictionaryView& v : dictionaryViews())
            if (v.name == name)
                return readOwnerView(connection, v, owner, &statements);
        return ResultSet();
    });
}

QVector<SchemaChange> compareSchemas(const SchemaModel& from, const SchemaModel& to, bool storage)
{
    QVector<SchemaChange> out;
    auto a = from.objects.cbegin();
    auto b = to.objects.cbegin();
    auto whole = [&](const SchemaObject& o, const QString& change) {
        SchemaChange c;
        c.object = o.name;
        c.objectType = o.type;
        c.section = QStringLiteral("object");
        c.change = change;
        (change == QLatin1String("added") ? c.to : c.from) = o.type;
        out.push_back(c);
    };
    // Both maps are sorted by name: one merge walk.
    while (a != from.objects.cend() || b != to.objects.cend()) {
        if (b == to.objects.cend() || (a != from.objects.cend() && a.key() < b.key())) {
            whole(*a++, QStringLiteral("dropped"));
        } else if (a == from.objects.cend() || b.key() < a.key()) {
            whole(*b++, QStringLiteral("added"));
        } else {
            compareObject(out, *a++, *b++, storage);
        }
    }
    // Objects come sorted already; inside one, by section and then position.
    std::stable_sort(out.begin(), out.end(), [](const SchemaChange& x, const SchemaChange& y) {
        if (x.object != y.object)
            return x.object < y.object;
        const int sx = kSections.indexOf(x.section), sy = kSections.indexOf(y.section);
        if (sx != sy)
            return sx < sy;
        return x.position < y.position;
    });
    return out;
}

namespace {

// The edit script of two line lists: '=' kept, '-' removed, '+' added.
std::vector<char> lineOps(const QStringList& a, const QStringList& b)
{
    const int n = a.size(), m = b.size();
    // Longest common subsequence by lines; view texts are short. Past the
    // limit the whole text counts as replaced.
    std::vector<char> ops; // '=', '-', '+'
    int pre = 0;
    while (pre < n && pre < m && a[pre] == b[pre])
        ++pre;
    int suf = 0;
    while (suf < n - pre && suf < m - pre && a[n - 1 - suf] == b[m - 1 - suf])
        ++suf;
    const int an = n - pre - suf, bm = m - pre - suf;
    ops.assign(pre, '=');
    if (qint64(an) * bm <= 4000000) {
        std::vector<int> len(size_t(an + 1) * (bm + 1), 0);
        auto L = [&](int i, int j) -> int& { return len[size_t(i) * (bm + 1) + j]; };
        for (int i = an - 1; i >= 0; --i)
            for (int j = bm - 1; j >= 0; --j)
                L(i, j) = a[pre + i] == b[pre + j] ? L(i + 1, j + 1) + 1 : std::max(L(i + 1, j), L(i, j + 1));
        int i = 0, j = 0;
        while (i < an || j < bm) {
            if (i < an && j < bm && a[pre + i] == b[pre + j]) {
                ops.push_back('=');
                ++i, ++j;
            } else if (j < bm && (i == an || L(i, j + 1) >= L(i + 1, j))) {
                ops.push_back('+');
                ++j;
            } else {
                ops.push_back('-');
                ++i;
            }
        }
        // Within a change, removals read better before additions.
        for (size_t s = 0; s < ops.size();) {
            if (ops[s] == '=') {
                ++s;
                continue;
            }
            size_t e = s;
            while (e < ops.size() && ops[e] != '=')
                ++e;
            std::stable_partition(ops.begin() + long(s), ops.begin() + long(e),
                                  [](char c) { return c == '-'; });
            s = e;
        }
    } else {
        ops.insert(ops.end(), size_t(an), '-');
        ops.insert(ops.end(), size_t(bm), '+');
    }
    ops.insert(ops.end(), size_t(suf), '=');
    return ops;
}

} // namespace

QStringList unifiedLineDiff(const QString& from, const QString& to, int context)
{
    if (from == to)
        return {};
    const QStringList a = from.split('\n');
    const QStringList b = to.split('\n');
    const std::vector<char> ops = lineOps(a, b);
    QStringList out;
    const int total = int(ops.size());
    int k = 0;
    while (k < total) {
        while (k < total && ops[k] == '=')
            ++k;
        if (k >= total)
            break;
        // A hunk: from `context` lines before the change to `context` after
        // the last change that is no further than 2 * context lines away.
        int start = std::max(0, k - context);
        int end = k;
        for (;;) {
            while (end < total && ops[end] != '=')
                ++end;
            int gap = end;
            while (gap < total && ops[gap] == '=')
                ++gap;
            if (gap < total && gap - end <= 2 * context)
                end = gap;
            else
                break;
        }
        const int stop = std::min(total, end + context);
        int ai = 0, bi = 0;
        for (int x = 0; x < start; ++x) {
            ai += ops[x] != '+';
            bi += ops[x] != '-';
        }
        int ac = 0, bc = 0;
        QStringList body;
        int aline = ai, bline = bi;
        for (int x = start; x < stop; ++x) {
            if (ops[x] == '=') {
                body << ' ' + a[aline++];
                ++bline;
                ++ac, ++bc;
            } else if (ops[x] == '-') {
                body << '-' + a[aline++];
                ++ac;
            } else {
                body << '+' + b[bline++];
                ++bc;
            }
        }
        out << QStringLiteral("@@ -%1,%2 +%3,%4 @@")
                   .arg(ac ? ai + 1 : ai)
                   .arg(ac)
                   .arg(bc ? bi + 1 : bi)
                   .arg(bc);
        out << body;
        k = stop;
    }
    return out;
}

} // namespace morvane
