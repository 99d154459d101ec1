#pragma once
// An Office Open XML workbook (.xlsx) held in memory: sheets, cells, shared
// and inline strings, rich text, styles, formulas, merged ranges, notes and
// defined names, read and written with libzip and pugixml.
//
// Rows are kept one object per row in sheet order, so inserting the copy of
// a band moves only the rows below it; merged ranges and formulas are kept
// ordered by their lowest row, so an insertion touches only those that reach
// down to it. That keeps a report of many bands linear in its size.
#include <QList>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/XlsxReferences.h"

#include <pugixml.hpp>

// Every failure of the workbook layer: a missing or unreadable file, an
// invalid row range, a cell without a note, a sheet that does not exist.
class TWorkbookError : public std::runtime_error {
public:
    explicit TWorkbookError(const QString &message);
    QString Message() const { return FMessage; }

private:
    QString FMessage;
};

struct TXlsxFont {
    QString Name;         // empty: the cell's font
    double Size = 0;      // points; 0: the cell's size
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    QString Color;        // "FFRRGGBB"; empty: automatic
};

// One run of a rich text: a piece of text with its own font.
struct TXlsxRun {
    QString Text;
    TXlsxFont Font;
    bool HasFont = false;  // false: the run takes the cell's font
};

enum class TXlsxHAlign { General, Left, Center, Right };
enum class TXlsxVAlign { Bottom, Center, Top };

// A cell format to add to a workbook (used when building templates).
struct TXlsxStyle {
    static TXlsxFont DefaultFont()
    {
        TXlsxFont font;
        font.Name = QStringLiteral("Arial");
        font.Size = 10;
        return font;
    }
    TXlsxFont Font = DefaultFont();
    bool Border = false;          // thin lines on all four sides
    TXlsxHAlign HAlign = TXlsxHAlign::General;
    TXlsxVAlign VAlign = TXlsxVAlign::Bottom;
    bool Wrap = false;
    QString NumberFormat;         // empty: General; "@": text
    QString FillColor;            // "FFRRGGBB"; empty: none
};

struct TXlsxRange {
    int Row1 = 0, Col1 = 0, Row2 = 0, Col2 = 0;
    bool operator==(const TXlsxRange &o) const
    {
        return Row1 == o.Row1 && Col1 == o.Col1 && Row2 == o.Row2 && Col2 == o.Col2;
    }
};

class TXlsxWorkbook;

class TXlsxSheet {
public:
    QString Name() const { return FName; }
    TXlsxWorkbook &Workbook() const { return *FBook; }

    // Number of columns from the first to the last column holding a cell.
    int UsedColumnCount() const;
    // Last row that holds a cell or row format; 0 for an empty sheet.
    int LastRow() const { return int(FRows.size()); }

    // The value: QString for a text, double for a number or date, bool, an
    // invalid variant for an empty cell or a formula.
    QVariant Value(int row, int col) const;
    bool IsText(int row, int col) const;
    QString Text(int row, int col) const;
    // "=SUM(A1:A3)" for a formula cell, empty otherwise.
    QString Formula(int row, int col) const;
    int StyleIndex(int row, int col) const;
    QString NumberFormat(int row, int col) const;

    // Stores a value as if typed into the cell: a text beginning with "="
    // becomes a formula; unless the cell is formatted as text ("@"), a text
    // that reads as a number in the current locale becomes a number and a
    // date ("DD.MM.YYYY", optionally with a time) a date with a date format.
    void SetValue(int row, int col, const QVariant &value);
    // Stores text as it is, whatever it reads like.
    void SetText(int row, int col, const QString &text);
    void SetNumber(int row, int col, double value);
    void SetFormula(int row, int col, const QString &formula);
    void Clear(int row, int col);
    void SetStyle(int row, int col, int style);
    // Gives the cell a number format on top of its own format ("@": text).
    void SetNumberFormat(int row, int col, const QString &code);

    QList<TXlsxRun> RichText(int row, int col) const;
    void SetRichText(int row, int col, const QList<TXlsxRun> &runs);
    // Replaces `length` characters from 1-based `start` by `text`; the new
    // text takes the font of the first replaced character and the rest of
    // the cell keeps its fonts.
    void ReplaceCharacters(int row, int col, int start, int length, const QString &text);

