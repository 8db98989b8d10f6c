#include "database/Query.h"
#include "database/Connection.h"
#include "database/SqlTrace.h"

namespace morvane {

Query::Query(QString name, int tag, Connection* connection, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_tag(tag), m_connection(connection)
{
}

void Query::close()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_result = ResultSet{};
    m_row = -1;
    m_eof = m_bof = true;
    if (wasOpen)
        emit resultChanged();
}

void Query::setSql(const QStringList& lines)
{
    close();
    m_lines = lines;
    m_binds.clear();
}

void Query::bind(const QString& name, const QString& value)
{
    const QString key = name.startsWith(':') ? name.mid(1) : name;
    for (auto& b : m_binds) {
        if (b.first.compare(key, Qt::CaseInsensitive) == 0) {
            b.second = value;
            return;
        }
    }
    m_binds.append({key, value});
}

void Query::open()
{
    close();
    if (!m_connection)
        throw DbError(QStringLiteral("%1: no connection").arg(m_name));
    const QString sql = sqlText();
    SqlTrace::record({m_name, QStringLiteral("open"), sql, m_binds});
    ResultSet rs = m_connection->driver().query(sql, m_binds);
    openWith(std::move(rs));
}

void Query::execute()
{
    close();
    if (!m_connection)
        throw DbError(QStringLiteral("%1: no connection").arg(m_name));
    const QString sql = sqlText();
    SqlTrace::record({m_name, QStringLiteral("execute"), sql, m_binds});
    m_connection->driver().execute(sql, m_binds);
}

void Query::openWith(ResultSet result)
{
    close();
    m_result = std::move(result);
    m_open = true;
    m_row = m_result.rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_result.rows.isEmpty();
    emit resultChanged();
    moved();
}

void Query::moved()
{
    if (m_disableCount == 0)
        emit currentRowChanged(m_row);
}

void Query::first()
{
    requireOpen();
    m_row = m_result.rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_result.rows.isEmpty();
    moved();
}

void Query::last()
{
    requireOpen();
    m_row = static_cast<int>(m_result.rows.size()) - 1;
    m_eof = true;
    m_bof = m_result.rows.isEmpty();
    moved();
}

void Query::next()
{
    requireOpen();
    if (m_row + 1 < m_result.rows.size()) {
        ++m_row;
        m_bof = false;
        m_eof = false;
        moved();
    } else {
        m_eof = true;
    }
}

void Query::prior()
{
    requireOpen();
    if (m_row > 0) {
        --m_row;
        m_bof = false;
        m_eof = false;
        moved();
    } else {
        m_bof = true;
    }
}

int Query::recordCount() const { return m_open ? static_cast<int>(m_result.rows.size()) : 0; }

int Query::fieldIndex(const QString& field) const
{
    for (int c = 0; c < m_result.columns.size(); ++c)
        if (m_result.columns[c].name.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

bool Query::locateIgnoreCase(const QString& field, const QString& value)
{
    requireOpen();
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: フィールド '%2' が見つかりません").arg(m_name, field));
    for (int r = 0; r < m_result.rows.size(); ++r) {
        if (m_result.rows[r][col].compare(value, Qt::CaseInsensitive) == 0) {
            m_row = r;
            m_bof = m_eof = false;
            moved();
            return true;
        }
    }
    return false;
}

bool Query::locatePrefix(const QString& field, const QString& prefix)
{
    requireOpen();
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: フィールド '%2' が見つかりません").arg(m_name, field));
    for (int r = 0; r < m_result.rows.size(); ++r) {
        if (m_result.rows[r][col].startsWith(prefix, Qt::CaseSensitive)) {
            m_row = r;
            m_bof = m_eof = false;
            moved();
            return true;
        }
    }
    return false;
}

void Query::requireOpen() const
{
    if (!m_open)
        throw DbError(QStringLiteral("%1: クローズしたデータセットは操作できません").arg(m_name));
}

QString Query::text(const QString& field) const
{
    requireOpen();
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: フィールド '%2' が見つかりません").arg(m_name, field));
    if (m_row < 0)
        return QString();
    const QString& v = m_result.rows[m_row][col];
    return v.isNull() ? QString("") : v;
}

qint64 integerValue(const QString& t)
{
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (ok)
        return v;
    const double d = t.toDouble(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' は整数ではありません").arg(t));
    return static_cast<qint64>(d);
}

qint64 Query::integer(const QString& field) const { return integerValue(text(field)); }

bool Query::isNull(const QString& field) const
{
    requireOpen();
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: フィールド '%2' が見つかりません").arg(m_name, field));
    return m_row < 0 || m_result.rows[m_row][col].isNull();
}

QString Query::valueAt(int row, int column) const
{
    if (!m_open || row < 0 || row >= m_result.rows.size() || column < 0 || column >= m_result.columns.size())
        return QString();
    return m_result.rows[row][column];
}

QVector<FieldInfo> Query::fields() const
{
    QVector<FieldInfo> out;
    for (const auto& c : m_result.columns) {
        FieldInfo f;
        f.name = c.name;
        f.displayLabel = m_labels.value(c.name.toUpper(), c.name);
        f.displayWidth = m_widths.value(c.name.toUpper(), 0);
        f.numeric = c.numeric;
        out.push_back(f);
    }
    return out;
}

void Query::setDisplayLabel(const QString& field, const QString& label)
{
    m_labels.insert(field.toUpper(), label);
}

void Query::setDisplayWidth(const QString& field, int chars) { m_widths.insert(field.toUpper(), chars); }

void Query::setFieldSize(const QString& field, int bytes) { m_sizes.insert(field.toUpper(), bytes); }

int Query::fieldSize(const QString& field) const { return m_sizes.value(field.toUpper(), 0); }

void Query::disableControls() { ++m_disableCount; }

void Query::enableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        emit currentRowChanged(m_row);
}

void Query::gotoBookmark(Bookmark b)
{
    requireOpen();
    if (b < 0 || b >= m_result.rows.size())
        throw DbError(QStringLiteral("%1: ブックマークが無効です").arg(m_name));
    m_row = b;
    m_bof = m_eof = false;
    moved();
}

} // namespace morvane
