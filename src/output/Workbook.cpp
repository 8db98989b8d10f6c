#include "output/Workbook.h"
#include "core/WholeFile.h"
#include "document/PageGeometry.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <xlsxwriter.h>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace morvane::output {

namespace {

const QString kContentsSheet = QStringLiteral("目次");
// The page face; where it is missing the spreadsheet puts its own in its place.
const char* const kFace = "ＭＳ 明朝";
constexpr int kSheetNameMax = 31;
// The longest text a cell holds.
constexpr int kCellTextMax = 32767;
constexpr int kGridColumns = 9;
constexpr double kWidestColumn = 50;
// Rows in larger type: a row without a height keeps the default one in some spreadsheets.
constexpr double kTitleHeight = 21;
constexpr double kOwnerLineHeight = 17;
constexpr double kLineHeight = 13.5; // a line of 10-point text
// The contents' columns: No, name, type, comment, number of columns.
const QVector<double> kContentsWidths = {7, 36, 19, 50, 9};

struct Field {
    QString label;
    QString field;
    CellStyle style;
};

struct Section {
    QString heading;
    QVector<Field> fields;
};

Section storageSection()
{
    return {QStringLiteral("１．総合テーブル情報 (All_Tables)"),
            {{QStringLiteral("ﾃｰﾌﾞﾙｽﾍﾟｰｽ名"), QStringLiteral("TABLESPACE_NAME"), CellStyle::Text},
             {QStringLiteral("Pct_Free"), QStringLiteral("PCT_FREE"), CellStyle::Number},
             {QStringLiteral("Pct_Used"), QStringLiteral("PCT_USED"), CellStyle::Number},
             {QStringLiteral("Ini_Ext"), QStringLiteral("INITIAL_EXTENT"), CellStyle::Number},
             {QStringLiteral("Next_Ext"), QStringLiteral("NEXT_EXTENT"), CellStyle::Number},
             {QStringLiteral("行数"), QStringLiteral("NUM_ROWS"), CellStyle::Number},
             {QStringLiteral("使用Block"), QStringLiteral("BLOCKS"), CellStyle::Number},
             {QStringLiteral("空きBlock"), QStringLiteral("EMPTY_BLOCKS"), CellStyle::Number},
             {QStringLiteral("平均列長"), QStringLiteral("AVG_ROW_LEN"), CellStyle::Number}}};
}

Section indexSection()
{
    return {QStringLiteral("２．インデックス情報 (All_Indexes)"),
            {{QStringLiteral("オーナー名"), QStringLiteral("OWNER"), CellStyle::Text},
             {QStringLiteral("ｲﾝﾃﾞｯｸｽ名"), QStringLiteral("INDEX_NAME"), CellStyle::Text},
             {QStringLiteral("ﾃｰﾌﾞﾙｽﾍﾟｰｽ名"), QStringLiteral("TABLESPACE_NAME"), CellStyle::Text},
             {QStringLiteral("一意"), QStringLiteral("UNIQUENESS"), CellStyle::Code},
             {QStringLiteral("Pct_Free"), QStringLiteral("PCT_FREE"), CellStyle::Number},
             {QStringLiteral("Ini_Ext"), QStringLiteral("INITIAL_EXTENT"), CellStyle::Number},
             {QStringLiteral("Next_Ext"), QStringLiteral("NEXT_EXTENT"), CellStyle::Number},
             {QStringLiteral("ﾂﾘｰ･ﾚﾍﾞﾙ"), QStringLiteral("BLEVEL"), CellStyle::Number},
             {QStringLiteral("ﾘｰﾌ･ﾌﾞﾛｯｸ"), QStringLiteral("LEAF_BLOCKS"), CellStyle::Number}}};
}

Section indexColumnSection()
{
    return {QStringLiteral("３．インデックス項目情報 (All_Index_Columns)"),
            {{QStringLiteral("オーナー名"), QStringLiteral("INDEX_OWNER"), CellStyle::Text},
             {QStringLiteral("ｲﾝﾃﾞｯｸｽ名"), QStringLiteral("INDEX_NAME"), CellStyle::Text},
             {QStringLiteral("項目名"), QStringLiteral("COLUMN_NAME"), CellStyle::Text},
             {QStringLiteral("項目位置"), QStringLiteral("COLUMN_POSITION"), CellStyle::Number},
             {QStringLiteral("項目長"), QStringLiteral("COLUMN_LENGTH"), CellStyle::Number},
             {QStringLiteral("数値長"), QStringLiteral("DATA_PRECISION"), CellStyle::Number},
             {QStringLiteral("小数点"), QStringLiteral("DATA_SCALE"), CellStyle::Number}}};
}

Section viewSection()
{
    return {QStringLiteral("１．総合ビュー情報 (All_Views)"),
            {{QStringLiteral("ユーザー名"), QStringLiteral("OWNER"), CellStyle::Text},
             {QStringLiteral("ビュー名"), QStringLiteral("VIEW_NAME"), CellStyle::Text},
             {QStringLiteral("項目長"), QStringLiteral("TEXT_LENGTH"), CellStyle::Number}}};
}

// The column pages' grid, without the page number: the sheet holds every column.
Section columnSection()
{
    return {QStringLiteral("５．テーブル項目情報 (All_Table_Columns)"),
            {{QStringLiteral("列順"), QStringLiteral("COLUMN_ID"), CellStyle::Number},
             {QStringLiteral("項 目 名"), QStringLiteral("COLUMN_NAME"), CellStyle::Text},
             {QStringLiteral("項 目 別 名"), QStringLiteral("COMMENTS"), CellStyle::Text},
             {QStringLiteral("ﾃﾞｰﾀ型"), QStringLiteral("DATA_TYPE"), CellStyle::Code},
             {QStringLiteral("ﾃﾞｰﾀ長"), QStringLiteral("DATA_LENGTH"), CellStyle::Number},
             {QStringLiteral("数値長"), QStringLiteral("DATA_PRECISION"), CellStyle::Number},
             {QStringLiteral("小数点"), QStringLiteral("DATA_SCALE"), CellStyle::Number},
             {QStringLiteral("NULL"), QStringLiteral("NULLABLE"), CellStyle::Code},
             {QStringLiteral("標準長"), QStringLiteral("DEFAULT_LENGTH"), CellStyle::Number}}};
}

bool isWide(uint u)
{
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
           || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
           || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x20000 && u <= 0x3FFFD);
}

