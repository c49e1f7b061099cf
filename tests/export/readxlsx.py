#!/usr/bin/python3
"""Prints a workbook file as JSON, read by openpyxl: per sheet its name, merges, row
heights, column widths, page setup, and each cell as [value, style]; style is
"font size [bold]|horizontal|vertical [wrap]|borders|number format", borders "box"
when all four edges are thin."""
import json
import sys

import openpyxl


def style(c):
    sides = [s.style or "" for s in (c.border.left, c.border.right, c.border.top, c.border.bottom)]
    a = c.alignment
    return "|".join([f"{c.font.name} {c.font.sz:g}" + (" bold" if c.font.b else ""), a.horizontal or "",
                     (a.vertical or "") + (" wrap" if a.wrap_text else ""),
                     "box" if sides == ["thin"] * 4 else " ".join(sides).strip(), c.number_format])


def sheet(ws):
    h, f, m, ps = ws.oddHeader, ws.oddFooter, ws.page_margins, ws.page_setup
    page = [f"header {p.font} {p.size} {p.text}" for p in (h.left, h.center, h.right)]
    page += [f"footer {f.left.text} {f.center.text} {f.right.text}",
             f"margins {m.left:g} {m.right:g} {m.top:g} {m.bottom:g} header {m.header:g} footer {m.footer:g}",
             f"centred {bool(ws.print_options.horizontalCentered)} {bool(ws.print_options.verticalCentered)}",
             # Pages wide and tall left out of the file are 1.
             f"{ps.orientation} paper {ps.paperSize} fit {ws.sheet_properties.pageSetUpPr.fitToPage} "
             f"{ps.fitToWidth or 1}x{ps.fitToHeight or 1} scale {ps.scale}"]
    return {"name": ws.title, "page": page,
            "merges": sorted(str(r) for r in ws.merged_cells.ranges),
            "heights": {str(r): d.height for r, d in ws.row_dimensions.items() if d.height is not None},
            "widths": {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth},
            "cells": {c.coordinate: [c.value, style(c)] for row in ws.iter_rows() for c in row
                      if c.value is not None or c.has_style}}


json.dump([sheet(ws) for ws in openpyxl.load_workbook(sys.argv[1]).worksheets], sys.stdout, default=str)
