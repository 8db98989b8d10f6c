#include "output/CsvExport.h"
#include "core/AppState.h"
#include "core/Platform.h"
#include "database/DataModule.h"
#include "database/Query.h"
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <optional>

namespace morvane::output {

namespace {

FileOpener g_opener;

bool openWithDesktop(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

// The table list leaves out its last field, the type.
QStringList fieldsOf(CsvSource source)
{
    if (source == CsvSource::TableList)
        return {QStringLiteral("OWNER"), QStringLiteral("TABLE_NAME"), QStringLiteral("COMMENTS")};
    return {QStringLiteral("COLUMN_ID"),  QStringLiteral("COLUMN_NAME"), QStringLiteral("COMMENTS"),
            QStringLiteral("DATA_TYPE"),  QStringLiteral("DATA_LENGTH"), QStringLiteral("DATA_PRECISION"),
            QStringLiteral("DATA_SCALE"), QStringLiteral("NULLABLE"),    QStringLiteral("DEFAULT_LENGTH")};
}

// What runs after every export, also when the file could not be written:
// the cursor, and the query back on its first row before its views follow it again.
class EndSteps {
public:
    explicit EndSteps(Query& q) : m_query(q) { }
    ~EndSteps()
    {
        platform::setNormalCursor();
        if (m_query.isOpen())
            m_query.first();
    }

private:
    Query& m_query;
};

} // namespace

FileOpener setFileOpener(FileOpener opener)
{
    FileOpener old = g_opener;
    g_opener = std::move(opener);
    return old;
}

QString csvOpenQuestion()
{
    const QString joint = QStringLiteral("\n\r\n\r");
    return QStringLiteral("データ出力が正常に終了しました。Ｅｘｃｅｌを起動しますか？") + joint
           + QStringLiteral("Ｅｘｃｅｌが終了されている事を確認して下さい。") + joint
           + QStringLiteral("もしＥｘｃｅｌが起動されない場合は、拡張子の関連付けを確認して下さい。");
}

CsvTable csvTableFrom(Query& q, CsvSource source)
{
    const QStringList names = fieldsOf(source);
    QVector<int> columns;
    CsvTable table;
    const QVector<FieldInfo> info = q.fields();
    for (const QString& name : names) {
        const int c = q.fieldIndex(name);
        if (c < 0)
            throw DbError(QStringLiteral("%1: フィールド '%2' が見つかりません").arg(q.name(), name));
        columns << c;
        table.header << info[c].displayLabel;
    }
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        row.reserve(columns.size());
        for (int c : columns)
            row << q.valueAt(q.currentRow(), c); // NULL reads as empty
        table.rows.push_back(std::move(row));
    }
    return table;
}

void ExportCsv(TDataModule2& dm, CsvSource source)
{
    dm.Tag = source == CsvSource::TableList ? SlotCatalog : SlotTabCols;
    Query& q = *dm.currentQuery();
    std::optional<ViewsPaused> paused; // ends after end's steps
    EndSteps end(q);
    platform::setBusyCursor();

    const QString name = csvFileName(dm.session().state.TableName);
    QString path = QDir(csvExportFolder()).filePath(name);

    // The grid does not follow the walk through the rows.
    paused.emplace(q);
    const CsvTable table = csvTableFrom(q, source);

    const CsvEncoding encoding =
        csvEncodingFor(table, csvCharsetFromSetting(dm.session().settings.CSV_ENCODING));
    CsvFile file;
    try {
        file.create(path, encoding);
    } catch (const CsvError&) {
        // The folder may have been removed meanwhile: make it again, once.
        path = QDir(csvExportFolder()).filePath(name);
        file.create(path, encoding);
    }
    WriteCsvLine(file, csvItems(table.header));
    for (const QStringList& row : table.rows)
        WriteCsvLine(file, csvItems(row));
    // Whole and closed before the spreadsheet opens it.
    file.commit();

    platform::setNormalCursor();
    const MessageResult answer =
        platform::messages().show(MessageKind::Confirmation, csvOpenQuestion(), MessageButtons::YesNo);
    if (answer == MessageResult::Yes) {
        const FileOpener opener = g_opener ? g_opener : FileOpener(openWithDesktop);
        opener(path);
    }
}

} // namespace morvane::output
