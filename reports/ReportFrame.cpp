#include "reports/ReportFrame.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "reports/A7Rep.h"
#include "reports/ReportTexts.h"

namespace {
// The empty state of a date input is its minimum, shown as blank text.
const QDate EmptyDay(1899, 12, 30);
}

TDateFilterEdit::TDateFilterEdit(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    setMinimumDate(EmptyDay);
    setSpecialValueText(QStringLiteral(" "));
    Clear();
}

bool TDateFilterEdit::IsEmpty() const
{
    return date() == EmptyDay;
}

void TDateFilterEdit::Clear()
{
    setDate(EmptyDay);
}

void TDateFilterEdit::SetDay(const QDate &day)
{
    setDate(day);
}

QDate TDateFilterEdit::Day() const
{
    return IsEmpty() ? QDate() : date();
}

void TDateFilterEdit::keyPressEvent(QKeyEvent *event)
{
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && (IsEmpty() || lineEdit()->selectedText() == lineEdit()->text())) {
        Clear();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

TReportFrame::TReportFrame(const QString &caption, QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);

    FLayout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    GroupBoxFilter = new QGroupBox(QStringLiteral(" Фильтрация "), this);
    FFilterLayout = new QHBoxLayout(GroupBoxFilter);
    top->addWidget(GroupBoxFilter);
    BtnPrint = new QToolButton(this);
    BtnPrint->setObjectName(QStringLiteral("BtnPrint"));
    BtnPrint->setToolTip(QStringLiteral("Вывести таблицу в Excel"));
    BtnPrint->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BtnPrint->setIconSize(QSize(32, 32));
    BtnPrint->setAutoRaise(true);
    top->addWidget(BtnPrint, 0, Qt::AlignTop);
    connect(BtnPrint, &QToolButton::clicked, this, [this] { GuardedCall([this] { BtnPrintClick(); }); });
    ExcelTemplate = new TA7Rep(this);
    top->addStretch(1);
    FLayout->addLayout(top);

    RxMemoryDataExItems = new TMemTable(this);
    GridItems = new TDataGrid(RxMemoryDataExItems, this);
    GridItems->setObjectName(QStringLiteral("GridItems"));
    GridItems->SetGroupingBoxVisible(false);
    FLayout->addWidget(GridItems, 1);
}

void TReportFrame::AddFilterInput(const QString &label, QWidget *input, const QString &hint)
{
    auto *caption = new QLabel(label, GroupBoxFilter);
    caption->setBuddy(input);
    input->setParent(GroupBoxFilter);
    input->setToolTip(hint);
    FFilterLayout->addWidget(caption);
    FFilterLayout->addWidget(input);
}

void TReportFrame::AddFilterWidget(QWidget *widget)
{
    widget->setParent(GroupBoxFilter);
    FFilterLayout->addWidget(widget);
}

void TReportFrame::AddFilterButtons(const QString &resetCaption, const QString &resetHint)
{
    ButtonFilter = new QPushButton(QStringLiteral("Фильтр"), GroupBoxFilter);
    ButtonFilter->setObjectName(QStringLiteral("ButtonFilter"));
    ButtonFilter->setToolTip(QStringLiteral("Применить фильтрацию"));
    ButtonFilterClear = new QPushButton(resetCaption, GroupBoxFilter);
    ButtonFilterClear->setObjectName(QStringLiteral("ButtonFilterClear"));
    ButtonFilterClear->setToolTip(resetHint);
    FFilterLayout->addWidget(ButtonFilter);
    FFilterLayout->addWidget(ButtonFilterClear);
    connect(ButtonFilter, &QPushButton::clicked, this, [this] { GuardedCall([this] { ButtonFilterClick(); }); });
    connect(ButtonFilterClear, &QPushButton::clicked, this,
            [this] { GuardedCall([this] { ButtonFilterClearClick(); }); });
}

int TReportFrame::AddField(const QString &name, TFieldKind kind, const QString &caption, int width, bool visible)
{
    TFieldDef def;
    def.Name = name;
    def.Kind = kind;
    def.Caption = caption;
    def.Width = kind == TFieldKind::Text ? width : 0;
    def.Visible = visible;
    return RxMemoryDataExItems->AddField(def);
}

