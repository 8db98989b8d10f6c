// The table-definition workbook, read back by a reader that is not ours
// (openpyxl): every cell of the column lists against what went in, strings
// kept as strings, links that resolve, and a file written whole or not at all.
#include "database/embedded/DictionaryGenerator.h"
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include "output/Workbook.h"
#include "support/DocRun.h"
#include "support/ScopedDataDir.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace morvane;
using namespace morvane::output;

namespace {

QString python()
{
    static const QString found = [] {
        for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
            QProcess p;
            p.start(candidate, {"-c", "import openpyxl"});
            if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return candidate;
        }
        return QString();
    }();
    return found;
}

#define SKIP_WITHOUT_READER()                                                                                \
    if (python().isEmpty())                                                                                  \
    GTEST_SKIP() << "no python3 with openpyxl (Debian's python3-openpyxl) to read the workbook"

// Sheet name -> its JSON (cells, links, view and print set-up).
QMap<QString, QJsonObject> readBack(const QString& path, QStringList* order = nullptr)
{
    QProcess p;
    p.start(python(), {QStringLiteral(MORVANE_SOURCE_DIR "/tests/output/read_workbook.py"), path});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QMap<QString, QJsonObject> sheets;
    for (const QJsonValue s :
         QJsonDocument::fromJson(p.readAllStandardOutput()).object()["sheets"].toArray()) {
        sheets.insert(s["name"].toString(), s.toObject());
        if (order)
            *order << s["name"].toString();
    }
    return sheets;
}

// Rows of cells from a 1-based row on: {row: [column -> [type, value]]}.
using Grid = QMap<int, QMap<int, QJsonArray>>;
Grid gridOf(const QJsonObject& sheet)
{
    Grid g;
    for (const QJsonValue c : sheet["cells"].toArray()) {
        const QJsonArray a = c.toArray();
        g[a[0].toInt()][a[1].toInt()] = a;
    }
    return g;
}

int rowStarting(const Grid& g, const QString& prefix)
{
    for (auto it = g.begin(); it != g.end(); ++it)
        if (it->contains(1) && it->value(1)[3].toString().startsWith(prefix))
            return it.key();
    return -1;
}

// The column list as read back: one line a row, "s:" or "n:" before each value.
std::string lines(const QStringList& rows) { return rows.join(QLatin1Char('\n')).toStdString(); }

