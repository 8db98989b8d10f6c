#pragma once
// A snapshot of SCOTT from the demo and a copy of it changed by hand the way
// a schema changes between two hand-overs: a column added, a comment changed,
// an index dropped, a view text changed, a synonym retargeted, a table dropped.
#include "database/Connection.h"
#include "database/Snapshot.h"
#include "support/DemoLogon.h"
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace morvane::test {

inline void execOn(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

// Writes dir/OLD.db (SCOTT of DEMO) and dir/NEW.db (its changed copy).
inline void makeChangedSnapshots(const QString& dir)
{
    Connection demo;
    openDemo(demo);
    takeSnapshot(demo, {"SCOTT"}, dir + "/OLD.db");
    ASSERT_TRUE(QFile::copy(dir + "/OLD.db", dir + "/NEW.db"));
    execOn(dir + "/NEW.db", R"(
        INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, NULLABLE, COLUMN_ID)
            VALUES ('SCOTT', 'EMP', 'EMAIL', 'VARCHAR2', 80, 'Y', 9);
        INSERT INTO ALL_COL_COMMENTS VALUES ('SCOTT', 'EMP', 'EMAIL', 'メールアドレス');
        UPDATE ALL_COL_COMMENTS SET COMMENTS = '氏名' WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'EMP' AND COLUMN_NAME = 'ENAME';
        DELETE FROM ALL_IND_COLUMNS WHERE INDEX_NAME = 'IX_EMP_MGR_HIREDATE';
        DELETE FROM ALL_INDEXES WHERE INDEX_NAME = 'IX_EMP_MGR_HIREDATE';
        UPDATE ALL_VIEWS SET TEXT = replace(TEXT, 'D.LOC', 'D.LOC, E.SAL') WHERE VIEW_NAME = 'EMP_DEPT_V';
        UPDATE ALL_SYNONYMS SET TABLE_NAME = 'DEPT' WHERE SYNONYM_NAME = 'EMPLOYEES';
        DELETE FROM ALL_CATALOG WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_TAB_COMMENTS WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_TABLES WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_TAB_COLUMNS WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_COL_COMMENTS WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_IND_COLUMNS WHERE TABLE_OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
        DELETE FROM ALL_INDEXES WHERE TABLE_OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS';
    )");
}

} // namespace morvane::test