QHBoxLayout *TReportFrame::AddBottomPanel()
{
    auto *panel = new QHBoxLayout;
    FLayout->addLayout(panel);
    return panel;
}

void TReportFrame::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    GuardedCall([this] { FormShow(); });
}

void TReportFrame::FormShow()
{
    SetDefaultInputs();
    FFilterSQL.clear();
    RefreshTable();
}

void TReportFrame::ButtonFilterClick()
{
    FFilterSQL.clear();
    BuildFilter();
    RefreshTable();
}

void TReportFrame::ButtonFilterClearClick()
{
    FFilterSQL.clear();
    ResetInputs();
    RefreshTable();
}

void TReportFrame::RefreshTable()
{
    FetchList();
    GridItems->setUpdatesEnabled(false);
    RxMemoryDataExItems->BeginUpdate();
    RxMemoryDataExItems->Clear();
    AppendRecords();
    RxMemoryDataExItems->EndUpdate();
    GridItems->setUpdatesEnabled(true);
    GridItems->FocusPosition(0);
}

void TReportFrame::SetExporting(bool exporting)
{
    // The engine lets events through while it works: neither a second export
    // nor a refresh may change the rows under it.
    FExporting = exporting;
    BtnPrint->setEnabled(!exporting);
    ButtonFilter->setEnabled(!exporting);
    ButtonFilterClear->setEnabled(!exporting);
}

void TReportFrame::closeEvent(QCloseEvent *event)
{
    // Freeing the window would pull the rows from under a running export.
    if (FExporting)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void TReportFrame::BtnPrintClick()
{
    if (FExporting)
        return;
    SetExporting(true);
    struct TExportEnd {
        TReportFrame *Frame;
        ~TExportEnd() { Frame->SetExporting(false); }
    } end{this};
    TA7RepGuard unfinished(*ExcelTemplate);

    ExcelTemplate->OpenTemplate(QDir(ConfigData.ProgramPath).filePath(QStringLiteral("Templates/") + TemplateFileName()));
    ExcelTemplate->PasteBand(QStringLiteral("Title"));
    ExcelTemplate->SetValue(QStringLiteral("#dt#"), TitleDateText(QDate::currentDate()));
    ExcelTemplate->SetValue(QStringLiteral("#dtstart#"), PeriodStartText());
    ExcelTemplate->SetValue(QStringLiteral("#dtend#"), PeriodEndText());
    for (int row = 0; row < RxMemoryDataExItems->RecordCount(); ++row) {
        try {
            ExcelTemplate->PasteBand(QStringLiteral("Range"));
            ExcelTemplate->SetValue(QStringLiteral("#NUM#"), row + 1);
            FillRangeBand(row);
        } catch (const std::exception &) {
            // A row that fails stays as far as it was filled; the others follow.
        }
    }
    PasteClosingBand();
    ExcelTemplate->Show();
}

void TReportFrame::FillStayRangeBand(int row)
{
    const TMemTable *t = RxMemoryDataExItems;
    ExcelTemplate->SetValue(QStringLiteral("#ID#"), t->Value(row, "ID"));
    ExcelTemplate->SetValue(QStringLiteral("#NAME#"), t->Value(row, "NAME"));
    ExcelTemplate->SetValue(QStringLiteral("#GOSNOMER#"), t->Value(row, "GOSNOMER"));
    ExcelTemplate->SetValue(QStringLiteral("#TIME_IN#"), DateTimeToQt(t->Value(row, "TIME_IN").toDouble()));
    ExcelTemplate->SetValue(QStringLiteral("#TIME_OUT#"), t->Value(row, "TIME_OUT_STR"));
    ExcelTemplate->SetValue(QStringLiteral("#SUMMA#"), t->Value(row, "SUMMA"));
    ExcelTemplate->SetValue(QStringLiteral("#MINUTES#"), t->Value(row, "MINUTES"));
}

QString TReportFrame::TitleText(const TDateFilterEdit *input, const QString &whenEmpty)
{
    return input->IsEmpty() ? whenEmpty : TitleDateText(input->Day());
}
