#pragma once
// A named query object over the connection: statement text as lines, named
// text parameters, and a cursor over the fetched rows with dataset semantics
// (Eof/Bof flags, the current row stays on the last/first row).
#include "core/Platform.h"
#include "database/DbDriver.h"
#include <QObject>
#include <QStringList>
#include <QHash>

namespace morvane {

class Connection;

struct FieldInfo {
    QString name;
    QString displayLabel;
    int displayWidth = 0; // characters; 0 = default
    bool numeric = false;
};

using Bookmark = int; // row position in the open result

// A column value as an integer: empty (NULL) as 0, a decimal cut to its whole
// part; throws DbError for text that is no number.
qint64 integerValue(const QString& text);

class Query : public QObject {
    Q_OBJECT
public:
    Query(QString name, int tag, Connection* connection = nullptr, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    int tag() const { return m_tag; }
    void setConnection(Connection* c) { m_connection = c; }

    void close();
    void setSql(const QStringList& lines);
    QString sqlText() const { return m_lines.join('\n'); }
    const QStringList& sqlLines() const { return m_lines; }
    // Binds a named parameter (with or without the colon) to a text value.
    void bind(const QString& name, const QString& value);
    void open();    // throws DbError
    void execute(); // statement without rows; throws DbError
    bool isOpen() const { return m_open; }

    // Fills the query from rows already fetched (generators, tests).
    void openWith(ResultSet result);
    // The fetched rows (empty when closed); a cheap, implicitly shared copy.
    const ResultSet& result() const { return m_result; }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recordCount() const;
    int currentRow() const { return m_row; } // -1 when empty or closed

    // Positions on the first row whose field matches; false leaves the cursor.
    bool locateIgnoreCase(const QString& field, const QString& value);
    bool locatePrefix(const QString& field, const QString& prefix);

    // Current row's value; throws DbError when closed, empty or the field is unknown.
    QString text(const QString& field) const;
    qint64 integer(const QString& field) const; // empty/NULL reads as 0
    bool isNull(const QString& field) const;
    // Direct access for views over the result (grid models).
    QString valueAt(int row, int column) const;
    int fieldIndex(const QString& field) const; // -1 when unknown

    QVector<FieldInfo> fields() const;
    void setDisplayLabel(const QString& field, const QString& label);
    void setDisplayWidth(const QString& field, int chars);
    // Declared width of a text result field (CP932 bytes). It only ever says
    // how wide the server's column is: values longer than it arrive whole.
    void setFieldSize(const QString& field, int bytes);
    int fieldSize(const QString& field) const;

    // Bound views stop and resume following the cursor.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    Bookmark bookmark() const { return m_row; }
    void gotoBookmark(Bookmark b);

signals:
    void resultChanged(); // opened or closed
    void currentRowChanged(int row);

private:
    void requireOpen() const;
    void moved();

    QString m_name;
    int m_tag;
    Connection* m_connection;
    QStringList m_lines;
    BindList m_binds;
    bool m_open = false;
    ResultSet m_result;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_disableCount = 0;
    QHash<QString, QString> m_labels;
    QHash<QString, int> m_widths;
    QHash<QString, int> m_sizes;
};

// Bound views stop following the query's cursor while it lives, and follow it
// again however the work ends, also on an error; release() resumes them early.
class ViewsPaused {
public:
    explicit ViewsPaused(Query& q) : m_query(q) { m_query.disableControls(); }
    ViewsPaused(const ViewsPaused&) = delete;
    ViewsPaused& operator=(const ViewsPaused&) = delete;
    ~ViewsPaused() { release(); }
    void release()
    {
        if (m_active)
            m_query.enableControls();
        m_active = false;
    }

private:
    Query& m_query;
    bool m_active = true;
};

// The end of a run over a query, however it ends: the query closed, the
// normal cursor back.
class QueryRunEnd {
public:
    explicit QueryRunEnd(Query& q) : m_query(q) { }
    QueryRunEnd(const QueryRunEnd&) = delete;
    QueryRunEnd& operator=(const QueryRunEnd&) = delete;
    ~QueryRunEnd()
    {
        m_query.close();
        platform::setNormalCursor();
    }

private:
    Query& m_query;
};

} // namespace morvane
