#include "database/embedded/OracleDialect.h"
#include "database/DbDriver.h"
#include <QVector>
#include <QSet>
#include <algorithm>

namespace morvane::embedded {

namespace {

struct Token {
    enum Kind { Word, Quoted, String, Number, Punct, Open, Close, Comma, Space };
    Kind kind;
    int begin;
    int end;
    int depth; // nesting level; for '(' and ')' the level outside them
};

bool isWordStart(QChar c) { return c.isLetter() || c == '_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$' || c == '#'; }

QVector<Token> tokenize(const QString& s)
{
    QVector<Token> out;
    int depth = 0;
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        Token::Kind kind;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            kind = Token::Space;
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n')
                ++i;
            kind = Token::Space;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const int close = s.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
            kind = Token::Space;
        } else if (c == '\'' || c == '"') {
            // A doubled quote stays inside the literal.
            ++i;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            kind = c == '\'' ? Token::String : Token::Quoted;
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(s[i]))
                ++i;
            kind = Token::Word;
        } else if (c.isDigit()) {
            while (i < n && (s[i].isDigit() || s[i] == '.'))
                ++i;
            kind = Token::Number;
        } else if (c == '(') {
            out.push_back({Token::Open, i, i + 1, depth});
            ++depth;
            ++i;
            continue;
        } else if (c == ')') {
            depth = std::max(0, depth - 1);
            out.push_back({Token::Close, i, i + 1, depth});
            ++i;
            continue;
        } else {
            ++i;
            kind = c == ',' ? Token::Comma : Token::Punct;
        }
        out.push_back({kind, start, i, depth});
    }
    return out;
}

class Tokens {
public:
    explicit Tokens(const QString& sql) : s(sql), t(tokenize(sql)) { }

