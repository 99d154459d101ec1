#include "reports/UnitReportAuto.h"

#include <QLineEdit>

#include "data/UnitData.h"
#include "reports/ReportTexts.h"

QPointer<TFormReportAuto> FormReportAuto;

TFormReportAuto::TFormReportAuto(QWidget *parent) : TReportFrame(QStringLiteral("Учет въездов ТС"), parent)
{
    EditDateStartFilter = new TDateFilterEdit;
    EditDateEndFilter = new TDateFilterEdit;
    EditStringFilter = new QLineEdit;
    AddFilterInput(QStringLiteral("Период:"), EditDateStartFilter, QStringLiteral("Дата начала отчета"));
    AddFilterInput(QStringLiteral("..."), EditDateEndFilter, QStringLiteral("Дата окончания отчета"));
    AddFilterInput(QStringLiteral("Госномер:"), EditStringFilter, QStringLiteral("Фильтрация по госномеру ТС"));
    AddFilterButtons(QStringLiteral("Все"), QStringLiteral("Показать все"));

    AddField("ID", TFieldKind::Integer, QStringLiteral("ID места"), 0, false);
    AddField("NAME", TFieldKind::Text, QStringLiteral("Место"), 250);
    AddField("GOSNOMER", TFieldKind::Text, QStringLiteral("Госномер ТС"));
    AddField("TIME_IN", TFieldKind::DateTime, QStringLiteral("Время въезда"));
    AddField("TIME_OUT_STR", TFieldKind::Text, QStringLiteral("Время выезда"));
    AddField("TIME_OUT", TFieldKind::DateTime, QStringLiteral("Время выезда"), 0, false);
    AddField("SUMMA", TFieldKind::Integer, QStringLiteral("Оплачено, руб."));
    AddField("MINUTES", TFieldKind::Text, QStringLiteral("Оплачено"));
}

void TFormReportAuto::ProposeRecentDays()
{
    const QDateTime now = QDateTime::currentDateTime();
    EditDateStartFilter->SetDay(now.addSecs(-48 * 3600).date());
    EditDateEndFilter->SetDay(now.date());
}

void TFormReportAuto::SetDefaultInputs()
{
    ProposeRecentDays();
    EditStringFilter->clear();
}

void TFormReportAuto::ResetInputs()
{
    ProposeRecentDays();
}

void TFormReportAuto::BuildFilter()
{
    if (!EditDateStartFilter->IsEmpty())
        FFilterSQL += FromDayCondition(QStringLiteral("AUTO_ACTION.IN_TIME"), EditDateStartFilter->Day());
    if (!EditDateEndFilter->IsEmpty())
        FFilterSQL += ToDayCondition(QStringLiteral("AUTO_ACTION.OUT_TIME"), EditDateEndFilter->Day());
    if (!EditStringFilter->text().isEmpty())
        FFilterSQL += ContainsCondition(QStringLiteral("AUTO.GOSNOMER"), EditStringFilter->text());
}

void TFormReportAuto::FetchList()
{
    FVisitList = DModule->GetAllAutoVisitList(FFilterSQL);
}

void TFormReportAuto::AppendRecords()
{
    for (const TVisit &visit : FVisitList) {
        const int row = RxMemoryDataExItems->Append();
        RxMemoryDataExItems->SetValue(row, "ID", visit.Id);
        RxMemoryDataExItems->SetValue(row, "NAME", visit.PlaceName);
        RxMemoryDataExItems->SetValue(row, "SUMMA", visit.Summa);
        RxMemoryDataExItems->SetValue(row, "GOSNOMER", visit.Gosnomer);
        RxMemoryDataExItems->SetValue(row, "TIME_IN", visit.InTime);
        RxMemoryDataExItems->SetValue(row, "TIME_OUT", visit.OutTime);
        RxMemoryDataExItems->SetValue(row, "MINUTES", QString::number(visit.MinutesPaied));
        RxMemoryDataExItems->SetValue(row, "TIME_OUT_STR", ExitTimeText(visit.OutTime));
    }
}

QString TFormReportAuto::TemplateFileName() const
{
    return QStringLiteral("ШаблонУчетВъездов.xlsx");
}

QString TFormReportAuto::PeriodStartText() const
{
    return TitleText(EditDateStartFilter, QStringLiteral("с начала использования"));
}

QString TFormReportAuto::PeriodEndText() const
{
    return TitleText(EditDateEndFilter, QStringLiteral("сегодня"));
}

void TFormReportAuto::FillRangeBand(int row)
{
    FillStayRangeBand(row);
}