bool isNumericField(const ResultSet& rows, const QString& field)
{
    for (const ColumnMeta& c : rows.columns)
        if (c.name.compare(field, Qt::CaseInsensitive) == 0)
            return c.numeric;
    return false;
}

// A number the spreadsheet holds exactly: plain digits, at most 15 of them significant.
bool exactNumber(const QString& text, double* value)
{
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (!plain.match(text).hasMatch())
        return false;
    QString digits = text;
    digits.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    int lead = 0;
    while (lead < digits.size() - 1 && digits.at(lead) == QLatin1Char('0'))
        ++lead;
    if (digits.size() - lead > 15)
        return false;
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

// Width units are the default font's digits; faces that stand in for the
// Japanese one run wider, so the width has room to spare. What is wider
// than the widest column wraps within the cell.
double columnWidth(double characters) { return std::min(std::max(characters * 1.2 + 2, 6.0), kWidestColumn); }

// Lines a wrapped cell takes in a column of that width.
int wrappedLines(const QString& text, double width)
{
    const double perLine = std::max(1.0, (width - 2) / 1.2);
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    const bool several = text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    int lines = 0;
    for (const QString& line : several ? text.split(breaks) : QStringList{text})
        lines += std::max(1, int(std::ceil(displayWidth(line) / perLine)));
    return lines;
}

bool wraps(CellStyle s) { return s == CellStyle::Label || s == CellStyle::Text || s == CellStyle::Link; }

// Spreadsheets differ in whether they fit a row to wrapped text on opening:
// a row of several lines gets its height written.
double rowHeight(const QVector<SheetCell>& cells, const QVector<double>& widths)
{
    int lines = 1;
    for (const SheetCell& c : cells)
        if (wraps(c.style) && c.column < widths.size())
            lines = std::max(lines, wrappedLines(c.text, widths.at(c.column)));
    return lines > 1 ? lines * kLineHeight : 0;
}

SheetCell textCell(int column, CellStyle style, const QString& text)
{
    SheetCell c;
    c.column = column;
    c.style = style;
    c.text = text;
    return c;
}

SheetCell valueCell(int column, CellStyle style, const QString& text, bool numeric)
{
    SheetCell c = textCell(column, style, text);
    if (numeric)
        c.isNumber = exactNumber(text, &c.number);
    return c;
}

class PlanBuilder {
public:
    SheetPlan plan;

    void row(QVector<SheetCell> cells = {}) { plan.rows.push_back({std::move(cells)}); }

    void grid(const Section& s, const ResultSet& rows, bool withRecords = true)
    {
        row({textCell(0, CellStyle::Heading, s.heading)});
        QVector<SheetCell> labels;
        for (int c = 0; c < s.fields.size(); ++c)
            labels.push_back(textCell(c, CellStyle::Label, s.fields.at(c).label));
        row(labels);
        if (!withRecords)
            return;
        document::requireLoaded(rows);
        for (int r = 0; r < rows.rows.size(); ++r)
            record(s, rows, r);
    }

    void record(const Section& s, const ResultSet& rows, int r)
    {
        QVector<SheetCell> cells;
        for (int c = 0; c < s.fields.size(); ++c) {
            const Field& f = s.fields.at(c);
            cells.push_back(
                valueCell(c, f.style, document::fieldText(rows, r, f.field), isNumericField(rows, f.field)));
        }
        row(cells);
    }

    // One line a row; a line longer than a cell holds goes on in the rows below.
    void viewText(const QString& text)
    {
        for (const QString& line : document::splitTextLines(text)) {
            if (line.isEmpty()) {
                row();
                continue;
            }
            for (int at = 0; at < line.size();) {
                int n = std::min(kCellTextMax, int(line.size()) - at);
                if (at + n < line.size() && line.at(at + n - 1).isHighSurrogate())
                    --n;
                row({textCell(0, CellStyle::ViewText, line.mid(at, n))});
                at += n;
            }
        }
    }

    void fitWidths()
    {
        plan.widths = QVector<double>(kGridColumns, 0);
        for (const SheetRow& r : plan.rows)
            for (const SheetCell& c : r.cells) {
                const bool grid = c.style == CellStyle::Label || c.style == CellStyle::Text
                                  || c.style == CellStyle::Code || c.style == CellStyle::Number;
                if (grid && c.column < kGridColumns)
                    plan.widths[c.column] = std::max<double>(plan.widths[c.column], displayWidth(c.text));
            }
        for (double& w : plan.widths)
            w = columnWidth(w);
        for (SheetRow& r : plan.rows)
            if (r.height == 0)
                r.height = rowHeight(r.cells, plan.widths);
    }
};

QString sheetReference(const QString& sheet, const QString& cell)
{
    QString quoted = sheet;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QStringLiteral("'!") + cell;
}

QString columnLetter(int column) { return QString(QChar('A' + column)); }

} // namespace

