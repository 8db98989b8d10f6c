#pragma once
// Writes large embedded dictionaries for load tests and benchmarks.
//
// Names, so that tests can address objects without reading the file:
// - owners OWNER01 .. OWNERnn, each with objectsPerOwner catalog entries;
// - object k (1-based) of an owner is, by k modulo 10: 1-6 a table "T_%05d",
//   7-8 a view "V_%05d", 9 a synonym "S_%05d", 0 a sequence "Q_%05d";
//   tables have columns COL_001 .. and indexes <table>_IX01 .. (IX01 unique
//   on COL_001, the others on two columns); every 7th table and view has no
//   comment; synonyms alternate between the latest table of the same owner
//   (S_00009, S_00029, ...) and T_00001 of the next owner (S_00019, ...);
// - with bigOwner, the owner BIG holds bigObjects catalog entries: first the
//   table BIG_T300 (bigColumns columns, bigIndexes indexes), then objects
//   numbered from 2 in the pattern above;
// - with oddOwner, the owner ODD holds names and comments at and past the old
//   limits: oddLongTableName() (128 bytes) with the comment oddLongComment()
//   (4,000 bytes) and a column oddLongColumnName() with that comment too;
//   oddWideTableName() (30 full-width characters); "A/B" and "A_B", which map
//   to one file name; HANGUL_T, commented oddMixedComment(); the synonym
//   SYN_CHAIN on the synonym SYN_MID on the table A_B; and "LF\nNAME" and
//   "ESC\x1B[2JNAME" with control characters in their names;
// - with overflowOwner, the owner OVER holds what one page cannot: COLS_500
//   (500 columns, "COL_001" ..), IX_45 (45 indexes, 89 index columns),
//   LINES_1000 (a view of 1,000 text lines "L0001 ..") and LONG_LINE (a view
//   whose text is one line of 40,000 characters: the tokens "C00001," ..
//   "C05000," each followed by a blank);
// - SYS's rows and the account SYS with the given password, as in the demo.
// Tables carry figures as if analysed (every third one none) but no data rows.
#include <QString>

namespace morvane::embedded {

struct GeneratorOptions {
    int owners = 3;
    int objectsPerOwner = 200;
    int columnsPerTable = 12;
    int indexesPerTable = 3;
    bool bigOwner = false;
    bool oddOwner = false;
    bool overflowOwner = false;
    int bigObjects = 20000;
    int bigColumns = 300;
    int bigIndexes = 20;
    QString password = QStringLiteral("DEMO");
    bool overwrite = false;
};

struct GeneratorReport {
    qint64 tables = 0;
    qint64 views = 0;
    qint64 synonyms = 0;
    qint64 sequences = 0;
    qint64 columns = 0;
    qint64 indexes = 0;
    qint64 catalogRows() const { return tables + views + synonyms + sequences; }
};

// Kind of object k in the pattern above.
enum class ObjectKind { Table, View, Synonym, Sequence };
ObjectKind generatedKind(int k);

// The ODD owner's names and comments.
QString oddLongTableName();
QString oddLongColumnName();
QString oddWideTableName();
QString oddLongComment();
QString oddMixedComment();

// The texts of the OVER owner's views.
QString overflowLinesViewText();
QString overflowLongLineViewText();

// Throws DbError (invalid options, existing file without overwrite, I/O).
GeneratorReport generateDictionary(const QString& path, const GeneratorOptions& options);

} // namespace morvane::embedded
