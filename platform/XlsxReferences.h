#pragma once
// Cell names and the references inside formulas, range lists and defined
// names of a workbook: parsing, moving them when rows are inserted or
// deleted, and translating them when cells are copied.
#include <QString>

#include <functional>

constexpr int XlsxMaxRow = 1048576;
constexpr int XlsxMaxColumn = 16384;

// Column letters of a 1-based column: 1 gives "A", 28 "AB", 16384 "XFD".
QString XlsxColumnName(int col);
// "B12" for column 2, row 12.
QString XlsxCellName(int col, int row);
// Reads "B12" or "$B$12"; false when the text is not one cell name.
bool XlsxParseCellName(const QString &text, int &col, int &row);

// One reference: a cell, a block of cells, whole rows ("5:9") or whole
// columns ("A:C"). Absent parts are 0.
struct TXlsxArea {
    int Col1 = 0, Row1 = 0, Col2 = 0, Row2 = 0;
    bool AbsCol1 = false, AbsRow1 = false, AbsCol2 = false, AbsRow2 = false;
    bool IsRange = false;  // written with ":" (two parts)
    bool HasRows() const { return Row1 > 0; }
    bool HasCols() const { return Col1 > 0; }
};
QString XlsxAreaText(const TXlsxArea &area);
bool XlsxParseArea(const QString &text, TXlsxArea &area);

// Rows inserted (Count rows before row At) or deleted (rows At to At+Count-1).
struct TXlsxRowShift {
    int At = 0;
    int Count = 0;
    bool Delete = false;
};
// Moves an area as a spreadsheet does when rows are inserted or deleted;
// false when the area lies wholly in deleted rows.
bool XlsxShiftArea(TXlsxArea &area, const TXlsxRowShift &shift);
// Moves the relative parts of an area by a copy's offset; false when a part
// leaves the sheet.
bool XlsxTranslateArea(TXlsxArea &area, int rowOffset, int colOffset);

// Called for every reference of a formula with the sheet it names (empty
// when unqualified). Returning false writes "#REF!" in its place.
using TXlsxRefMapper = std::function<bool(const QString &sheet, TXlsxArea &area)>;
// Rewrites every reference of a formula (text without the leading "=");
// strings, function names and numbers are left alone.
QString XlsxRewriteFormula(const QString &formula, const TXlsxRefMapper &mapper);

// The same for a space-separated list of areas ("A1:B2 D5"); areas that
// vanish are dropped.
QString XlsxShiftAreaList(const QString &list, const TXlsxRowShift &shift);

// True when a sheet name written in a formula means the given sheet.
bool XlsxSameSheet(const QString &a, const QString &b);