QString spreadsheetText(const QString& text)
{
    // The escape's own underscore is "_x005F_"; overlapping patterns each get one.
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out = text;
    return out.replace(escapeLike, QStringLiteral("_x005F_"));
}

int displayWidth(const QString& text)
{
    int widest = 0;
    int width = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            widest = std::max(widest, width);
            width = 0;
            continue;
        }
        uint u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            u = QChar::surrogateToUcs4(c, text.at(++i));
        width += isWide(u) ? 2 : 1;
    }
    return std::max(widest, width);
}

SheetNames::SheetNames()
{
    m_used.insert(kContentsSheet.toCaseFolded());
    // Excel keeps this name for itself.
    m_used.insert(QStringLiteral("history"));
}

QString SheetNames::take(const QString& objectName)
{
    QString clean;
    for (const QChar c : objectName) {
        const ushort u = c.unicode();
        const bool bad = u < 0x20 || u == 0x7f || QStringLiteral("[]:*?/\\").contains(c);
        clean += bad ? QChar('_') : c;
    }
    if (clean.isEmpty())
        clean = QStringLiteral("_");
    const auto fitted = [&](const QString& suffix) {
        QString base = clean;
        if (base.size() + suffix.size() > kSheetNameMax) {
            base.truncate(kSheetNameMax - suffix.size());
            if (!base.isEmpty() && base.back().isHighSurrogate())
                base.chop(1);
        }
        QString name = base + suffix;
        if (name.startsWith(QLatin1Char('\'')))
            name[0] = QChar('_');
        if (name.endsWith(QLatin1Char('\'')))
            name[name.size() - 1] = QChar('_');
        return name;
    };
    QString name = fitted(QString());
    for (int k = 2; m_used.contains(name.toCaseFolded()); ++k)
        name = fitted(QStringLiteral("~%1").arg(k));
    m_used.insert(name.toCaseFolded());
    return name;
}