    // Replaces every occurrence (letter case ignored) in the texts and
    // formulas of the rows; a changed cell is entered anew as SetValue does.
    // Returns the number of cells changed.
    int Replace(int firstRow, int lastRow, const QString &what, const QString &with);
    // First cell of the rows, row by row from (fromRow, fromCol) on, whose
    // text contains `what` without regard to letter case.
    bool Find(int firstRow, int lastRow, const QString &what, int &row, int &col,
              int fromRow = 0, int fromCol = 0) const;

    bool HasComment(int row, int col) const;
    // The note's text; raises an error when the cell has none.
    QString Comment(int row, int col) const;
    void SetComment(int row, int col, const QString &text);
    void ClearComment(int row, int col);

    // Inserts blank rows before `at`; everything from `at` down moves.
    void InsertRows(int at, int count);
    // Deletes rows first..last; everything below moves up.
    void DeleteRows(int first, int last);
    // Inserts a copy of rows first..last (contents, formulas, formats,
    // heights, merged ranges, notes) before `at`.
    void InsertCopiedRows(int first, int last, int at);

    double RowHeight(int row) const;  // 0: default height
    void SetRowHeight(int row, double points);
    void MergeCells(const TXlsxRange &range);
    QList<TXlsxRange> MergedRanges() const;
    void SetColumnWidth(int col, double width);
    void SetColumnHidden(int col, bool hidden);
    void SetLandscape(bool landscape);
    void SetFitToWidth(bool fit);

private:
    friend class TXlsxWorkbook;
    struct TCell {
        int Col = 0;
        int Style = 0;
        int Comment = -1;  // index into the workbook's notes
        enum Kind : unsigned char { Blank, Number, Text, Bool, Error, Formula } Kind = Blank;
        union {
            double Number;
            int Text;     // index into the workbook's texts
            int Formula;  // index into the sheet's formulas
        } V{0.0};
    };
    struct TRow {
        std::vector<TCell> Cells;  // ordered by column
        double Height = 0;
        bool CustomHeight = false;
        int Style = -1;            // -1: no row format
        bool Hidden = false;
        int OutlineLevel = 0;
    };
    struct TFormula {
        QString Text;       // without "="
        int MaxRow = 0;     // lowest row of this sheet it refers to
        bool Live = true;
        bool Qualified = false;  // names a sheet
        int ArrayRows = 0, ArrayCols = 0;  // array formula extent
    };
    // Nodes outside the cell grid whose ranges move with rows.
    struct TAdjustable {
        pugi::xml_node Node;
        const char *Attribute;  // range list attribute; null: the node's formula text
        bool RowNumber = false; // the attribute is one row number (page breaks)
    };

    // The first cell of a shared formula, which the others are translated from.
    struct TSharedFormula {
        int Row = 0, Col = 0;
        QString Text;
    };

    TXlsxSheet(TXlsxWorkbook *book, const QString &name, const std::string &partName);
    void Load(const std::string &xml);
    void LoadRow(const pugi::xml_node &rowNode, int rowNumber, std::map<int, TSharedFormula> &sharedMasters);
    // The sheet part; texts are written as their index in the shared strings.
    std::string Save(const std::vector<int> &textIndex, const std::string &legacyDrawingRelId) const;
    void WriteSheetData(std::string &out, const std::vector<int> &textIndex) const;

    TRow *RowAt(int row) const;
    TRow &EnsureRow(int row);
    const TCell *CellAt(int row, int col) const;
    TCell &EnsureCell(int row, int col);
    void CheckPosition(int row, int col) const;
    void CheckRows(int first, int last) const;
    void ReleaseCell(TCell &cell);
    static QChar DecimalPoint();  // of the current locale
    void EnterText(TCell &cell, const QString &text, QChar decimalPoint);
    int AddFormula(const QString &text, int arrayRows = 0, int arrayCols = 0);
    void UpdateFormulaRows(int id);
    void IndexFormula(int id);
    void ShiftEverything(const TXlsxRowShift &shift);
    void ShiftFormulas(const TXlsxRowShift &shift);
    void ShiftMerges(const TXlsxRowShift &shift);
    QString ShiftedFormula(const QString &text, const QString &sheet, bool own,
                           const TXlsxRowShift &shift) const;
    pugi::xml_node SheetChild(const char *name, bool create);
    pugi::xml_node ColumnNode(int col);  // the <col> of exactly this column

