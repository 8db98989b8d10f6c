#pragma once
// The export of the column list or of the table list to a CSV file in the
// user's own temporary folder, with the offer to open it afterwards.
#include "output/CsvWriter.h"
#include <functional>

namespace morvane {
class Query;
class TDataModule2;
} // namespace morvane

namespace morvane::output {

enum class CsvSource {
    ColumnList, // AQ_Tab_Cols: the rows the column pages print
    TableList   // AQ_Catalog: the rows of the table list, in its order
};

// The source's header and rows from its first row to its last. Moves the query.
CsvTable csvTableFrom(Query& query, CsvSource source);

// Hands a file to the program the desktop associates with it; the answer is
// not examined. Tests put a recorder in its place.
using FileOpener = std::function<bool(const QString& path)>;
FileOpener setFileOpener(FileOpener opener); // empty restores the desktop's

// The whole export: file, question, opening on Yes. A file that cannot be
// written throws CsvError after the end steps (cursor, first row, controls).
void ExportCsv(TDataModule2& dm, CsvSource source);

// The question's three texts, joined by LF CR LF CR.
QString csvOpenQuestion();

} // namespace morvane::output