SheetPlan objectSheetPlan(const document::DocumentData& d, const QString& date, const QString& linkBack)
{
    PlanBuilder b;
    SheetCell back = textCell(kGridColumns - 1, CellStyle::BackLink, QStringLiteral("目次へ"));
    back.link = linkBack;
    b.row({textCell(0, CellStyle::Title, QStringLiteral("データベース定義ファイル")), back});
    b.plan.rows.back().height = kTitleHeight;
    b.row({textCell(0, CellStyle::OwnerLine, document::ownerLineText(d))});
    b.plan.rows.back().height = kOwnerLineHeight;
    b.row({textCell(0, CellStyle::Plain, QStringLiteral("作成日：") + date),
           textCell(3, CellStyle::Plain, QStringLiteral("作成者：") + d.printName)});
    b.plan.headerRows = 3;
    b.row();

    const QString table = QStringLiteral("TABLE");
    const QString view = QStringLiteral("VIEW");
    if (d.tableType == table || d.synonymTargetType == table) {
        b.grid(storageSection(), d.tables);
        b.row();
        b.grid(indexSection(), d.indexes);
        b.row();
        b.grid(indexColumnSection(), d.indCols);
    } else {
        // Objects other than views have nothing loaded in the view query.
        const bool isView = d.tableType == view || d.synonymTargetType == view;
        const Section s = viewSection();
        b.grid(s, d.views, false);
        if (isView) {
            document::requireLoaded(d.views);
            for (int r = 0; r < d.views.rows.size(); ++r) {
                b.record(s, d.views, r);
                b.viewText(document::fieldText(d.views, r, QStringLiteral("TEXT")));
            }
        }
    }
    b.row();
    b.plan.columnListRow = b.plan.rows.size();
    b.grid(columnSection(), d.tabCols);
    b.fitWidths();
    return b.plan;
}

struct DefinitionWorkbook::Impl {
    QString target;
    std::unique_ptr<QTemporaryDir> folder;
    QByteArray folderPath;
    QString bookPath;
    lxw_workbook* book = nullptr;
    lxw_worksheet* contents = nullptr;
    QVector<lxw_worksheet*> sheets;
    std::array<lxw_format*, 11> formats{};
    SheetNames names;
    int contentsRow = 0;
    int objects = 0;
    QString spoiled; // the first failure of the file

    ~Impl()
    {
        if (!book)
            return;
        // Frees without writing anything; the rows written so far sit in
        // files the library would only close when writing the workbook.
        for (lxw_worksheet* ws : sheets)
            if (ws->optimize_tmpfile) {
                fclose(ws->optimize_tmpfile);
                ws->optimize_tmpfile = nullptr;
                ws->file = nullptr;
            }
        lxw_workbook_free(book);
    }

    lxw_format* format(CellStyle s) const { return formats[size_t(s)]; }

