#include "OpenpyxlReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {

const char *const Script = R"PY(
import sys, json, zipfile, datetime, posixpath
import xml.etree.ElementTree as ET
import openpyxl
path = sys.argv[1]
wb = openpyxl.load_workbook(path)
out = {"sheets": []}
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            v = c.value
            if v is None and c.comment is None:
                continue
            if isinstance(v, datetime.datetime):
                t, v = "date", v.isoformat()
            elif isinstance(v, bool):
                t = "bool"
            elif isinstance(v, (int, float)):
                t = "number"
            elif isinstance(v, str) and c.data_type == "f":
                t = "formula"
            elif isinstance(v, str):
                t = "text"
            elif v is None:
                t = "empty"
            else:
                t, v = type(v).__name__, str(v)
            cells[c.coordinate] = {"value": v, "type": t, "format": c.number_format,
                                   "bold": bool(c.font.b), "border": c.border.left.style or "",
                                   "comment": c.comment.text if c.comment else None}
    out["sheets"].append({"name": ws.title, "cells": cells,
                          "merged": sorted(str(r) for r in ws.merged_cells.ranges),
                          "heights": {str(k): d.height for k, d in ws.row_dimensions.items() if d.height},
                          "print_area": ",".join(ws.print_area) if isinstance(ws.print_area, list) else (ws.print_area or ""), "max_row": ws.max_row, "runs": {}})
# openpyxl of this release drops rich text, so the runs are read from the package itself.
ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
      "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
      "p": "http://schemas.openxmlformats.org/package/2006/relationships"}
z = zipfile.ZipFile(path)
strings = []
if "xl/sharedStrings.xml" in z.namelist():
    for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", ns):
        runs = []
        for r in si.findall("m:r", ns):
            rpr = r.find("m:rPr", ns)
            runs.append({"text": "".join(t.text or "" for t in r.findall("m:t", ns)),
                         "bold": rpr is not None and rpr.find("m:b", ns) is not None,
                         "italic": rpr is not None and rpr.find("m:i", ns) is not None})
        strings.append(runs)
rels = {r.get("Id"): r.get("Target") for r in ET.fromstring(z.read("xl/_rels/workbook.xml.rels")).findall("p:Relationship", ns)}
sheets = ET.fromstring(z.read("xl/workbook.xml")).find("m:sheets", ns).findall("m:sheet", ns)
for i, s in enumerate(sheets):
    target = rels[s.get("{%s}id" % ns["r"])]
    part = target[1:] if target.startswith("/") else posixpath.normpath("xl/" + target)
    for c in ET.fromstring(z.read(part)).iter("{%s}c" % ns["m"]):
        if c.get("t") == "s" and strings[int(c.find("m:v", ns).text)]:
            out["sheets"][i]["runs"][c.get("r")] = strings[int(c.find("m:v", ns).text)]
print(json.dumps(out))
)PY";

}  // namespace

QJsonObject ReadWithOpenpyxl(const QString &fileName)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(Script), fileName});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qFatal("openpyxl could not read %s: %s", qPrintable(fileName), python.readAllStandardError().constData());
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QJsonObject OpenpyxlCell(const QJsonObject &book, const QString &ref, int sheet)
{
    return book[QStringLiteral("sheets")].toArray()[sheet].toObject()[QStringLiteral("cells")].toObject()[ref].toObject();
}
