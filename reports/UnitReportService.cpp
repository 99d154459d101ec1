#include "reports/UnitReportService.h"

#include <QTimeEdit>
#include <QToolButton>

#include <stdexcept>

#include "data/UnitData.h"
#include "reports/ReportTexts.h"

QPointer<TFormReportService> FormReportService;

TFormReportService::TFormReportService(QWidget *parent)
    : TReportFrame(QStringLiteral("Отчет о наличие ТС на парковке"), parent)
{
    EditDateStartFilter = new TDateFilterEdit;
    EditStartTime = new QTimeEdit;
    EditStartTime->setDisplayFormat(QStringLiteral("HH:mm"));
    EditStartTime->setWrapping(true);
    AddFilterInput(QStringLiteral("Дата:"), EditDateStartFilter, QStringLiteral("Дата отчета"));
    AddFilterInput(QStringLiteral("Время:"), EditStartTime, QStringLiteral("Время отчета"));
    AddFastStepButton(QStringLiteral("«"), QStringLiteral("На час раньше"), -60);
    AddFastStepButton(QStringLiteral("»"), QStringLiteral("На час позже"), 60);
    AddFilterButtons(QStringLiteral("Сейчас"), QStringLiteral("Показать текущее состояние"));

    AddField("ID", TFieldKind::Integer, QStringLiteral("ID места"), 0, false);
    AddField("NAME", TFieldKind::Text, QStringLiteral("Место"), 250);
    AddField("GOSNOMER", TFieldKind::Text, QStringLiteral("Госномер ТС"));
    AddField("TIME_IN", TFieldKind::DateTime, QStringLiteral("Время въезда"));
    AddField("TIME_OUT_STR", TFieldKind::Text, QStringLiteral("Время выезда"));
    AddField("SUMMA", TFieldKind::Integer, QStringLiteral("Оплачено, руб."));
    AddField("MINUTES", TFieldKind::Text, QStringLiteral("Оплачено"));
}

void TFormReportService::AddFastStepButton(const QString &caption, const QString &hint, int minutes)
{
    auto *button = new QToolButton;
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRepeat(true);
    connect(button, &QToolButton::clicked, this,
            [this, minutes] { EditStartTime->setTime(EditStartTime->time().addSecs(minutes * 60)); });
    AddFilterWidget(button);
}

void TFormReportService::ShowPresentMoment()
{
    const QDateTime now = QDateTime::currentDateTime();
    EditDateStartFilter->SetDay(now.date());
    EditStartTime->setTime(now.time());
}

void TFormReportService::SetDefaultInputs()
{
    ShowPresentMoment();
}

void TFormReportService::ResetInputs()
{
    ShowPresentMoment();
}

QString TFormReportService::MomentText() const
{
    // The database would read a bare time as some day of the year 2000 and
    // list the wrong vehicles; a moment needs its date.
    if (EditDateStartFilter->IsEmpty())
        throw std::runtime_error("Не задана дата отчета");
    // The time input always shows a time, so the moment always carries one.
    return EditDateStartFilter->Day().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
        + EditStartTime->text() + QStringLiteral(":00");
}

void TFormReportService::FetchList()
{
    FAutoList = DModule->GetAutoPresentList(MomentText(), QString(), QString());
}

void TFormReportService::AppendRecords()
{
    for (const TAuto &vehicle : FAutoList) {
        if (vehicle.Place.Id == 0)
            continue;
        const int row = RxMemoryDataExItems->Append();
        RxMemoryDataExItems->SetValue(row, "ID", vehicle.Place.Id);
        RxMemoryDataExItems->SetValue(row, "NAME", vehicle.Place.Name);
        RxMemoryDataExItems->SetValue(row, "SUMMA", vehicle.SummaPaied);
        RxMemoryDataExItems->SetValue(row, "GOSNOMER", vehicle.Gosnomer);
        RxMemoryDataExItems->SetValue(row, "TIME_IN", vehicle.InTime);
        RxMemoryDataExItems->SetValue(row, "MINUTES",
                                      vehicle.MinutesPaied < 1 ? QString() : GetMinutesStr(vehicle.MinutesPaied));
        RxMemoryDataExItems->SetValue(row, "TIME_OUT_STR", ExitTimeText(vehicle.OutTime));
    }
}

QString TFormReportService::TemplateFileName() const
{
    return QStringLiteral("ШаблонОтчет_о_наличиеТС_на_парковке.xlsx");
}

QString TFormReportService::PeriodStartText() const
{
    return TitleText(EditDateStartFilter, QStringLiteral("с начала использования"));
}

QString TFormReportService::PeriodEndText() const
{
    return EditStartTime->text();
}

void TFormReportService::FillRangeBand(int row)
{
    FillStayRangeBand(row);
}