    void makeFormats()
    {
        for (size_t i = 0; i < formats.size(); ++i) {
            lxw_format* f = workbook_add_format(book);
            formats[i] = f;
            format_set_font_name(f, kFace);
            format_set_font_size(f, 10);
            format_set_font_family(f, 1); // Roman: a Mincho face
            format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
            switch (CellStyle(i)) {
            case CellStyle::Title:
                format_set_font_size(f, 14);
                format_set_bold(f);
                break;
            case CellStyle::OwnerLine: format_set_font_size(f, 12); break;
            case CellStyle::Heading: format_set_bold(f); break;
            case CellStyle::Label:
                format_set_border(f, LXW_BORDER_THIN);
                format_set_bg_color(f, 0xD9E1F2);
                format_set_align(f, LXW_ALIGN_CENTER);
                format_set_text_wrap(f);
                break;
            case CellStyle::Text:
                format_set_border(f, LXW_BORDER_THIN);
                format_set_text_wrap(f);
                break;
            case CellStyle::Code:
            case CellStyle::Number:
                format_set_border(f, LXW_BORDER_THIN);
                format_set_align(f, LXW_ALIGN_CENTER);
                break;
            case CellStyle::Link:
                format_set_border(f, LXW_BORDER_THIN);
                format_set_text_wrap(f);
                format_set_underline(f, LXW_UNDERLINE_SINGLE);
                format_set_font_color(f, LXW_COLOR_BLUE);
                break;
            case CellStyle::BackLink:
                format_set_underline(f, LXW_UNDERLINE_SINGLE);
                format_set_font_color(f, LXW_COLOR_BLUE);
                break;
            case CellStyle::Plain:
            case CellStyle::ViewText: break;
            }
        }
    }

    bool check(lxw_error e, const QString& what)
    {
        if (e != LXW_NO_ERROR && spoiled.isEmpty())
            spoiled = what + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(e));
        return e == LXW_NO_ERROR;
    }

    void write(lxw_worksheet* ws, int row, const SheetCell& c)
    {
        lxw_format* f = format(c.style);
        const QString where = QStringLiteral("%1%2").arg(columnLetter(c.column)).arg(row + 1);
        if (!c.link.isEmpty()) {
            // The library repeats the text in an attribute of the link, where a
            // control character would spoil the file: the link gets a clean
            // copy, and the cell is written again with the text itself.
            QString display = c.text;
            for (QChar& ch : display)
                if (ch.unicode() < 0x20)
                    ch = QChar(' ');
            const QByteArray url = (QStringLiteral("internal:") + c.link).toUtf8();
            check(worksheet_write_url_opt(ws, lxw_row_t(row), lxw_col_t(c.column), url.constData(), f,
                                          display.toUtf8().constData(), nullptr),
                  where);
            check(worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(c.column),
                                         spreadsheetText(c.text).toUtf8().constData(), f),
                  where);
        } else if (c.isNumber) {
            check(worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(c.column), c.number, f), where);
        } else if (c.text.isEmpty()) {
            check(worksheet_write_blank(ws, lxw_row_t(row), lxw_col_t(c.column), f), where);
        } else {
            check(worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(c.column),
                                         spreadsheetText(c.text).toUtf8().constData(), f),
                  where);
        }
    }

    void printSetup(lxw_worksheet* ws, int headerRows)
    {
        worksheet_set_paper(ws, 9); // A4
        worksheet_set_portrait(ws);
        worksheet_fit_to_pages(ws, 1, 0);
        worksheet_set_margins(ws, 0.5, 0.5, 0.6, 0.6);
        worksheet_set_footer(ws, "&C&P / &N");
        if (headerRows > 0) {
            worksheet_freeze_panes(ws, lxw_row_t(headerRows), 0);
            worksheet_repeat_rows(ws, 0, lxw_row_t(headerRows - 1));
        }
    }

    // The contents' widths are fixed: its rows go out before the longest name is known.
    void contentsLine(const QVector<SheetCell>& cells, double height = 0)
    {
        if (height == 0)
            height = rowHeight(cells, kContentsWidths);
        if (height > 0)
            check(worksheet_set_row(contents, lxw_row_t(contentsRow), height, nullptr), kContentsSheet);
        for (const SheetCell& c : cells)
            write(contents, contentsRow, c);
        ++contentsRow;
    }
};

