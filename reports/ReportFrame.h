#pragma once
// The frame the report windows share: a filter panel over a read-only table of
// report rows, and the export of those rows into a spreadsheet template. Each
// report window adds its inputs, fields, list operation, template and variables.
#include <QDateEdit>
#include <QWidget>

#include "platform/DataGrid.h"
#include "platform/MemTable.h"

class QBoxLayout;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class TA7Rep;

// A date input that may be left empty: Delete or Backspace over the whole text
// empties it; an empty input sets no condition.
class TDateFilterEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit TDateFilterEdit(QWidget *parent = nullptr);
    bool IsEmpty() const;
    void Clear();
    void SetDay(const QDate &day);
    // The date shown; invalid when empty.
    QDate Day() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class TReportFrame : public QWidget {
    Q_OBJECT
public:
    QString FFilterSQL;

    QGroupBox *GroupBoxFilter;
    QPushButton *ButtonFilter;
    QPushButton *ButtonFilterClear;
    QToolButton *BtnPrint;
    TMemTable *RxMemoryDataExItems;
    TDataGrid *GridItems;
    TA7Rep *ExcelTemplate;

    // Fetches the rows; an error of the list operation leaves the table as it was.
    void RefreshTable();
    void ButtonFilterClick();
    void ButtonFilterClearClick();
    // Exports the rows, in table order, into the report's template. Refused
    // while an export of this window runs; a failed export leaves nothing open.
    void BtnPrintClick();
    bool IsExporting() const { return FExporting; }

protected:
    TReportFrame(const QString &caption, QWidget *parent);

    // Filter panel, left to right: a label, then its input with the hint.
    void AddFilterInput(const QString &label, QWidget *input, const QString &hint);
    // A further control of the filter panel next to the last input.
    void AddFilterWidget(QWidget *widget);
    // Closes the filter panel with "Фильтр" and the reset button.
    void AddFilterButtons(const QString &resetCaption, const QString &resetHint);
    // A field of the report table, shown as a grid column in the order added.
    int AddField(const QString &name, TFieldKind kind, const QString &caption, int width = 20,
                 bool visible = true);
    // A panel below the grid (only where a report has one).
    QHBoxLayout *AddBottomPanel();

    // Window defaults, set when the window is first shown.
    virtual void SetDefaultInputs() = 0;
    // Appends the conditions of the inputs to FFilterSQL ("Фильтр").
    virtual void BuildFilter() {}
    // Inputs after the reset button.
    virtual void ResetInputs() = 0;
    // Calls the list operation and keeps its result; may throw.
    virtual void FetchList() = 0;
    // Appends one record per element of the fetched list.
    virtual void AppendRecords() = 0;

    // Export: the template's file name in the "Templates" folder, the period
    // texts of the "Title" band, the variables of one "Range" band and the
    // closing band where the report has one.
    virtual QString TemplateFileName() const = 0;
    virtual QString PeriodStartText() const = 0;
    virtual QString PeriodEndText() const = 0;
    virtual void FillRangeBand(int row) = 0;
    virtual void PasteClosingBand() {}
    // The row variables the entries and presence reports share.
    void FillStayRangeBand(int row);
    // A date input's title text, or the given text when it is empty.
    static QString TitleText(const TDateFilterEdit *input, const QString &whenEmpty);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void SetExporting(bool exporting);

    QHBoxLayout *FFilterLayout;
    QVBoxLayout *FLayout;
    bool FShown = false;
    bool FExporting = false;
};
