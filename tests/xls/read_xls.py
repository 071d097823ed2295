"""Reads a workbook or compound file with independent readers and prints what they see.

    read_xls.py cells FILE    every sheet and non-empty cell (xlrd)
    read_xls.py format FILE   merged ranges, column widths, each cell's font (xlrd)
    read_xls.py names FILE    every defined name and what it refers to (xlrd)
    read_xls.py print FILE    each sheet's page layout and repeated rows, from an .ods file
                              that LibreOffice converted the workbook to
    read_xls.py ole FILE      the compound file's entries and the SHA-256 of each stream (olefile)
    read_xls.py sha FILE      the SHA-256 of a plain file, to compare streams with

Texts are printed as JSON strings so that tabs, line breaks and non-ASCII letters survive.
"""
import hashlib
import json
import sys


def cells(path):
    import xlrd
    book = xlrd.open_workbook(path)
    for s in range(book.nsheets):
        sheet = book.sheet_by_index(s)
        print("sheet\t%d\t%s\t%d\t%d" % (s, json.dumps(sheet.name, ensure_ascii=False),
                                         sheet.nrows, sheet.ncols))
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    print("%d\t%d\ttext\t%s" % (r, c, json.dumps(cell.value, ensure_ascii=False)))
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    print("%d\t%d\tnumber\t%r" % (r, c, cell.value))


def formats(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    for s in range(book.nsheets):
        sheet = book.sheet_by_index(s)
        print("sheet\t%d" % s)
        for rlo, rhi, clo, chi in sorted(sheet.merged_cells):
            print("merged\t%d\t%d\t%d\t%d" % (rlo, rhi - 1, clo, chi - 1))
        for col in sorted(sheet.colinfo_map):
            print("width\t%d\t%d" % (col, sheet.colinfo_map[col].width))
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                if cell.ctype != xlrd.XL_CELL_EMPTY or cell.xf_index != 0:
                    print("cell\t%d\t%d\txf=%d\tfont=%s/%d/%d\twrap=%d" % (
                        r, c, cell.xf_index, font.name, font.height, font.weight,
                        xf.alignment.text_wrapped))


def names(path):
    import xlrd
    book = xlrd.open_workbook(path)
    for name in book.name_obj_list:
        refs = " ".join("%d:%d:%d:%d:%d:%d" % ref.coords for ref in name.result.value)
        print("name\t%s\tbuiltin=%d\tscope=%d\t%s\t%s" % (name.name, name.builtin, name.scope,
                                                       name.result.text, refs))


def print_layout(path):
    import zipfile
    import xml.etree.ElementTree as ET
    ns = {
        "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
        "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
        "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
        "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    }
    q = lambda name: "{%s}%s" % (ns[name.split(":")[0]], name.split(":")[1])
    with zipfile.ZipFile(path) as z:
        styles = ET.fromstring(z.read("styles.xml"))
        content = ET.fromstring(z.read("content.xml"))
    layouts = {l.get(q("style:name")): l.find("style:page-layout-properties", ns)
               for l in styles.iter(q("style:page-layout"))}
    masters = {m.get(q("style:name")): layouts[m.get(q("style:page-layout-name"))]
               for m in styles.iter(q("style:master-page"))}
    table_masters = {s.get(q("style:name")): s.get(q("style:master-page-name"))
                     for s in content.iter(q("style:style")) if s.get(q("style:family")) == "table"}
    for table in content.iter(q("table:table")):
        props = masters[table_masters[table.get(q("table:style-name"))]]
        attrs = ["fo:page-width", "fo:page-height", "style:print-orientation", "fo:margin-left",
                 "fo:margin-right", "fo:margin-top", "fo:margin-bottom", "style:scale-to-X",
                 "style:scale-to-Y", "style:table-centering"]
        print("page\t%s\t%s" % (table.get(q("table:name")),
                                "\t".join("%s=%s" % (a.split(":")[1], props.get(q(a), "-")) for a in attrs)))
        header = table.find("table:table-header-rows", ns)
        rows = 0 if header is None else sum(int(r.get(q("table:number-rows-repeated"), "1"))
                                            for r in header.findall("table:table-row", ns))
        print("header-rows\t%s\t%d" % (table.get(q("table:name")), rows))


def ole(path):
    import olefile
    print("valid\t%d" % olefile.isOleFile(path))
    with olefile.OleFileIO(path) as f:
        for entry in f.listdir(streams=True, storages=True):
            name = "/".join(entry)
            kind = f.get_type(entry)
            if kind == olefile.STGTY_STREAM:
                data = f.openstream(entry).read()
                print("stream\t%s\t%d\t%s" % (name, len(data), hashlib.sha256(data).hexdigest()))
            else:
                print("storage\t%s" % name)


def sha(path):
    with open(path, "rb") as f:
        print(hashlib.sha256(f.read()).hexdigest())


if __name__ == "__main__":
    sys.stdout.reconfigure(encoding="utf-8")
    {"cells": cells, "format": formats, "names": names, "print": print_layout, "ole": ole,
     "sha": sha}[sys.argv[1]](sys.argv[2])
