#pragma once
// Page units (tenths of a millimetre, 254 to the inch), their conversion to
// device pixels, the drawing operations both page routines share, the ruled
// grid and the page header.
#include "document/Canvas.h"
#include "document/DocumentData.h"
#include <QDate>
#include <QStringList>
#include <QVector>

namespace morvane::document {

constexpr int kPageUnitsPerInch = 254;
// The rightmost rule of any page: text that must be read whole ends before it.
constexpr int kRightmostRule = 1950;

// (s / 72 × 25.4 + 1) × 10 rounded, halves to even: the pitch of rows for a point size.
int pitchForPointSize(int points);

// Throws when the rows are of a section that was never loaded.
void requireLoaded(const ResultSet& rows);

// Lines of a multi-line value: CR, LF and CR LF each end a line, a break at
// the very end adds no empty line, LF CR counts as two breaks.
QStringList splitTextLines(const QString& text);

// The date of the page header in the user's short date format; a fixed date
// (tests) replaces today's until it is reset with a null date.
QString headerDateText();
void setHeaderDate(const QDate& fixed);
// The header's owner line: a synonym shows its own owner and name and no comment.
QString ownerLineText(const DocumentData& data);
// The owner line up to the bracket that closes the object's name.
QString ownerLineName(const DocumentData& data);

struct GridColumn {
    QString label;
    QString field; // empty: the column gets no value from the record walk
};

// One ruled grid: heading row h, x rules x0..xk, B bands enclosed by the
// horizontal rules, V bands reached by the vertical rules.
struct GridSpec {
    int headingRow = 0;
    QString heading;
    QVector<int> rules;
    int bands = 0;
    int verticalBands = 0;
    QVector<GridColumn> columns;
};

class PageContext {
public:
    // Throws std::invalid_argument for a resolution below 1.
    PageContext(ICanvas& canvas, int resolution);

    ICanvas& canvas() { return m_canvas; }
    int resolution() const { return m_resolution; }

    int ToDevice(int v) const;
    // Character height points × resolution / 72, halves away from zero.
    void SetFontSize(int points);
    // The point size the font reports back at this resolution (may differ by one).
    int reportedPointSize() const { return m_reportedPoints; }
    // SetFontSize(points), then the row pitch from the reported size.
    int pitchAt(int points);
    void SetPenWidth(int w);
    void DrawCellText(int left, int right, int yDevice, const QString& text);
    void EraseArea(int x1, int y1, int x2, int y2);
    void DrawPageHeader(const QString& title, const DocumentData& data);

    int RowPitch() const { return m_rowPitch; }
    void setRowPitch(int pitch) { m_rowPitch = pitch; }

    // Page face in black; the size stays as it is.
    void usePageFace();
    // Text with its top-left corner at a page position.
    void textAt(int x, int y, const QString& text);
    // Makes the font smaller, for what is drawn next, when text at the current
    // size would run past right; otherwise leaves it as it is.
    void fitOnLine(int left, int right, const QString& text);

    // Heading, horizontal rules, vertical rules and labels.
    void drawGridFrame(const GridSpec& grid);
    // The fields of one record, centred in band.
    void drawGridRecord(const GridSpec& grid, int band, const ResultSet& rows, int row);
    // Frame, then every record from the first, one band each.
    void drawGrid(const GridSpec& grid, const ResultSet& rows);

private:
    void rect(int x1, int y1, int x2, int y2);

    ICanvas& m_canvas;
    int m_resolution;
    int m_reportedPoints = 0;
    int m_fontHeight = 0;
    int m_rowPitch = 45;
};

} // namespace morvane::document
