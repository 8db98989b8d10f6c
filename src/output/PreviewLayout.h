#pragma once
// Where the preview puts the sheet and its printable area, from the printer's
// own figures, the screen's resolution and the zoom.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace morvane::output {

constexpr int ZoomMin = 60;
constexpr int ZoomMax = 200;
constexpr int ZoomStep = 10;
constexpr int ZoomInitial = 90;

// The current sheet in printer dots, as the printer reports it.
struct PrinterFigures {
    QSize sheet;        // whole sheet
    QPoint offset;      // printable area's top-left from the sheet's top-left
    QSize page;         // printable area
    int resolution = 0; // vertical dots per inch
};

struct PreviewLayout {
    double scale = 0;       // printer dots to screen pixels
    QSize sheet;            // sheet in screen pixels
    QRect area;             // printable area inside the sheet
    int drawResolution = 0; // dots per inch handed to the page routines
};

// Sheet and area round halves to even; the drawing resolution rounds halves away from zero.
PreviewLayout previewLayout(const PrinterFigures& figures, int screenDpi, int zoomPercent);

} // namespace morvane::output
