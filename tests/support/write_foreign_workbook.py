# Writes a workbook as other programs do: openpyxl makes it (with a note),
# then its sheet is swapped for one with inline strings and a shared formula.
import sys, zipfile, openpyxl
from openpyxl.comments import Comment
path = sys.argv[1]
wb = openpyxl.Workbook(); ws = wb.active; ws.title = "Data"
ws["A1"] = "x"; ws["A1"].comment = Comment("from openpyxl", "me")
wb.save(path + ".tmp")
sheet = ('<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
  '<row r="1"><c r="A1" t="inlineStr"><is><t>встроенный</t></is></c><c r="B1"><v>2</v></c>'
  '<c r="C1"><f t="shared" ref="C1:C2" si="0">B1*10</f><v>20</v></c></row>'
  '<row r="2"><c r="B2"><v>3</v></c><c r="C2"><f t="shared" si="0"/><v>30</v></c></row>'
  '</sheetData><legacyDrawing xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="anysvml"/></worksheet>')
src = zipfile.ZipFile(path + ".tmp"); dst = zipfile.ZipFile(path, "w")
for item in src.infolist():
    data = src.read(item.filename)
    if item.filename == "xl/worksheets/sheet1.xml":
        data = sheet.encode()
    dst.writestr(item, data)
dst.close()
