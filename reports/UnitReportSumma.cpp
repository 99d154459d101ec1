#include "reports/UnitReportSumma.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "data/UnitData.h"
#include "reports/A7Rep.h"
#include "reports/ReportTexts.h"

QPointer<TFormReportSumma> FormReportSumma;

TFormReportSumma::TFormReportSumma(QWidget *parent) : TReportFrame(QStringLiteral("Отчет о выручке"), parent)
{
    EditDateStartFilter = new TDateFilterEdit;
    EditDateStopFilter = new TDateFilterEdit;
    EditGosnomerFilter = new QLineEdit;
    AddFilterInput(QStringLiteral("Дата:"), EditDateStartFilter, QStringLiteral("Дата начала отображаемого периода"));
    AddFilterInput(QStringLiteral("..."), EditDateStopFilter, QStringLiteral("Дата окончания отображаемого периода"));
    AddFilterInput(QStringLiteral("Госномер ТС: "), EditGosnomerFilter, QStringLiteral("Фильтрация услуг по имени клиента"));
    AddFilterButtons(QStringLiteral("Все"), QStringLiteral("Показать все услуги"));

    AddField("DATE", TFieldKind::DateTime, QStringLiteral("Время"));
    AddField("ID_PAYMENT", TFieldKind::Integer, QStringLiteral("Номер платежа"));
    AddField("SUMMA", TFieldKind::Integer, QStringLiteral("Сумма, руб."));
    AddField("GOSNOMER", TFieldKind::Text, QStringLiteral("Госномер ТС"));
    AddField("COMMENT", TFieldKind::Text, QStringLiteral("Комментарий"));
    AddField("ID_AUTO", TFieldKind::Integer, QString(), 0, false);
    GridItems->SetKeyField("ID_PAYMENT");
    GridItems->SetColumnWidth("DATE", 137);
    GridItems->SetColumnWidth("ID_PAYMENT", 128);
    GridItems->SetColumnWidth("SUMMA", 148);
    GridItems->SetColumnWidth("GOSNOMER", 257);
    GridItems->SetColumnWidth("COMMENT", 312);
    // The grid library keeps its grouping prompt for the whole program, and
    // it is the text this window asks for.
    GridItems->SetGroupingBoxVisible(true);

    QHBoxLayout *bottom = AddBottomPanel();
    LabelSumma = new QLabel(QStringLiteral("0 руб."), this);
    LabelSumma->setObjectName(QStringLiteral("LabelSumma"));
    bottom->addStretch(1);
    bottom->addWidget(new QLabel(QStringLiteral("Всего:"), this));
    bottom->addWidget(LabelSumma);
}

void TFormReportSumma::ClearInputs()
{
    EditDateStartFilter->Clear();
    EditDateStopFilter->Clear();
    EditGosnomerFilter->clear();
}

void TFormReportSumma::SetDefaultInputs()
{
    ClearInputs();
}

void TFormReportSumma::ResetInputs()
{
    ClearInputs();
}

void TFormReportSumma::BuildFilter()
{
    if (!EditGosnomerFilter->text().isEmpty())
        FFilterSQL += ContainsCondition(QStringLiteral("AUTO.GOSNOMER"), EditGosnomerFilter->text());
    if (!EditDateStartFilter->IsEmpty())
        FFilterSQL += FromDayCondition(QStringLiteral("PAYMENTS.CREATED_TIME"), EditDateStartFilter->Day());
    if (!EditDateStopFilter->IsEmpty())
        FFilterSQL += ToDayCondition(QStringLiteral("PAYMENTS.CREATED_TIME"), EditDateStopFilter->Day());
}

void TFormReportSumma::FetchList()
{
    FPaymentList = DModule->GetPaymentList(FFilterSQL);
}

void TFormReportSumma::AppendRecords()
{
    double total = 0;
    for (const TPayment &payment : FPaymentList) {
        const int row = RxMemoryDataExItems->Append();
        RxMemoryDataExItems->SetValue(row, "SUMMA", payment.Summa);
        RxMemoryDataExItems->SetValue(row, "ID_PAYMENT", payment.Id);
        RxMemoryDataExItems->SetValue(row, "DATE", payment.PayTime);
        RxMemoryDataExItems->SetValue(row, "COMMENT", payment.Comments);
        RxMemoryDataExItems->SetValue(row, "ID_AUTO", payment.AutoId);
        RxMemoryDataExItems->SetValue(row, "GOSNOMER", payment.Gosnomer);
        total += payment.Summa;
    }
    LabelSumma->setText(RublesTotalText(total));
}

QString TFormReportSumma::TemplateFileName() const
{
    return QStringLiteral("ШаблонОтчет_о_выручке.xlsx");
}

QString TFormReportSumma::PeriodStartText() const
{
    return TitleText(EditDateStartFilter, QStringLiteral("с начала использования"));
}

QString TFormReportSumma::PeriodEndText() const
{
    return TitleText(EditDateStopFilter, QStringLiteral("по текущее время"));
}

void TFormReportSumma::FillRangeBand(int row)
{
    const TMemTable *t = RxMemoryDataExItems;
    ExcelTemplate->SetValue(QStringLiteral("#ID_PAYMENT#"), t->Value(row, "ID_PAYMENT"));
    ExcelTemplate->SetValue(QStringLiteral("#DATE#"),
                            FormatDateTime(QStringLiteral("DD.MM.YYYY HH:NN"), t->Value(row, "DATE").toDouble()));
    ExcelTemplate->SetValue(QStringLiteral("#SUMMA#"), t->Value(row, "SUMMA"));
    ExcelTemplate->SetValue(QStringLiteral("#GOSNOMER#"), QStringLiteral("(%1) %2").arg(
                                t->Value(row, "ID_AUTO").toInt()).arg(t->Value(row, "GOSNOMER").toString()));
    ExcelTemplate->SetValue(QStringLiteral("#COMMENT#"), t->Value(row, "COMMENT"));
}

void TFormReportSumma::PasteClosingBand()
{
    // The whole-ruble amounts of the exported rows, as the sheet shows them.
    int sum = 0;
    for (int row = 0; row < RxMemoryDataExItems->RecordCount(); ++row)
        sum += RxMemoryDataExItems->Value(row, "SUMMA").toInt();
    ExcelTemplate->PasteBand(QStringLiteral("Summa"));
    ExcelTemplate->SetValue(QStringLiteral("#SUM#"), sum);
}
