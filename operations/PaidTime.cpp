#include "operations/PaidTime.h"

#include <cmath>
#include <cstdlib>

#include "data/UnitData.h"

int GetTarifMinutes(int APeriod, int APeriodType)
{
    // One-off (0), day (3) and night (4) tariffs are plain charges.
    static const int MinutesPerUnit[] = {0, 1, 60, 0, 0, 1440, 10080, 43200, 525600};
    if (APeriodType < 0 || APeriodType > 8)
        return 0;
    // A 32-bit product that wraps like the stored column would, without
    // undefined behaviour.
    return int(quint32(APeriod) * quint32(MinutesPerUnit[APeriodType]));
}

qint64 CalcPaymentSumma(int ACount, double APrice)
{
    const double product = double(ACount) * APrice;
    const double lower = std::floor(product);
    const double fraction = product - lower;
    if (fraction > 0.5)
        return qint64(lower) + 1;
    if (fraction < 0.5)
        return qint64(lower);
    // An exact half: the even neighbour.
    return std::fmod(lower, 2.0) == 0.0 ? qint64(lower) : qint64(lower) + 1;
}

TPayment BuildPayment(int AAutoId, const TTarif &ATarif, int ACount, double ASumma, const QString &AComments,
                      bool AMultiplyMinutes)
{
    TPayment payment;
    payment.AutoId = AAutoId;
    payment.Comments = AComments;
    payment.Summa = ASumma;
    payment.ManagerId = CurrentUser.Id;
    payment.PayTime = Now();
    payment.Tarif.Id = ATarif.Id;
    if (ATarif.Id > 0) {
        payment.Tarif.Period = ATarif.Period;
        payment.Tarif.PeriodType = ATarif.PeriodType;
        payment.Tarif.Price = ATarif.Price;
        payment.Count = ACount;
        int minutes = GetTarifMinutes(ATarif.Period, ATarif.PeriodType);
        if (AMultiplyMinutes)
            minutes *= ACount;
        payment.MinutesStart = minutes;
        payment.Minutes = minutes;
    }
    return payment;
}

namespace {

qint64 WholeMilliseconds(TDateTime AMoment)
{
    const double day = std::trunc(AMoment);
    return qint64(day) * 86400000 + std::llround((AMoment - day) * 86400000.0);
}

} // namespace

int GetStayMinutes(TDateTime AInTime, TDateTime ANow)
{
    return int(std::llabs(WholeMilliseconds(ANow) - WholeMilliseconds(AInTime)) / 60000);
}

QString GetDurationStr(int AMinutes)
{
    const int days = AMinutes / 1440;
    const int hours = (AMinutes - days * 1440) / 60;
    const int minutes = AMinutes - hours * 60 - days * 1440;
    QString text;
    if (days > 0)
        text += QString::number(days) + QStringLiteral(" дн. ");
    return text + QString::number(hours) + QStringLiteral(" час. ") + QString::number(minutes)
           + QStringLiteral(" мин. ");
}
