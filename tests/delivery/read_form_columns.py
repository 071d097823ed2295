"""Prints what xlrd, an independent reader, sees of a form too long to print in full:

    size ROWS COLUMNS
    cell R C TEXT       every text of the two header rows, and of the columns named
    merge R1 R2 C1 C2   every merged range, last row and column included

    read_form_columns.py FILE COLUMN...
"""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
columns = [int(c) for c in sys.argv[2:]]
out = ["size %d %d" % (sheet.nrows, sheet.ncols)]
for r in range(sheet.nrows):
    for c in (range(sheet.ncols) if r < 2 else columns):
        cell = sheet.cell(r, c) if c < sheet.row_len(r) else None
        if cell is not None and cell.ctype == xlrd.XL_CELL_TEXT:
            out.append("cell %d %d %s" % (r, c, json.dumps(cell.value, ensure_ascii=False)))
for rlo, rhi, clo, chi in sorted(sheet.merged_cells):
    out.append("merge %d %d %d %d" % (rlo, rhi - 1, clo, chi - 1))
sys.stdout.write("\n".join(out) + "\n")
