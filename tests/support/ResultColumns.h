#pragma once
// Reading a fetched result by column name in tests.
#include "database/DbDriver.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace morvane::test {

// Index of the named column; a test failure (and 0) when there is none.
inline int col(const ResultSet& rs, const QString& name)
{
    for (int c = 0; c < rs.columns.size(); ++c)
        if (rs.columns[c].name == name)
            return c;
    ADD_FAILURE() << "no column " << name.toStdString();
    return 0;
}

// Every row's value of the named column.
inline QStringList column(const ResultSet& rs, const QString& name)
{
    const int c = col(rs, name);
    QStringList out;
    for (const auto& r : rs.rows)
        out << r[c];
    return out;
}

} // namespace morvane::test