DefinitionWorkbook::DefinitionWorkbook(QString target) : d(std::make_unique<Impl>())
{
    d->target = std::move(target);
}

DefinitionWorkbook::~DefinitionWorkbook() = default;

bool DefinitionWorkbook::open(const WorkbookHeader& header, QString* error)
{
    if (d->book) {
        *error = d->target + QStringLiteral(": already open");
        return false;
    }
    // The library writes to a name: it gets one in a folder of our own,
    // made exclusively beside the target, and the file is renamed in when whole.
    const QFileInfo info(d->target);
    d->folder = std::make_unique<QTemporaryDir>(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                                                + QStringLiteral("-XXXXXX"));
    if (!d->folder->isValid()) {
        *error = info.absolutePath() + QStringLiteral(": ") + d->folder->errorString();
        return false;
    }
    d->folderPath = QFile::encodeName(d->folder->path());
    d->bookPath = d->folder->filePath(QStringLiteral("book.xlsx"));
    lxw_workbook_options options{};
    // Each sheet's rows go to a temporary file as they are written.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = d->folderPath.data();
    options.use_zip64 = LXW_TRUE;
    d->book = workbook_new_opt(QFile::encodeName(d->bookPath).constData(), &options);
    if (!d->book) {
        *error = d->target + QStringLiteral(": the workbook cannot be started");
        return false;
    }
    d->makeFormats();
    QByteArray title = (QStringLiteral("テーブル定義書 ") + header.owner).toUtf8();
    QByteArray author = header.printName.toUtf8();
    lxw_doc_properties properties{};
    properties.title = title.data();
    properties.author = author.data();
    workbook_set_properties(d->book, &properties);

    errno = 0;
    d->contents = workbook_add_worksheet(d->book, kContentsSheet.toUtf8().constData());
    if (!d->contents) {
        *error = d->target + QStringLiteral(": the sheet 目次 cannot be added")
                 + (errno ? QStringLiteral(": ") + systemErrorText(errno) : QString());
        return false;
    }
    d->sheets.push_back(d->contents);
    for (int c = 0; c < kContentsWidths.size(); ++c)
        worksheet_set_column(d->contents, lxw_col_t(c), lxw_col_t(c), kContentsWidths.at(c), nullptr);
    d->contentsLine({textCell(0, CellStyle::Title, QStringLiteral("データベース定義ファイル　目次"))},
                    kTitleHeight);
    // The header lines of the pages: owner, date and author.
    d->contentsLine({textCell(0, CellStyle::OwnerLine,
                              QStringLiteral("◎ＯＷＮＥＲ：｢") + header.owner + QStringLiteral("｣"))},
                    kOwnerLineHeight);
    d->contentsLine({textCell(0, CellStyle::Plain, QStringLiteral("作成日：") + header.date),
                     textCell(2, CellStyle::Plain, QStringLiteral("作成者：") + header.printName)});
    ++d->contentsRow;
    const QStringList labels = {QStringLiteral("No"), QStringLiteral("テーブル名"),
                                QStringLiteral("テーブルタイプ"), QStringLiteral("テーブルコメント"),
                                QStringLiteral("項目数")};
    QVector<SheetCell> heads;
    for (int c = 0; c < labels.size(); ++c)
        heads.push_back(textCell(c, CellStyle::Label, labels.at(c)));
    d->contentsLine(heads);
    d->printSetup(d->contents, 0);
    worksheet_freeze_panes(d->contents, lxw_row_t(d->contentsRow), 0);
    worksheet_repeat_rows(d->contents, lxw_row_t(d->contentsRow - 1), lxw_row_t(d->contentsRow - 1));
    if (!d->spoiled.isEmpty()) {
        *error = d->target + QStringLiteral(": ") + d->spoiled;
        return false;
    }
    return true;
}

