#include "operations/OpsTexts.h"

#include <cmath>

QLocale DeskLocale()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

QString AutoTitle(const TAuto &AAuto)
{
    return (AAuto.Gosnomer + ' ' + AAuto.Model + ' ' + AAuto.Color).trimmed();
}

QString PlainNumberText(double AValue)
{
    QLocale locale = DeskLocale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(AValue, 'f', QLocale::FloatingPointShortest);
}

QString MoneyText00(double AValue)
{
    const qint64 roubles = std::llround(AValue);
    const QString digits = DeskLocale().toString(std::llabs(roubles));
    return (roubles < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(2, '0');
}

QString MoneyTextHash(double AValue)
{
    const qint64 roubles = std::llround(AValue);
    return roubles == 0 ? QString() : DeskLocale().toString(roubles);
}

QString PaymentTimeText(TDateTime AValue)
{
    return FormatDateTime("HH:mm DD.MM.YY", AValue);
}

QString TarifEntryText(const TTarif &ATarif)
{
    return ATarif.Name + " (" + PlainNumberText(ATarif.Price) + ")";
}