    int size() const { return t.size(); }
    const Token& operator[](int i) const { return t[i]; }
    QString text(int i) const { return s.mid(t[i].begin, t[i].end - t[i].begin); }
    bool isWord(int i, const char* w) const
    {
        return i >= 0 && i < t.size() && t[i].kind == Token::Word
               && text(i).compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool isPunct(int i, QChar c) const
    {
        return i >= 0 && i < t.size() && t[i].kind == Token::Punct && s[t[i].begin] == c;
    }
    int nextSig(int i) const
    {
        for (++i; i < t.size(); ++i)
            if (t[i].kind != Token::Space)
                return i;
        return -1;
    }
    int prevSig(int i) const
    {
        for (--i; i >= 0; --i)
            if (t[i].kind != Token::Space)
                return i;
        return -1;
    }
    // "(+)", spaces allowed inside; returns the index of ')' or -1.
    int markerEnd(int i) const
    {
        if (t[i].kind != Token::Open)
            return -1;
        const int plus = nextSig(i);
        if (!isPunct(plus, '+'))
            return -1;
        const int close = nextSig(plus);
        return close >= 0 && t[close].kind == Token::Close ? close : -1;
    }
    int matchingClose(int open) const
    {
        for (int i = open + 1; i < t.size(); ++i)
            if (t[i].kind == Token::Close && t[i].depth == t[open].depth)
                return i;
        return t.size();
    }
    bool opensSubquery(int i) const
    {
        if (t[i].kind != Token::Open)
            return false;
        const int j = nextSig(i);
        return isWord(j, "SELECT") || isWord(j, "WITH");
    }
    // Offsets of a token range [a, b), trimmed of surrounding space tokens.
    QString slice(int a, int b) const
    {
        while (a < b && t[a].kind == Token::Space)
            ++a;
        while (b > a && t[b - 1].kind == Token::Space)
            --b;
        if (a >= b)
            return {};
        return s.mid(t[a].begin, t[b - 1].end - t[a].begin);
    }

    const QString& s;
    QVector<Token> t;
};

[[noreturn]] void fail(const char* oraMessage) { throw DbError(QString::fromUtf8(oraMessage)); }

QString identKey(const Tokens& tk, int i)
{
    QString x = tk.text(i);
    if (tk[i].kind == Token::Quoted)
        return x.mid(1, x.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return x.toUpper();
}

bool isClauseEnd(const Tokens& tk, int i)
{
    static const char* words[] = {"GROUP", "ORDER", "HAVING", "UNION",   "INTERSECT", "EXCEPT",
                                  "MINUS", "LIMIT", "WINDOW", "CONNECT", "START",     "FOR"};
    for (const char* w : words)
        if (tk.isWord(i, w))
            return true;
    return tk.isPunct(i, ';');
}

struct Range {
    int a, b;
}; // token indexes [a, b)

// Splits [a, b) at tokens of the given depth that satisfy sep.
template <typename Sep> QVector<Range> split(const Tokens& tk, Range r, int depth, Sep sep)
{
    QVector<Range> parts;
    int start = r.a;
    for (int i = r.a; i < r.b; ++i) {
        if (tk[i].depth == depth && sep(i)) {
            parts.push_back({start, i});
            start = i + 1;
        }
    }
    parts.push_back({start, r.b});
    return parts;
}

// The query block around one marker: the innermost level that has its own SELECT.
struct Block {
    int depth, regionBegin, regionEnd, from, where, whereEnd;
};

Block locateBlock(const Tokens& tk, int marker)
{
    for (int depth = tk[marker].depth; depth >= 0; --depth) {
        int regionBegin = 0, regionEnd = tk.size();
        if (depth > 0) {
            // The nearest '(' of the outer level that is still open at the marker.
            int open = marker - 1;
            while (open >= 0
                   && !(tk[open].kind == Token::Open && tk[open].depth == depth - 1
                        && tk.matchingClose(open) > marker))
                --open;
            if (open < 0)
                continue;
            regionBegin = open + 1;
            regionEnd = tk.matchingClose(open);
        }
        int select = -1;
        for (int i = marker; i >= regionBegin; --i)
            if (tk[i].depth == depth && tk.isWord(i, "SELECT")) {
                select = i;
                break;
            }
        if (select < 0)
            continue;
        Block b{depth, regionBegin, regionEnd, -1, -1, regionEnd};
        for (int i = select + 1; i < regionEnd; ++i) {
            if (tk[i].depth != depth)
                continue;
            if (b.from < 0 && tk.isWord(i, "FROM"))
                b.from = i;
            else if (b.from >= 0 && b.where < 0 && tk.isWord(i, "WHERE"))
                b.where = i;
            else if (b.where >= 0 && isClauseEnd(tk, i)) {
                b.whereEnd = i;
                break;
            }
        }
        if (b.from < 0 || b.where < 0 || marker < b.where || marker >= b.whereEnd)
            fail("ORA-00933: SQL command not properly ended (outer-join marker outside WHERE)");
        return b;
    }
    fail("ORA-00933: SQL command not properly ended (outer-join marker outside a query)");
}

struct Conjunct {
    QString text;     // with its markers removed
    QString optional; // alias of the outer-joined table, empty when none
};

Conjunct readConjunct(const Tokens& tk, Range r)
{
    Conjunct c;
    QString text;
    int copied = tk[r.a].begin;
    int i = r.a;
    while (i < r.b) {
        if (tk.opensSubquery(i)) {
            i = tk.matchingClose(i) + 1;
            continue;
        }
        const int close = tk.markerEnd(i);
        if (close < 0) {
            ++i;
            continue;
        }
        const int col = tk.prevSig(i);
        const int dot = tk.prevSig(col);
        const int qual = tk.prevSig(dot);
        if (col < r.a || !tk.isPunct(dot, '.') || qual < r.a
            || (tk[qual].kind != Token::Word && tk[qual].kind != Token::Quoted))
            fail("ORA-00904: invalid identifier (outer-join marker needs a qualified column)");
        const QString alias = identKey(tk, qual);
        if (!c.optional.isEmpty() && c.optional != alias)
            fail("ORA-01468: a predicate may reference only one outer-joined table");
        c.optional = alias;
        text += tk.s.mid(copied, tk[i].begin - copied);
        copied = tk[close].end;
        i = close + 1;
    }
    const int last = tk[r.b - 1].end;
    text += tk.s.mid(copied, last - copied);
    c.text = text.trimmed();
    return c;
}

struct FromItem {
    QString text;
    QString alias;
};

QVector<FromItem> readFromList(const Tokens& tk, Range r, int depth)
{
    QVector<FromItem> items;
    for (const Range& part : split(tk, r, depth, [&](int i) { return tk[i].kind == Token::Comma; })) {
        int last = -1;
        for (int i = part.a; i < part.b; ++i) {
            if (tk[i].depth != depth)
                continue;
            if (tk.isWord(i, "JOIN"))
                fail("ORA-25156: old style outer join (+) cannot be used with ANSI joins");
            if (tk[i].kind == Token::Word || tk[i].kind == Token::Quoted)
                last = i;
        }
        const QString text = tk.slice(part.a, part.b);
        if (text.isEmpty() || last < 0)
            fail("ORA-00903: invalid table name");
        items.push_back({text, identKey(tk, last)});
    }
    return items;
}

// Rewrites the block holding the first marker; false when there is none.
bool rewriteFirstBlock(QString& sql)
{
    const Tokens tk(sql);
    int marker = -1;
    for (int i = 0; i < tk.size() && marker < 0; ++i)
        if (tk.markerEnd(i) >= 0)
            marker = i;
    if (marker < 0)
        return false;

    const Block b = locateBlock(tk, marker);
    const int d = b.depth;
    const QVector<FromItem> from = readFromList(tk, {b.from + 1, b.where}, d);

    for (int i = b.where + 1; i < b.whereEnd; ++i)
        if (tk[i].depth == d && tk.isWord(i, "OR"))
            fail("ORA-01719: outer join operator (+) not allowed in operand of OR or IN");
    bool inBetween = false;
    const auto isAnd = [&](int i) {
        if (tk.isWord(i, "BETWEEN"))
            inBetween = true;
        if (!tk.isWord(i, "AND"))
            return false;
        if (inBetween) {
            inBetween = false;
            return false;
        }
        return true;
    };
    QStringList filters;
    QVector<QStringList> on(from.size());
    for (const Range& part : split(tk, {b.where + 1, b.whereEnd}, d, isAnd)) {
        if (tk.slice(part.a, part.b).isEmpty())
            fail("ORA-00936: missing expression");
        const Conjunct c = readConjunct(tk, part);
        if (c.optional.isEmpty()) {
            filters << c.text;
            continue;
        }
        int idx = -1;
        for (int k = 0; k < from.size(); ++k)
            if (from[k].alias == c.optional)
                idx = k;
        if (idx < 0)
            fail("ORA-00904: invalid identifier (outer-joined table not in FROM)");
        on[idx] << c.text;
    }

    QStringList preserved;
    QString joins;
    for (int k = 0; k < from.size(); ++k) {
        if (on[k].isEmpty())
            preserved << from[k].text;
        else
            joins += QStringLiteral(" LEFT JOIN ") + from[k].text + QStringLiteral(" ON ")
                     + on[k].join(QStringLiteral(" AND "));
    }
    if (preserved.isEmpty())
        fail("ORA-01416: two tables cannot be outer-joined to each other");

    QString clause = QStringLiteral("FROM ") + preserved.join(QStringLiteral(", ")) + joins;
    if (!filters.isEmpty())
        clause += QStringLiteral("\nWHERE ") + filters.join(QStringLiteral(" AND "));
    const int begin = tk[b.from].begin;
    const int end = b.whereEnd < tk.size() ? tk[b.whereEnd].begin : sql.size();
    const bool atEnd = b.whereEnd >= b.regionEnd;
    sql = sql.left(begin) + clause + (atEnd ? QString() : QStringLiteral("\n")) + sql.mid(end);
    return true;
}

} // namespace

QString rewriteOuterJoins(const QString& sql)
{
    QString out = sql;
    // Each pass removes the markers of one block; a statement has few blocks.
    for (int pass = 0; pass < 64; ++pass)
        if (!rewriteFirstBlock(out))
            return out;
    fail("ORA-00933: SQL command not properly ended (too many outer-join blocks)");
}

namespace {

// Output names of the select list of the query block that owns an ORDER BY at
// depth d (the first SELECT of the block, as in a compound query); empty when
// a star hides the positions.
QStringList selectNames(const Tokens& tk, int orderAt, int d)
{
    int begin = 0;
    if (d > 0) {
        begin = orderAt - 1;
        while (begin >= 0
               && !(tk[begin].kind == Token::Open && tk[begin].depth == d - 1
                    && tk.matchingClose(begin) > orderAt))
            --begin;
        ++begin;
    }
    int select = -1;
    for (int i = begin; i < orderAt && select < 0; ++i)
        if (tk[i].depth == d && tk.isWord(i, "SELECT"))
            select = i;
    if (select < 0)
        return {};
    int from = select + 1;
    while (from < orderAt && !(tk[from].depth == d && tk.isWord(from, "FROM")))
        ++from;
    int first = tk.nextSig(select);
    if (tk.isWord(first, "DISTINCT") || tk.isWord(first, "ALL"))
        ++first;
    QStringList names;
    for (const Range& item : split(tk, {first, from}, d, [&](int k) { return tk[k].kind == Token::Comma; })) {
        int last = item.b - 1;
        while (last >= item.a && tk[last].kind == Token::Space)
            --last;
        if (last < item.a || tk.isPunct(last, '*'))
            return {};
        const bool named = tk[last].kind == Token::Word || tk[last].kind == Token::Quoted;
        names << (named ? identKey(tk, last) : QString());
    }
    return names;
}

} // namespace

QString oracleOrderBy(const QString& sql)
{
    const Tokens tk(sql);
    struct Edit {
        int begin, end;
        QString text;
    };
    QVector<Edit> edits;
    for (int i = 0; i < tk.size(); ++i) {
        if (!tk.isWord(i, "ORDER"))
            continue;
        const int by = tk.nextSig(i);
        if (!tk.isWord(by, "BY"))
            continue;
        const int d = tk[i].depth;
        int end = by + 1;
        while (end < tk.size()) {
            const Token& t = tk[end];
            if (t.depth < d || (t.kind == Token::Close && t.depth == d - 1))
                break;
            if (t.depth == d
                && (tk.isWord(end, "LIMIT") || tk.isWord(end, "OFFSET") || tk.isWord(end, "FETCH")
                    || tk.isWord(end, "FOR") || tk.isWord(end, "ROWS") || tk.isWord(end, "RANGE")
                    || tk.isWord(end, "GROUPS") || tk.isPunct(end, ';')))
                break;
            ++end;
        }
        const QStringList names = selectNames(tk, i, d);
        for (const Range& term :
             split(tk, {by + 1, end}, d, [&](int k) { return tk[k].kind == Token::Comma; })) {
            int last = term.b - 1;
            while (last >= term.a && tk[last].kind == Token::Space)
                --last;
            if (last < term.a)
                continue;
            // Oracle takes a bare name for the select-list column of that name,
            // which SQLite does only for explicit aliases.
            const int head = tk.nextSig(term.a - 1);
            const int after = tk.nextSig(head);
            const bool bare = (tk[head].kind == Token::Word || tk[head].kind == Token::Quoted)
                              && (after < 0 || after > last || tk.isWord(after, "ASC")
                                  || tk.isWord(after, "DESC") || tk.isWord(after, "NULLS"));
            if (bare && names.count(identKey(tk, head)) == 1)
                edits.push_back(
                    {tk[head].begin, tk[head].end, QString::number(names.indexOf(identKey(tk, head)) + 1)});
            const int before = tk.prevSig(last);
            if ((tk.isWord(last, "FIRST") || tk.isWord(last, "LAST")) && tk.isWord(before, "NULLS"))
                continue;
            // Oracle puts NULLs last ascending and first descending; SQLite the other way.
            const QString placement =
                tk.isWord(last, "DESC") ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
            edits.push_back({tk[last].end, tk[last].end, placement});
        }
    }
    QString out = sql;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
    for (const Edit& e : edits)
        out.replace(e.begin, e.end - e.begin, e.text);
    return out;
}

QString toSqlite(const QString& oracleSql) { return oracleOrderBy(rewriteOuterJoins(oracleSql)); }

} // namespace morvane::embedded
