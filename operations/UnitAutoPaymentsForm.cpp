#include "operations/UnitAutoPaymentsForm.h"

#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

#include "data/UnitData.h"

TFormAutoPayments *FormAutoPayments = nullptr;

namespace {

QString SummaText(double summa)
{
    QLocale russian(QLocale::Russian, QLocale::Russia);
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    return russian.toString(summa, 'g', 15);
}

} // namespace

TFormAutoPayments::TFormAutoPayments(QWidget *parent)
    : TAutoHistoryForm(QStringLiteral("FormAutoPayments"), QStringLiteral("Платежи за ТС"),
                       {QStringLiteral("ID"), QStringLiteral("Время"), QStringLiteral("Сумма"),
                        QStringLiteral("Комментарии")},
                       parent)
{
    Grid->setToolTip(QStringLiteral("Список платежей выбранного клиента"));
    connect(AddButton(QStringLiteral("ButtonClose"), QStringLiteral("Закрыть"), QStringLiteral("Закрыть окно")),
            &QPushButton::clicked, this, &QDialog::reject);
}

TFormAutoPayments::~TFormAutoPayments()
{
    if (FormAutoPayments == this)
        FormAutoPayments = nullptr;
}

bool TFormAutoPayments::Execute(PAuto AAuto)
{
    FPaymentList.clear();
    if (!StartFor(AAuto))
        return false;
    FPaymentList = DModule->GetPaymentList(
        QStringLiteral("AND(PAYMENTS.ID_AUTO = %1)").arg(AAuto->Id));
    for (const TPayment &payment : std::as_const(FPaymentList))
        AppendRow({QString::number(payment.Id), DateTimeText(payment.PayTime), SummaText(payment.Summa),
                   payment.Comments});
    exec();
    return false;
}