QStringList columnList(const QJsonObject& sheet)
{
    const Grid g = gridOf(sheet);
    QStringList rows;
    const int heading = rowStarting(g, QStringLiteral("５．"));
    for (int r = heading + 2; heading > 0 && g.contains(r); ++r) {
        QStringList cells;
        for (int c = 1; c <= 9; ++c) {
            const QJsonArray a = g[r].value(c);
            if (a.isEmpty() || a[3].isNull())
                cells << QString();
            else if (a[2].toString() == "n")
                cells << "n:" + QString::number(a[3].toDouble(), 'g', 17);
            else
                cells << a[2].toString() + ":" + a[3].toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

ResultSet columnRows(const QVector<QVector<QString>>& rows)
{
    ResultSet rs;
    const char* names[] = {"COLUMN_ID",      "COLUMN_NAME", "COMMENTS", "DATA_TYPE",     "DATA_LENGTH",
                           "DATA_PRECISION", "DATA_SCALE",  "NULLABLE", "DEFAULT_LENGTH"};
    const bool numeric[] = {true, false, false, false, true, true, true, false, true};
    for (int c = 0; c < 9; ++c)
        rs.columns.push_back({names[c], numeric[c]});
    rs.rows = rows;
    return rs;
}

ResultSet oneRow(const QStringList& names, const QVector<QString>& values)
{
    ResultSet rs;
    for (const QString& n : names)
        rs.columns.push_back({n, false});
    rs.rows = {values};
    return rs;
}

} // namespace

TEST(Workbook, SheetNamesAndTextsAsASpreadsheetTakesThem)
{
    SheetNames names;
    const QString yoshi = QString::fromUtf8("\xF0\xA0\xAE\xB7"); // 𠮷, two UTF-16 units
    EXPECT_EQ(names.take("目次"), "目次~2");
    EXPECT_EQ(names.take("A/B"), "A_B");
    EXPECT_EQ(names.take("a_b"), "a_b~2"); // unique whatever the case
    EXPECT_EQ(names.take("[x]:*?\\\n\x1b"), "_x_______");
    EXPECT_EQ(names.take("'quoted'"), "_quoted_");
    EXPECT_EQ(names.take("History"), "History~2");
    EXPECT_EQ(names.take(QString(40, 'L')), QString(31, 'L'));
    EXPECT_EQ(names.take(QString(40, 'L')), QString(29, 'L') + "~2");
    EXPECT_EQ(names.take(yoshi.repeated(20)), yoshi.repeated(15)); // never half a character

    EXPECT_EQ(spreadsheetText("=1+1"), "=1+1");
    EXPECT_EQ(spreadsheetText("a_x0041_x0042_b"), "a_x005F_x0041_x005F_x0042_b");
    EXPECT_EQ(displayWidth("ﾃﾞｰﾀ型\r\nAB"), 6);
    EXPECT_EQ(displayWidth(yoshi + "가A"), 5);
}

TEST(Workbook, EveryCellReadsBackAsWrittenWithTheSheetsSetUp)
{
    SKIP_WITHOUT_READER();
    const QString longComment = QString(1000, QChar(0x8AAC)) + "\r\n" + QString(333, QChar(0x8AAC)) + "\nEND";
    const QString mixed = QString::fromUtf8("社員 사원 \xF0\xA0\xAE\xB7野家");
    document::DocumentData d;
    d.owner = "OWNER";
    d.tableName = "T";
    d.tableType = "TABLE";
    d.tableComment = "(表)";
    d.printName = "作成 者";
    d.tables = oneRow({"TABLESPACE_NAME", "PCT_FREE", "PCT_USED", "INITIAL_EXTENT", "NEXT_EXTENT", "NUM_ROWS",
                       "BLOCKS", "EMPTY_BLOCKS", "AVG_ROW_LEN"},
                      {"USERS", "10", "", "", "", "", "", "", ""});
    d.tables.columns[1].numeric = true;
    d.indexes = oneRow({"OWNER", "INDEX_NAME"}, {"OWNER", "=HYPERLINK(\"x\")"});
    d.indexes.rows.clear();
    d.indCols = oneRow({"INDEX_OWNER"}, {"OWNER"});
    d.indCols.rows.clear();
    d.tabCols =
        columnRows({{"1", "=1+1", "=1+1", "NUMBER", "22", "38", "0", "N", ""},
                    {"2", "_x0041_", longComment, "VARCHAR2", "4000", QString(), QString(), "Y", "12"},
                    {"3", mixed, mixed, "NUMBER", "1234567890123456", "-1.5", "0", "Y", ""}});

    QTemporaryDir dir;
    const QString path = dir.filePath("OWNER.xlsx");
    DefinitionWorkbook book(path);
    QString error, sheet;
    ASSERT_TRUE(book.open({"OWNER", "2026/12/08", "作成 者"}, &error)) << error.toStdString();
    ASSERT_TRUE(book.addObject({"T", "TABLE", "=SUM(A1)"}, d, &sheet, &error)) << error.toStdString();
    d.tableName = "V";
    d.tableType = "VIEW";
    d.views = oneRow({"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT"},
                     {"OWNER", "V", "30", "SELECT 1\n\n  FROM DUAL\r\n"});
    ASSERT_TRUE(book.addObject({"V", "VIEW", ""}, d, &sheet, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path)); // nothing at the target before the end
    ASSERT_TRUE(book.commit(&error)) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"OWNER.xlsx"});

    QStringList order;
    const auto sheets = readBack(path, &order);
    EXPECT_EQ(order, (QStringList{"目次", "T", "V"}));
    const QStringList expected = {"n:1|s:=1+1|s:=1+1|s:NUMBER|n:22|n:38|n:0|s:N|",
                                  "n:2|s:_x0041_|s:" + longComment + "|s:VARCHAR2|n:4000|||s:Y|n:12",
                                  // Sixteen digits are more than a spreadsheet number holds: kept as text.
                                  "n:3|s:" + mixed + "|s:" + mixed
                                      + "|s:NUMBER|s:1234567890123456|n:-1.5|n:0|s:Y|"};
    EXPECT_EQ(lines(columnList(sheets["T"])), lines(expected));
    EXPECT_EQ(lines(columnList(sheets["V"])), lines(expected));

    const Grid contents = gridOf(sheets["目次"]);
    const int first = rowStarting(contents, "No") + 1;
    EXPECT_EQ(contents[2][1][3].toString(), "◎ＯＷＮＥＲ：｢OWNER｣");
    EXPECT_EQ(contents[3][1][3].toString(), "作成日：2026/12/08");
    EXPECT_EQ(contents[3][3][3].toString(), "作成者：作成 者");
    EXPECT_EQ(contents[first][4][3].toString(), "=SUM(A1)");
    EXPECT_EQ(contents[first][4][2].toString(), "s");
    EXPECT_EQ(contents[first][5][3].toDouble(), 3);
    EXPECT_EQ(sheets["目次"]["links"].toArray(),
              (QJsonArray{QJsonArray{QString("B%1").arg(first), "'T'!A1"},
                          QJsonArray{QString("B%1").arg(first + 1), "'V'!A1"}}));
    EXPECT_EQ(sheets["V"]["links"].toArray()[0].toArray()[1].toString(),
              QString("'目次'!B%1").arg(first + 1));

    const Grid t = gridOf(sheets["T"]);
    EXPECT_EQ(t[2][1][3].toString(), "◎ＯＷＮＥＲ：｢OWNER｣  テーブル名：｢T｣ (表)");
    EXPECT_EQ(t[7][2][3].toDouble(), 10); // the storage figures under their labels
    const Grid v = gridOf(sheets["V"]);
    const int text = rowStarting(v, "SELECT 1");
    EXPECT_FALSE(v.contains(text + 1)); // the empty line keeps its row
    EXPECT_EQ(v[text + 2][1][3].toString(), "  FROM DUAL");
    // A Japanese face, ruled grid cells, and the print set-up.
    EXPECT_EQ(t[7][1][4].toString(), "ＭＳ 明朝");
    EXPECT_EQ(t[7][1][5].toString(), "thin");
    for (const QString& name : {QString("T"), QString("V")}) {
        const QJsonObject s = sheets[name];
        EXPECT_EQ(s["freeze"].toString(), "A4");
        EXPECT_EQ(s["titleRows"].toString(), "$1:$3");
        EXPECT_EQ(s["paper"].toInt(), 9);
        EXPECT_EQ(s["orientation"].toString(), "portrait");
        EXPECT_TRUE(s["fitToPage"].toBool());
        EXPECT_EQ(s["fitToWidth"].toInt(), 1);
        EXPECT_EQ(s["fitToHeight"].toInt(), 0);
        EXPECT_EQ(s["rowBreaks"].toArray().size(), 1);
    }
    EXPECT_GE(sheets["T"]["widths"].toObject()["B"].toDouble(), 10);
}

