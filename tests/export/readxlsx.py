#!/usr/bin/python3
"""Prints a workbook as JSON: per sheet its cells with their formats, merges, row
heights, column widths and page setup, as the workbook file holds them."""
import json
import sys

import openpyxl


def side(s):
    return s.style or ""


def sheet(ws):
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            cells[c.coordinate] = {
                "value": c.value,
                "font": [c.font.name, bool(c.font.b), c.font.sz],
                "h": c.alignment.horizontal or "", "v": c.alignment.vertical or "",
                "wrap": bool(c.alignment.wrap_text),
                "border": [side(c.border.left), side(c.border.right), side(c.border.top), side(c.border.bottom)],
                "format": c.number_format,
            }
    head, foot = ws.oddHeader, ws.oddFooter
    m, ps = ws.page_margins, ws.page_setup
    return {
        "name": ws.title,
        "cells": cells,
        "merges": sorted(str(r) for r in ws.merged_cells.ranges),
        "heights": {str(r): d.height for r, d in ws.row_dimensions.items() if d.height is not None},
        "widths": {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth},
        "page": {
            "header": [[p.font, p.size, p.text] for p in (head.left, head.center, head.right)],
            "footer": [foot.left.text, foot.center.text, foot.right.text],
            "margins": [m.left, m.right, m.top, m.bottom, m.header, m.footer],
            "centred": [bool(ws.print_options.horizontalCentered), bool(ws.print_options.verticalCentered)],
            "orientation": ps.orientation, "paper": int(ps.paperSize or 0),
            "fit": [bool(ws.sheet_properties.pageSetUpPr.fitToPage), ps.fitToWidth, ps.fitToHeight],
            "scale": ps.scale,
        },
    }


book = openpyxl.load_workbook(sys.argv[1])
json.dump([sheet(ws) for ws in book.worksheets], sys.stdout, default=str)
