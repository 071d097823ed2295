"""Prints what xlrd, an independent reader, sees in a form workbook, one fact a line:

    cell R C TEXT       a text cell (TEXT as JSON)
    merge R1 R2 C1 C2   a merged range, last row and column included
    width C W           a column width in 1/256 character
    font R C HEIGHT     the font height of a written header cell (rows 0 and 1)
"""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
print("size %d %d" % (sheet.nrows, sheet.ncols))
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_TEXT:
            print("cell %d %d %s" % (r, c, json.dumps(cell.value, ensure_ascii=False)))
        if r < 2 and cell.ctype == xlrd.XL_CELL_TEXT:
            font = book.font_list[book.xf_list[cell.xf_index].font_index]
            print("font %d %d %d %s" % (r, c, font.height, font.name))
for rlo, rhi, clo, chi in sorted(sheet.merged_cells):
    print("merge %d %d %d %d" % (rlo, rhi - 1, clo, chi - 1))
for col in sorted(sheet.colinfo_map):
    print("width %d %d" % (col, sheet.colinfo_map[col].width))
