#pragma once
// Reads a finished workbook with an independent reader (openpyxl under the
// system Python) and returns what it saw:
//   sheets[i].cells["B3"] = {value, type (text|number|date|formula|bool),
//                            format, bold, border, comment}
//   sheets[i].merged (["B1:D1"]), heights ({"3": 20.0}), print_area ("$B$1:$E$8"), max_row
//   sheets[i].runs["C2"] = [{text, bold, italic}] for rich-text cells
#include <QJsonObject>
#include <QString>

QJsonObject ReadWithOpenpyxl(const QString &fileName);
// One cell of a sheet (0-based sheet), or an empty object when absent.
QJsonObject OpenpyxlCell(const QJsonObject &book, const QString &ref, int sheet = 0);
