// Snapshots: every statement the program sends gives the source's result on
// the copy, from the embedded engine and through the OCI driver; the file is
// written whole, reads in bulk and keeps no password.
#include "database/Connection.h"
#include "database/Snapshot.h"
#include "database/SqlTrace.h"
#include "database/Statements.h"
#include "database/embedded/DemoDictionary.h"
#include "database/embedded/DictionaryGenerator.h"
#include "support/OciStandInHarness.h"
#include "support/ScopedDataDir.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

using namespace morvane;

namespace {

const QStringList kOwners = {"SCOTT", "SALES", "HR"};

struct Statement {
    QStringList sql;
    BindList binds;
};

QStringList names(const ResultSet& rs)
{
    QStringList out;
    for (const ColumnMeta& c : rs.columns)
        out << c.name + (c.numeric ? "#" : "");
    return out;
}

// What the program sends for an owner and each object of its catalog. The
// owner list is left out: a snapshot offers only the owners it took.
QVector<Statement> programStatements(IDbDriver& source, const QString& owner)
{
    QVector<Statement> out = {{sql::adjustColumnWidths(), {}},
                              {sql::catalogTableList(owner, "TABLE_TYPE, TABLE_NAME"), {}},
                              {sql::catalogAllObjects(), {{"OWNER", owner}}},
                              {sql::catalogTablesOnly(), {{"OWNER", owner}}}};
    const ResultSet cat = source.query(sql::catalogAllObjects().join('\n'), {{"OWNER", owner}});
    for (const auto& row : cat.rows) {
        const QString name = row[1];
        const BindList on = {{"OWNER", owner}, {"TABLE_NAME", name}};
        for (int tag = 2; tag <= 7; ++tag)
            out.push_back({sql::countRows(tag), on});
        for (const QStringList& s : {sql::synonymLookup(), sql::tables(), sql::indexes(), sql::views()})
            out.push_back({s, on});
        out.push_back({sql::indexColumns(),
                       {{"OWNER1", owner},
                        {"OWNER2", owner},
                        {"OWNER3", owner},
                        {"TABLE_NAME1", name},
                        {"TABLE_NAME2", name}}});
        out.push_back({sql::tableColumns(), {{"OWNER", owner}, {"OWNER1", owner}, {"TABLE_NAME", name}}});
    }
    return out;
}

// Compares every program statement on the source and on the snapshot; returns how many ran.
int expectSameResults(IDbDriver& source, IDbDriver& copy)
{
    int ran = 0;
    for (const QString& owner : kOwners)
        for (const Statement& s : programStatements(source, owner)) {
            const QString text = s.sql.join('\n');
            const ResultSet a = source.query(text, s.binds);
            const ResultSet b = copy.query(text, s.binds);
            EXPECT_EQ(names(a), names(b)) << text.toStdString();
            EXPECT_EQ(a.rows, b.rows) << text.toStdString() << "\n" << s.binds.value(1).second.toStdString();
            ++ran;
        }
    return ran;
}

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { demo = embeddedDatabaseFor("DEMO"); }
    std::unique_ptr<Connection> connect(const QString& server, const QString& password = "DEMO")
    {
        auto c = std::make_unique<Connection>();
        c->setLogon({server, "SYS", password});
        c->open();
        return c;
    }
    test::ScopedDataDir data;
    QString demo;
};

} // namespace

