#!/usr/bin/python3
"""Prints a workbook file as JSON, read by openpyxl: the sheet on show, then per sheet its
name, whether its tab is selected, merges, row heights, column widths, page setup (header,
footer, margins, centring, orientation, paper, fit, scale), and each cell as [value, style];
style is "font size [bold]|horizontal|vertical [wrap]|borders|number format", borders "box"
when all four edges are thin."""
import json
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
REL_ID = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"


def header_footer(path):
    """Each sheet's header and footer as stored, codes included (openpyxl rewrites them)."""
    with zipfile.ZipFile(path) as z:
        targets = {e.get("Id"): e.get("Target") for e in ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))}
        texts = {}
        for s in ET.fromstring(z.read("xl/workbook.xml")).iter(MAIN + "sheet"):
            hf = ET.fromstring(z.read("xl/" + targets[s.get(REL_ID)])).find(MAIN + "headerFooter")
            texts[s.get("name")] = ["" if hf is None else hf.findtext(MAIN + k, "") for k in ("oddHeader", "oddFooter")]
    return texts


def style(c):
    sides = [s.style or "" for s in (c.border.left, c.border.right, c.border.top, c.border.bottom)]
    a = c.alignment
    return "|".join([f"{c.font.name} {c.font.sz:g}" + (" bold" if c.font.b else ""), a.horizontal or "",
                     (a.vertical or "") + (" wrap" if a.wrap_text else ""),
                     "box" if sides == ["thin"] * 4 else " ".join(sides).strip(), c.number_format])


def sheet(ws, texts):
    m, ps, po = ws.page_margins, ws.page_setup, ws.print_options
    # Pages wide and tall left out of the file are 1.
    page = [*texts, m.left, m.right, m.top, m.bottom, m.header, m.footer, bool(po.horizontalCentered),
            bool(po.verticalCentered), ps.orientation, int(ps.paperSize or 0),
            bool(ws.sheet_properties.pageSetUpPr.fitToPage), ps.fitToWidth or 1, ps.fitToHeight or 1, ps.scale]
    return {"name": ws.title, "selected": bool(ws.sheet_view.tabSelected), "page": page,
            "merges": sorted(str(r) for r in ws.merged_cells.ranges),
            "heights": {str(r): d.height for r, d in ws.row_dimensions.items() if d.height is not None},
            "widths": {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth},
            "cells": {c.coordinate: [c.value, style(c)] for row in ws.iter_rows() for c in row
                      if c.value is not None or c.has_style}}


book = openpyxl.load_workbook(sys.argv[1])
texts = header_footer(sys.argv[1])
json.dump({"active": book.active.title, "sheets": [sheet(ws, texts[ws.title]) for ws in book.worksheets]},
          sys.stdout, default=str)