namespace {

// Rows of a query on the dictionary file itself, the values joined by "|".
QStringList dictionaryRows(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    QStringList rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            values << (text ? QString::fromUtf8(text) : QString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

} // namespace

TEST(WorkbookCli, EveryColumnListOfTheOddOwnerMatchesTheDictionary)
{
    SKIP_WITHOUT_READER();
    test::ScopedDataDir data;
    const QString db = data.path() + "/WBODD.db";
    embedded::GeneratorOptions g;
    g.owners = 1;
    g.objectsPerOwner = 10;
    g.oddOwner = true;
    embedded::generateDictionary(db, g);

    const test::DocRun r = test::runDoc({"--owner", "ODD", "--format", "xlsx"}, "WBODD");
    // Only the synonym on a synonym fails; the workbook holds everything else.
    EXPECT_EQ(r.status, kExitFailed) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("ODD.SYN_CHAIN")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("ODD.A/B: sheet named A_B")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(": sheet named " + embedded::oddLongTableName().left(31)))
        << r.err.toStdString();
    EXPECT_EQ(QDir(r.out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"ODD.xlsx"});

    QStringList order;
    const auto sheets = readBack(r.out + "/ODD.xlsx", &order);
    // The contents in the table list's order; each name links to the sheet that
    // carries the name in full in its header.
    QStringList catalog = dictionaryRows(
        db, "SELECT TABLE_NAME FROM ALL_CATALOG WHERE OWNER = 'ODD' ORDER BY TABLE_TYPE, TABLE_NAME");
    catalog.removeAll("SYN_CHAIN");
    const Grid contents = gridOf(sheets["目次"]);
    const int first = rowStarting(contents, "No") + 1;
    QStringList listed;
    QMap<QString, QString> sheetOf;
    for (const QJsonValue l : sheets["目次"]["links"].toArray()) {
        const int row = l.toArray()[0].toString().mid(1).toInt();
        const QString name = contents[row][2][3].toString();
        listed << name;
        QString target = l.toArray()[1].toString().section("'!", 0, 0).mid(1).replace("''", "'");
        sheetOf[name] = target;
        ASSERT_TRUE(sheets.contains(target)) << target.toStdString();
        EXPECT_LE(target.size(), 31);
        EXPECT_TRUE(gridOf(sheets[target])[2][1][3].toString().contains("｢" + name + "｣"))
            << target.toStdString();
        EXPECT_EQ(contents[row][5][3].toInt(), columnList(sheets[target]).size());
        EXPECT_EQ(row, first + listed.size() - 1);
    }
    EXPECT_EQ(lines(listed), lines(catalog));
    EXPECT_EQ(order.size(), catalog.size() + 1);

    // Every column of every table, cell by cell, with its type.
    const QStringList columns = dictionaryRows(
        db, "SELECT C.TABLE_NAME, 'n:' || C.COLUMN_ID, 's:' || C.COLUMN_NAME,"
            " CASE WHEN M.COMMENTS IS NULL OR M.COMMENTS = '' THEN '' ELSE 's:' || M.COMMENTS END,"
            " 's:' || C.DATA_TYPE, 'n:' || C.DATA_LENGTH, 'n:' || C.DATA_PRECISION, 'n:' || C.DATA_SCALE,"
            " 's:' || C.NULLABLE, 'n:' || C.DEFAULT_LENGTH"
            " FROM ALL_TAB_COLUMNS C JOIN ALL_CATALOG A ON A.OWNER = C.OWNER AND A.TABLE_NAME = C.TABLE_NAME"
            " LEFT JOIN ALL_COL_COMMENTS M ON M.OWNER = C.OWNER AND M.TABLE_NAME = C.TABLE_NAME"
            " AND M.COLUMN_NAME = C.COLUMN_NAME WHERE C.OWNER = 'ODD' ORDER BY C.TABLE_NAME, C.COLUMN_ID");
    QMap<QString, QStringList> expected;
    for (const QString& row : columns)
        expected[row.section('|', 0, 0)] << row.section('|', 1);
    ASSERT_FALSE(expected.isEmpty());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(lines(columnList(sheets[sheetOf[it.key()]])), lines(it.value())) << it.key().toStdString();
    // The synonym shows its table's columns.
    EXPECT_EQ(lines(columnList(sheets[sheetOf["SYN_MID"]])), lines(expected["A_B"]));
}

TEST(WorkbookCli, ATargetThatCannotBeReplacedLeavesItAsItWas)
{
    const QTemporaryDir root;
    const QString out = root.filePath("out");
    QDir().mkpath(out + "/SCOTT.xlsx/inside");
    const test::DocRun r =
        test::runDoc({"--owner", "SCOTT", "--object", "DEPT", "--format", "xlsx", "--out", out});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_TRUE(r.err.contains("SCOTT.xlsx: ")) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"SCOTT.xlsx"});
    EXPECT_TRUE(QFileInfo(out + "/SCOTT.xlsx/inside").isDir());
}
