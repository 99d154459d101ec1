#include "operations/UnitAutoVisitsForm.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "data/UnitData.h"

TFormAutoVisits *FormAutoVisits = nullptr;

namespace {

QString StayTimeText(TDateTime value)
{
    return FormatDateTime(QStringLiteral("DD.MM.YYYY HH:NN"), value);
}

// A stay that has not ended carries 0; anything before 2000 is no exit.
QString ExitTimeText(TDateTime value)
{
    static const TDateTime Year2000 = DateFromQt(QDate(2000, 1, 1));
    return value < Year2000 ? QStringLiteral("-") : StayTimeText(value);
}

} // namespace

TFormAutoVisits::TFormAutoVisits(QWidget *parent)
    : TAutoHistoryForm(QStringLiteral("FormAutoVisits"), QStringLiteral("Въезды ТС"),
                       {QString(), QStringLiteral("Время въезда"), QStringLiteral("Время выезда"),
                        QStringLiteral("Примечание")},
                       parent)
{
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->horizontalHeader()->resizeSection(0, 40);
    Grid->horizontalHeader()->resizeSection(1, 130);
    Grid->horizontalHeader()->resizeSection(2, 130);
    connect(AddButton(QStringLiteral("ButtonClose"), QStringLiteral("Закрыть"),
                      QStringLiteral("Закрыть окно без сохранения данных")),
            &QPushButton::clicked, this, &QDialog::reject);
    connect(AddButton(QStringLiteral("ButtonSelect"), QStringLiteral("Выбрать"),
                      QStringLiteral("Применить выбор услуг")),
            &QPushButton::clicked, this, &QDialog::accept);
}

TFormAutoVisits::~TFormAutoVisits()
{
    if (FormAutoVisits == this)
        FormAutoVisits = nullptr;
}

bool TFormAutoVisits::Execute(PAuto AAuto)
{
    FVisitList.clear();
    if (!StartFor(AAuto))
        return false;
    FVisitList = DModule->GetAllAutoVisitList(QStringLiteral(" AND (AUTO.ID = %1) ").arg(AAuto->Id));
    for (const TVisit &visit : std::as_const(FVisitList))
        AppendRow({QString::number(visit.Id), StayTimeText(visit.InTime), ExitTimeText(visit.OutTime),
                   QString()});
    exec();
    return false;
}
