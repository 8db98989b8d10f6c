#pragma once
// The contents page(s) that open an owner's document: one row per object
// with its type, comment and the page where its document starts, in the
// page face and frame of the other pages.
#include "document/Canvas.h"
#include "document/PageRoutines.h"
#include <QRect>
#include <QVector>

namespace morvane::document {

struct ContentsEntry {
    QString name;
    QString type;
    QString comment;   // as stored, without brackets
    int startPage = 0; // page of the whole document; 0: the object could not be written
};

struct ContentsData {
    QString owner;
    QString printName;
    QVector<ContentsEntry> entries;
};

// Rows a contents page holds: the reach of a full column page.
constexpr int kContentsRowsPerPage = 55;

// At least one page, also for an owner without objects.
int contentsPageCount(int entries);

// A row's box in device pixels and the entry it shows, for a link to its page.
struct ContentsRowBox {
    QRect box;
    int entry = 0;
};

// Contents page n (1-based); rows, when given, receives the box of every row drawn.
PageResult DrawContentsPage(ICanvas& canvas, int resolution, int n, const ContentsData& data,
                            QVector<ContentsRowBox>* rows = nullptr);

// What stands in the page cell of an object that could not be written.
QString contentsFailureText();

// The longest start of text that, followed by an ellipsis, fits in width
// pixels; the text itself when it fits.
QString elideToWidth(ICanvas& canvas, const QString& text, int width);

} // namespace morvane::document