    TXlsxWorkbook *FBook;
    QString FName;
    std::string FPartName;
    std::unique_ptr<pugi::xml_document> FDoc;  // the sheet without its cells
    std::vector<std::unique_ptr<TRow>> FRows;  // index = row - 1; null: no row
    std::vector<TFormula> FFormulas;
    std::vector<int> FFormulaOrder;            // live formulas by MaxRow
    std::vector<TXlsxRange> FMerges;           // by Row2
    std::vector<TAdjustable> FAdjustables;
    std::vector<int> FQualified;               // formulas that name a sheet
};

class TXlsxWorkbook {
public:
    ~TXlsxWorkbook();
    // Reads a workbook file; the file itself is never written.
    static std::unique_ptr<TXlsxWorkbook> Open(const QString &fileName);
    // A new workbook with one empty sheet.
    static std::unique_ptr<TXlsxWorkbook> Create(const QString &sheetName);

    QString FileName() const { return FFileName; }
    int SheetCount() const { return int(FSheets.size()); }
    // 1-based; raises an error outside the range.
    TXlsxSheet *Sheet(int index) const;
    // Null when no sheet has that name (letter case ignored).
    TXlsxSheet *SheetByName(const QString &name) const;
    TXlsxSheet *AddSheet(const QString &name);

    int AddStyle(const TXlsxStyle &style);
    // A workbook-wide name, or one local to a sheet (1-based; 0: global).
    // "_xlnm.Print_Area" local to a sheet is its print area.
    void SetDefinedName(const QString &name, const QString &formula, int localSheet = 0);
    QString DefinedName(const QString &name, int localSheet = 0) const;

    // Writes the workbook to a new file; refuses the file it was read from.
    void SaveAs(const QString &fileName) const;

private:
    friend class TXlsxSheet;
    struct TRunData {
        QString Text;
        std::string Props;  // "<rPr>...</rPr>" or empty
    };
    struct TText {
        QString Plain;
        std::vector<TRunData> Runs;  // empty: plain text
    };
    struct TNote {
        QString Text;
        QString Author;
    };
    struct TName {
        QString Name;
        QString Formula;
        int LocalSheet = -1;  // 0-based sheet, -1 global
        std::vector<std::pair<std::string, std::string>> Attributes;  // the rest, kept as written
    };

    TXlsxWorkbook();
    void Load(const QString &fileName);
    void LoadStyles();
    void LoadSharedStrings();
    void LoadWorkbook();
    void LoadComments(TXlsxSheet &sheet, const std::string &sheetPart);
    std::string ReadPart(const std::string &name) const;
    TText ParseText(const pugi::xml_node &node) const;
    int AddText(TText text);
    int AddPlainText(const QString &text);
    int AddNote(const QString &text, const QString &author);
    int StyleWithNumberFormat(int style, const QString &code);
    int NumberFormatId(const QString &code);
    QString NumberFormatOfStyle(int style) const;
    bool IsTextStyle(int style) const;
    bool IsGeneralStyle(int style) const;
    int XfCount() const;
    void ShiftNames(const TXlsxSheet &sheet, const TXlsxRowShift &shift);
    void ShiftForeignFormulas(const TXlsxSheet &sheet, const TXlsxRowShift &shift);
    std::string FontXml(const TXlsxFont &font, const char *element) const;
    static TXlsxFont ParseFont(const std::string &props);

    QString FFileName;
    std::map<std::string, std::string> FParts;  // name -> bytes, as read
    std::vector<std::string> FPartOrder;
    std::string FWorkbookPart;
    std::string FStylesPart;
    std::string FSharedStringsPart;
    std::unique_ptr<pugi::xml_document> FContentTypes;
    std::unique_ptr<pugi::xml_document> FWorkbookDoc;
    std::unique_ptr<pugi::xml_document> FWorkbookRels;
    std::unique_ptr<pugi::xml_document> FStyles;
    std::map<std::string, std::unique_ptr<pugi::xml_document>> FSheetRels;
    std::vector<std::unique_ptr<TXlsxSheet>> FSheets;
    std::vector<TText> FTexts;
    std::vector<TNote> FNotes;
    std::vector<TName> FNames;
    std::vector<QString> FXfNumberFormats;      // per cell format: its number format code
    std::map<std::pair<int, QString>, int> FDerivedStyles;
    std::map<QString, int> FNumberFormatIds;
    std::map<int, QString> FCustomFormats;
};
