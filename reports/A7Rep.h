#pragma once
// The template report engine: copies named bands of a template workbook to
// the top of its sheet, fills the variables of the band just copied and
// shows the finished workbook to the operator, unsaved.
//
// A band is a block of rows whose column A holds the band's name; a
// variable is a text such as "#SUMMA#" anywhere in a band's cells.
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QLabel;
class QWidget;
class TXlsxSheet;
class TXlsxWorkbook;

// The small window shown while a report is being built out of sight.
class TA7Progress {
public:
    explicit TA7Progress(QWidget *owner);
    ~TA7Progress();
    TA7Progress(const TA7Progress &) = delete;
    TA7Progress &operator=(const TA7Progress &) = delete;
    // "Строка: N" in the second label, and the window repaints; between two
    // repaints less than 40 ms apart the label is left as it was.
    void Line(int line);

    QWidget *F;
    QLabel *L1;
    QLabel *L2;
    QLabel *L3;

private:
    qint64 FLastPaint = -1;
};

// Puts a finished workbook file in front of the operator.
using TWorkbookViewer = std::function<void(const QString &fileName)>;

class TA7Rep : public QObject {
public:
    explicit TA7Rep(QObject *owner = nullptr);
    ~TA7Rep() override;

    // Opens the template read-only; without Visible the report is built
    // behind the progress window.
    void OpenTemplate(const QString &FileName);
    void OpenTemplate(const QString &FileName, bool Visible);
    // Finishes the current sheet and goes on with the sheet of that name
    // (the first sheet when empty).
    void OpenWorkSheet(const QString &Name);
    void PasteBand(const QString &BandName);

    void SetValue(const QString &VarName, const QVariant &Value);
    void SetValue(int X, int Y, const QVariant &Value);
    void SetValueF(const QString &VarName, const QVariant &Value);
    void SetValueAsText(const QString &varName, const QString &Value);
    void SetValueAsText(int X, int Y, const QString &Value);
    void SetSumFormula(const QString &VarName, int FirstLine, int LastLine);
    void SetSumFormula(const QString &VarName, const QString &BandName);

    void SetComment(const QString &VarName, const QVariant &Value);
    QString GetComment(const QString &VarName);
    QString GetAndClearComment(const QString &VarName);
    QString GetAndClearComment(int X, int Y);

    static QString GetCellName(int aCol, int aRow);
    void ExcelFind(const QString &Value, int &aCol, int &aRow, int Where);

    // Removes the rest of the template, writes the workbook to a new file in
    // the temporary folder and hands it to the viewer.
    void Show();
    // Closes the progress window and drops the half-built workbook.
    void Abort();

    bool IsOpen() const { return Excel != nullptr; }
    int GetCurrentLine() const { return CurrentLine; }
    int GetFirstBandLine() const { return FirstBandLine; }
    int GetLastBandLine() const { return LastBandLine; }
    int GetMaxBandColumns() const { return MaxBandColumns; }
    TXlsxSheet *GetTemplateSheet() const { return TemplateSheet; }
    TA7Progress *GetProgress() const { return Progress.get(); }
    // The file that the last Show wrote.
    QString ShownFile() const { return FShownFile; }

    // Replaces how finished workbooks are shown (tests and headless runs
    // keep the path instead); returns the viewer used before.
    static TWorkbookViewer SetViewer(TWorkbookViewer viewer);
    // LibreOffice Calc opens the file as a new untitled document; without
    // it, the desktop's default application for the file.
    static void ShowInDesktop(const QString &fileName);

private:
    TXlsxSheet &Sheet() const;
    void UseSheet(TXlsxSheet *sheet, const QString &label);
    static QString ValueText(const QVariant &value);
    QString NewReportFileName() const;

    std::unique_ptr<TA7Progress> Progress;
    int CurrentLine = 1;
    std::unique_ptr<TXlsxWorkbook> Excel;  // the workbook being built
    TXlsxSheet *TemplateSheet = nullptr;
    int MaxBandColumns = 0;
    bool isVisible = false;
    int FirstBandLine = 0;
    int LastBandLine = 0;
    QString FTemplateName;
    QString FShownFile;
};

// Ends a report run that did not reach Show (an error left the export):
// the progress window closes and the half-built workbook is dropped.
class TA7RepGuard {
public:
    explicit TA7RepGuard(TA7Rep &rep) : FRep(rep) {}
    ~TA7RepGuard();
    TA7RepGuard(const TA7RepGuard &) = delete;
    TA7RepGuard &operator=(const TA7RepGuard &) = delete;

private:
    TA7Rep &FRep;
};
