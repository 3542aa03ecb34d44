#!/usr/bin/python3
"""Writes the small workbooks of the workbook reader tests (run in this folder).

The .xlsx and .ods files are written as their XML parts zipped, the .xls with xlwt
(Debian: python3-xlwt). Each file is one case."""
import zipfile

XLSX_TYPES = """<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
</Types>"""
XLSX_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""


def xlsx(name, sheets, shared):
    """sheets: list of (sheet name, rows xml)"""
    with zipfile.ZipFile(name, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", XLSX_TYPES)
        z.writestr("_rels/.rels", XLSX_RELS)
        wb = ['<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
              'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>']
        rels = ['<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">']
        # The sheets' parts are numbered backwards, so only the relationships find them.
        for i, (sheet, _) in enumerate(sheets):
            wb.append('<sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (sheet, i + 1, i + 10))
            rels.append('<Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
                        'Target="worksheets/sheet%d.xml"/>' % (i + 10, len(sheets) - i))
        wb.append("</sheets></workbook>")
        rels.append("</Relationships>")
        z.writestr("xl/workbook.xml", "".join(wb))
        z.writestr("xl/_rels/workbook.xml.rels", "".join(rels))
        z.writestr("xl/sharedStrings.xml",
                   '<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                   + "".join(shared) + "</sst>")
        for i, (_, rows) in enumerate(sheets):
            z.writestr("xl/worksheets/sheet%d.xml" % (len(sheets) - i),
                       '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                       "<sheetData>" + rows + "</sheetData></worksheet>")


# Sheet "Record": names row, numbers with a text number and a skipped row before the end;
# sheet "Notes": text only.
record_rows = (
    '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>'
    '<row r="2"><c r="A2"><v>0</v></c><c r="B2"><v>0.5</v></c></row>'
    '<row r="3"><c r="A3"><v>1.25</v></c><c r="B3"><v>-2E3</v></c></row>'
    '<row r="4"><c r="A4" t="inlineStr"><is><t>2.5</t></is></c><c r="B4"><f>B3*2</f><v>-4000</v></c></row>'
    '<row r="6"><c r="B6"><v>9</v></c></row>'
)
notes_rows = '<row r="1"><c r="A1" t="s"><v>2</v></c></row>'
shared = ["<si><t>disp_mm</t></si>", "<si><r><t>force_</t></r><r><t>kN</t></r><rPh><t>x</t></rPh></si>",
          "<si><t>test notes</t></si>"]
xlsx("record.xlsx", [("Record", record_rows), ("Notes", notes_rows)], shared)
# Text only, in its first sheet.
xlsx("no_numbers.xlsx", [("Notes", notes_rows)], shared)

data = open("record.xlsx", "rb").read()
open("damaged.xlsx", "wb").write(data[: len(data) // 2])
open("renamed_text.xlsx", "w").write("disp,force\n1,2\n")
open("renamed_text.ods", "w").write("disp,force\n1,2\n")
open("renamed_text.xls", "w").write("disp,force\n1,2\n")
# An encrypted workbook is a compound document: its signature, then sectors.
open("encrypted.xlsx", "wb").write(b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(504))

ODS_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"')


def ods(name, tables, encrypted=False):
    with zipfile.ZipFile(name, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        manifest = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
                    'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
                    '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml">'
                    + ('<manifest:encryption-data manifest:checksum-type="SHA1/1K"/>' if encrypted else "")
                    + "</manifest:file-entry></manifest:manifest>")
        z.writestr("META-INF/manifest.xml", manifest)
        body = "".join('<table:table table:name="%s">%s</table:table>' % t for t in tables)
        z.writestr("content.xml", '<?xml version="1.0" encoding="UTF-8"?><office:document-content %s>'
                   "<office:body><office:spreadsheet>%s</office:spreadsheet></office:body>"
                   "</office:document-content>" % (ODS_NS, body))


def cell_f(v, repeat=1):
    r = ' table:number-columns-repeated="%d"' % repeat if repeat > 1 else ""
    return '<table:table-cell office:value-type="float" office:value="%s"%s><text:p>%s</text:p></table:table-cell>' % (v, r, v)


def cell_s(t):
    return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % t


def row(cells, repeat=1):
    r = ' table:number-rows-repeated="%d"' % repeat if repeat > 1 else ""
    return "<table:table-row%s>%s</table:table-row>" % (r, cells)


EMPTY_CELLS = '<table:table-cell table:number-columns-repeated="1020"/>'
record = (row(cell_s("Disp (mm)") + cell_s("Force (kN)") + EMPTY_CELLS)
          + row(cell_f("0") + cell_f("0.5") + EMPTY_CELLS)
          + row(cell_f("1.25") + cell_f("-2000"), 2)
          + row('<table:table-cell/>' + cell_f("7"))
          + row(EMPTY_CELLS, 1048570))
ods("record.ods", [("Notes", row(cell_s("test notes"))), ("Record", record)])
ods("encrypted.ods", [("Record", record)], encrypted=True)

import xlwt  # noqa: E402

book = xlwt.Workbook()
s = book.add_sheet("Record")
for r, values in enumerate([("disp_in", "force_kip"), (0, 0.5), (1.25, -2000), ("2.5", 7)]):
    for c, v in enumerate(values):
        s.write(r, c, v)
book.add_sheet("Notes").write(0, 0, "test notes")
book.save("record.xls")
