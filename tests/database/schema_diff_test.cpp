// The comparison of two schemas: exactly the changes made, in a stable
// order; nothing for a schema against itself; storage only on request.
#include "database/SchemaDiff.h"
#include "support/ChangedSnapshot.h"
#include "support/DemoLogon.h"
#include "support/ScopedDataDir.h"
#include <gtest/gtest.h>
#include <QRegularExpression>

using namespace morvane;

namespace {

SchemaModel schemaOf(const QString& server, const QString& owner = "SCOTT")
{
    Connection c;
    test::openDemo(c, server);
    return readSchema(c, owner);
}

QStringList summary(const QVector<SchemaChange>& changes)
{
    QStringList out;
    for (const SchemaChange& c : changes)
        out << QStringList{c.object, c.section, QString::number(c.position), c.item, c.change, c.attribute,
                           c.from,   c.to}
                   .join('|');
    return out;
}

class SchemaDiffTest : public ::testing::Test {
protected:
    void SetUp() override { test::makeChangedSnapshots(data.path()); }
    test::ScopedDataDir data;
};

} // namespace

TEST_F(SchemaDiffTest, HandChangedCopyListsExactlyThoseChanges)
{
    const QVector<SchemaChange> changes = compareSchemas(schemaOf("OLD"), schemaOf("NEW"), false);
    const QStringList expected = {
        "BONUS|object|0||dropped||TABLE|",
        "EMP|column|2|ENAME|changed|COMMENTS|社員氏名|氏名",
        "EMP|column|9|EMAIL|added|||VARCHAR2(80) \"メールアドレス\"",
        "EMP|index|2|IX_EMP_MGR_HIREDATE|dropped||NONUNIQUE (MGR, HIREDATE) USERS|",
        "EMPLOYEES|synonym|0||changed|TARGET|SCOTT.EMP|SCOTT.DEPT",
    };
    QStringList got = summary(changes);
    ASSERT_EQ(changes.size(), expected.size() + 1) << got.join('\n').toStdString();
    // The view's change carries its texts; checked by its diff below.
    ASSERT_TRUE(got.last().startsWith("EMP_DEPT_V|view|0||changed|TEXT|"));
    got.removeLast();
    EXPECT_EQ(got, expected);
    EXPECT_EQ(changes.last().diff,
              (QStringList{"@@ -1,3 +1,3 @@", "-SELECT E.EMPNO, E.ENAME, E.JOB, D.DNAME, D.LOC",
                           "+SELECT E.EMPNO, E.ENAME, E.JOB, D.DNAME, D.LOC, E.SAL", "   FROM EMP E, DEPT D",
                           "  WHERE E.DEPTNO = D.DEPTNO"}));

    EXPECT_TRUE(compareSchemas(schemaOf("OLD"), schemaOf("OLD"), true).isEmpty());
    EXPECT_TRUE(compareSchemas(schemaOf("DEMO"), schemaOf("OLD"), true).isEmpty());
}

TEST_F(SchemaDiffTest, StorageFiguresOnlyOnRequest)
{
    test::execOn(data.path() + "/NEW.db", "UPDATE ALL_TABLES SET NUM_ROWS = 15 WHERE TABLE_NAME = 'DEPT';"
                                          "UPDATE ALL_INDEXES SET BLEVEL = 3 WHERE INDEX_NAME = 'PK_DEPT';");
    const SchemaModel a = schemaOf("OLD"), b = schemaOf("NEW");
    EXPECT_FALSE(summary(compareSchemas(a, b, false)).join('\n').contains("DEPT|storage"));
    const QStringList with = summary(compareSchemas(a, b, true)).filter("DEPT|storage");
    ASSERT_EQ(with.size(), 2) << with.join('\n').toStdString();
    EXPECT_TRUE(with[0].startsWith("DEPT|storage|0||changed|NUM_ROWS|"));
    EXPECT_TRUE(with[1].startsWith("DEPT|storage|1|PK_DEPT|changed|BLEVEL|"));
}

TEST(UnifiedLineDiff, HunksWithContext)
{
    EXPECT_TRUE(unifiedLineDiff("a\nb", "a\nb").isEmpty());
    EXPECT_EQ(unifiedLineDiff("a\nb\nc", "a\nc\nd"),
              (QStringList{"@@ -1,3 +1,3 @@", " a", "-b", " c", "+d"}));
    // Changes more than twice the context apart make two hunks.
    QStringList from, to;
    for (int i = 1; i <= 20; ++i)
        from << QString::number(i);
    to = from;
    to[1] = "two";
    to[17] = "eighteen";
    const QStringList d = unifiedLineDiff(from.join('\n'), to.join('\n'), 2);
    EXPECT_EQ(d.filter(QRegularExpression("^@@")), (QStringList{"@@ -1,4 +1,4 @@", "@@ -16,5 +16,5 @@"}));
    EXPECT_EQ(unifiedLineDiff("", "x"), (QStringList{"@@ -1,1 +1,1 @@", "-", "+x"}));
}
