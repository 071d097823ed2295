"""What xlrd, an independent reader, sees of a form too long to dump cell by cell, one fact
a line: "rows N", "head R C TEXT" for the header rows, "merge R1 R2 C1 C2" (last row and
column included), "data TEXT" for column COLUMN of every data row. Texts are JSON.

    read_form_columns.py FILE COLUMN
"""
import json
import sys

import xlrd

sheet = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)
out = ["rows %d" % sheet.nrows]
out += ["head %d %d %s" % (r, c, json.dumps(sheet.cell_value(r, c), ensure_ascii=False))
        for r in range(min(2, sheet.nrows)) for c in range(sheet.row_len(r))
        if sheet.cell_type(r, c) == xlrd.XL_CELL_TEXT]
out += ["merge %d %d %d %d" % (rlo, rhi - 1, clo, chi - 1) for rlo, rhi, clo, chi in sorted(sheet.merged_cells)]
out += ["data " + json.dumps(sheet.cell_value(r, int(sys.argv[2])), ensure_ascii=False) for r in range(2, sheet.nrows)]
sys.stdout.write("\n".join(out) + "\n")
