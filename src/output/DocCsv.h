#pragma once
// CSV files for the headless renderer, written by the export's own writer
// without the question: the column list of a loaded object and an owner's
// table list.
#include "output/CsvWriter.h"
#include <QString>

namespace morvane {
class TDataModule2;
}

namespace morvane::output {

// The column list of the object the data module has just loaded.
bool writeColumnListCsv(TDataModule2& dm, const QString& path, CsvCharset charset, QString* why);

// The owner's table list, as the table list window opens it (by type, then name).
bool writeTableListCsv(TDataModule2& dm, const QString& owner, const QString& path, CsvCharset charset,
                       QString* why);

} // namespace morvane::output
