#pragma once
// The table-definition workbook of an owner: a contents sheet 「目次」 and one
// sheet per object, laid out as the printed document (title and owner line,
// page 1's grids or the view text, then the whole column list). Each sheet
// is built from the loaded values the pages draw from; the writer knows
// nothing of the database or of windows.
#include "document/DocumentData.h"
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>

namespace morvane::output {

struct WorkbookHeader {
    QString owner;
    QString date; // as the page header shows it
    QString printName;
};

// An object's row in the contents, as the catalog gives it.
struct ContentsEntry {
    QString name, type, comment;
};

// Sheet names a spreadsheet accepts: at most 31 characters, none of
// []:*?/\ or control characters, no apostrophe at either end, unique
// whatever the case. 「目次」 is taken from the start.
class SheetNames {
public:
    SheetNames();
    QString take(const QString& objectName);

private:
    QSet<QString> m_used; // case-folded
};

// One cell of a sheet, in the order it is written.
enum class CellStyle {
    Title,
    OwnerLine,
    Plain,
    Heading,
    Label,
    Text,
    Code,
    Number,
    Link,
    ViewText,
    BackLink
};

struct SheetCell {
    int column = 0;
    CellStyle style = CellStyle::Plain;
    QString text;
    bool isNumber = false;
    double number = 0;
    QString link; // a place in the workbook: "'Sheet'!A1"
};

struct SheetRow {
    QVector<SheetCell> cells;
    double height = 0; // points; 0: as the spreadsheet finds it
};

// An object's sheet before it is written: every value is taken (and every
// missing field found) before the first cell goes to the file.
struct SheetPlan {
    QVector<SheetRow> rows;
    int headerRows = 0;     // frozen and repeated on every printed sheet
    int columnListRow = -1; // the column list starts a printed page
    QVector<double> widths; // in characters, by column
};

// linkBack: where the sheet's link to 「目次」 points.
SheetPlan objectSheetPlan(const document::DocumentData& data, const QString& date, const QString& linkBack);

// Text as a spreadsheet keeps it: "_xHHHH_" would be read as an escape, so
// its underscore is escaped itself.
QString spreadsheetText(const QString& text);
// Width in characters of the widest line: full-width characters count two.
int displayWidth(const QString& text);

class DefinitionWorkbook {
public:
    explicit DefinitionWorkbook(QString target);
    // Removes everything of an uncommitted workbook; the target stays as it was.
    ~DefinitionWorkbook();
    DefinitionWorkbook(const DefinitionWorkbook&) = delete;
    DefinitionWorkbook& operator=(const DefinitionWorkbook&) = delete;

    // Starts the workbook and its contents sheet; false with a reason.
    bool open(const WorkbookHeader& header, QString* error);
    // The object's sheet and its contents row; *sheetName gets the sheet's
    // name. An object whose values cannot be read adds nothing; a failure of
    // the file spoils the workbook, and commit() then refuses.
    bool addObject(const ContentsEntry& entry, const document::DocumentData& data, QString* sheetName,
                   QString* error);
    // Finishes the file and renames it over the target; false with a reason.
    bool commit(QString* error);
    // A write to the file failed: nothing more can be added.
    bool spoiled() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace morvane::output