bool DefinitionWorkbook::addObject(const ContentsEntry& entry, const document::DocumentData& data,
                                   QString* sheetName, QString* error)
{
    if (!d->book || !d->spoiled.isEmpty()) {
        *error = d->target + QStringLiteral(": ")
                 + (d->spoiled.isEmpty() ? QStringLiteral("not open") : d->spoiled);
        return false;
    }
    const int contentsRow = d->contentsRow;
    const QString back = sheetReference(kContentsSheet, QStringLiteral("B%1").arg(contentsRow + 1));
    SheetPlan plan;
    try {
        plan = objectSheetPlan(data, document::headerDateText(), back);
    } catch (const std::exception& e) {
        *error = QString::fromUtf8(e.what());
        return false;
    }
    const QString name = d->names.take(entry.name);
    errno = 0;
    lxw_worksheet* ws = workbook_add_worksheet(d->book, name.toUtf8().constData());
    if (!ws) {
        d->spoiled = QStringLiteral("the sheet %1 cannot be added").arg(name)
                     + (errno ? QStringLiteral(": ") + systemErrorText(errno) : QString());
        *error = d->target + QStringLiteral(": ") + d->spoiled;
        return false;
    }
    d->sheets.push_back(ws);
    // The library leaves a plain name unquoted in the print titles, where a
    // table named like a cell (TBL1, R2C3) would be read as a reference.
    if (ws->quoted_name && ws->quoted_name[0] != '\'') {
        if (char* quoted = ::strdup(sheetReference(name, QString()).chopped(1).toUtf8().constData())) {
            std::free(ws->quoted_name);
            ws->quoted_name = quoted;
        }
    }
    for (int r = 0; r < plan.rows.size(); ++r) {
        const SheetRow& row = plan.rows.at(r);
        // Before the row's cells: its height goes out with them.
        if (row.height > 0)
            d->check(worksheet_set_row(ws, lxw_row_t(r), row.height, nullptr), name);
        for (const SheetCell& c : row.cells)
            d->write(ws, r, c);
    }
    for (int c = 0; c < plan.widths.size(); ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), plan.widths.at(c), nullptr);
    d->printSetup(ws, plan.headerRows);
    // The column list starts a page, as the column pages do.
    if (plan.columnListRow > plan.headerRows + 1) {
        lxw_row_t breaks[2] = {lxw_row_t(plan.columnListRow), 0};
        d->check(worksheet_set_h_pagebreaks(ws, breaks), name);
    }

    SheetCell link = textCell(1, CellStyle::Link, entry.name);
    link.link = sheetReference(name, QStringLiteral("A1"));
    SheetCell count;
    count.column = 4;
    count.style = CellStyle::Number;
    count.isNumber = true;
    count.number = data.tabCols.rows.size();
    count.text = QString::number(data.tabCols.rows.size());
    ++d->objects;
    d->contentsLine({valueCell(0, CellStyle::Number, QString::number(d->objects), true), link,
                     textCell(2, CellStyle::Code, entry.type), textCell(3, CellStyle::Text, entry.comment),
                     count});
    *sheetName = name;
    if (!d->spoiled.isEmpty()) {
        *error = d->target + QStringLiteral(": ") + d->spoiled;
        return false;
    }
    return true;
}

bool DefinitionWorkbook::spoiled() const { return !d->spoiled.isEmpty(); }

bool DefinitionWorkbook::commit(QString* error)
{
    if (!d->book || !d->spoiled.isEmpty()) {
        *error = d->target + QStringLiteral(": ")
                 + (d->spoiled.isEmpty() ? QStringLiteral("not open") : d->spoiled);
        return false;
    }
    errno = 0;
    const lxw_error closed = workbook_close(d->book);
    const int closeErrno = errno;
    d->book = nullptr;
    if (closed != LXW_NO_ERROR) {
        *error = d->target + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(closed))
                 + (closeErrno ? QStringLiteral(": ") + systemErrorText(closeErrno) : QString());
        d->folder.reset();
        return false;
    }
    if (::rename(QFile::encodeName(d->bookPath).constData(), QFile::encodeName(d->target).constData()) != 0) {
        *error = d->target + QStringLiteral(": ") + systemErrorText(errno);
        d->folder.reset();
        return false;
    }
    d->folder.reset();
    return true;
}

} // namespace morvane::output