TEST_F(SnapshotTest, EveryStatementGivesTheSourcesResult)
{
    const QString path = data.path() + "/SNAP.db";
    const SnapshotReport r = takeSnapshot(*connect("DEMO"), kOwners, path);
    EXPECT_EQ(r.statements, 3 * 10 + 1);
    auto source = connect("DEMO");
    auto copy = connect("SNAP");
    EXPECT_EQ(expectSameResults(source->driver(), copy->driver()), 3 * 4 + 24 * 12);
    // The owner list offers the owners taken, no more.
    EXPECT_EQ(copy->driver().query(sql::ownerList().join('\n'), {}).rows,
              (QVector<QVector<QString>>{{"HR"}, {"SALES"}, {"SCOTT"}}));

    const auto info = readSnapshotInfo(*copy);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->service, "DEMO");
    EXPECT_EQ(info->user, "SYS");
    EXPECT_EQ(info->owners, kOwners);
    EXPECT_TRUE(info->takenAt.endsWith(" UTC"));
    EXPECT_FALSE(readSnapshotInfo(*source).has_value());

    // The figures stay the source's: a snapshot has no rows to analyse.
    const QString rows = copy->driver()
                             .query(sql::tables().join('\n'), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}})
                             .rows[0][5];
    EXPECT_FALSE(rows.isEmpty());
    EXPECT_THROW(copy->driver().execute(sql::analyzeTable("SCOTT", "EMP"), {}), DbError);
    EXPECT_EQ(copy->driver()
                  .query(sql::tables().join('\n'), {{"OWNER", "SCOTT"}, {"TABLE_NAME", "EMP"}})
                  .rows[0][5],
              rows);
}

TEST_F(SnapshotTest, ThroughTheOciDriverGivesTheSameResults)
{
    QTemporaryDir served;
    ASSERT_TRUE(QFile::copy(demo, served.filePath("ORCL.db")));
    const QString path = data.path() + "/OCISNAP.db";
    {
        test::UseStandIn use(served.path());
        if (!test::StandIn::get().ok())
            GTEST_SKIP() << "the stand-in OCI library did not load";
        takeSnapshot(*connect("ORCL"), kOwners, path);
        // Bulk: a handful of executes per owner, never one per object.
        EXPECT_LE(test::StandIn::get().stats()->executes, 3 * 10 + 2);
    }
    auto source = connect("DEMO");
    auto copy = connect("OCISNAP");
    expectSameResults(source->driver(), copy->driver());
}

TEST_F(SnapshotTest, StatementsDoNotGrowWithTheObjects)
{
    auto statementsFor = [&](int objects) {
        embedded::GeneratorOptions o;
        o.owners = 2;
        o.objectsPerOwner = objects;
        o.overwrite = true;
        embedded::generateDictionary(data.path() + "/GEN.db", o);
        TraceRecorder trace;
        const SnapshotReport r = takeSnapshot(*connect("GEN"), {"OWNER01"}, data.path() + "/GS.db");
        EXPECT_EQ(r.statements, trace.entries().size());
        EXPECT_EQ(r.objects, objects);
        return r.statements;
    };
    const int small = statementsFor(20);
    EXPECT_EQ(small, 10 + 9 + 1); // the synonyms into OWNER02 add one read per view
    EXPECT_EQ(statementsFor(400), small);
    // The targets in OWNER02 came along with the synonyms that name them.
    auto copy = connect("GS");
    EXPECT_EQ(copy->driver()
                  .query(sql::countRows(6).join('\n'), {{"OWNER", "OWNER02"}, {"TABLE_NAME", "T_00001"}})
                  .rows[0][0],
              "12");
}

TEST_F(SnapshotTest, WrittenWholeOrNotAtAllAndWithoutThePassword)
{
    embedded::GeneratorOptions o;
    o.owners = 1;
    o.objectsPerOwner = 10;
    o.password = "S3CRET-PW";
    embedded::generateDictionary(data.path() + "/PROD.db", o);
    const QString path = data.path() + "/KEEP.db";
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)); // an earlier file stays if the new one fails
    try {
        takeSnapshot(*connect("PROD", "S3CRET-PW"), {"OWNER01", "NOBODY"}, path);
        ADD_FAILURE() << "an unknown owner must fail";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("NOBODY")) << e.what();
    }
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // DEMO, PROD, KEEP

    takeSnapshot(*connect("PROD", "S3CRET-PW"), {"OWNER01"}, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("S3CRET-PW"));
    EXPECT_THROW(connect("KEEP", "S3CRET-PW"), DbError);
    EXPECT_NO_THROW(connect("KEEP", "DEMO"));
}
