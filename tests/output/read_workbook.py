"""Prints a workbook as JSON for the workbook tests: every cell with its
type, the links, and each sheet's view and print set-up, as openpyxl reads
them back."""
import json
import sys

import openpyxl
from openpyxl.utils.escape import unescape


def cell_value(cell):
    # openpyxl leaves the _xHHHH_ escapes of inline strings as they are.
    if cell.data_type == "s" and isinstance(cell.value, str):
        return unescape(cell.value)
    return cell.value


def sheet_json(ws):
    cells = []
    links = []
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            cells.append([cell.row, cell.column, cell.data_type, cell_value(cell),
                          cell.font.name, cell.border.left.style])
            if cell.hyperlink is not None:
                links.append([cell.coordinate, cell.hyperlink.location])
    setup = ws.page_setup
    fit = ws.sheet_properties.pageSetUpPr
    return {
        "name": ws.title,
        "cells": cells,
        "links": links,
        "freeze": ws.freeze_panes,
        "titleRows": ws.print_title_rows,
        "paper": int(setup.paperSize or 0),
        "orientation": setup.orientation,
        "fitToPage": bool(fit and fit.fitToPage),
        "fitToWidth": int(setup.fitToWidth if setup.fitToWidth is not None else 1),
        "fitToHeight": int(setup.fitToHeight if setup.fitToHeight is not None else 1),
        "rowBreaks": [b.id for b in ws.row_breaks.brk],
        "widths": {k: v.width for k, v in ws.column_dimensions.items()},
    }


def main():
    book = openpyxl.load_workbook(sys.argv[1])
    out = {"sheets": [sheet_json(ws) for ws in book.worksheets]}
    sys.stdout.write(json.dumps(out, ensure_ascii=True))


main()
